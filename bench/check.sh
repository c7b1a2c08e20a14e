#!/usr/bin/env bash
# Benchmark of `quorvane-cli check`: FluidR3_GM.sf2 (148 MB) against its SoundFont copy and against its
# GigaSampler parts, beside `cat` of the source and the output read once in the same run (the check reads
# every sample on both sides, so reading both files is its floor).
#   - wall time (hyperfine) with the banks in the page cache after warm-up runs;
#   - peak resident memory (/usr/bin/time -f %M, the largest of three runs).
# Targets: against the SoundFont copy under 2 s, against the GigaSampler parts under 5 s, peak memory under
# 128 MB.
#
# Usage: bench/check.sh    (QUORVANE_BENCH_RUNS sets the number of timed runs, default 10)
# Run it under the build lock: flock /tmp/quorvane-build.lock bench/check.sh
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/setup.sh"
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

BANK=/usr/share/sounds/sf2/FluidR3_GM.sf2
RUNS="${QUORVANE_BENCH_RUNS:-10}"
PEAK_MEMORY_LIMIT=$((128 * 1000 * 1000)) # bytes

quorvane_install_packages "${QUORVANE_PACKAGES[@]}" fluid-soundfont-gm hyperfine time
quorvane_build build/release Release -DQUORVANE_TESTS=OFF -- --target quorvane-cli >&2

CLI="$QUORVANE_ROOT/build/release/app/cli/quorvane-cli"
OUT="$QUORVANE_ROOT/bench/out"
WORK="$OUT/check-work"
mkdir -p "$WORK/gig"
trap 'rm -rf "$WORK"' EXIT

"$CLI" convert -o "$WORK/copy.sf2" "$BANK" >/dev/null 2>&1
"$CLI" convert --to gig -o "$WORK/gig/FluidR3_GM.gig" "$BANK" >/dev/null 2>&1
parts=$(find "$WORK/gig" -name '*.gig' | wc -l)

quorvane_log "wall time: check against the SoundFont copy and the GigaSampler parts"
csv="$OUT/check.csv"
# Status 5 (differences found) is a normal outcome for the GigaSampler parts.
hyperfine --style basic --warmup 2 --runs "$RUNS" -i --export-csv "$csv" \
    -n check-sf2 "'$CLI' check '$BANK' '$WORK/copy.sf2'" \
    -n check-gig "'$CLI' check '$BANK' '$WORK/gig'" \
    -n cat-sf2 "cat '$BANK' '$WORK/copy.sf2'" \
    -n cat-gig "cat '$BANK' '$WORK'/gig/*.gig" >&2

quorvane_log "peak memory"
sf2_peak=$(peak_kib "$CLI" check "$BANK" "$WORK/copy.sf2")
gig_peak=$(peak_kib "$CLI" check "$BANK" "$WORK/gig")

cell() { awk -F, -v name="$2" '$1 == name { printf "%.0f ± %.0f", $2 * 1000, $3 * 1000 }' "$1"; }
echo "Machine: $(nproc) cores, $(lscpu | sed -n 's/^Model name: *//p' | head -n 1); $(date -u +%Y-%m-%d)"
echo
echo "| FluidR3_GM ($(mib "$(stat -c %s "$BANK")") MiB) | wall ms (mean ± sd) | peak RSS MiB |"
echo "|---|---|---|"
echo "| check against its SoundFont copy | $(cell "$csv" check-sf2) | $(mib $((sf2_peak * 1024))) |"
echo "| check against its GigaSampler parts ($parts files) | $(cell "$csv" check-gig) | $(mib $((gig_peak * 1024))) |"
echo "| cat source and SoundFont copy | $(cell "$csv" cat-sf2) | |"
echo "| cat source and GigaSampler parts | $(cell "$csv" cat-gig) | |"
echo
sf2_mean=$(csv_mean "$csv" check-sf2)
gig_mean=$(csv_mean "$csv" check-gig)
{
    verdict "$(awk -v t="$sf2_mean" 'BEGIN { print (t < 2) }')" \
        "check against the SoundFont copy: $(awk -v t="$sf2_mean" 'BEGIN { printf "%.2f", t }') s (target under 2 s)"
    verdict "$(awk -v t="$gig_mean" 'BEGIN { print (t < 5) }')" \
        "check against the GigaSampler parts: $(awk -v t="$gig_mean" 'BEGIN { printf "%.2f", t }') s (target under 5 s)"
    verdict "$([ $((sf2_peak > gig_peak ? sf2_peak : gig_peak)) -lt $((PEAK_MEMORY_LIMIT / 1024)) ] && echo 1 || echo 0)" \
        "peak memory $(mib $(((sf2_peak > gig_peak ? sf2_peak : gig_peak) * 1024))) MiB (target under 128 MB)"
} | tee "$OUT/check.targets"
! grep -q '^FAIL' "$OUT/check.targets"
