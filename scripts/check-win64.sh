#!/usr/bin/env bash
# Builds everything for 64-bit Windows in build-win64/ (deliverables and
# tests; warnings are errors) and checks the two deliverables with
# scripts/check-image.py. Runs no test.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build-win64"

# With the 32-bit build at hand, its binaries go into bin/x86 for the tests
# that run both widths at once.
partner=""
[ -f "$root/build/bin/swv32load.exe" ] && partner="$root/build/bin"
cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DSWV_PARTNER_BIN_DIR="$partner" >/dev/null
cmake --build "$build" -j"${CMAKE_BUILD_PARALLEL_LEVEL:-$(nproc)}"

# x86-64 images, their exports, imports and resources, read from the files.
python3 "$root/scripts/check-image.py" "$build/bin"
