#!/usr/bin/env bash
# Whole-program figures of the dashboard connected to the device simulator at 115200 bit/s:
# the poll rate (frames per second from the status bar's statistics) and the CPU use of the
# process, once with the dashboard on screen and once minimised (--minimized). Runs under Xvfb
# when there is no display. The frame rate comes from quelm-dash --stats-log; the frame wait
# (microseconds from a frame's last byte leaving the simulator to the next "f" reaching it,
# median and 99th percentile) from quelm-sim --frame-waits. Before each row a bare termios client
# (bench/poll_probe.py) polls a fresh simulator for as long: on a loaded machine neither reaches
# the line limit, and the gap between the two is what the dashboard itself costs. The load column
# is the one-minute load average at the end of the row.
#   bench/dashboard_cpu.sh BIN_DIR [SECONDS]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
self=$here/$(basename "$0")
bin=$(cd "${1:?usage: bench/dashboard_cpu.sh BIN_DIR [SECONDS]}" && pwd)
seconds=${2:-20}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf '[SERIAL]\nCOMPORT= 1\nMAXBAUDRATE=115200\n[SCOPESETTINGS]\nVAR1=RPM\nVAR2=LOAD\nVAR3=MPH\nVAR4=TPS\n' \
    > "$work/Quelm.ini"
hz=$(getconf CLK_TCK)

cpu_ticks() {  # utime + stime of a process
    awk '{print $14 + $15}' "/proc/$1/stat"
}

start_sim() {  # start_sim FRAME-WAITS-FILE; sets sim and device
    rm -f "$work/sim.out"
    "$bin/quelm-sim" --scenario cruise --frame-waits "$1" > "$work/sim.out" 2>/dev/null &
    sim=$!
    device=""
    for _ in $(seq 50); do
        device=$(head -1 "$work/sim.out" 2>/dev/null || true)
        [ -n "$device" ] && break
        sleep 0.1
    done
}

stop_sim() {
    kill -TERM "$sim"
    wait "$sim" 2>/dev/null || true
}

waits() {  # median/p99 of a frame-waits file
    sort -n "$1" | awk '{w[NR] = $1}
        END {if (NR) {i = int(NR * 0.99); if (i < 1) i = 1; printf "%d/%d", w[int((NR + 1) / 2)], w[i]} else print "n/a"}'
}

measure() {  # measure LABEL [quelm-dash options...]
    local label=$1; shift
    local log=$work/$label.log
    start_sim "$work/bare.waits"
    local bare
    bare=$(python3 "$here/poll_probe.py" "$device" 115200 "$seconds")
    stop_sim
    # The simulator runs as a process of its own so that its CPU is not counted as ours.
    start_sim "$work/$label.waits"
    "$bin/quelm-dash" --config "$work/Quelm.ini" --port "$device" --connect \
        --stats-log "$log" "$@" >/dev/null 2>&1 &
    local pid=$!
    # Wait for the connection: the statistics log gains lines once frames flow.
    for _ in $(seq 300); do
        if [ -s "$log" ] && [ "$(tail -1 "$log" | awk '{print $1}')" -gt 0 ] 2>/dev/null; then
            break
        fi
        sleep 0.1
    done
    sleep 2
    local t0 c0 t1 c1
    t0=$(date +%s.%N); c0=$(cpu_ticks "$pid"); local l0; l0=$(wc -l < "$log")
    sleep "$seconds"
    t1=$(date +%s.%N); c1=$(cpu_ticks "$pid"); local l1; l1=$(wc -l < "$log")
    kill -TERM "$pid"
    wait "$pid" 2>/dev/null || true
    stop_sim
    local fps
    fps=$(sed -n "$((l0 + 1)),${l1}p" "$log" | awk '{s += $1; n++} END {if (n) printf "%.1f", s / n; else print "n/a"}')
    local cpu
    cpu=$(awk -v c="$((c1 - c0))" -v hz="$hz" -v t0="$t0" -v t1="$t1" \
        'BEGIN {printf "%.1f", 100 * c / hz / (t1 - t0)}')
    printf '%-10s poll rate %8s frames/s   CPU %6s %% of one core   wait %11s us   bare %6s/s %11s us   load %s\n' \
        "$label" "$fps" "$cpu" "$(waits "$work/$label.waits")" "$bare" "$(waits "$work/bare.waits")" \
        "$(cut -d' ' -f1 /proc/loadavg)"
}

export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-xcb}
if [ "$QT_QPA_PLATFORM" = xcb ] && [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1280x1024x24" bash "$self" "$@"
fi
cd "$work"  # the port side file, if ever written, lands here
measure visible
measure minimised --minimized
measure 10-scopes --scopes 10
