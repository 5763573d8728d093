#!/usr/bin/env bash
# Builds Swivlet and starts it on a Wine virtual desktop: on your display when
# there is one, else on a private Xvfb, where it right-clicks the desktop and
# saves a screenshot of the menu. Uses a Wine prefix of its own under build/.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/deps.sh"
"$root/scripts/build.sh"

bin="$root/build/bin"
export WINEPREFIX="$root/build/run-prefix"
export WINEARCH=win32 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
size=1024x768

if [ ! -d "$WINEPREFIX" ]; then
    echo "Creating the Wine prefix $WINEPREFIX (a few seconds)"
    DISPLAY= wineboot -i >/dev/null 2>&1
    wineserver -w
fi
# Debian's Wine never finds its own fonts where it installs them (see
# tests/harness/swv-wine.in); in the prefix's Fonts folder it does.
fonts="$WINEPREFIX/drive_c/windows/Fonts"
[ -f "$fonts/marlett.ttf" ] || cp /usr/share/wine/fonts/* "$fonts/"

if [ -n "${DISPLAY:-}" ] && xwd -root -silent -display "$DISPLAY" >/dev/null 2>&1; then
    echo "Swivlet runs on a Wine virtual desktop on $DISPLAY."
    echo "Right-click the desktop or a window caption; Run, then \"exit\", ends it."
    wine explorer "/desktop=Swivlet,$size" notepad.exe >/dev/null 2>&1 &
    exec wine explorer "/desktop=Swivlet,$size" "$(winepath -w "$bin/swv32load.exe")"
fi

# No display: a private one, a right-click on the desktop, a screenshot.
shot="$root/build/swivlet-menu.png"
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

wine explorer "/desktop=Swivlet,$size" "$(winepath -w "$bin/swv32load.exe")" >/dev/null 2>&1 &
wine explorer "/desktop=Swivlet,$size" notepad.exe >/dev/null 2>&1 &
sleep 4
wine explorer "/desktop=Swivlet,$size" "$(winepath -w "$bin/swvtestwin.exe")" --rclick 700 600 \
    >/dev/null 2>&1 || true
sleep 1
xwd -root -silent | convert xwd:- "$shot"
echo "Swivlet's menu, called up on the desktop, is in $shot"
