#!/usr/bin/env bash
# quelm-sim as a program: it refuses a rate off the ladder, and on its pseudo-terminal a plain
# termios client (not the programs' serial port) gets the identification at 9600.
set -euo pipefail
bin="${1:?usage: sim_pty.sh <folder of built programs>}"
work="$(mktemp -d)"
source "$(dirname "$0")/sim_helpers.bash"
trap sim_cleanup EXIT

! "$bin/quelm-sim" --max-rate 14400 >/dev/null 2>&1 || fail "a rate off the ladder was accepted"

start_sim --max-rate 38400
python3 - "$port" <<'PY'
import os, sys, termios, time, tty

fd = os.open(sys.argv[1], os.O_RDWR | os.O_NOCTTY | os.O_NONBLOCK)
tty.setraw(fd)
attrs = termios.tcgetattr(fd)
attrs[4] = attrs[5] = termios.B9600
termios.tcsetattr(fd, termios.TCSANOW, attrs)
os.write(fd, b"b")
time.sleep(0.3)
reply = os.read(fd, 4096)
if b"Quelm" not in reply[1:]:
    print(f"FAIL: no identification at 9600: {reply!r}")
    sys.exit(1)
os.close(fd)
PY
stop_sim
echo "PASS"
