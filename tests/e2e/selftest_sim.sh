#!/usr/bin/env bash
# quelm selftest --yes against quelm-sim flashing 11 and 23: both code lines, then
# "Self Test Complete", the simulator heard the closing "j" at the rate of the test (the port
# is not closed under it), and it ends cleanly.
set -euo pipefail
bin="$(cd "${1:?usage: selftest_sim.sh <folder of built programs>}" && pwd)"
here="$(cd "$(dirname "$0")" && pwd)"
work="$(mktemp -d)"
source "$here/sim_helpers.bash"
trap sim_cleanup EXIT

start_sim --codes 11,23 --heard "$work/heard"
echo "simulator on $port"
status=0
timeout -s INT 120 "$bin/quelm" selftest --port "$port" --yes >"$work/stdout" 2>"$work/stderr" ||
    status=$?
stop_sim
[[ $status -eq 0 ]] || fail "quelm selftest exited with $status" "$work/stderr"
cat -A "$work/stdout"
expected=$' 11:System Pass\n 23:TPS out of self test range\nSelf Test Complete'
[[ "$(cat "$work/stdout")" == "$expected" ]] || fail "output differs from: $expected" "$work/stderr"
grep -q "^Ready @ 115200$" "$work/stderr" || fail "not connected" "$work/stderr"
[[ "$(grep '^j ' "$work/heard" | sort -u)" == "j 115200" ]] ||
    fail "the simulator did not hear the closing \"j\" at 115200 only; it heard:" "$work/heard"
no_lock_left
echo "PASS"
