#!/usr/bin/env bash
# Benchmark of decoding the Ogg Vorbis samples of a SoundFont 3 bank: `quorvane-cli export-samples` of
# MuseScore_General_Lite.sf3 (every sample decoded through libsndfile and written as a 16-bit WAVE file)
# beside libsndfile's own `sndfile-convert` turning the same streams, cut out of the bank as .ogg files,
# into 16-bit WAVE files, one process per stream, in the same run. `info` of the bank (which measures every
# stream from its last page without decoding) is timed too.
#
# Usage: bench/sf3_decode.sh   (QUORVANE_BENCH_RUNS: timed runs, default 5; QUORVANE_BENCH_BUILD: the build
#                               folder, default build/release)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/setup.sh"
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

BANK=/usr/share/sounds/sf3/MuseScore_General_Lite.sf3
RUNS="${QUORVANE_BENCH_RUNS:-5}"
BUILD="${QUORVANE_BENCH_BUILD:-build/release}"
TIME_RATIO_LIMIT=1.2

quorvane_install_packages "${QUORVANE_PACKAGES[@]}" musescore-general-soundfont-small sndfile-programs \
    hyperfine time
quorvane_build "$BUILD" Release -DQUORVANE_TESTS=OFF -- --target quorvane-cli >&2

CLI="$QUORVANE_ROOT/$BUILD/app/cli/quorvane-cli"
OUT="$QUORVANE_ROOT/bench/out"
WORK="$OUT/sf3-work"
mkdir -p "$WORK"
trap 'rm -rf "$WORK"' EXIT

csv_cell() { awk -F, -v name="$2" '$1 == name { printf "%.0f ± %.0f", $2 * 1000, $3 * 1000 }' "$1"; }

streams=$(python3 "$QUORVANE_ROOT/bench/sf3_streams.py" "$BANK" "$WORK/ogg")
name=$(basename "$BANK" .sf3)
quorvane_log "$name: $streams streams; export-samples beside sndfile-convert"
hyperfine --style basic --warmup 1 --runs "$RUNS" \
    --prepare "rm -rf '$WORK/ours' '$WORK/peer'; mkdir -p '$WORK/peer'; sync" \
    --export-csv "$OUT/$name-decode.csv" \
    -n export-samples "'$CLI' export-samples -o '$WORK/ours' '$BANK'" \
    -n sndfile-convert "for f in '$WORK'/ogg/*.ogg; do sndfile-convert -pcm16 \"\$f\" '$WORK'/peer/\$(basename \"\$f\" .ogg).wav; done" \
    -n info "'$CLI' info '$BANK'" >&2

ours=$(csv_mean "$OUT/$name-decode.csv" export-samples)
peer=$(csv_mean "$OUT/$name-decode.csv" sndfile-convert)
ratio=$(awk -v a="$ours" -v b="$peer" 'BEGIN { printf "%.2f", a / b }')
echo "Machine: $(nproc) cores, $(lscpu | sed -n 's/^Model name: *//p' | head -n 1); $(date -u +%Y-%m-%d)"
echo
echo "| $name ($(mib "$(stat -c %s "$BANK")") MiB, $streams streams) | wall ms (mean ± sd) |"
echo "|---|---|"
echo "| quorvane-cli export-samples | $(csv_cell "$OUT/$name-decode.csv" export-samples) |"
echo "| sndfile-convert, one per stream | $(csv_cell "$OUT/$name-decode.csv" sndfile-convert) |"
echo "| quorvane-cli info | $(csv_cell "$OUT/$name-decode.csv" info) |"
echo
{
    verdict "$(awk -v r="$ratio" -v l="$TIME_RATIO_LIMIT" 'BEGIN { print (r <= l) }')" \
        "$name: export-samples takes $ratio x the time of sndfile-convert (target at most $TIME_RATIO_LIMIT)"
} | tee "$OUT/sf3_decode.targets"
! grep -q '^FAIL' "$OUT/sf3_decode.targets"
