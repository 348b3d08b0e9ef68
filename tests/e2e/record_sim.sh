#!/usr/bin/env bash
# quelm record against quelm-sim limited to 38400: the rate negotiation ends "Ready @ 38400", the
# log holds every frame the simulator sent exactly once, in order, with rising time stamps, and
# the lines fed on standard input are its markers.
set -euo pipefail
bin="$(cd "${1:?usage: record_sim.sh <folder of built programs>}" && pwd)"
here="$(cd "$(dirname "$0")" && pwd)"
work="$(mktemp -d)"
source "$here/sim_helpers.bash"
trap sim_cleanup EXIT

status=0
"$bin/quelm" record --frames 10 >/dev/null 2>&1 || status=$?
[[ $status -eq 2 ]] || fail "no --port gave $status, not 2"

start_sim --max-rate 38400 --scenario wot --sent-frames "$work/sent.bin"
echo "simulator on $port"
# Each line on standard input drops a marker while recording; an empty one is "Mark N".
record_ok 38400 --out "$work/run.qm1" --frames 300 < <(printf 'knock\n\n')
grep -q " FPS" "$work/stderr" || fail "no statistics line" "$work/stderr"
python3 - "$json" <<'PY'
import json, sys
r = json.loads(sys.argv[1])
assert r["rate"] == 38400, r
assert r["status"] == "COM Stopped", r
assert r["records"] == 300, r
assert r["total_frames"] >= 300, r
assert r["markers"] == 2, r
PY
awk -F'\t' 'NR == 1 && $2 != "knock" || NR == 2 && $2 != "Mark 2" || $1 !~ /^[0-9]+\.[0-9][0-9]$/ \
    {bad = 1} END {exit bad || NR != 2}' "$work/run.qm1.marks" || fail "marks file" "$work/run.qm1.marks"
"$bin/quelm" export --markers "$work/run.qm1" >/dev/null
[[ "$(tr -d '\r' <"$work/run.marks.csv" | cut -d, -f2 | tr '\n' '|')" == "Marker|knock|Mark 2|" ]] \
    || fail "run.marks.csv" "$work/run.marks.csv"
python3 "$here/check_log.py" "$work/run.qm1" "$work/sent.bin" "$json" 0
no_lock_left
echo "PASS"
