#!/usr/bin/env bash
# The information panel's waveform (10,000,000-frame stereo pair) and zone map (FluidR3_GM's largest preset)
# on the release build, and a looped sample played for QUORVANE_PLAY_SECONDS (default 60) through a
# PulseAudio server of the script's own with a null sink while the drawing thread stays busy.
# Targets: each drawing under 16 ms, no late block.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/setup.sh"

quorvane_install_packages "${QUORVANE_PACKAGES[@]}"
quorvane_build build/release Release -DQUORVANE_TESTS=OFF -- --target quorvane_panel_bench >&2

OUT="$QUORVANE_ROOT/bench/out"
mkdir -p "$OUT"
bench="$QUORVANE_ROOT/build/release/bench/gui/quorvane_panel_bench"
bank="${QUORVANE_BENCH_BANK:-/usr/share/sounds/sf2/FluidR3_GM.sf2}"

folder=$(mktemp -d)
HOME="$folder" PULSE_RUNTIME_PATH="$folder" PULSE_STATE_PATH="$folder" pulseaudio -n --daemonize=no \
    --exit-idle-time=-1 --use-pid-file=no --disable-shm=yes \
    -L "module-native-protocol-unix socket=$folder/native auth-anonymous=1" \
    -L "module-null-sink sink_name=bench rate=44100 channels=2" >/dev/null 2>&1 &
pulse_pid=$!
trap 'kill "$pulse_pid" 2>/dev/null || true; rm -rf "$folder"' EXIT
for _ in $(seq 100); do [ -S "$folder/native" ] && break; sleep 0.05; done

PULSE_SERVER="unix:$folder/native" QT_QPA_PLATFORM=offscreen "$bench" "$bank" "${QUORVANE_PLAY_SECONDS:-60}" |
    tee "$OUT/panel.txt"
