#!/usr/bin/env bash
# Benchmark of `quorvane-cli export-samples` saving every sample of a large real-world SoundFont bank as a
# 16-bit WAVE file, beside `cp` of the same bank in the same run. cp reads and writes about as many bytes and
# does nothing else. An export also creates one file per sample, which on most file systems costs more than
# the bytes: `split` of the bank into as many files as the export writes is measured beside both, as the
# floor for writing that many files.
#
# For FluidR3_GM.sf2 (148 MB) it measures:
#   - wall time (hyperfine), with the source in the page cache after warm-up runs; before every run the
#     previous output is removed and dirty pages are flushed (sync), so that no run pays for the last one's
#     write-back;
#   - peak resident memory (/usr/bin/time -f %M, the largest of three runs).
#
# Usage: bench/export_samples.sh   (QUORVANE_BENCH_RUNS sets the number of timed runs, default 10;
#                                   QUORVANE_BENCH_BUILD the build folder, default build/release)
# The figures go to stdout as a table; hyperfine's own report goes to stderr; raw results to bench/out/.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/setup.sh"
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

BANK=/usr/share/sounds/sf2/FluidR3_GM.sf2
RUNS="${QUORVANE_BENCH_RUNS:-10}"
BUILD="${QUORVANE_BENCH_BUILD:-build/release}"
TIME_RATIO_LIMIT=1.5
PEAK_MEMORY_LIMIT=64000000 # bytes

quorvane_install_packages "${QUORVANE_PACKAGES[@]}" fluid-soundfont-gm hyperfine time
quorvane_build "$BUILD" Release -DQUORVANE_TESTS=OFF -- --target quorvane-cli >&2

CLI="$QUORVANE_ROOT/$BUILD/app/cli/quorvane-cli"
OUT="$QUORVANE_ROOT/bench/out"
# The outputs go to the repository's file system (bench/out is not kept in git), as a user's would.
WORK="$OUT/export-work"
mkdir -p "$WORK"
trap 'rm -rf "$WORK"' EXIT

csv_cell() { awk -F, -v name="$2" '$1 == name { printf "%.0f ± %.0f", $2 * 1000, $3 * 1000 }' "$1"; }

name=$(basename "$BANK" .sf2)
# One export first: it must succeed, and it tells how many files and bytes a run writes.
"$CLI" export-samples -o "$WORK/samples" "$BANK" >/dev/null
files=$(find "$WORK/samples" -type f | wc -l)
bytes=$(du -sb "$WORK/samples" | cut -f1)

quorvane_log "$name: wall time, export-samples beside cp and split"
hyperfine --style basic --warmup 2 --runs "$RUNS" \
    --prepare "rm -rf '$WORK/samples'; sync" --prepare "rm -f '$WORK/copy.sf2'; sync" \
    --prepare "rm -rf '$WORK/split'; mkdir -p '$WORK/split'; sync" \
    --export-csv "$OUT/$name-export.csv" \
    -n export-samples "'$CLI' export-samples -o '$WORK/samples' '$BANK'" \
    -n cp "cp '$BANK' '$WORK/copy.sf2'" \
    -n split "split -n $files '$BANK' '$WORK/split/part'" >&2

quorvane_log "peak memory"
export_peak=$(peak_kib "$CLI" export-samples -o "$WORK/memory" "$BANK")
rm -rf "$WORK/memory"
cp_peak=$(peak_kib cp "$BANK" "$WORK/copy.sf2")

export_mean=$(csv_mean "$OUT/$name-export.csv" export-samples)
cp_mean=$(csv_mean "$OUT/$name-export.csv" cp)
ratio=$(awk -v a="$export_mean" -v b="$cp_mean" 'BEGIN { printf "%.2f", a / b }')
split_mean=$(csv_mean "$OUT/$name-export.csv" split)
split_ratio=$(awk -v a="$export_mean" -v b="$split_mean" 'BEGIN { printf "%.2f", a / b }')

echo "Machine: $(nproc) cores, $(lscpu | sed -n 's/^Model name: *//p' | head -n 1); $(date -u +%Y-%m-%d)"
echo
echo "| $name ($(mib "$(stat -c %s "$BANK")") MiB) | wall ms (mean ± sd) | peak RSS MiB |"
echo "|---|---|---|"
echo "| quorvane-cli export-samples ($files files, $(mib "$bytes") MiB) | $(csv_cell "$OUT/$name-export.csv" export-samples) | $(mib $((export_peak * 1024))) |"
echo "| cp | $(csv_cell "$OUT/$name-export.csv" cp) | $(mib $((cp_peak * 1024))) |"
echo "| split into $files files | $(csv_cell "$OUT/$name-export.csv" split) | |"
echo
echo "export-samples takes $split_ratio x the time of split into as many files."
echo
{
    verdict "$(awk -v r="$ratio" -v l="$TIME_RATIO_LIMIT" 'BEGIN { print (r <= l) }')" \
        "$name: export-samples takes $ratio x the time of cp (target at most $TIME_RATIO_LIMIT)"
    verdict "$([ $((export_peak * 1024)) -lt "$PEAK_MEMORY_LIMIT" ] && echo 1 || echo 0)" \
        "$name: export-samples peak memory $(mib $((export_peak * 1024))) MiB (target under 64 MB)"
} | tee "$OUT/export_samples.targets"
# A missed target fails the run, so that a script comparing runs notices.
! grep -q '^FAIL' "$OUT/export_samples.targets"
