#!/usr/bin/env bash
# The line drops away in the middle of a recording (an unplugged adapter): quelm record reports
# the lost port, exits non-zero, and the log keeps every frame it received, whole and in order.
set -euo pipefail
bin="$(cd "${1:?usage: record_drop.sh <folder of built programs>}" && pwd)"
here="$(cd "$(dirname "$0")" && pwd)"
work="$(mktemp -d)"
source "$here/sim_helpers.bash"
trap sim_cleanup EXIT

start_sim --max-rate 115200 --drop-after 150 --sent-frames "$work/sent.bin"
echo "simulator on $port"
status=0
"$bin/quelm" record --port "$port" --out "$work/run.qm1" --frames 1000 --json \
    >"$work/stdout" 2>"$work/stderr" || status=$?
# The simulator ends by itself once it has dropped the line.
wait "$sim_pid" || true
sim_pid=""
exec 3<&-
[[ $status -ne 0 ]] || fail "a lost port exited 0" "$work/stderr"
json="$(tail -n 1 "$work/stdout")"
echo "$json"
python3 - "$json" "$work/run.qm1" "$work/sent.bin" <<'PY'
import json, sys
r = json.loads(sys.argv[1])
assert r["end"] == "port_lost" and r.get("message"), r
log = open(sys.argv[2], "rb").read()
sent = open(sys.argv[3], "rb").read()
assert len(log) % 48 == 0 and r["records"] == len(log) // 48, (r, len(log))
frames = [log[i:i + 38] for i in range(0, len(log), 48)]
sent = [sent[i:i + 38] for i in range(0, len(sent) - len(sent) % 38, 38)]
# Every frame received, whole and in order: only the one in flight when the line went is lost.
assert frames == sent[:len(frames)] and len(frames) >= len(sent) - 1, (len(frames), len(sent))
print(f"ok: {len(frames)} records are the first frames of {len(sent)} sent")
PY
no_lock_left
echo "PASS"
