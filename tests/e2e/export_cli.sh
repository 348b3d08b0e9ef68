#!/usr/bin/env bash
# `quelm export` on a generated log: where the output goes, refusals, interrupts and exit codes.
set -euo pipefail
bin=${1:?folder of built programs}
quelm="$bin/quelm"
work=$(mktemp -d)
here="$(cd "$(dirname "$0")" && pwd)"
trap 'rm -rf "$work"' EXIT
export QUELM_CONFIG="$work/none.ini" XDG_CONFIG_HOME="$work/config"

fail() { echo "FAIL: $*" >&2; exit 1; }

# Four records (the third with a broken checksum) and a trailing partial record.
mkdir -p "$work/my.logs"
python3 "$here/make_log.py" "$work/my.logs/run1.qm1" 1:0 2:7 3:1234:bad 4:1300 --tail 20

cat > "$work/settings.ini" <<'INI'
[INJECTION]
NumCyl=8
INI

"$quelm" export "$work/my.logs/run1.qm1" --config "$work/settings.ini" >"$work/out" 2>"$work/err" \
    || fail "export exited $?: $(cat "$work/err")"
csv="$work/my.logs/run1.csv"
[ -f "$csv" ] || fail "no $csv"
[ "$(cat "$work/out")" = "$csv" ] || fail "stdout: $(cat "$work/out")"
[ "$(wc -l <"$csv")" -eq 5 ] || fail "expected 5 lines, got $(wc -l <"$csv")"
head -1 "$csv" | grep -q '^Time(s),RPM,' || fail "header: $(head -1 "$csv")"
# The values and their form are checked by the unit tests, the MAF curve reaching them by
# install.sh. Metric: the same columns converted, each changed header naming its unit.
cp "$csv" "$work/us.csv"
"$quelm" export "$work/my.logs/run1.qm1" --config "$work/settings.ini" --units metric >/dev/null \
    2>"$work/err" || fail "metric export: $(cat "$work/err")"
head -1 "$csv" | tr -d '\r' | grep -qx 'Time(s),RPM,LOAD,Speed(km/h),TPS,MAF,ECT(C),ACT(C),BAP(kPa),ADVNC,INJPW,INJDUTY,HEGOL,HEGOR,BOOST(kPa),VACUUM,WIDEO2,AUX1,AUX2,HP(kW),TQ(Nm)' \
    || fail "metric header: $(head -1 "$csv")"
python3 - "$work/us.csv" "$csv" <<'PY' || fail "metric values"
import sys
us = [l.strip().split(",") for l in open(sys.argv[1])][1:]
m = [l.strip().split(",") for l in open(sys.argv[2])][1:]
convert = {3: lambda v: v * 1.609344, 6: lambda v: (v - 32) * 5 / 9, 7: lambda v: (v - 32) * 5 / 9,
           8: lambda v: v * 3.386389, 14: lambda v: v * 6.894757, 19: lambda v: v * 0.745700,
           20: lambda v: v * 1.355818}
assert len(us) == len(m) == 4
for a, b in zip(us, m):
    for i, (x, y) in enumerate(zip(a, b)):
        want = convert[i](float(x)) if i in convert else float(x)
        assert abs(float(y) - want) <= 1e-5 * max(1, abs(want)), (i, x, y, want)
    assert any(float(b[i]) != float(a[i]) for i in convert), "nothing converted"
PY

# Refusals: one line on stderr, non-zero, nothing created. (Which sources and outputs the export
# refuses is the unit tests' business.)
expect_refusal() {  # expect_refusal WHAT ARGS...
    local what=$1; shift
    if "$quelm" export "$@" >"$work/out" 2>"$work/err"; then fail "$what: exit 0"; fi
    [ "$(wc -l <"$work/err")" -eq 1 ] || fail "$what: stderr: $(cat "$work/err")"
}
expect_refusal "missing source" "$work/absent.qm1"
[ ! -e "$work/absent.qm1" ] && [ ! -e "$work/absent.csv" ] || fail "missing source left a file"
expect_refusal "missing settings file" "$work/my.logs/run1.qm1" --config "$work/nope.ini"

# A log whose name starts with "-" follows "--".
cp "$work/my.logs/run1.qm1" "$work/-dash.qm1"
(cd "$work" && "$quelm" export -- -dash.qm1 >/dev/null 2>"$work/err") \
    || fail "export -- -dash.qm1: $(cat "$work/err")"
[ -f "$work/-dash.csv" ] || fail "export -- -dash.qm1 wrote no -dash.csv"

# Interrupted, an export removes its temporary file, keeps the earlier CSV and exits with
# 128 + the signal. The log is sparse: half a gigabyte of zero records, seconds of work.
truncate -s 512M "$work/big.qm1"
printf 'earlier\r\n' >"$work/big.csv"
set -m  # without job control a background job ignores SIGINT
for sig in INT TERM; do
    "$quelm" export "$work/big.qm1" >/dev/null 2>"$work/err" &
    pid=$!
    for _ in $(seq 250); do compgen -G "$work/.quelm-*" >/dev/null && break; sleep 0.02; done
    compgen -G "$work/.quelm-*" >/dev/null || fail "SIG$sig: no temporary file appeared"
    kill -s "$sig" "$pid"
    status=0
    wait "$pid" || status=$?
    [ "$status" -eq $((128 + $(kill -l "$sig"))) ] || fail "SIG$sig: exit $status: $(cat "$work/err")"
    ! compgen -G "$work/.quelm-*" >/dev/null || fail "SIG$sig left $(ls -A "$work" | grep quelm-)"
    [ "$(cat "$work/big.csv")" = $'earlier\r' ] || fail "SIG$sig changed the earlier CSV"
done
set +m

if "$quelm" export "$work/my.logs/run1.qm1" --units furlongs >/dev/null 2>&1; then
    fail "--units furlongs: exit 0"
fi
if "$quelm" export >/dev/null 2>&1; then fail "no arguments: exit 0"; fi
echo "export_cli: ok"
