#!/usr/bin/env bash
# Checks that the three Debian General MIDI banks, written whole as SoundFont, render bit-identically to
# their originals in FluidSynth over a thirty-second phrase with reverb and chorus off (modulators kept).
# TimGM6mb and FluidR3_GM are checked by every test run; this script installs MuseScore_General_Full
# (490 MB, Debian musescore-general-soundfont-lossless), which the test runs only where it is installed,
# and times each bank's case: loading, writing the copy and rendering both.
#
# Usage: bench/modulator_render.sh
# Uses the test build (build/test, as ./test makes it). The table goes to stdout, the test log to bench/out/.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/setup.sh"
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

quorvane_install_packages "${QUORVANE_PACKAGES[@]}" musescore-general-soundfont-lossless
quorvane_build build/test Debug -DQUORVANE_SANITIZE=ON -- --target quorvane_tests >&2

OUT="$QUORVANE_ROOT/bench/out"
mkdir -p "$OUT"
LOG="$OUT/modulator_render.log"
status=0
"$QUORVANE_ROOT/build/test/tests/quorvane_tests" \
    --gtest_filter='GeneralMidiBanks/SoundFontModulatorRender.*' >"$LOG" 2>&1 || status=$?

echo "Machine: $(nproc) cores, $(lscpu | sed -n 's/^Model name: *//p' | head -n 1); $(date -u +%Y-%m-%d)"
echo
echo "| bank | result | load, write and two renders (ms, sanitizer build) |"
echo "|---|---|---|"
sed -n 's/^\[ *\(OK\|FAILED\|SKIPPED\) *\] GeneralMidiBanks\/SoundFontModulatorRender\.CopyRendersBitIdentically\/\([A-Za-z0-9_]*\).*(\([0-9]*\) ms)$/| \2 | \1 | \3 |/p' "$LOG"
exit "$status"
