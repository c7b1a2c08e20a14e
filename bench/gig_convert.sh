#!/usr/bin/env bash
# Benchmark of `quorvane-cli convert` writing a large real-world SoundFont bank whole as GigaSampler, beside
# `cp` of the same file in the same run. The conversion copies every sample once, as 16-bit mono PCM, and
# adds a few hundred kilobytes of instrument chunks, so cp, which reads and writes the same bytes and does
# nothing else, is the floor. cp copies inside the kernel (copy_file_range); a program that has to see the
# frames reads them into its own memory and writes them out again, so `dd bs=1M` of the same file, which
# does just that, is measured beside them as the floor for such a program.
#
# FluidR3_GM has more presets than one GigaSampler file takes, so the conversion writes 'convert part1.gig',
# 'part2' and 'part3': more bytes than the bank, so time is compared per byte written.
#
# For FluidR3_GM.sf2 (148 MB) it measures:
#   - wall time (hyperfine), with the source in the page cache after warm-up runs; before every run the
#     previous output is removed and dirty pages are flushed (sync), so that no run pays for the last one's
#     write-back;
#   - peak resident memory (/usr/bin/time -f %M, the largest of three runs);
#   - how many bytes of the bank the conversion reads (strace of every read, pread and splice on it): no
#     more than it writes, each sample read once for every part that holds it, the bank never read again
#     for a part.
# The output is then read by libgig's gigdump and by quorvane-cli info, so a run that writes a broken bank
# fails.
#
# Usage: bench/gig_convert.sh    (QUORVANE_BENCH_RUNS sets the number of timed runs, default 10)
# The figures go to stdout as a table; hyperfine's own report goes to stderr; raw results to bench/out/.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/setup.sh"
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

BANK=/usr/share/sounds/sf2/FluidR3_GM.sf2
RUNS="${QUORVANE_BENCH_RUNS:-10}"
TIME_RATIO_LIMIT=1.3 # per byte written
READ_RATIO_LIMIT=1.0 # bytes of the bank read / bytes written
PEAK_MEMORY_LIMIT=$((64 * 1000 * 1000)) # bytes

quorvane_install_packages "${QUORVANE_PACKAGES[@]}" fluid-soundfont-gm hyperfine time strace
quorvane_build build/release Release -DQUORVANE_TESTS=OFF -- --target quorvane-cli >&2

CLI="$QUORVANE_ROOT/build/release/app/cli/quorvane-cli"
OUT="$QUORVANE_ROOT/bench/out"
# The outputs go to the repository's file system (bench/out is not kept in git), as a user's would.
WORK="$OUT/gig-convert-work"
mkdir -p "$WORK"
trap 'rm -rf "$WORK"' EXIT

# Wall time mean ± sd, then user and system time, in ms.
csv_cell() {
    awk -F, -v name="$2" '$1 == name {
        printf "%.0f ± %.0f | %.0f | %.0f", $2 * 1000, $3 * 1000, $5 * 1000, $6 * 1000 }' "$1"
}

name=$(basename "$BANK" .sf2)
quorvane_log "$name: wall time, convert to GigaSampler beside cp"
hyperfine --style basic --warmup 2 --runs "$RUNS" \
    --prepare "rm -f '$WORK'/convert*.gig; sync" --prepare "rm -f '$WORK/copy.sf2'; sync" \
    --prepare "rm -f '$WORK/dd.sf2'; sync" \
    --export-csv "$OUT/$name-gig-convert.csv" \
    -n convert "'$CLI' convert -o '$WORK/convert.gig' '$BANK'" \
    -n cp "cp '$BANK' '$WORK/copy.sf2'" \
    -n dd "dd if='$BANK' of='$WORK/dd.sf2' bs=1M status=none" >&2

# The conversion must have produced parts that both readers read.
out_size=0
for part in "$WORK"/convert*.gig; do
    gigdump "$part" >/dev/null
    "$CLI" info "$part" >/dev/null
    out_size=$((out_size + $(stat -c %s "$part")))
done
bank_size=$(stat -c %s "$BANK")

quorvane_log "bytes of the bank read"
rm -f "$WORK"/convert*.gig
strace -f -y -o "$WORK/reads.trace" -e trace=read,pread64,preadv,splice,sendfile,copy_file_range \
    "$CLI" convert -q -o "$WORK/convert.gig" "$BANK"
# Calls whose source descriptor is the bank (strace -y names it), summed by what they returned.
bank_read=$(awk -v bank="<$BANK>" '{
    rest = substr($0, index($0, "(") + 1); fd = substr(rest, 1, index(rest, "<") - 1)
    if (fd ~ /^[0-9]+$/ && substr(rest, length(fd) + 1, length(bank)) == bank && $NF ~ /^[0-9]+$/) sum += $NF
} END { print sum + 0 }' "$WORK/reads.trace")
read_ratio=$(awk -v a="$bank_read" -v b="$out_size" 'BEGIN { printf "%.2f", a / b }')

quorvane_log "peak memory"
convert_peak=$(peak_kib "$CLI" convert -o "$WORK/memory.gig" "$BANK")
rm -f "$WORK"/memory*.gig
cp_peak=$(peak_kib cp "$BANK" "$WORK/copy.sf2")

convert_mean=$(csv_mean "$OUT/$name-gig-convert.csv" convert)
cp_mean=$(csv_mean "$OUT/$name-gig-convert.csv" cp)
# Time per byte written, against cp's time per byte.
ratio=$(awk -v a="$convert_mean" -v b="$cp_mean" -v o="$out_size" -v s="$bank_size" \
    'BEGIN { printf "%.2f", (a / o) / (b / s) }')

echo "Machine: $(nproc) cores, $(lscpu | sed -n 's/^Model name: *//p' | head -n 1); $(date -u +%Y-%m-%d)"
echo
echo "| $name ($(mib "$(stat -c %s "$BANK")") MiB) | wall ms (mean ± sd) | user ms | system ms" \
    "| peak RSS MiB |"
echo "|---|---|---|---|---|"
csv="$OUT/$name-gig-convert.csv"
echo "| quorvane-cli convert to .gig (3 parts, $(mib "$out_size") MiB) | $(csv_cell "$csv" convert)" \
    "| $(mib $((convert_peak * 1024))) |"
echo "| cp | $(csv_cell "$csv" cp) | $(mib $((cp_peak * 1024))) |"
echo "| dd bs=1M (through user space) | $(csv_cell "$csv" dd) | |"
echo
echo "convert / cp per byte written: $ratio; bank bytes read: $(mib "$bank_read") MiB ($read_ratio x the bytes written)"
echo "convert / dd: $(awk -v a="$convert_mean" -v b="$(csv_mean "$csv" dd)" 'BEGIN { printf "%.2f", a / b }')"
echo
{
    verdict "$(awk -v r="$ratio" -v l="$TIME_RATIO_LIMIT" 'BEGIN { print (r <= l) }')" \
        "$name: convert to GigaSampler takes $ratio x the time of cp per byte written (target at most $TIME_RATIO_LIMIT)"
    verdict "$(awk -v r="$read_ratio" -v l="$READ_RATIO_LIMIT" 'BEGIN { print (r <= l) }')" \
        "$name: convert to GigaSampler reads $read_ratio x the bytes it writes from the bank (target at most $READ_RATIO_LIMIT)"
    verdict "$([ $((convert_peak * 1024)) -lt "$PEAK_MEMORY_LIMIT" ] && echo 1 || echo 0)" \
        "$name: convert to GigaSampler peak memory $(mib $((convert_peak * 1024))) MiB (target under 64 MB)"
} | tee "$OUT/gig-convert.targets"
# A missed target fails the run, so that a script comparing runs notices.
! grep -q '^FAIL' "$OUT/gig-convert.targets"
