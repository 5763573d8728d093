#!/usr/bin/env bash
# Builds Swivlet and starts it on a Wine virtual desktop: on your display when
# there is one, else on a private Xvfb, where it right-clicks the desktop and
# saves a screenshot of the menu. Uses a Wine prefix of its own under build/.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/deps.sh"
# shellcheck source=widths.sh
. "$root/scripts/widths.sh"
swv_probe_widths

# The 32-bit build where 32-bit code runs; elsewhere the 64-bit one, in a
# 64-bit prefix whose every program the 64-bit loader starts itself.
if [ "$SWV_RUNS_32BIT" = 1 ]; then
    "$root/scripts/build.sh"
    build="$root/build" WINE=wine
    export WINEARCH=win32
    echo "Starting the 32-bit build of Swivlet."
else
    build="$root/build-win64" WINE="$WINE64"
    cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
        -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build "$build" -j"$(nproc)" --target swv32load swv32 swvtestwin
    export WINEARCH=win64
    echo "Starting the 64-bit build of Swivlet: $SWV_NO_32BIT_WHY."
fi
bin="$build/bin"
export WINEPREFIX="$build/run-prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
size=1024x768

if [ ! -d "$WINEPREFIX" ]; then
    echo "Creating the Wine prefix $WINEPREFIX (a few seconds)"
    DISPLAY= "$WINE" wineboot -i >/dev/null 2>&1
    wineserver -w
fi
# Debian's Wine never finds its own fonts where it installs them (see
# tests/harness/swv-wine.in); in the prefix's Fonts folder it does.
fonts="$WINEPREFIX/drive_c/windows/Fonts"
[ -f "$fonts/marlett.ttf" ] || cp /usr/share/wine/fonts/* "$fonts/"

if [ -n "${DISPLAY:-}" ] && xwd -root -silent -display "$DISPLAY" >/dev/null 2>&1; then
    echo "Swivlet runs on a Wine virtual desktop on $DISPLAY."
    echo "Right-click the desktop or a window caption; Run, then \"exit\", ends it."
    "$WINE" explorer "/desktop=Swivlet,$size" notepad.exe >/dev/null 2>&1 &
    exec "$WINE" explorer "/desktop=Swivlet,$size" "$("$WINE" winepath -w "$bin/swv32load.exe")"
fi

# No display: a private one, a right-click on the desktop, a screenshot.
shot="$root/build/swivlet-menu.png"
mkdir -p "$root/build"
xvfb_pid=
cleanup() {
    wineserver -k >/dev/null 2>&1 || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT
exec 3>"$root/build/run-display"
Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do [ -s "$root/build/run-display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n1 "$root/build/run-display")"
echo "No display: running Swivlet on a private Xvfb ($DISPLAY)."

"$WINE" explorer "/desktop=Swivlet,$size" "$("$WINE" winepath -w "$bin/swv32load.exe")" >/dev/null 2>&1 &
"$WINE" explorer "/desktop=Swivlet,$size" notepad.exe >/dev/null 2>&1 &
sleep 4
"$WINE" explorer "/desktop=Swivlet,$size" "$("$WINE" winepath -w "$bin/swvtestwin.exe")" --rclick 700 600 \
    >/dev/null 2>&1 || true
sleep 1
xwd -root -silent | convert xwd:- "$shot"
echo "Swivlet's menu, called up on the desktop, is in $shot"
