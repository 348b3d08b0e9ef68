#!/usr/bin/env bash
# The simulator on a real pseudo-terminal, driven by a termios client: identification at 9600,
# an up-shift to 19200 with identification there, one checked frame, then a clean stop.
set -euo pipefail
bin="${1:?usage: sim_pty.sh <folder of built programs>}"
work="$(mktemp -d)"
sim_pid=""
cleanup() {
    if [[ -n "$sim_pid" ]] && kill -0 "$sim_pid" 2>/dev/null; then
        kill -TERM "$sim_pid" 2>/dev/null || true
        wait "$sim_pid" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

"$bin/quelm-sim" --help | grep -q -- "--drop-after" || { echo "FAIL: --help"; exit 1; }
if "$bin/quelm-sim" --max-rate 14400 >/dev/null 2>&1; then
    echo "FAIL: a rate off the ladder was accepted"
    exit 1
fi

mkfifo "$work/out"
"$bin/quelm-sim" --max-rate 38400 --scenario cruise >"$work/out" 2>"$work/err" &
sim_pid=$!
exec 3<"$work/out"
read -r -t 5 port <&3 || { echo "FAIL: no terminal path from quelm-sim"; cat "$work/err"; exit 1; }
echo "simulator on $port"

python3 - "$port" <<'PY'
import os, sys, termios, time, tty

port = sys.argv[1]
RATES = {9600: termios.B9600, 19200: termios.B19200}

fd = os.open(port, os.O_RDWR | os.O_NOCTTY | os.O_NONBLOCK)

def set_rate(rate):
    tty.setraw(fd)
    attrs = termios.tcgetattr(fd)
    attrs[4] = attrs[5] = RATES[rate]
    termios.tcsetattr(fd, termios.TCSANOW, attrs)

def drain():
    data = b""
    while True:
        try:
            chunk = os.read(fd, 4096)
        except BlockingIOError:
            return data
        if not chunk:
            return data
        data += chunk

def command(c, wait=0.3):
    drain()
    os.write(fd, c)
    time.sleep(wait)
    return drain()

def fail(msg):
    print("FAIL:", msg)
    sys.exit(1)

set_rate(9600)
command(b"a")
reply = command(b"b")
if b"Quelm" not in reply[1:]:
    fail(f"no identification at 9600: {reply!r}")
if b"OK" not in command(b"e")[1:]:
    fail("no OK at 9600")

# At the wrong rate the device hears nothing and its replies are junk.
set_rate(19200)
reply = command(b"b")
if b"Quelm" in reply:
    fail("identified at 19200 before the up-shift")
set_rate(9600)
command(b"c")
set_rate(19200)
reply = command(b"b")
if b"Quelm" not in reply[1:]:
    fail(f"no identification at 19200 after the up-shift: {reply!r}")

frame = command(b"f", wait=0.1)
if len(frame) != 38:
    fail(f"frame of {len(frame)} bytes")
if sum(frame[:37]) & 0xFF != frame[37]:
    fail("frame checksum wrong")
firetime = frame[20] + 256 * frame[21]
rpm = 120 / (firetime * 1.0855e-6 * 8)
if not 1800 < rpm < 2200:
    fail(f"cruise rpm {rpm:.0f}")
print(f"ok: identified at 9600 and 19200, frame good, {rpm:.0f} rpm")
os.close(fd)
PY

kill -TERM "$sim_pid"
status=0
wait "$sim_pid" || status=$?
sim_pid=""
if [[ $status -ne 0 ]]; then
    echo "FAIL: quelm-sim exited with $status on SIGTERM"
    cat "$work/err"
    exit 1
fi
echo "PASS"
