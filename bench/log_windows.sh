#!/usr/bin/env bash
# The export window against `quelm export` on the same 1,000,000-record log, and unpaced
# playback of that log through the logging window.
# usage: bash bench/log_windows.sh <folder of built programs>
set -euo pipefail
bin=${1:?folder of built programs}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QUELM_CONFIG="$work/Quelm.ini" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data"
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}

python3 - "$work/run.qm1" <<'PY'
import random, sys
random.seed(7)
with open(sys.argv[1], "wb") as f:
    chunk = bytearray()
    for n in range(1_000_000):
        p = bytearray(random.getrandbits(8) for _ in range(37))
        p.append(sum(p) & 0xFF)
        chunk += p + (n * 37 // 10).to_bytes(3, "big") + bytes(7)
        if len(chunk) > 1 << 20:
            f.write(chunk)
            chunk.clear()
    f.write(chunk)
PY

start=$(date +%s.%N)
"$bin/quelm" export "$work/run.qm1" >/dev/null 2>&1
cli=$(echo "$(date +%s.%N) - $start" | bc)
rm -f "$work/run.csv"
"$bin/bench_log_windows" "$work/run.qm1" 2>/dev/null >"$work/windows"
window=$(sed -n 's/^export window: \([0-9.]*\) s$/\1/p' "$work/windows")
echo "quelm export:  ${cli} s"
echo "export window: ${window} s"
echo "ratio: $(echo "scale=2; $window / $cli" | bc)"

# Unpaced playback of the same log through the logging window (fake hub: frames are counted,
# not decoded; the decode path is measured by bench_playback and bench_log_player).
grep '^logging window:' "$work/windows"
