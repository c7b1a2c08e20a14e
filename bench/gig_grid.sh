#!/usr/bin/env bash
# Benchmark of the GigaSampler writer's key grid: `quorvane-cli convert` to .gig of a one-preset bank whose
# 1000 layers all play one 1000-zone instrument (25 KB naming a million layer/zone pairs), by this tree's
# release build and by the build of an older revision (default: the one before the key grid last changed),
# in the same run. Before timing, both builds convert TimGM6mb, FluidR3_GM and a 200 x 200 bank, and their
# outputs must be identical apart from the random identifiers (dlid) and the creation date (ICRD).
#
# Usage: bench/gig_grid.sh [BASE_REVISION]    (QUORVANE_BENCH_RUNS sets the number of timed runs, default 3)
# The figures go to stdout as a table; hyperfine's own report goes to stderr; raw results to bench/out/.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/setup.sh"
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

RUNS="${QUORVANE_BENCH_RUNS:-3}"
BASE="${1:-$(git -C "$QUORVANE_ROOT" log -1 --format=%H -- src/formats/dls/GigaKeyGrid.cpp)^}"
TIME_LIMIT_MS=1000 # the 1000 x 1000 bank, this tree's build

quorvane_install_packages "${QUORVANE_PACKAGES[@]}" fluid-soundfont-gm timgm6mb-soundfont hyperfine time
quorvane_build build/release Release -DQUORVANE_TESTS=OFF -- --target quorvane-cli >&2

OUT="$QUORVANE_ROOT/bench/out"
WORK="$OUT/gig-grid-work"
OLD_TREE="$OUT/gig-grid-base"
mkdir -p "$WORK"
trap 'rm -rf "$WORK"' EXIT

# The base revision is checked out in a work tree of its own under bench/out, kept with its build between
# runs so that a second run builds nothing.
quorvane_log "building the base revision $(git -C "$QUORVANE_ROOT" rev-parse --short "$BASE")"
if [ -e "$OLD_TREE/.git" ]; then
    git -C "$OLD_TREE" checkout --quiet --detach "$(git -C "$QUORVANE_ROOT" rev-parse "$BASE")"
else
    git -C "$QUORVANE_ROOT" worktree add --detach "$OLD_TREE" "$BASE" >&2
fi
cmake -S "$OLD_TREE" -B "$OLD_TREE/build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUORVANE_TESTS=OFF >&2
cmake --build "$OLD_TREE/build" -j "${QUORVANE_JOBS:-$(nproc)}" --target quorvane-cli >&2

NEW="$QUORVANE_ROOT/build/release/app/cli/quorvane-cli"
OLD="$OLD_TREE/build/app/cli/quorvane-cli"
BENCH="$QUORVANE_ROOT/bench"

python3 "$BENCH/make_layered_bank.py" "$WORK/layers200.sf2" 200 200
python3 "$BENCH/make_layered_bank.py" "$WORK/layers1000.sf2" 1000 1000

identical=1
for bank in /usr/share/sounds/sf2/TimGM6mb.sf2 /usr/share/sounds/sf2/FluidR3_GM.sf2 "$WORK/layers200.sf2"; do
    name=$(basename "$bank" .sf2)
    quorvane_log "$name: old and new outputs"
    "$OLD" convert -o "$WORK/$name-old.gig" "$bank" >/dev/null 2>&1
    "$NEW" convert -o "$WORK/$name-new.gig" "$bank" >/dev/null 2>&1
    python3 "$BENCH/gig_normalize.py" "$WORK/$name-old.gig" "$WORK/$name-old.bytes"
    python3 "$BENCH/gig_normalize.py" "$WORK/$name-new.gig" "$WORK/$name-new.bytes"
    if cmp -s "$WORK/$name-old.bytes" "$WORK/$name-new.bytes"; then
        echo "$name: identical ($(stat -c %s "$WORK/$name-new.gig") bytes)" >&2
    else
        echo "$name: DIFFERENT" >&2
        identical=0
    fi
    rm -f "$WORK/$name"-*.gig "$WORK/$name"-*.bytes
done

quorvane_log "layers1000: wall time, old and new"
hyperfine --style basic --runs "$RUNS" --prepare "rm -f '$WORK/old.gig' '$WORK/new.gig'" \
    --export-csv "$OUT/gig-grid.csv" \
    -n old "'$OLD' convert -o '$WORK/old.gig' '$WORK/layers1000.sf2'" \
    -n new "'$NEW' convert -o '$WORK/new.gig' '$WORK/layers1000.sf2'" >&2
python3 "$BENCH/gig_normalize.py" "$WORK/old.gig" "$WORK/old.bytes"
python3 "$BENCH/gig_normalize.py" "$WORK/new.gig" "$WORK/new.bytes"
cmp -s "$WORK/old.bytes" "$WORK/new.bytes" || identical=0
old_peak=$(peak_kib "$OLD" convert -o "$WORK/memory.gig" "$WORK/layers1000.sf2")
new_peak=$(peak_kib "$NEW" convert -o "$WORK/memory.gig" "$WORK/layers1000.sf2")

csv="$OUT/gig-grid.csv"
old_ms=$(awk -v s="$(csv_median "$csv" old)" 'BEGIN { printf "%.0f", s * 1000 }')
new_ms=$(awk -v s="$(csv_median "$csv" new)" 'BEGIN { printf "%.0f", s * 1000 }')
echo "Machine: $(nproc) cores, $(lscpu | sed -n 's/^Model name: *//p' | head -n 1); $(date -u +%Y-%m-%d)"
echo
echo "| layers1000 (1000 layers x 1000 zones, $(stat -c %s "$WORK/layers1000.sf2") bytes) | wall ms (median)" \
    "| peak RSS MiB |"
echo "|---|---|---|"
echo "| base $(git -C "$QUORVANE_ROOT" rev-parse --short "$BASE") | $old_ms | $(mib $((old_peak * 1024))) |"
echo "| this tree | $new_ms | $(mib $((new_peak * 1024))) |"
echo
{
    verdict "$identical" "outputs of TimGM6mb, FluidR3_GM, 200 x 200 and 1000 x 1000 identical to the base's"
    verdict "$([ "$new_ms" -le "$TIME_LIMIT_MS" ] && echo 1 || echo 0)" \
        "layers1000 converts in $new_ms ms (target at most $TIME_LIMIT_MS ms)"
} | tee "$OUT/gig-grid.targets"
! grep -q '^FAIL' "$OUT/gig-grid.targets"
