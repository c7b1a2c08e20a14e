# Helpers shared by the benchmark scripts. Source it after scripts/setup.sh and after setting OUT (the
# folder for raw results).

mib() { awk -v b="$1" 'BEGIN { printf "%.2f", b / 1048576 }'; }

# Peak resident set size in KiB of a command: the largest of three runs.
peak_kib() {
    local max=0 kib
    for _ in 1 2 3; do
        /usr/bin/time -f %M -o "$OUT/time.txt" "$@" >/dev/null 2>&1 || true
        kib=$(tail -n 1 "$OUT/time.txt")
        [ "$kib" -gt "$max" ] && max=$kib
    done
    echo "$max"
}

# Drops a file from the page cache, and tells how much of it is cached.
evict() { dd if="$1" iflag=nocache count=0 status=none; }
cached_bytes() { fincore --bytes --noheadings --output RES "$1" | tr -d ' '; }

# Columns of hyperfine's CSV export for the command of that name. Ratios are taken between medians: a run
# that another process on the machine delayed moves a mean.
csv_mean() { awk -F, -v name="$2" '$1 == name { print $2 }' "$1"; }
csv_median() { awk -F, -v name="$2" '$1 == name { print $4 }' "$1"; }

verdict() {
    local ok="$1"
    shift
    if [ "$ok" = 1 ]; then echo "PASS  $*"; else echo "FAIL  $*"; fi
}

# Starts one Xvfb server for the script's runs on a display number nobody else uses, stopped when the
# script exits, and sets `display` to it.
start_xvfb() {
    display=":$((90 + RANDOM % 100))"
    Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    trap 'kill "$xvfb_pid" 2>/dev/null || true' EXIT
    for _ in $(seq 50); do
        [ -e "/tmp/.X11-unix/X${display#:}" ] && break
        sleep 0.1
    done
}
