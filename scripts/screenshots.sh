#!/usr/bin/env bash
# Makes the screenshots the software-centre metadata shows (docs/screenshots/*.png) from the real program
# on a virtual display: a General MIDI SoundFont with its first preset's key map, and a WAVE file with its
# waveform. The settings are kept in a scratch folder, so the user's own are never read or changed.
# Usage: scripts/screenshots.sh [PROGRAM]   (default: build/release/app/gui/quorvane, made by ./run)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"

program="${1:-$QUORVANE_ROOT/build/release/app/gui/quorvane}"
[ -x "$program" ] || { quorvane_log "no program at $program: run ./run --version first"; exit 1; }
bank=/usr/share/sounds/sf2/TimGM6mb.sf2
[ -r "$bank" ] || { quorvane_log "no $bank: install timgm6mb-soundfont"; exit 1; }
out="$QUORVANE_ROOT/docs/screenshots"
mkdir -p "$out"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT

# A short rising tone with a decay, so that the waveform has a shape to show.
mkdir -p "$scratch/samples"
sox -n -r 44100 -b 16 -c 1 "$scratch/samples/Rising Tone.wav" synth 1.5 sine 110-440 fade 0.01 1.5 1.2

# One shot: the program started on PATH_TO_OPEN at 1280x800, given time to load and draw, the window
# captured.
shoot() {
    local open="$1" png="$2"
    XDG_CONFIG_HOME="$scratch/config" HOME="$scratch" xvfb-run -a -s "-screen 0 1280x800x24" \
        bash -c '"$1" -geometry 1280x800+0+0 "$2" & pid=$!
                 sleep 6
                 import -window root "$3"
                 kill "$pid"; wait "$pid" 2>/dev/null || true' _ "$program" "$open" "$png"
    quorvane_log "wrote $png"
}
shoot "$bank" "$out/preset.png"
shoot "$scratch/samples/Rising Tone.wav" "$out/sample.png"
