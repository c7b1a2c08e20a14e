#!/usr/bin/env bash
# Benchmark of `quorvane-cli info` on a large GigaSampler bank, beside the time it takes just to read the
# file once. The bank is made for the run by the test-only program make_gig_fixtures (through libgig) in a
# temporary folder, and removed afterwards; it is never kept.
#
# It measures:
#   - wall time (hyperfine), warm: the file is in the page cache, after warm-up runs;
#   - wall time, cold: the file is evicted from the page cache before every run
#     (dd iflag=nocache count=0, which needs no privileges and touches no other file);
#   - peak resident memory (/usr/bin/time -f %M, the largest of three runs);
#   - how much of the file one cold run brings into the page cache (fincore): loading reads the header
#     chunks only, never the wave data. Kernel read-ahead is included in that figure;
#   - the time the program takes to start and exit without loading anything (`quorvane-cli --help`), so
#     that the time of the load itself can be told apart.
# The shares of the read time use medians: a cold run of `cat` now and then waits far longer than the rest.
#
# Usage: bench/gig_load.sh
#   QUORVANE_BENCH_RUNS       number of timed runs (default 20)
#   QUORVANE_BENCH_GIG_MB     size of the bank in megabytes of wave data (default 200)
#   QUORVANE_BENCH_GIG_LAYOUT 2 for the GigaSampler 2 layout (default), 3 for the GigaStudio 3 layout
#   QUORVANE_BENCH_BASE_CLI   another quorvane-cli (e.g. built from an earlier commit) timed in the same
#                             runs on the same bank, as "base info"
# The figures go to stdout as a table; hyperfine's own report goes to stderr; raw results to bench/out/.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/setup.sh"
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

RUNS="${QUORVANE_BENCH_RUNS:-20}"
MEGABYTES="${QUORVANE_BENCH_GIG_MB:-200}"
LAYOUT="${QUORVANE_BENCH_GIG_LAYOUT:-2}"
BASE_CLI="${QUORVANE_BENCH_BASE_CLI:-}"
PEAK_MEMORY_LIMIT=$((32 * 1000 * 1000)) # bytes
TIME_SHARE_LIMIT=0.10                  # of the time to read the file once

quorvane_install_packages "${QUORVANE_PACKAGES[@]}" libgig-dev hyperfine time util-linux jq
# The authoring program is built with the tests, so this build has its own folder.
quorvane_build build/bench-gig Release -DQUORVANE_TESTS=ON -- --target quorvane-cli make_gig_fixtures >&2

CLI="$QUORVANE_ROOT/build/bench-gig/app/cli/quorvane-cli"
AUTHOR="$QUORVANE_ROOT/build/bench-gig/tests/make_gig_fixtures"
OUT="$QUORVANE_ROOT/bench/out"
mkdir -p "$OUT"
WORK="$(mktemp -d "${TMPDIR:-/tmp}/quorvane-gig-bench-XXXXXX")"
trap 'rm -rf "$WORK"' EXIT
BANK="$WORK/big.gig"

quorvane_log "making a GigaSampler bank (layout $LAYOUT) of $MEGABYTES MB of wave data"
"$AUTHOR" "$([ "$LAYOUT" = 3 ] && echo --big3 || echo --big)" "$MEGABYTES" "$BANK"
base_runs=()
[ -n "$BASE_CLI" ] && base_runs=(-n base "$BASE_CLI info $BANK")

csv_cell() { awk -F, -v name="$2" '$1 == name { printf "%.1f ± %.1f", $2 * 1000, $3 * 1000 }' "$1"; }

quorvane_log "warm runs"
hyperfine -N --style basic --warmup 3 --runs "$RUNS" --export-csv "$OUT/gig-warm.csv" \
    -n info "$CLI info $BANK" "${base_runs[@]}" -n read "cat $BANK" -n start "$CLI --help" >&2
quorvane_log "cold runs"
hyperfine -N --style basic --runs "$RUNS" --prepare "dd if=$BANK iflag=nocache count=0 status=none" \
    --export-csv "$OUT/gig-cold.csv" -n info "$CLI info $BANK" "${base_runs[@]}" -n read "cat $BANK" >&2

quorvane_log "memory and file reads"
declare -A peak touched
peak[info]=$(peak_kib "$CLI" info "$BANK")
peak[read]=$(peak_kib cat "$BANK")
evict "$BANK"; "$CLI" info "$BANK" >/dev/null; touched[info]=$(cached_bytes "$BANK")
evict "$BANK"; cat "$BANK" >/dev/null; touched[read]=$(cached_bytes "$BANK")

# Everything in the file but the wave data: what the image holds.
size=$(stat -c %s "$BANK")
waves=$("$CLI" info --json "$BANK" | jq '[.samples[].dataLength] | add')
headers=$((size - waves))
summary=$("$CLI" info "$BANK" | tail -n 1)

echo "Machine: $(nproc) cores, $(lscpu | sed -n 's/^Model name: *//p' | head -n 1); $(date -u +%Y-%m-%d)"
echo "Bank: $(mib "$size") MiB, of which $(mib "$headers") MiB besides the wave data; $summary"
echo
echo "| command | warm ms (mean ± sd) | cold ms (mean ± sd) | peak RSS MiB | file read, cold MiB |"
echo "|---|---|---|---|---|"
for what in info read; do
    label="quorvane-cli info"
    [ "$what" = read ] && label="cat (read the file once)"
    printf '| %s | %s | %s | %s | %s |\n' "$label" "$(csv_cell "$OUT/gig-warm.csv" "$what")" \
        "$(csv_cell "$OUT/gig-cold.csv" "$what")" "$(mib $((peak[$what] * 1024)))" "$(mib "${touched[$what]}")"
done
[ -n "$BASE_CLI" ] && printf '| %s | %s | %s | | |\n' "base: $BASE_CLI info" \
    "$(csv_cell "$OUT/gig-warm.csv" base)" "$(csv_cell "$OUT/gig-cold.csv" base)"
echo
{
    for temp in warm cold; do
        share=$(awk -v a="$(csv_median "$OUT/gig-$temp.csv" info)" -v b="$(csv_median "$OUT/gig-$temp.csv" read)" \
            'BEGIN { printf "%.3f", a / b }')
        verdict "$(awk -v s="$share" -v l="$TIME_SHARE_LIMIT" 'BEGIN { print (s < l) }')" \
            "info takes $share of the time to read the file once ($temp, medians); target under $TIME_SHARE_LIMIT"
    done
    load=$(awk -v a="$(csv_median "$OUT/gig-warm.csv" info)" -v s="$(csv_median "$OUT/gig-warm.csv" start)" \
        -v b="$(csv_median "$OUT/gig-warm.csv" read)" 'BEGIN { printf "%.1f ms, %.3f", (a - s) * 1000, (a - s) / b }')
    echo "INFO  starting and ending the program takes $(csv_cell "$OUT/gig-warm.csv" start) ms; the load" \
        "itself (warm) takes ${load/, / = } of the read time"
    verdict "$([ $((peak[info] * 1024)) -lt "$PEAK_MEMORY_LIMIT" ] && echo 1 || echo 0)" \
        "info peak memory $(mib $((peak[info] * 1024))) MiB; target under 32 MB"
    echo "INFO  one cold info run read $(mib "${touched[info]}") MiB of the file, whose headers take" \
        "$(mib "$headers") MiB"
} | tee "$OUT/gig.targets"
# A missed target fails the run, so that a script comparing runs notices.
! grep -q '^FAIL' "$OUT/gig.targets"
