#!/usr/bin/env bash
# Benchmark of `quorvane-cli info` on two large real-world SoundFont banks, beside libgig's sf2dump on the
# same files in the same run and the time it takes just to read each file once.
#
# For each bank it measures:
#   - wall time (hyperfine), warm: the file is in the page cache, after warm-up runs;
#   - wall time, cold: the file is evicted from the page cache before every run
#     (dd iflag=nocache count=0, which needs no privileges and touches no other file);
#   - peak resident memory (/usr/bin/time -f %M, the largest of three runs);
#   - how much of the file one cold run brings into the page cache (fincore), which shows whether
#     loading touched the sample data. Kernel read-ahead is included in that figure.
#
# Usage: bench/info.sh            (QUORVANE_BENCH_RUNS sets the number of timed runs, default 20)
# The figures go to stdout as a table; hyperfine's own report goes to stderr; raw results to bench/out/.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/setup.sh"
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

BANKS=(
    /usr/share/sounds/sf2/FluidR3_GM.sf2
    /usr/share/sounds/sf2/MuseScore_General_Full.sf2
)
RUNS="${QUORVANE_BENCH_RUNS:-20}"
PEAK_MEMORY_LIMIT=24000000 # bytes
READ_SLACK=$((1024 * 1024)) # read-ahead around the hydra may pull in this much sample data

quorvane_install_packages "${QUORVANE_PACKAGES[@]}" \
    fluid-soundfont-gm musescore-general-soundfont-lossless hyperfine time
quorvane_build build/release Release -DQUORVANE_TESTS=OFF -- --target quorvane-cli >&2

CLI="$QUORVANE_ROOT/build/release/app/cli/quorvane-cli"
SF2DUMP="$(command -v sf2dump)"
OUT="$QUORVANE_ROOT/bench/out"
mkdir -p "$OUT"

# Size of the sample-data list (LIST sdta) of a SoundFont, from a walk over its top-level chunks.
sample_data_bytes() {
    local file="$1" size offset=12 id type chunk
    size=$(stat -c %s "$file")
    while [ $((offset + 12)) -le "$size" ]; do
        id=$(dd if="$file" bs=1 skip="$offset" count=4 status=none)
        chunk=$(od -An -tu4 -j $((offset + 4)) -N 4 "$file" | tr -d ' ')
        type=$(dd if="$file" bs=1 skip=$((offset + 8)) count=4 status=none)
        if [ "$id" = LIST ] && [ "$type" = sdta ]; then
            echo $((chunk + 8))
            return
        fi
        offset=$((offset + chunk + 8))
    done
    echo 0
}

csv_cell() {
    awk -F, -v name="$2" '$1 == name { printf "%.1f ± %.1f", $2 * 1000, $3 * 1000 }' "$1"
}

# bench_one FILE: measures, then prints that bank's table rows and target lines into $OUT/NAME.rows.
bench_one() {
    local bank="$1" name
    name=$(basename "$bank" .sf2)
    quorvane_log "$name: warm runs"
    hyperfine -N --style basic --warmup 3 --runs "$RUNS" --export-csv "$OUT/$name-warm.csv" \
        -n info "$CLI info $bank" -n sf2dump "$SF2DUMP $bank" -n read "cat $bank" >&2
    quorvane_log "$name: cold runs"
    hyperfine -N --style basic --runs "$RUNS" --prepare "dd if=$bank iflag=nocache count=0 status=none" \
        --export-csv "$OUT/$name-cold.csv" \
        -n info "$CLI info $bank" -n sf2dump "$SF2DUMP $bank" -n read "cat $bank" >&2

    quorvane_log "$name: memory and file reads"
    local -A peak touched
    peak[info]=$(peak_kib "$CLI" info "$bank")
    peak[sf2dump]=$(peak_kib "$SF2DUMP" "$bank")
    peak[read]=$(peak_kib cat "$bank")
    evict "$bank"; "$CLI" info "$bank" >/dev/null; touched[info]=$(cached_bytes "$bank")
    evict "$bank"; "$SF2DUMP" "$bank" >/dev/null 2>&1; touched[sf2dump]=$(cached_bytes "$bank")
    evict "$bank"; cat "$bank" >/dev/null; touched[read]=$(cached_bytes "$bank")

    local size sdta
    size=$(stat -c %s "$bank")
    sdta=$(sample_data_bytes "$bank")
    {
        local what
        for what in info sf2dump read; do
            printf '| %s | %s | %s | %s | %s | %s |\n' \
                "$name" "$(describe "$what")" \
                "$(csv_cell "$OUT/$name-warm.csv" "$what")" "$(csv_cell "$OUT/$name-cold.csv" "$what")" \
                "$(mib $((peak[$what] * 1024)))" "$(mib "${touched[$what]}")"
        done
    } >"$OUT/$name.rows"
    {
        local temp ratio
        for temp in warm cold; do
            ratio=$(awk -v a="$(csv_mean "$OUT/$name-$temp.csv" info)" \
                -v b="$(csv_mean "$OUT/$name-$temp.csv" sf2dump)" 'BEGIN { printf "%.2f", a / b }')
            verdict "$(awk -v r="$ratio" 'BEGIN { print (r <= 0.5) }')" \
                "$name: info takes $ratio of sf2dump's time ($temp; target at most 0.50)"
        done
        verdict "$([ $((peak[info] * 1024)) -lt "$PEAK_MEMORY_LIMIT" ] && echo 1 || echo 0)" \
            "$name: info peak memory $(mib $((peak[info] * 1024))) MiB (target under 24 MB)"
        local hydra=$((size - sdta))
        verdict "$([ "${touched[info]}" -le $((hydra + READ_SLACK)) ] && echo 1 || echo 0)" \
            "$name: one cold info run read $(mib "${touched[info]}") MiB of the file, which holds" \
            "$(mib "$hydra") MiB besides its sample data (target: no sample data beyond read-ahead)"
    } >"$OUT/$name.targets"
}

describe() {
    case "$1" in
    info) echo "quorvane-cli info" ;;
    sf2dump) echo "sf2dump" ;;
    read) echo "cat (read the file once)" ;;
    esac
}

for bank in "${BANKS[@]}"; do
    bench_one "$bank"
done

echo "Machine: $(nproc) cores, $(lscpu | sed -n 's/^Model name: *//p' | head -n 1); $(date -u +%Y-%m-%d)"
echo
echo "| bank | command | warm ms (mean ± sd) | cold ms (mean ± sd) | peak RSS MiB | file read, cold MiB |"
echo "|---|---|---|---|---|---|"
for bank in "${BANKS[@]}"; do
    cat "$OUT/$(basename "$bank" .sf2).rows"
done
echo
for bank in "${BANKS[@]}"; do
    cat "$OUT/$(basename "$bank" .sf2).targets"
done
# A missed target fails the run, so that a script comparing runs notices.
! cat "$OUT"/*.targets | grep -q '^FAIL'
