#!/usr/bin/env bash
# Builds the fuzz targets with clang's libFuzzer, AddressSanitizer and UndefinedBehaviorSanitizer
# (a CMake build of the core and the targets only, with -DQUELM_FUZZ=ON) and runs each for a
# bounded time on its seed corpus. Exits non-zero when a target crashes; the crashing input is
# left in the output folder (crash-*) to become a regression test.
#   fuzz/run.sh [SECONDS_PER_TARGET] [OUT_DIR]     (default 30 s, build-fuzz)
# QUELM_WERROR=ON makes warnings errors, as in CI; CXX_FUZZ names another clang.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-30}
out=${2:-$root/build-fuzz}
cxx=${CXX_FUZZ:-clang++}
command -v "$cxx" >/dev/null || { echo "fuzz/run.sh: $cxx not found" >&2; exit 2; }
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
# Debug keeps the core's asserts; the fuzz option turns optimisation back on.
cmake -S "$root" -B "$out" -G Ninja "${launcher[@]}" -DCMAKE_CXX_COMPILER="$cxx" \
    -DCMAKE_BUILD_TYPE=Debug -DQUELM_FUZZ=ON -DQUELM_WERROR="${QUELM_WERROR:-OFF}" \
    -DQUELM_BUILD_GUI=OFF -DQUELM_BUILD_BENCH=OFF >/dev/null
cmake --build "$out" --target fuzz_targets --parallel "$(nproc)"
# Absolute from here on: each target runs inside the folder.
out=$(cd "$out" && pwd)

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
failed=()
for src in "$root"/fuzz/fuzz_*.cpp; do
    target=$(basename "$src" .cpp)
    name=${target#fuzz_}
    # New inputs go to a scratch corpus; the seeds in the repository stay as committed.
    work="$out/corpus-$name"
    mkdir -p "$work"
    seeds=()
    [ -d "$root/fuzz/corpus/$name" ] && seeds+=("$root/fuzz/corpus/$name")
    dict=()
    [ -f "$root/fuzz/$name.dict" ] && dict=(-dict="$root/fuzz/$name.dict")
    echo "== $target for ${seconds}s" >&2
    if (cd "$out" && "bin/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
            -print_final_stats=1 "${dict[@]}" "$work" "${seeds[@]}" >"$out/$target.log" 2>&1); then
        grep -E '^stat::number_of_executed_units' "$out/$target.log" | sed "s/^/   $target /" >&2 || true
    else
        echo "!! $target failed; see $out/$target.log" >&2
        grep -E 'ERROR|runtime error|SUMMARY|Test unit written' "$out/$target.log" | head -5 >&2 || true
        failed+=("$target")
    fi
done
if [ ${#failed[@]} -gt 0 ]; then
    echo "fuzz/run.sh: crashes in ${failed[*]}" >&2
    exit 1
fi
echo "fuzz/run.sh: no crashes" >&2
