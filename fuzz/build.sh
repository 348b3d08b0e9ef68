#!/usr/bin/env bash
# Builds the fuzz targets with clang's libFuzzer, AddressSanitizer and UndefinedBehaviorSanitizer.
# Each target compiles only the pure core sources it exercises (no Qt), so the build needs
# nothing but clang.
#   fuzz/build.sh [OUT_DIR]        (default: build-fuzz beside the sources)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/build-fuzz}
mkdir -p "$out"
cxx=${CXX_FUZZ:-clang++}
command -v "$cxx" >/dev/null || { echo "fuzz/build.sh: $cxx not found" >&2; exit 2; }

flags=(-std=c++20 -O1 -g -fno-omit-frame-pointer -Wall -Wextra -Wpedantic -Werror
       -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined
       -DQUELM_INSTALL_DATADIR=\"/usr/local/share\" -DQUELM_BIN_TO_DATADIR=\"../share\"
       -I"$root/src" -I"$root/fuzz")

# target -> the core sources it needs
declare -A sources=(
    [fuzz_number_text]="common/number_text.cpp"
    [fuzz_settings_file]="files/settings_file.cpp files/atomic_file.cpp common/number_text.cpp"
    [fuzz_decode_convert]="decode/frame_decoder.cpp decode/convert_frame.cpp
        decode/calibration_tables.cpp decode/live_numbers.cpp decode/dashboard_update.cpp
        decode/scope_channels.cpp common/number_text.cpp"
    [fuzz_flash_decoder]="tools/flash_decoder.cpp tools/trouble_codes.cpp"
    [fuzz_maf_table]="files/maf_table.cpp files/atomic_file.cpp common/app_paths.cpp common/number_text.cpp"
    [fuzz_log_export]="files/log_reader.cpp files/log_format.cpp files/csv_export.cpp
        decode/frame_decoder.cpp decode/convert_frame.cpp
        decode/calibration_tables.cpp decode/live_numbers.cpp decode/dashboard_update.cpp
        common/number_text.cpp"
)

status=0
for target in "${!sources[@]}"; do
    [ -f "$root/fuzz/$target.cpp" ] || continue
    files=()
    missing=""
    for s in ${sources[$target]}; do
        if [ -f "$root/src/$s" ]; then files+=("$root/src/$s"); else missing+=" $s"; fi
    done
    if [ -n "$missing" ]; then
        echo "fuzz/build.sh: skipping $target (not in the tree:$missing)" >&2
        continue
    fi
    if [ -x "$out/$target" ] && [ -z "$(find "$root/fuzz/$target.cpp" "$root/fuzz/fuzz_input.h" "$root/tests/unit/general_number_reference.h" "${files[@]}" -newer "$out/$target" \
            \( -name '*.cpp' -o -name '*.h' \) -print -quit)" ] \
        && [ -z "$(find "$root/src" -name '*.h' -newer "$out/$target" -print -quit)" ]; then
        continue  # up to date
    fi
    echo "building $target" >&2
    if ! "$cxx" "${flags[@]}" "$root/fuzz/$target.cpp" "${files[@]}" -o "$out/$target"; then
        status=1
    fi
done
exit $status
