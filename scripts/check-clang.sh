#!/usr/bin/env bash
# Builds the two deliverables with clang for 32-bit Windows in build-clang/
# (no tests; warnings are errors) and fails when either imports anything but
# the Windows system libraries: neither may come to need a C runtime.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build-clang"
cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/clang-i686-mingw.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DSWV_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target swv32 swv32load
cmake -DOBJDUMP=i686-w64-mingw32-objdump -DFILES="$build/bin/swv32.dll|$build/bin/swv32load.exe" \
    -P "$root/tests/check_imports.cmake"
