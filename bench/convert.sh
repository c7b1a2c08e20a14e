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
#        QUORVANE_BENCH_BASE=COMMIT bench/convert.sh
#                                 also times the conversion of that commit in the same run (built from
#                                 `git archive` in build/bench-base), to compare a change with what it changes
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
BASE="${QUORVANE_BENCH_BASE:-}"
base_commands=()
if [ -n "$BASE" ]; then
    base_src="$QUORVANE_ROOT/build/bench-base/src"
    rm -rf "$base_src"
    mkdir -p "$base_src"
    git -C "$QUORVANE_ROOT" archive "$BASE" | tar -x -C "$base_src"
    cmake -S "$base_src" -B "$QUORVANE_ROOT/build/bench-base/release" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DQUORVANE_TESTS=OFF >&2
    cmake --build "$QUORVANE_ROOT/build/bench-base/release" -j "${QUORVANE_JOBS:-$(nproc)}" \
        --target quorvane-cli >&2
    BASE_CLI="$QUORVANE_ROOT/build/bench-base/release/app/cli/quorvane-cli"
    BASE_NAME="convert at $(git -C "$QUORVANE_ROOT" rev-parse --short "$BASE")"
    base_commands=(--prepare "rm -f '$WORK/base.sf2'; sync"
        -n "$BASE_NAME" "'$BASE_CLI' convert -o '$WORK/base.sf2' '$BANK'")
fi

csv_cell() { awk -F, -v name="$2" '$1 == name { printf "%.1f ± %.1f | %.1f", $2 * 1000, $3 * 1000, $4 * 1000 }' "$1"; }

name=$(basename "$BANK" .sf2)
quorvane_log "$name: wall time, convert beside cp"
hyperfine --style basic --warmup 2 --runs "$RUNS" \
    --prepare "rm -f '$WORK/convert.sf2'; sync" --prepare "rm -f '$WORK/copy.sf2'; sync" \
    --prepare "rm -f '$WORK/dd.sf2'; sync" \
    --export-csv "$OUT/$name-convert.csv" \
    -n convert "'$CLI' convert -o '$WORK/convert.sf2' '$BANK'" \
    -n cp "cp '$BANK' '$WORK/copy.sf2'" \
    -n dd "dd if='$BANK' of='$WORK/dd.sf2' bs=1M status=none" \
    "${base_commands[@]}" >&2

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
if [ -n "$BASE" ]; then
    base_peak=$(peak_kib "$BASE_CLI" convert -o "$WORK/memory.sf2" "$BANK")
    rm -f "$WORK/memory.sf2"
    echo "| quorvane-cli $BASE_NAME | $(csv_cell "$OUT/$name-convert.csv" "$BASE_NAME") | $(mib $((base_peak * 1024))) |"
fi
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
