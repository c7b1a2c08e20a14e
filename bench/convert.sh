#!/usr/bin/env bash
# Benchmark of `quorvane-cli convert` writing a large real-world SoundFont bank whole to SoundFont, beside
# `cp` of the same file in the same run. cp reads and writes the same number of bytes and does nothing else,
# so it is the physical floor for a conversion that copies every sample. `dd bs=1M` is shown beside them:
# the floor for any program that reads the data into its own memory and writes it out again.
#
# For FluidR3_GM.sf2 (148 MB) it measures:
#   - wall time (hyperfine), with the source in the page cache after warm-up runs; before every run the
#     previous output is removed and dirty pages are flushed (sync), so that no run pays for the last one's
#     write-back;
#   - peak resident memory (/usr/bin/time -f %M, the largest of three runs).
# Peak memory is also measured for a small and, when installed, a much larger bank: the writer keeps one
# sample in memory at a time, so the peak must not grow with the bank.
#
# Usage: bench/convert.sh         (QUORVANE_BENCH_RUNS sets the number of timed runs, default 10)
# The figures go to stdout as a table; hyperfine's own report goes to stderr; raw results to bench/out/.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/setup.sh"
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

BANK=/usr/share/sounds/sf2/FluidR3_GM.sf2
MEMORY_BANKS=(
    /usr/share/sounds/sf2/TimGM6mb.sf2
    /usr/share/sounds/sf2/FluidR3_GM.sf2
    /usr/share/sounds/sf2/MuseScore_General_Full.sf2
)
RUNS="${QUORVANE_BENCH_RUNS:-10}"
TIME_RATIO_LIMIT=1.3
PEAK_MEMORY_LIMIT=64000000 # bytes

quorvane_install_packages "${QUORVANE_PACKAGES[@]}" fluid-soundfont-gm hyperfine time
quorvane_build build/release Release -DQUORVANE_TESTS=OFF -- --target quorvane-cli >&2

CLI="$QUORVANE_ROOT/build/release/app/cli/quorvane-cli"
OUT="$QUORVANE_ROOT/bench/out"
# The outputs go to the repository's file system (bench/out is not kept in git), as a user's would.
WORK="$OUT/convert-work"
mkdir -p "$WORK"
trap 'rm -rf "$WORK"' EXIT

csv_cell() { awk -F, -v name="$2" '$1 == name { printf "%.1f ± %.1f | %.1f", $2 * 1000, $3 * 1000, $4 * 1000 }' "$1"; }

name=$(basename "$BANK" .sf2)
quorvane_log "$name: wall time, convert beside cp"
hyperfine --style basic --warmup 2 --runs "$RUNS" \
    --prepare "rm -f '$WORK/convert.sf2'; sync" --prepare "rm -f '$WORK/copy.sf2'; sync" \
    --prepare "rm -f '$WORK/dd.sf2'; sync" \
    --export-csv "$OUT/$name-convert.csv" \
    -n convert "'$CLI' convert -o '$WORK/convert.sf2' '$BANK'" \
    -n cp "cp '$BANK' '$WORK/copy.sf2'" \
    -n dd "dd if='$BANK' of='$WORK/dd.sf2' bs=1M status=none" >&2

# The conversion must have produced a bank that reads back.
"$CLI" info "$WORK/convert.sf2" >/dev/null

quorvane_log "peak memory"
declare -A peak
for bank in "${MEMORY_BANKS[@]}"; do
    [ -f "$bank" ] || continue
    peak["$bank"]=$(peak_kib "$CLI" convert -o "$WORK/memory.sf2" "$bank")
    rm -f "$WORK/memory.sf2"
done
cp_peak=$(peak_kib cp "$BANK" "$WORK/copy.sf2")

convert_median=$(csv_median "$OUT/$name-convert.csv" convert)
cp_median=$(csv_median "$OUT/$name-convert.csv" cp)
ratio=$(awk -v a="$convert_median" -v b="$cp_median" 'BEGIN { printf "%.2f", a / b }')

echo "Machine: $(nproc) cores, $(lscpu | sed -n 's/^Model name: *//p' | head -n 1); $(date -u +%Y-%m-%d)"
echo
echo "| $name ($(mib "$(stat -c %s "$BANK")") MiB) | wall ms (mean ± sd) | median ms | peak RSS MiB |"
echo "|---|---|---|---|"
echo "| quorvane-cli convert | $(csv_cell "$OUT/$name-convert.csv" convert) | $(mib $((peak[$BANK] * 1024))) |"
echo "| cp | $(csv_cell "$OUT/$name-convert.csv" cp) | $(mib $((cp_peak * 1024))) |"
echo "| dd bs=1M (read and write through a buffer) | $(csv_cell "$OUT/$name-convert.csv" dd) | |"
echo
echo "| bank | size MiB | convert peak RSS MiB |"
echo "|---|---|---|"
for bank in "${MEMORY_BANKS[@]}"; do
    [ -n "${peak[$bank]:-}" ] || continue
    echo "| $(basename "$bank" .sf2) | $(mib "$(stat -c %s "$bank")") | $(mib $((peak[$bank] * 1024))) |"
done
echo
{
    verdict "$(awk -v r="$ratio" -v l="$TIME_RATIO_LIMIT" 'BEGIN { print (r <= l) }')" \
        "$name: convert takes $ratio x the time of cp (medians; target at most $TIME_RATIO_LIMIT)"
    for bank in "${MEMORY_BANKS[@]}"; do
        [ -n "${peak[$bank]:-}" ] || continue
        verdict "$([ $((peak[$bank] * 1024)) -lt "$PEAK_MEMORY_LIMIT" ] && echo 1 || echo 0)" \
            "$(basename "$bank" .sf2): convert peak memory $(mib $((peak[$bank] * 1024))) MiB (target under 64 MB)"
    done
} | tee "$OUT/convert.targets"
# A missed target fails the run, so that a script comparing runs notices.
! grep -q '^FAIL' "$OUT/convert.targets"
