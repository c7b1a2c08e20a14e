#!/usr/bin/env bash
# Regenerates the README section "What a conversion keeps and loses" from `quorvane-cli check`'s own
# reports: the Debian banks (TimGM6mb, FluidR3_GM) to GigaSampler, back to SoundFont and to SoundFont 3,
# the test builders' DLS and GigaSampler banks (authored with libgig) and Akai volume to SoundFont and
# GigaSampler. Makes its own release build; run it under the build lock:
#   flock /tmp/quorvane-build.lock scripts/conversion_report.sh
# QUORVANE_REPORT_BUILD=build/test uses an existing build tree (its quorvane-cli and test tools) instead.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"

if [ -n "${QUORVANE_REPORT_BUILD:-}" ]; then
    BIN="$QUORVANE_ROOT/$QUORVANE_REPORT_BUILD"
else
    quorvane_install_packages "${QUORVANE_PACKAGES[@]}" fluid-soundfont-gm timgm6mb-soundfont
    quorvane_build build/release Release -- --target quorvane-cli make_gig_fixtures make_akai_image >&2
    BIN="$QUORVANE_ROOT/build/release"
fi
CLI="$BIN/app/cli/quorvane-cli"
WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT
SF2=/usr/share/sounds/sf2

# check SOURCE OUTPUT... > NAME.json; status 5 (differences) is what most conversions give.
report() {
    local name="$1"
    shift
    "$CLI" check --json "$@" >"$WORK/$name.json" || [ $? -eq 5 ]
}

mkdir -p "$WORK/tim-gig" "$WORK/tim-back" "$WORK/fluid-gig" "$WORK/fixtures" "$WORK/akai-gig"
"$CLI" convert --to gig -o "$WORK/tim-gig/TimGM6mb.gig" "$SF2/TimGM6mb.sf2" >&2
report tim-gig "$SF2/TimGM6mb.sf2" "$WORK/tim-gig"
"$CLI" convert --to sf2 -o "$WORK/tim-back" "$WORK/tim-gig" >&2
report tim-back "$SF2/TimGM6mb.sf2" "$WORK/tim-back"
"$CLI" convert --to sf3 -o "$WORK/TimGM6mb.sf3" "$SF2/TimGM6mb.sf2" >&2
report tim-sf3 "$SF2/TimGM6mb.sf2" "$WORK/TimGM6mb.sf3"
"$CLI" convert --to gig -o "$WORK/fluid-gig/FluidR3_GM.gig" "$SF2/FluidR3_GM.sf2" >&2
report fluid-gig "$SF2/FluidR3_GM.sf2" "$WORK/fluid-gig"

"$BIN/tests/make_gig_fixtures" "$WORK/fixtures"
"$CLI" convert --to sf2 -o "$WORK/peer-dls.sf2" "$WORK/fixtures/peer.dls" >&2
report dls-sf2 "$WORK/fixtures/peer.dls" "$WORK/peer-dls.sf2"
"$CLI" convert --to sf2 -o "$WORK/peer-gig.sf2" "$WORK/fixtures/peer.gig" >&2
report gig-sf2 "$WORK/fixtures/peer.gig" "$WORK/peer-gig.sf2"

"$BIN/tests/make_akai_image" sines "$WORK/sines.iso"
"$CLI" convert --volume A/1 -o "$WORK/akai.sf2" "$WORK/sines.iso" >&2
report akai-sf2 --volume A/1 "$WORK/sines.iso" "$WORK/akai.sf2"
"$CLI" convert --to gig --volume A/1 -o "$WORK/akai-gig/akai.gig" "$WORK/sines.iso" >&2
report akai-gig --volume A/1 "$WORK/sines.iso" "$WORK/akai-gig"

python3 "$QUORVANE_ROOT/scripts/conversion_report.py" "$QUORVANE_ROOT/README.md" \
    "TimGM6mb.sf2 to GigaSampler=$WORK/tim-gig.json" \
    "TimGM6mb.sf2 to GigaSampler and back to SoundFont 2=$WORK/tim-back.json" \
    "TimGM6mb.sf2 to SoundFont 3=$WORK/tim-sf3.json" \
    "FluidR3_GM.sf2 to GigaSampler=$WORK/fluid-gig.json" \
    "DLS Level 1 bank (made with libgig) to SoundFont 2=$WORK/dls-sf2.json" \
    "GigaSampler bank (made with libgig) to SoundFont 2=$WORK/gig-sf2.json" \
    "Akai S1000 volume (test disc) to SoundFont 2=$WORK/akai-sf2.json" \
    "Akai S1000 volume (test disc) to GigaSampler=$WORK/akai-gig.json"
echo "README.md: conversion report regenerated" >&2
