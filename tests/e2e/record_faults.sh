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
[[ $status -eq 1 ]] || fail "missing port gave $status" "$work/nodev_err"
grep -qx "Serial Port Error.  Please reconfigure." "$work/nodev_err" || fail "no port message" "$work/nodev_err"
[[ ! -e "$work/quelmom.ini" ]] || fail "quelm record wrote quelmom.ini"
tail -n 1 "$work/nodev_out" | grep -q '"end":"port_failure"' || fail "JSON" "$work/nodev_out"
[[ ! -e "$work/x.qm1" ]] || fail "a log was created"

# A FIFO as the log is refused before connecting, even with --overwrite: opening it would wait
# for a reader, with the stop signals held back.
mkfifo "$work/pipe.qm1"
status=0
timeout 10 "$bin/quelm" record --port "$work/no-such-tty" --out "$work/pipe.qm1" --overwrite \
    >/dev/null 2>"$work/fifo_err" || status=$?
[[ $status -eq 1 ]] || fail "FIFO log gave $status" "$work/fifo_err"
grep -q "pipe.qm1': it is not a regular file" "$work/fifo_err" || fail "FIFO message" "$work/fifo_err"
[[ -p "$work/pipe.qm1" ]] || fail "the FIFO was replaced"

start_sim --max-rate 115200 --bad-checksum-every 5 --sent-frames "$work/sent.bin"
echo "simulator on $port"
record_ok 57600 --max-rate 57600 --out "$work/run.qm1" --frames 200
python3 - "$json" <<'PY'
import json, sys
r = json.loads(sys.argv[1])
assert r["records"] == 200, r
# 200 good frames need at least 249 frames sent, 49 of them bad; on a slow machine one of those
# may be lost to a timeout instead.
assert r["checksum_errors"] + r["timeout_errors"] >= 49, r
PY
python3 "$here/check_log.py" "$work/run.qm1" "$work/sent.bin" "$json" 5
no_lock_left
echo "PASS"
