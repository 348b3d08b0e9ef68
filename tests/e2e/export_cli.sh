#!/usr/bin/env bash
# `quelm export` on a generated log: output lines, values, refusals and exit codes.
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
[ "$(grep -c $'\r$' "$csv")" -eq 5 ] || fail "lines must end in CR LF"
head -1 "$csv" | tr -d '\r' | grep -qx 'Time(s),RPM,LOAD,MPH,TPS,MAF,ECT,ACT,BAP,ADVNC,INJPW,INJDUTY,HEGOL,HEGOR,BOOST,VACUUM,WIDEO2,AUX1,AUX2,HP,TQ' \
    || fail "header: $(head -1 "$csv")"
times=$(tail -n +2 "$csv" | cut -d, -f1 | tr '\n' ' ')
[ "$times" = "0 .07 12.34 13 " ] || fail "time column: $times"
line3=$(sed -n 3p "$csv" | cut -d, -f2- | tr -d '\r')
line4=$(sed -n 4p "$csv" | cut -d, -f2- | tr -d '\r')
[ "$line3" = "$line4" ] || fail "a bad record must repeat the values before it"
[ "$(tail -n +2 "$csv" | awk -F, '{print NF}' | sort -u)" = "21" ] || fail "21 fields per line"

# The MAF curve reaches the conversions: the stock curve gives a load, a flat zero curve none.
loads=$(tail -n +2 "$csv" | cut -d, -f3 | sort -u | tr '\n' ' ')
[ "$loads" != "0 " ] || fail "LOAD is 0 on every line: the MAF curve was not loaded"
{ printf 'Volts , Kg/HR\r\n'; for i in $(seq 0 30); do printf '%d.%d,0\r\n' $((i / 6)) $((i % 6)); done; } \
    >"$work/zero.maf"
printf '[INJECTION]\r\nNumCyl=8\r\nMAFFILE=%s\r\n' "$work/zero.maf" >"$work/zero.ini"
"$quelm" export "$work/my.logs/run1.qm1" --config "$work/zero.ini" >/dev/null 2>"$work/err" \
    || fail "export with zero curve: $(cat "$work/err")"
[ ! -s "$work/err" ] || fail "zero curve: stderr: $(cat "$work/err")"
[ "$(tail -n +2 "$csv" | cut -d, -f3 | sort -u | tr -d '\r')" = "0" ] \
    || fail "a flat zero MAF curve must give LOAD 0: $(tail -n +2 "$csv" | cut -d, -f3 | tr '\n' ' ')"
# A configured curve that is missing: the stock curve, with the loader's message on stderr.
printf '[INJECTION]\r\nMAFFILE=%s\r\n' "$work/gone.maf" >"$work/gone.ini"
"$quelm" export "$work/my.logs/run1.qm1" --config "$work/gone.ini" >/dev/null 2>"$work/err" \
    || fail "export with a missing curve: $(cat "$work/err")"
grep -q 'File not found attempting to access MAF configuration file' "$work/err" \
    || fail "missing curve: stderr: $(cat "$work/err")"
[ "$(tail -n +2 "$csv" | cut -d, -f3 | sort -u | tr '\n' ' ')" = "$loads" ] \
    || fail "missing curve must fall back to the stock curve"

# Refusals: one line on stderr, non-zero, nothing created.
expect_refusal() {  # expect_refusal WHAT ARGS...
    local what=$1; shift
    if "$quelm" export "$@" >"$work/out" 2>"$work/err"; then fail "$what: exit 0"; fi
    [ "$(wc -l <"$work/err")" -eq 1 ] || fail "$what: stderr: $(cat "$work/err")"
}
expect_refusal "missing source" "$work/absent.qm1"
[ ! -e "$work/absent.qm1" ] && [ ! -e "$work/absent.csv" ] || fail "missing source left a file"
expect_refusal "csv source" "$csv"
[ "$(wc -l <"$csv")" -eq 5 ] || fail "csv source was changed"
cp "$work/my.logs/run1.qm1" "$work/blocked.qm1"
mkdir "$work/blocked.csv"
expect_refusal "unwritable output" "$work/blocked.qm1"
[ "$(ls "$work" | grep -c '^blocked')" -eq 2 ] || fail "unwritable output left a file: $(ls "$work")"
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

"$quelm" export --help | grep -q 'quelm export LOG' || fail "--help"
if "$quelm" export >/dev/null 2>&1; then fail "no arguments: exit 0"; fi
echo "export_cli: ok"
