#!/usr/bin/env bash
# quelm selftest --yes against quelm-sim flashing 11 and 23: both code lines, then
# "Self Test Complete", and the simulator ends cleanly.
set -euo pipefail
bin="$(cd "${1:?usage: selftest_sim.sh <folder of built programs>}" && pwd)"
here="$(cd "$(dirname "$0")" && pwd)"
work="$(mktemp -d)"
source "$here/sim_helpers.bash"
trap sim_cleanup EXIT

start_sim --codes 11,23
echo "simulator on $port"
status=0
timeout -s INT 120 "$bin/quelm" selftest --port "$port" --yes >"$work/stdout" 2>"$work/stderr" ||
    status=$?
stop_sim
if [[ $status -ne 0 ]]; then
    echo "FAIL: quelm selftest exited with $status"
    cat "$work/stderr"
    exit 1
fi
cat -A "$work/stdout"
expected=$' 11:System Pass\n 23:TPS out of self test range\nSelf Test Complete'
if [[ "$(cat "$work/stdout")" != "$expected" ]]; then
    echo "FAIL: output differs from:"
    echo "$expected"
    cat "$work/stderr"
    exit 1
fi
grep -q "^Ready @ 115200$" "$work/stderr" || { echo "FAIL: not connected"; cat "$work/stderr"; exit 1; }
no_lock_left
echo "PASS"
