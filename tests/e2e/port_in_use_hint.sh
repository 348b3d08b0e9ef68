#!/usr/bin/env bash
# A port that cannot be opened for lack of permission (here: held by a running `quelm record`)
# makes `quelm selftest` give the port error, the port's own words and how to get access.
set -euo pipefail
bin=${1:?folder of built programs}
work=$(mktemp -d)
rec_pid=""
cleanup() {
    if [[ -n "$rec_pid" ]]; then kill -INT "$rec_pid" 2>/dev/null || true; wait "$rec_pid" 2>/dev/null || true; fi
    stop_sim || true
    rm -rf "$work"
}
trap cleanup EXIT
source "$(dirname "$0")/sim_helpers.bash"

# Run where a side file would land: the tools must not leave quelmom.ini there.
cd "$work"
start_sim
"$bin/quelm" record --port "$port" --seconds 60 --out "$work/held.qm1" 2>"$work/record.err" &
rec_pid=$!
# The recorder holds the port once it has said it is resetting the device.
for _ in $(seq 100); do
    grep -q Resetting "$work/record.err" && break
    kill -0 "$rec_pid" 2>/dev/null || fail "quelm record ended: $(cat "$work/record.err")"
    sleep 0.1
done
grep -q Resetting "$work/record.err" || fail "quelm record never opened $port"

status=0
"$bin/quelm" selftest --port "$port" --yes >"$work/out" 2>"$work/err" || status=$?
[[ $status -ne 0 ]] || fail "selftest on a held port exited 0"
grep -qx 'Serial Port Error.  Please reconfigure.' "$work/err" || fail "no port error: $(cat "$work/err")"
grep -q "^$port: " "$work/err" || fail "the port's own message is missing: $(cat "$work/err")"
grep -q 'sudo usermod -aG dialout \$USER' "$work/err" || fail "no dialout hint: $(cat "$work/err")"
[[ ! -e "$work/quelmom.ini" ]] || fail "quelm selftest wrote quelmom.ini"

kill -INT "$rec_pid"
wait "$rec_pid" || fail "quelm record exited $? on SIGINT"
rec_pid=""
stop_sim
echo "port_in_use_hint: ok"
