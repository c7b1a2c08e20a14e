#!/usr/bin/env bash
# Benchmark of `quorvane-cli convert --to sfz` writing a large real-world SoundFont bank as an SFZ folder
# (one .sfz file per preset, every sample once as a 16-bit WAVE file), beside `split` of the bank into as
# many files as the SFZ folder holds: the floor for writing that many files and bytes (see
# export_samples.sh: on this file system the number of files, not the bytes, sets the time).
#
# For FluidR3_GM.sf2 (148 MB) it measures:
#   - wall time (hyperfine), the source in the page cache after warm-up runs; before every run the previous
#     output is removed and dirty pages are flushed (sync);
#   - peak resident memory (/usr/bin/time -f %M, the largest of three runs).
#
# Usage: bench/sfz_write.sh   (QUORVANE_BENCH_RUNS sets the number of timed runs, default 10;
#                              QUORVANE_BENCH_BUILD the build folder, default build/release)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/setup.sh"
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

BANK=/usr/share/sounds/sf2/FluidR3_GM.sf2
RUNS="${QUORVANE_BENCH_RUNS:-10}"
BUILD="${QUORVANE_BENCH_BUILD:-build/release}"
TIME_RATIO_LIMIT=1.3
PEAK_MEMORY_LIMIT=64000000 # bytes

quorvane_install_packages "${QUORVANE_PACKAGES[@]}" fluid-soundfont-gm hyperfine time
quorvane_build "$BUILD" Release -DQUORVANE_TESTS=OFF -- --target quorvane-cli >&2

CLI="$QUORVANE_ROOT/$BUILD/app/cli/quorvane-cli"
OUT="$QUORVANE_ROOT/bench/out"
WORK="$OUT/sfz-work"
mkdir -p "$WORK"
trap 'rm -rf "$WORK"' EXIT

csv_cell() { awk -F, -v name="$2" '$1 == name { printf "%.0f ± %.0f", $2 * 1000, $3 * 1000 }' "$1"; }

name=$(basename "$BANK" .sf2)
# One write first: it must succeed, and it tells how many files and bytes a run writes.
"$CLI" convert --to sfz -o "$WORK/sfz" "$BANK" 2>/dev/null
files=$(find "$WORK/sfz" -type f | wc -l)
bytes=$(du -sb "$WORK/sfz" | cut -f1)

quorvane_log "$name: wall time, convert --to sfz beside split"
hyperfine --style basic --warmup 2 --runs "$RUNS" \
    --prepare "rm -rf '$WORK/sfz'; sync" \
    --prepare "rm -rf '$WORK/split'; mkdir -p '$WORK/split'; sync" \
    --export-csv "$OUT/$name-sfz.csv" \
    -n sfz "'$CLI' convert --to sfz -o '$WORK/sfz' '$BANK' 2>/dev/null" \
    -n split "split -n $files '$BANK' '$WORK/split/part'" >&2

quorvane_log "peak memory"
sfz_peak=$(peak_kib "$CLI" convert --to sfz -o "$WORK/memory" "$BANK")
rm -rf "$WORK/memory"

sfz_mean=$(csv_mean "$OUT/$name-sfz.csv" sfz)
split_mean=$(csv_mean "$OUT/$name-sfz.csv" split)
ratio=$(awk -v a="$sfz_mean" -v b="$split_mean" 'BEGIN { printf "%.2f", a / b }')

echo "Machine: $(nproc) cores, $(lscpu | sed -n 's/^Model name: *//p' | head -n 1); $(date -u +%Y-%m-%d)"
echo
echo "| $name ($(mib "$(stat -c %s "$BANK")") MiB) | wall ms (mean ± sd) | peak RSS MiB |"
echo "|---|---|---|"
echo "| quorvane-cli convert --to sfz ($files files, $(mib "$bytes") MiB) | $(csv_cell "$OUT/$name-sfz.csv" sfz) | $(mib $((sfz_peak * 1024))) |"
echo "| split into $files files | $(csv_cell "$OUT/$name-sfz.csv" split) | |"
echo
{
    verdict "$(awk -v r="$ratio" -v l="$TIME_RATIO_LIMIT" 'BEGIN { print (r <= l) }')" \
        "$name: convert --to sfz takes $ratio x the time of split into as many files (target at most $TIME_RATIO_LIMIT)"
    verdict "$([ $((sfz_peak * 1024)) -lt "$PEAK_MEMORY_LIMIT" ] && echo 1 || echo 0)" \
        "$name: convert --to sfz peak memory $(mib $((sfz_peak * 1024))) MiB (target under 64 MB)"
} | tee "$OUT/sfz_write.targets"
! grep -q '^FAIL' "$OUT/sfz_write.targets"
