#!/usr/bin/env bash
# One entry point for developers and CI: installs the Debian packages that are missing,
# configures and builds with CMake + Ninja, then runs what was asked for.
#   ./dev.sh run       build and start the dashboard on the built-in simulated engine
#   ./dev.sh test      build and run every test (unit, window, end-to-end)
#   ./dev.sh sanitize  AddressSanitizer + UndefinedBehaviorSanitizer build of the tests
#   ./dev.sh bench     build and print the benchmark table
# QUELM_WERROR=ON makes warnings errors, as CI does.
set -euo pipefail
cd "$(dirname "$0")"
root=$PWD

packages=(g++ cmake ninja-build pkg-config qt6-base-dev qt6-serialport-dev libqcustomplot-dev
          libgtest-dev libgmock-dev libbenchmark-dev xvfb xauth imagemagick libxkbcommon-dev
          qt6-svg-dev fonts-dejavu-core clang libclang-rt-14-dev)

install_missing() {
    local missing=()
    for p in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}" >&2
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
}

build() {  # build DIR [cmake options...]
    local dir=$1; shift
    # ccache, when installed, makes rebuilds in several work trees cheap; nothing needs it.
    local launcher=()
    command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    cmake -S "$root" -B "$dir" -G Ninja "${launcher[@]}" -DQUELM_WERROR="${QUELM_WERROR:-OFF}" "$@" >/dev/null
    cmake --build "$dir" --parallel "$(nproc)"
}

cmd=${1:-}
case "$cmd" in
run)
    install_missing
    build build
    shift
    exec "$root/scripts/run-dashboard" "$root/build/bin" "$@"
    ;;
test)
    install_missing
    build build
    cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 600 -j 2
    ;;
sanitize)
    install_missing
    build build-asan -DCMAKE_BUILD_TYPE=Debug -DQUELM_SANITIZE=ON -DQUELM_BUILD_BENCH=OFF
    export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
    export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
    export LSAN_OPTIONS=suppressions=$root/scripts/lsan.supp
    cd build-asan && QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 900 -j 2
    ;;
bench)
    install_missing
    build build -DCMAKE_BUILD_TYPE=Release
    exec "$root/bench/run" "$root/build"
    ;;
*)
    sed -n '2,8p' "$0" >&2
    exit 2
    ;;
esac
