#!/usr/bin/env bash
# Benchmark of the GigaSampler writer's key grid: `quorvane-cli convert` to .gig of one-preset banks whose
# 1000 layers all play one 1000-zone instrument (a few KB naming a million layer/zone pairs), by this tree's
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
python3 "$BENCH/make_layered_bank.py" "$WORK/full1000.sf2" 1000 1000 --full

identical=1
# Banks of more than 128 presets become several parts: each side writes into a folder of its own, and
# every file must match.
for bank in /usr/share/sounds/sf2/TimGM6mb.sf2 /usr/share/sounds/sf2/FluidR3_GM.sf2 "$WORK/layers200.sf2"; do
    name=$(basename "$bank" .sf2)
    quorvane_log "$name: old and new outputs"
    rm -rf "$WORK/old" "$WORK/new"
    mkdir -p "$WORK/old" "$WORK/new"
    "$OLD" convert --to gig -o "$WORK/old" "$bank" >/dev/null 2>&1
    "$NEW" convert --to gig -o "$WORK/new" "$bank" >/dev/null 2>&1
    files=0
    for old_file in "$WORK/old"/*.gig; do
        new_file="$WORK/new/$(basename "$old_file")"
        files=$((files + 1))
        python3 "$BENCH/gig_normalize.py" "$old_file" "$WORK/old.bytes"
        if [ ! -f "$new_file" ]; then
            identical=0
            echo "$name: $(basename "$old_file") missing from the new output" >&2
            continue
        fi
        python3 "$BENCH/gig_normalize.py" "$new_file" "$WORK/new.bytes"
        if ! cmp -s "$WORK/old.bytes" "$WORK/new.bytes"; then
            identical=0
            echo "$name: $(basename "$old_file") DIFFERENT" >&2
        fi
    done
    [ "$(ls "$WORK/new" | wc -l)" -eq "$files" ] || identical=0
    echo "$name: $files file(s) compared, $(du -sb "$WORK/new" | cut -f1) bytes" >&2
    rm -rf "$WORK/old" "$WORK/new"
done

# Spread: zones over 12 keys and a quarter of the velocities each; full: every zone over every key and
# velocity, where every pair clashes with the slots already taken.
for kind in layers full; do
    bank="$WORK/${kind}1000.sf2"
    quorvane_log "${kind}1000: wall time, old and new"
    hyperfine --style basic --runs "$RUNS" --prepare "rm -f '$WORK/old.gig'" --prepare "rm -f '$WORK/new.gig'" \
        --export-csv "$OUT/gig-grid-$kind.csv" \
        -n old "'$OLD' convert -o '$WORK/old.gig' '$bank'" \
        -n new "'$NEW' convert -o '$WORK/new.gig' '$bank'" >&2
    python3 "$BENCH/gig_normalize.py" "$WORK/old.gig" "$WORK/old.bytes"
    python3 "$BENCH/gig_normalize.py" "$WORK/new.gig" "$WORK/new.bytes"
    cmp -s "$WORK/old.bytes" "$WORK/new.bytes" || identical=0
done
new_peak=$(peak_kib "$NEW" convert -o "$WORK/memory.gig" "$WORK/full1000.sf2")

median_ms() { awk -v s="$(csv_median "$OUT/gig-grid-$1.csv" "$2")" 'BEGIN { printf "%.0f", s * 1000 }'; }
echo "Machine: $(nproc) cores, $(lscpu | sed -n 's/^Model name: *//p' | head -n 1); $(date -u +%Y-%m-%d)"
echo
echo "| 1000 layers x 1000 zones, wall ms (median) | base $(git -C "$QUORVANE_ROOT" rev-parse --short "$BASE")" \
    "| this tree |"
echo "|---|---|---|"
echo "| spread ($(stat -c %s "$WORK/layers1000.sf2") bytes) | $(median_ms layers old) | $(median_ms layers new) |"
echo "| full ($(stat -c %s "$WORK/full1000.sf2") bytes) | $(median_ms full old) | $(median_ms full new) |"
echo
echo "Peak RSS of this tree's build, full: $(mib $((new_peak * 1024))) MiB"
echo
worst=$(median_ms full new)
[ "$(median_ms layers new)" -gt "$worst" ] && worst=$(median_ms layers new)
{
    verdict "$identical" "outputs of TimGM6mb, FluidR3_GM and the 200 x 200 and 1000 x 1000 banks identical to the base's"
    verdict "$([ "$worst" -le "$TIME_LIMIT_MS" ] && echo 1 || echo 0)" \
        "1000 x 1000 converts in at most $worst ms (target at most $TIME_LIMIT_MS ms)"
} | tee "$OUT/gig-grid.targets"
! grep -q '^FAIL' "$OUT/gig-grid.targets"
