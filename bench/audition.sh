#!/usr/bin/env bash
# Auditioning on the release build: FluidR3_GM's preset with the most sample data written as its temporary
# bank and loaded into FluidSynth until it plays (QUORVANE_BENCH_RUNS times, default 20), the wait of a
# message for FluidSynth's lock while its PulseAudio driver plays into a server of the script's own (null
# sink), and the frames from a note-on to sound, rendered period by period.
# Targets: loaded and playable within 150 ms of the click, counting the 100 ms the windows wait before
# loading (so the work itself under 50 ms); a note-on sounding within 10 ms beyond the audio buffer.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/setup.sh"

quorvane_install_packages "${QUORVANE_PACKAGES[@]}" fluid-soundfont-gm
quorvane_build build/release Release -DQUORVANE_TESTS=OFF -- --target quorvane_audition_bench >&2
source "$QUORVANE_ROOT/bench/common.sh"

OUT="$QUORVANE_ROOT/bench/out"
mkdir -p "$OUT"
bench="$QUORVANE_ROOT/build/release/bench/audition/quorvane_audition_bench"
bank="${QUORVANE_BENCH_BANK:-/usr/share/sounds/sf2/FluidR3_GM.sf2}"

folder=$(mktemp -d)
HOME="$folder" PULSE_RUNTIME_PATH="$folder" PULSE_STATE_PATH="$folder" pulseaudio -n --daemonize=no \
    --exit-idle-time=-1 --use-pid-file=no --disable-shm=yes \
    -L "module-native-protocol-unix socket=$folder/native auth-anonymous=1" \
    -L "module-null-sink sink_name=bench rate=44100 channels=2" >/dev/null 2>&1 &
pulse_pid=$!
trap 'kill "$pulse_pid" 2>/dev/null || true; rm -rf "$folder"' EXIT
for _ in $(seq 100); do [ -S "$folder/native" ] && break; sleep 0.05; done

PULSE_SERVER="unix:$folder/native" "$bench" "$bank" "${QUORVANE_BENCH_RUNS:-20}" | tee "$OUT/audition.txt"

load=$(awk '/^load_ms/ { print $5 }' "$OUT/audition.txt")
onset=$(awk '/^note_on_to_sound_ms/ { print $5 }' "$OUT/audition.txt")
status=0
ok=$(awk -v m="$load" 'BEGIN { print (m + 100 < 150) ? 1 : 0 }')
verdict "$ok" "click to playable: ${load} ms median + 100 ms wait < 150 ms" || true
[ "$ok" = 1 ] || status=1
ok=$(awk -v m="$onset" 'BEGIN { print (m < 10) ? 1 : 0 }')
verdict "$ok" "note-on to sound beyond the buffer: ${onset} ms max < 10 ms" || true
[ "$ok" = 1 ] || status=1
exit "$status"
