#!/usr/bin/env bash
# The desktop program's saves beside the command line's, on the release build under Xvfb: FluidR3_GM saved
# whole as SoundFont and as GigaSampler and all its samples as WAVE, each as the Save button runs it (the
# progress window up, the dialog's answer given), and the same job through quorvane-cli in the same run.
# Targets: the window's time at most 1.3 x the command line's, and no wait of more than 100 ms between two
# ticks of a 10 ms timer while the window saves. The outputs must be the command line's, byte for byte
# (GigaSampler: apart from its identifiers and date, compared through gigdump). QUORVANE_BENCH_RUNS sets
# the number of runs (default 3); medians are reported.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/setup.sh"
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

quorvane_install_packages "${QUORVANE_PACKAGES[@]}" fluid-soundfont-gm
quorvane_build build/release Release -DQUORVANE_TESTS=OFF -- --target quorvane_gui_save_bench quorvane-cli >&2

OUT="$QUORVANE_ROOT/bench/out"
WORK=$(mktemp -d)
mkdir -p "$OUT"
bench="$QUORVANE_ROOT/build/release/bench/gui/quorvane_gui_save_bench"
CLI="$QUORVANE_ROOT/build/release/app/cli/quorvane-cli"
BANK=/usr/share/sounds/sf2/FluidR3_GM.sf2
runs="${QUORVANE_BENCH_RUNS:-3}"
mkdir -p "$WORK/in"
ln -s "$BANK" "$WORK/in/FluidR3_GM.sf2"

start_xvfb
trap 'kill "$xvfb_pid" 2>/dev/null || true; rm -rf "$WORK"' EXIT

ms_of() { awk -v s="$1" -v e="$2" 'BEGIN { printf "%.1f", (e - s) / 1e6 }'; }
: >"$OUT/gui_save.txt"
for _ in $(seq "$runs"); do
    for job in sf2 gig wav; do
        rm -rf "$WORK/gui" "$WORK/cli"
        mkdir -p "$WORK/gui" "$WORK/cli/$job"
        DISPLAY="$display" QT_QPA_PLATFORM=xcb "$bench" "$WORK/in" "$WORK/gui" "$job" >>"$OUT/gui_save.txt"
        start=$(date +%s%N)
        case "$job" in
        sf2) "$CLI" convert -o "$WORK/cli/sf2/FluidR3_GM.sf2" "$WORK/in/FluidR3_GM.sf2" 2>/dev/null ;;
        gig) "$CLI" convert -o "$WORK/cli/gig/FluidR3_GM.gig" "$WORK/in/FluidR3_GM.sf2" 2>/dev/null ;;
        wav) "$CLI" export-samples -o "$WORK/cli/wav" "$WORK/in/FluidR3_GM.sf2" 2>/dev/null ;;
        esac
        echo "cli_${job}_ms $(ms_of "$start" "$(date +%s%N)")" >>"$OUT/gui_save.txt"
        # Same outputs from both front ends.
        case "$job" in
        sf2) cmp "$WORK/gui/sf2/FluidR3_GM.sf2" "$WORK/cli/sf2/FluidR3_GM.sf2" ;;
        gig)
            for part in "$WORK"/cli/gig/*.gig; do
                diff <(gigdump "$part" | grep -v -i 'uuid\|dlid\|date') \
                    <(gigdump "$WORK/gui/gig/$(basename "$part")" | grep -v -i 'uuid\|dlid\|date') >/dev/null
            done
            ;;
        wav) diff -r "$WORK/gui/wav" "$WORK/cli/wav" >/dev/null ;;
        esac
    done
done

median() { awk -v k="$1" '$1 == k { print $2 }' "$OUT/gui_save.txt" | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
worst() { awk -v k="$1" '$1 == k && $2 > m { m = $2 } END { print m + 0 }' "$OUT/gui_save.txt"; }
echo "Machine: $(nproc) cores, $(lscpu | sed -n 's/^Model name: *//p' | head -n 1); $(date -u +%Y-%m-%d)"
echo
echo "| FluidR3_GM, $runs runs | windows ms | quorvane-cli ms | ratio | longest event gap ms |"
echo "|---|---|---|---|---|"
ok=1
for job in sf2 gig wav; do
    gui=$(median "${job}_ms")
    cli=$(median "cli_${job}_ms")
    gap=$(worst "${job}_gap_ms")
    ratio=$(awk -v a="$gui" -v b="$cli" 'BEGIN { printf "%.2f", a / b }')
    echo "| $job | $gui | $cli | $ratio | $gap |"
    awk -v r="$ratio" -v g="$gap" 'BEGIN { exit !(r <= 1.3 && g <= 100) }' || ok=0
done
echo
verdict "$ok" "windows within 1.3 x the command line, no event gap over 100 ms"
[ "$ok" = 1 ]
