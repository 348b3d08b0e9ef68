# Shared by the end-to-end scripts: start quelm-sim, learn its terminal, end it cleanly.
# Source it after setting `bin` (folder of the built programs) and `work` (a scratch folder).

sim_pid=""
# fail MESSAGE [FILE]: the test fails with MESSAGE, and FILE (its evidence) is shown.
fail() { echo "FAIL: $1"; [[ -z "${2:-}" ]] || cat "$2"; exit 1; }
# Keep the user's own settings and logs out of the tests.
export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data"
unset QUELM_CONFIG

# start_sim ARGS...: starts quelm-sim with ARGS; sets `port` to its terminal path.
start_sim() {
    rm -f "$work/sim_out"
    mkfifo "$work/sim_out"
    "$bin/quelm-sim" "$@" >"$work/sim_out" 2>"$work/sim_err" &
    sim_pid=$!
    exec 3<"$work/sim_out"
    read -r -t 5 port <&3 || fail "no terminal path from quelm-sim" "$work/sim_err"
}

# stop_sim: SIGTERM, and the simulator must end with status 0.
stop_sim() {
    [[ -n "$sim_pid" ]] || return 0
    kill -TERM "$sim_pid" 2>/dev/null || true
    local status=0
    wait "$sim_pid" || status=$?
    sim_pid=""
    exec 3<&-
    [[ $status -eq 0 ]] || fail "quelm-sim exited with $status on SIGTERM" "$work/sim_err"
}

# record_ok RATE ARGS...: `quelm record --json` on the simulator's terminal with ARGS, output in
# $work/stdout and $work/stderr; then ends the simulator. The recorder must exit 0 having
# connected at RATE. Sets `json` to its result line.
record_ok() {
    local rate=$1
    shift
    local status=0
    "$bin/quelm" record --port "$port" "$@" --json >"$work/stdout" 2>"$work/stderr" || status=$?
    stop_sim
    [[ $status -eq 0 ]] || fail "quelm record exited with $status" "$work/stderr"
    grep -qx "Ready @ $rate" "$work/stderr" || fail "no 'Ready @ $rate'" "$work/stderr"
    json="$(tail -n 1 "$work/stdout")"
    echo "$json"
}

# no_lock_left: the recorder closed its port, so no lock file of the terminal stays behind.
# Tests run side by side and terminal numbers are reused, so a lock whose owner (its first line
# is the owner's PID) is still alive belongs to another test; only a dead owner's lock is stale.
no_lock_left() {
    local name lock owner
    name="$(basename "$port")"
    for lock in /var/lock/LCK..*pts*"${name}" /run/lock/LCK..*pts*"${name}"; do
        [[ -e "$lock" ]] || continue
        owner="$(head -n 1 "$lock" 2>/dev/null || true)"
        if [[ "$owner" =~ ^[0-9]+$ ]] && kill -0 "$owner" 2>/dev/null; then
            continue
        fi
        # The owner may have just ended and removed its lock.
        [[ -e "$lock" ]] || continue
        ls -l /var/lock/ /run/lock/ 2>/dev/null
        fail "a lock file for $port stayed behind (owner ${owner:-unknown} is gone)"
    done
}

sim_cleanup() {
    if [[ -n "$sim_pid" ]] && kill -0 "$sim_pid" 2>/dev/null; then
        kill -TERM "$sim_pid" 2>/dev/null || true
        wait "$sim_pid" 2>/dev/null || true
    fi
    rm -rf "$work"
}
