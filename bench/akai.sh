#!/usr/bin/env bash
# Benchmark of quorvane-cli on a 650 MB Akai CD-ROM image made by the test image builder (sparse, made in
# bench/out and never committed): eleven partitions of small volumes, and one volume (A/1) of 48 MB of sine
# samples with one program.
#
# It measures, with the image in the page cache after warm-up runs:
#   - `info IMAGE`: the partition scan and every partition's volume list (target: under 50 ms whatever the
#     image's size, since only headers are read);
#   - `convert --volume A/1 -o OUT.sf2 IMAGE` beside `dd` reading the volume's bytes once (target: at most
#     1.5 times as long), and beside `dd` copying them to a file: a conversion writes as many bytes as it
#     reads, so the copy is its physical floor;
#   - peak resident memory of the conversion (target: under 32 MB).
#
# Usage: bench/akai.sh   (QUORVANE_BENCH_RUNS sets the number of timed runs, default 10)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/setup.sh"
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

RUNS="${QUORVANE_BENCH_RUNS:-10}"
LIST_LIMIT_MS=50
TIME_RATIO_LIMIT=1.5
PEAK_MEMORY_LIMIT=33554432 # bytes

quorvane_install_packages "${QUORVANE_PACKAGES[@]}" hyperfine time
# The image maker lives with the tests' builders, so it needs a build with the tests configured.
quorvane_build build/bench Release -- --target quorvane-cli make_akai_image >&2

CLI="$QUORVANE_ROOT/build/bench/app/cli/quorvane-cli"
OUT="$QUORVANE_ROOT/bench/out"
WORK="$OUT/akai-work"
mkdir -p "$WORK"
trap 'rm -rf "$WORK"' EXIT
IMAGE="$WORK/large.iso"
"$QUORVANE_ROOT/build/bench/tests/make_akai_image" large "$IMAGE"

# The volume's bytes: from its directory to the end of its last file, as the listing gives them.
read -r FIRST LAST < <("$CLI" info --json --volume A/1 "$IMAGE" | python3 -c '
import json, sys
bank = json.load(sys.stdin)
ends = [s["dataOffset"] * 2048 + 150 + s["dataLength"] for s in bank["samples"]]
print(min(s["dataOffset"] for s in bank["samples"]) * 2048, max(ends))')
VOLUME_BYTES=$((LAST - FIRST))
SKIP_MIB=$((FIRST / 1048576))
COUNT_MIB=$(((LAST + 1048575) / 1048576 - SKIP_MIB))

hyperfine --warmup 3 --runs "$RUNS" -N --export-csv "$OUT/akai-list.csv" \
    -n list "$CLI info $IMAGE" >&2
hyperfine --warmup 2 --runs "$RUNS" --export-csv "$OUT/akai-convert.csv" \
    --prepare "rm -f $WORK/out.sf2 $WORK/copy.bin; sync" \
    -n convert "$CLI convert --volume A/1 -o $WORK/out.sf2 $IMAGE" \
    -n read "dd if=$IMAGE of=/dev/null bs=1M skip=$SKIP_MIB count=$COUNT_MIB status=none" \
    -n copy "dd if=$IMAGE of=$WORK/copy.bin bs=1M skip=$SKIP_MIB count=$COUNT_MIB status=none" >&2

list_ms=$(awk -v s="$(csv_median "$OUT/akai-list.csv" list)" 'BEGIN { printf "%.1f", s * 1000 }')
convert_s=$(csv_median "$OUT/akai-convert.csv" convert)
read_s=$(csv_median "$OUT/akai-convert.csv" read)
copy_s=$(csv_median "$OUT/akai-convert.csv" copy)
ratio=$(awk -v a="$convert_s" -v b="$read_s" 'BEGIN { printf "%.2f", a / b }')
copy_ratio=$(awk -v a="$convert_s" -v b="$copy_s" 'BEGIN { printf "%.2f", a / b }')
peak=$(peak_kib "$CLI" convert --volume A/1 -o "$WORK/out.sf2" "$IMAGE")
peak_bytes=$((peak * 1024))

echo "image: $(mib "$(stat -c %s "$IMAGE")") MiB (sparse), volume A/1: $(mib "$VOLUME_BYTES") MiB"
printf "%-40s %10s\n" "list partitions and volumes (median)" "$list_ms ms"
printf "%-40s %10s\n" "convert A/1 to SoundFont (median)" "$(awk -v s="$convert_s" 'BEGIN { printf "%.3f s", s }')"
printf "%-40s %10s\n" "dd of the volume's bytes (median)" "$(awk -v s="$read_s" 'BEGIN { printf "%.3f s", s }')"
printf "%-40s %10s\n" "dd copy of them to a file (median)" "$(awk -v s="$copy_s" 'BEGIN { printf "%.3f s", s }')"
printf "%-40s %10s\n" "convert / read" "$ratio"
printf "%-40s %10s\n" "convert / copy" "$copy_ratio"
printf "%-40s %10s\n" "peak memory of the conversion" "$(mib "$peak_bytes") MiB"
verdict "$(awk -v v="$list_ms" -v l="$LIST_LIMIT_MS" 'BEGIN { print (v < l) }')" "listing under $LIST_LIMIT_MS ms"
verdict "$(awk -v v="$ratio" -v l="$TIME_RATIO_LIMIT" 'BEGIN { print (v <= l) }')" "conversion at most ${TIME_RATIO_LIMIT}x the read"
verdict "$((peak_bytes < PEAK_MEMORY_LIMIT))" "peak memory under 32 MiB"
