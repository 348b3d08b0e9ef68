#!/usr/bin/env bash
# quelm record against a simulator that corrupts every 5th frame's checksum: the bad frames are
# counted and none of them is logged; a port that does not exist fails with the port message and
# exits non-zero, leaving no quelmom.ini (the dashboard's side file) in the current folder; a FIFO
# as the log is refused before connecting.
set -euo pipefail
bin="$(cd "${1:?usage: record_faults.sh <folder of built programs>}" && pwd)"
here="$(cd "$(dirname "$0")" && pwd)"
work="$(mktemp -d)"
source "$here/sim_helpers.bash"
trap sim_cleanup EXIT

# No such port: message, status 1, no quelmom.ini. Quick: the open fails at once.
status=0
(cd "$work" && "$bin/quelm" record --port "$work/no-such-tty" --out "$work/x.qm1" --json \
    >"$work/nodev_out" 2>"$work/nodev_err") || status=$?
[[ $status -eq 1 ]] || { echo "FAIL: missing port gave $status"; cat "$work/nodev_err"; exit 1; }
grep -qx "Serial Port Error.  Please reconfigure." "$work/nodev_err" ||
    { echo "FAIL: no port message"; cat "$work/nodev_err"; exit 1; }
[[ ! -e "$work/quelmom.ini" ]] || { echo "FAIL: quelm record wrote quelmom.ini"; exit 1; }
tail -n 1 "$work/nodev_out" | grep -q '"end":"port_failure"' || { echo "FAIL: JSON"; exit 1; }
[[ ! -e "$work/x.qm1" ]] || { echo "FAIL: a log was created"; exit 1; }

# A FIFO as the log is refused before connecting, even with --overwrite: opening it would wait
# for a reader, with the stop signals held back.
mkfifo "$work/pipe.qm1"
status=0
timeout 10 "$bin/quelm" record --port "$work/no-such-tty" --out "$work/pipe.qm1" --overwrite \
    >/dev/null 2>"$work/fifo_err" || status=$?
[[ $status -eq 1 ]] || { echo "FAIL: FIFO log gave $status"; cat "$work/fifo_err"; exit 1; }
grep -q "pipe.qm1': it is not a regular file" "$work/fifo_err" ||
    { echo "FAIL: FIFO message"; cat "$work/fifo_err"; exit 1; }
[[ -p "$work/pipe.qm1" ]] || { echo "FAIL: the FIFO was replaced"; exit 1; }

start_sim --max-rate 115200 --bad-checksum-every 5 --sent-frames "$work/sent.bin"
echo "simulator on $port"
record_ok 57600 --max-rate 57600 --out "$work/run.qm1" --frames 200
python3 - "$json" <<'PY'
import json, sys
r = json.loads(sys.argv[1])
assert r["records"] == 200, r
assert r["checksum_errors"] >= 49, r  # 200 good frames need at least 249 polls: 49 bad
PY
python3 "$here/check_log.py" "$work/run.qm1" "$work/sent.bin" "$json" 5
no_lock_left
echo "PASS"
