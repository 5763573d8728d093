#!/usr/bin/env bash
# Builds everything for 64-bit Windows in build-win64/ (deliverables and
# tests; warnings are errors) and checks the two deliverables: x86-64 images,
# importing only the Windows system libraries, and the menu library exporting
# what menulib/swv32.def lists at the same ordinals. Runs no test.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build-win64"
objdump=x86_64-w64-mingw32-objdump
dll="$build/bin/swv64.dll"
exe="$build/bin/swv32load.exe"

# With the 32-bit build at hand, its binaries go into bin/x86 for the tests
# that run both widths at once.
partner=""
[ -f "$root/build/bin/swv32load.exe" ] && partner="$root/build/bin"
cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DSWV_PARTNER_BIN_DIR="$partner" >/dev/null
cmake --build "$build" -j"${CMAKE_BUILD_PARALLEL_LEVEL:-$(nproc)}"

for f in "$dll" "$exe"; do
    if ! "$objdump" -f "$f" | grep -q 'file format pei-x86-64'; then
        echo "check-win64: $f is not an x86-64 image" >&2
        exit 1
    fi
done

cmake -DOBJDUMP="$objdump" -DFILES="$dll|$exe" -P "$root/tests/check_imports.cmake" >/dev/null

# "ordinal name" for each export, by the name callers link against.
expected="$(sed -n 's/^[[:space:]]*\([A-Za-z_][A-Za-z0-9_]*\).*@\([0-9][0-9]*\).*/\2 \1/p' \
    "$root/menulib/swv32.def" | sort -n)"
# objdump numbers the name table from 0; the ordinal adds the base.
actual="$("$objdump" -p "$dll" | awk '
    /^Ordinal Base/ { base = $3 }
    /^\[Ordinal\/Name Pointer\] Table/ { names = 1; next }
    names && /^\t\[ *[0-9]+\] / { sub(/^\t\[ */, ""); split($0, f, /\] /); print f[1] + base, f[2]; next }
    names { names = 0 }' | sort -n)"
if [ -z "$expected" ] || [ "$expected" != "$actual" ]; then
    echo "check-win64: exports of $dll differ from menulib/swv32.def" >&2
    diff <(echo "$expected") <(echo "$actual") >&2 || true
    exit 1
fi

imports() { "$objdump" -p "$1" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z\n' 'a-z ' | sed 's/ $//'; }
echo "check-win64: swv64.dll $(stat -c %s "$dll") bytes, $(echo "$actual" | wc -l) exports as in swv32.def, imports $(imports "$dll")"
echo "check-win64: swv32load.exe $(stat -c %s "$exe") bytes, imports $(imports "$exe")"
