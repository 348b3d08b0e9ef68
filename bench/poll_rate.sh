#!/usr/bin/env bash
# Polls per second of `quelm record` against `quelm-sim` at each line rate, beside the line-rate
# limit (one poll moves 39 bytes of 10 bits: "f" out and a 38-byte frame back), the timeouts, and
# the CPU use of the recorder (and of the simulator) while polling. Beside them, the rate a bare
# termios client reaches against a fresh simulator on the same machine at the same time
# (bench/poll_probe.py): on a loaded machine neither reaches the line limit, and the gap between
# the two columns is what the recorder itself costs. The frame wait is the time from the last byte
# of a frame leaving the simulator to the next "f" reaching it (median and 99th percentile, in
# microseconds, from quelm-sim --frame-waits), for the recorder and for the bare client; the load
# column is the one-minute load average when the rate's row was measured.
#
# usage: bash bench/poll_rate.sh <folder of built programs> [seconds of polling per rate]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
bin="$(cd "${1:?usage: poll_rate.sh <folder of built programs> [seconds]}" && pwd)"
seconds="${2:-10}"
work="$(mktemp -d)"
export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data"
unset QUELM_CONFIG
sim_pid=""
rec_pid=""
cleanup() {
    for pid in $rec_pid $sim_pid; do
        if kill -0 "$pid" 2>/dev/null; then
            kill -TERM "$pid" 2>/dev/null || true
            wait "$pid" 2>/dev/null || true
        fi
    done
    rm -rf "$work"
}
trap cleanup EXIT

tck="$(getconf CLK_TCK)"
# utime + stime of a process, in clock ticks (fields 14 and 15 after the command name).
cpu_ticks() {
    local stat
    stat="$(cat "/proc/$1/stat")"
    stat="${stat##*) }"
    awk '{print $12 + $13}' <<<"$stat"
}
now() { date +%s.%N; }

start_sim() {  # start_sim RATE FRAME-WAITS-FILE
    rm -f "$work/sim_out"
    mkfifo "$work/sim_out"
    "$bin/quelm-sim" --max-rate "$1" --scenario cruise --frame-waits "$2" \
        >"$work/sim_out" 2>"$work/sim_err" &
    sim_pid=$!
    exec 3<"$work/sim_out"
    read -r -t 5 port <&3
}
stop_sim() {
    kill -TERM "$sim_pid"
    wait "$sim_pid"
    sim_pid=""
    exec 3<&-
}

echo "load average: $(cut -d' ' -f1-3 /proc/loadavg), $(nproc) cores"
printf '%-7s %9s %9s %7s %9s %9s %9s %8s %8s %13s %13s %5s\n' rate polls/s limit/s "% lim" \
    "bare/s" timeouts checksum "rec CPU" "sim CPU" "wait med/p99" "bare med/p99" load
for rate in ${QUELM_BENCH_RATES:-9600 19200 38400 57600 115200}; do
    start_sim "$rate" "$work/bare_waits"
    bare="$(python3 "$here/poll_probe.py" "$port" "$rate" "$seconds")"
    stop_sim
    rm -f "$work/run.qm1"
    start_sim "$rate" "$work/rec_waits"
    "$bin/quelm" record --port "$port" --max-rate "$rate" --seconds "$seconds" \
        --out "$work/run.qm1" --json >"$work/stdout" 2>"$work/stderr" &
    rec_pid=$!
    # Measure the polling only: from "Recording to" until just before the end.
    until grep -q "^Recording to" "$work/stderr"; do
        kill -0 "$rec_pid" 2>/dev/null || break
        sleep 0.05
    done
    sleep 0.5
    t0="$(now)"; r0="$(cpu_ticks "$rec_pid")"; s0="$(cpu_ticks "$sim_pid")"
    sleep "$(awk -v s="$seconds" 'BEGIN{print s - 1.5}')"
    t1="$(now)"; r1="$(cpu_ticks "$rec_pid")"; s1="$(cpu_ticks "$sim_pid")"
    wait "$rec_pid" || { echo "quelm record failed at $rate:"; cat "$work/stderr"; exit 1; }
    rec_pid=""
    stop_sim
    json="$(tail -n 1 "$work/stdout")"
    python3 - "$json" "$rate" "$t0" "$t1" "$r0" "$r1" "$s0" "$s1" "$tck" "$bare" \
        "$work/rec_waits" "$work/bare_waits" <<'PY'
import json, sys
def waits(path):
    w = sorted(int(x) for x in open(path) if x.strip())
    if not w:
        return "n/a"
    return f"{w[len(w) // 2]}/{w[min(len(w) - 1, len(w) * 99 // 100)]}"
r = json.loads(sys.argv[1])
rate = int(sys.argv[2])
t0, t1 = float(sys.argv[3]), float(sys.argv[4])
r0, r1, s0, s1, tck = (int(x) for x in sys.argv[5:10])
bare = float(sys.argv[10])
limit = rate / 390.0
pps = r["polls_per_second"]
wall = t1 - t0
print(f"{rate:<7} {pps:9.1f} {limit:9.1f} {100 * pps / limit:6.1f}% {bare:9.1f} "
      f"{int(r['timeout_errors']):9d} "
      f"{int(r['checksum_errors']):9d} {100 * (r1 - r0) / tck / wall:7.1f}% "
      f"{100 * (s1 - s0) / tck / wall:7.1f}% {waits(sys.argv[11]):>13} {waits(sys.argv[12]):>13} "
      f"{open('/proc/loadavg').read().split()[0]:>5}")
PY
done
