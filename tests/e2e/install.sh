#!/usr/bin/env bash
# `cmake --install` into a temporary prefix, then the installed programs on their own: versions,
# help texts, and an export that converts with the installed stock MAF curve. (The simulator's
# terminal is every simulator script's first step.)
set -euo pipefail
bin=$(cd "${1:?folder of built programs}" && pwd)
build=$(dirname "$bin")
work=$(mktemp -d)
here="$(cd "$(dirname "$0")" && pwd)"
trap 'rm -rf "$work"' EXIT
# Nothing of the user's own settings may take part.
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/config" XDG_DATA_HOME="$work/home/data"
unset QUELM_CONFIG

fail() { echo "FAIL: $*" >&2; exit 1; }

prefix="$work/first/prefix"
cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 \
    || fail "cmake --install: $(cat "$work/install.log")"

expected=(bin/quelm bin/quelm-sim share/quelm/maflib/a9lstock.maf share/quelm/maflib/large_bore_80mm.maf
          share/man/man1/quelm.1 share/man/man1/quelm-sim.1 share/doc/quelm/user-guide.md
          share/doc/quelm/images/dashboard.png)
if [ -x "$bin/quelm-dash" ]; then
    expected+=(bin/quelm-dash share/man/man1/quelm-dash.1 share/applications/quelm-dash.desktop
               share/icons/hicolor/scalable/apps/quelm-dash.svg)
fi
for f in "${expected[@]}"; do
    [ -f "$prefix/$f" ] || fail "not installed: $f"
done
if [ -f "$prefix/share/applications/quelm-dash.desktop" ]; then
    grep -qx 'Exec=quelm-dash' "$prefix/share/applications/quelm-dash.desktop" || fail "desktop Exec"
    grep -qx 'Icon=quelm-dash' "$prefix/share/applications/quelm-dash.desktop" || fail "desktop Icon"
fi

# The man pages name the folders of the prefix they were installed under.
grep -q "^\.I $prefix/share/quelm/maflib/\$" "$prefix/share/man/man1/quelm.1" ||
    fail "quelm.1 does not name $prefix/share/quelm/maflib/"

# Move the installed tree: the programs must not depend on where they were installed first.
mkdir -p "$work/moved"
mv "$prefix" "$work/moved/prefix"
prefix="$work/moved/prefix"
maflib="$prefix/share/quelm/maflib"
[ ! -e "$prefix/bin/maflib" ] || fail "a maflib folder beside the installed programs"

for p in quelm quelm-sim quelm-dash; do
    [ -f "$prefix/bin/$p" ] || continue
    version=$("$prefix/bin/$p" --version) || fail "$p --version exited $?"
    [ "$version" = "$p 1.4.1" ] || fail "$p --version: $version"
done
"$prefix/bin/quelm-sim" --help | grep -q -- '--scenario' || fail "quelm-sim --help"
"$prefix/bin/quelm" --help >"$work/help" || fail "quelm --help exited $?"
for sub in export record selftest; do
    grep -q "^  $sub " "$work/help" || fail "quelm --help does not name $sub"
    "$prefix/bin/quelm" "$sub" --help | grep -q "quelm $sub" || fail "quelm $sub --help"
done

# A small log: four records of a running engine (MAF sensor near 1.5 V, a few thousand rpm).
mkdir -p "$work/logs"
python3 "$here/make_log.py" "$work/logs/run.qm1" 1:10 2:20 3:30 4:40

# export CURVE_SETTING NAME: the CSV made with MAFFILE set to CURVE_SETTING ("" = not set).
export_with() {
    local maf=$1 name=$2
    printf '[INJECTION]\nNumCyl=8\nMAFFILE=%s\n' "$maf" >"$work/$name.ini"
    "$prefix/bin/quelm" export "$work/logs/run.qm1" --config "$work/$name.ini" \
        >"$work/$name.out" 2>"$work/$name.err" || fail "$name: export exited $?: $(cat "$work/$name.err")"
    [ "$(cat "$work/$name.out")" = "$work/logs/run.csv" ] || fail "$name: stdout $(cat "$work/$name.out")"
    if grep -q 'warning' "$work/$name.err"; then fail "$name: $(cat "$work/$name.err")"; fi
    mv "$work/logs/run.csv" "$work/$name.csv"
}

export_with "" stock
[ "$(wc -l <"$work/stock.csv")" -eq 5 ] || fail "stock export: $(wc -l <"$work/stock.csv") lines"
export_with "$maflib/a9lstock.maf" stock-named
cmp -s "$work/stock.csv" "$work/stock-named.csv" || fail "no MAFFILE must mean the installed stock curve"
export_with "$maflib/large_bore_80mm.maf" large
if cmp -s "$work/stock.csv" "$work/large.csv"; then fail "the curve makes no difference to this log"; fi

# Prove the stock curve comes from this prefix: replace it there and the default follows.
cp "$maflib/large_bore_80mm.maf" "$maflib/a9lstock.maf"
export_with "" replaced
cmp -s "$work/large.csv" "$work/replaced.csv" || fail "the stock curve was not read from $maflib"

echo "install: ok ($prefix)"
