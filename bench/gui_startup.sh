#!/usr/bin/env bash
# Start-up of the desktop program to its first painted main window, and one relayout of the main window,
# measured under Xvfb. Prints the medians of QUORVANE_BENCH_RUNS runs (default 20) and exits non-zero when
# a target is missed: start-up under 300 ms, relayout under 5 ms.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/setup.sh"
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

quorvane_install_packages "${QUORVANE_PACKAGES[@]}"
quorvane_build build/release Release -DQUORVANE_TESTS=OFF -- --target quorvane_gui_bench >&2

OUT="$QUORVANE_ROOT/bench/out"
mkdir -p "$OUT"
bench="$QUORVANE_ROOT/build/release/bench/gui/quorvane_gui_bench"
runs="${QUORVANE_BENCH_RUNS:-20}"

start_xvfb

: >"$OUT/gui_startup.txt"
for _ in $(seq "$runs"); do
    start=$(date +%s%N)
    DISPLAY="$display" QT_QPA_PLATFORM=xcb "$bench" >>"$OUT/gui_startup.txt"
    end=$(date +%s%N)
    echo "process_ms $(awk -v ns="$((end - start))" 'BEGIN { printf "%.2f", ns / 1e6 }')" >>"$OUT/gui_startup.txt"
done

median() { awk -v k="$1" '$1 == k { print $2 }' "$OUT/gui_startup.txt" | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
startup=$(median startup_ms)
process=$(median process_ms)
relayout_us=$(median relayout_us)

echo "runs                                  $runs"
echo "start-up to first paint (in process)  $startup ms"
echo "whole process, start to exit          $process ms"
echo "relayout                              $relayout_us us"
ok=1
awk -v v="$startup" 'BEGIN { exit !(v < 300) }' || ok=0
verdict_startup=$ok
ok=1
awk -v v="$relayout_us" 'BEGIN { exit !(v < 5000) }' || ok=0
[ "$verdict_startup" = 1 ] && echo "PASS  start-up under 300 ms" || echo "FAIL  start-up under 300 ms"
[ "$ok" = 1 ] && echo "PASS  relayout under 5 ms" || echo "FAIL  relayout under 5 ms"
[ "$verdict_startup" = 1 ] && [ "$ok" = 1 ]
