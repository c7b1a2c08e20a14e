#!/usr/bin/env bash
# Benchmark of one `quorvane-cli convert` run over a folder of banks: TimGM6mb, FluidR3_GM and
# MuseScore_General_Full (when its Debian package installs) and a bank of 300 presets built here, all
# written as GigaSampler into one output folder, beside `cp` of the same files. FluidR3_GM (189 presets)
# and the 300-preset bank are split into part files of at most 128 instruments, so the run also measures
# the split. Every output file is then read by libgig's gigdump, so a run that writes a broken part fails.
#
# Measures wall time (hyperfine; sources in the page cache after warm-up, outputs removed and flushed
# before every run) and peak resident memory (/usr/bin/time, the largest of three runs).
#
# Usage: bench/batch_convert.sh    (QUORVANE_BENCH_RUNS sets the number of timed runs, default 5)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/setup.sh"
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

RUNS="${QUORVANE_BENCH_RUNS:-5}"
TIME_RATIO_LIMIT=1.5
PEAK_MEMORY_LIMIT=$((64 * 1000 * 1000)) # bytes

quorvane_install_packages "${QUORVANE_PACKAGES[@]}" timgm6mb-soundfont fluid-soundfont-gm hyperfine time gigtools
# About 640 MB; the run goes on without it when it cannot be installed.
quorvane_install_packages musescore-general-soundfont || quorvane_log "musescore-general-soundfont not installed"
quorvane_build build/release Release -DQUORVANE_TESTS=OFF -- --target quorvane-cli >&2

CLI="$QUORVANE_ROOT/build/release/app/cli/quorvane-cli"
OUT="$QUORVANE_ROOT/bench/out"
WORK="$OUT/batch-convert-work"
rm -rf "$WORK"
mkdir -p "$WORK/in" "$WORK/gig" "$WORK/copy"
trap 'rm -rf "$WORK"' EXIT

for bank in /usr/share/sounds/sf2/TimGM6mb.sf2 /usr/share/sounds/sf2/FluidR3_GM.sf2 \
    /usr/share/sounds/sf2/MuseScore_General_Full.sf2; do
    if [ -f "$bank" ]; then ln -s "$bank" "$WORK/in/"; else quorvane_log "missing: $bank"; fi
done
python3 "$QUORVANE_ROOT/bench/make_many_presets.py" "$WORK/in/Many300.sf2" 300
in_bytes=$(du -L -c -b "$WORK"/in/* | tail -n 1 | cut -f 1)

quorvane_log "wall time: one convert run over the folder, beside cp of its files"
hyperfine --style basic --warmup 1 --runs "$RUNS" \
    --prepare "rm -f '$WORK'/gig/*; sync" --prepare "rm -f '$WORK'/copy/*; sync" \
    --export-csv "$OUT/batch-convert.csv" \
    -n convert "'$CLI' convert --to gig -o '$WORK/gig' '$WORK/in'" \
    -n cp "cp -L '$WORK'/in/* '$WORK/copy/'" >&2

"$CLI" convert --to gig -o "$WORK/gig" "$WORK/in" 2>/dev/null
for file in "$WORK"/gig/*.gig; do gigdump "$file" >/dev/null; done
out_list=$(cd "$WORK/gig" && ls -1 | sed 's/^/    /')

quorvane_log "peak memory"
rm -f "$WORK"/gig/*
convert_peak=$(peak_kib "$CLI" convert --to gig -o "$WORK/gig" "$WORK/in")

csv="$OUT/batch-convert.csv"
ratio=$(awk -v a="$(csv_median "$csv" convert)" -v b="$(csv_median "$csv" cp)" 'BEGIN { printf "%.2f", a / b }')
echo "Machine: $(nproc) cores, $(lscpu | sed -n 's/^Model name: *//p' | head -n 1); $(date -u +%Y-%m-%d)"
echo
echo "Inputs ($(mib "$in_bytes") MiB): $(cd "$WORK/in" && ls -1 | tr '\n' ' ')"
echo
echo "| one run, $(ls "$WORK/in" | wc -l) banks | wall ms (mean ± sd) | user ms | system ms | peak RSS MiB |"
echo "|---|---|---|---|---|"
echo "| quorvane-cli convert --to gig -o DIR FOLDER | $(awk -F, '$1 == "convert" {
    printf "%.0f ± %.0f | %.0f | %.0f", $2 * 1000, $3 * 1000, $5 * 1000, $6 * 1000 }' "$csv") |" \
    "$(mib $((convert_peak * 1024))) |"
echo "| cp -L of the same files | $(awk -F, '$1 == "cp" {
    printf "%.0f ± %.0f | %.0f | %.0f", $2 * 1000, $3 * 1000, $5 * 1000, $6 * 1000 }' "$csv") | |"
echo
echo "Files written:"
echo "$out_list"
echo
{
    verdict "$(awk -v r="$ratio" -v l="$TIME_RATIO_LIMIT" 'BEGIN { print (r <= l) }')" \
        "batch convert takes $ratio x the time of cp (medians; target at most $TIME_RATIO_LIMIT)"
    verdict "$([ $((convert_peak * 1024)) -lt "$PEAK_MEMORY_LIMIT" ] && echo 1 || echo 0)" \
        "batch convert peak memory $(mib $((convert_peak * 1024))) MiB (target under 64 MB)"
} | tee "$OUT/batch-convert.targets"
! grep -q '^FAIL' "$OUT/batch-convert.targets"
