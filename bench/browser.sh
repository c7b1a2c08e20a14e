#!/usr/bin/env bash
# Benchmark of the browser as a person uses it, on the release build under Xvfb: listing a folder of 2,000
# banks, loading FluidR3_GM and filling both trees, switching between FluidR3_GM and TimGM6mb, and the
# search of a tree of 20,000 folders. Targets: under 100 ms for each of the first three, under 2 s for the
# search. QUORVANE_BENCH_RUNS sets the number of runs (default 5); medians are reported.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/setup.sh"
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

quorvane_install_packages "${QUORVANE_PACKAGES[@]}" fluid-soundfont-gm
quorvane_build build/release Release -DQUORVANE_TESTS=OFF -- --target quorvane_browser_bench >&2

OUT="$QUORVANE_ROOT/bench/out"
mkdir -p "$OUT"
bench="$QUORVANE_ROOT/build/release/bench/gui/quorvane_browser_bench"
runs="${QUORVANE_BENCH_RUNS:-5}"

start_xvfb

: >"$OUT/browser.txt"
for _ in $(seq "$runs"); do
    DISPLAY="$display" QT_QPA_PLATFORM=xcb "$bench" /usr/share/sounds/sf2/FluidR3_GM.sf2 \
        /usr/share/sounds/sf2/TimGM6mb.sf2 >>"$OUT/browser.txt"
done

median() { awk -v k="$1" '$1 == k { print $2 }' "$OUT/browser.txt" | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
ok=1
check() {
    local name="$1" label="$2" limit="$3" value
    value=$(median "$name")
    if awk -v v="$value" -v l="$limit" 'BEGIN { exit !(v < l) }'; then
        printf 'PASS  %-44s %8s ms (target under %s ms)\n' "$label" "$value" "$limit"
    else
        printf 'FAIL  %-44s %8s ms (target under %s ms)\n' "$label" "$value" "$limit"
        ok=0
    fi
}
check list_2000_ms "list a folder of 2,000 banks" 100
check load_a_ms "load FluidR3_GM and fill both trees" 100
check switch_to_b_ms "switch to TimGM6mb" 100
check switch_to_a_ms "switch back to FluidR3_GM" 100
check search_20000_ms "search a tree of 20,000 folders" 2000
[ "$ok" = 1 ]
