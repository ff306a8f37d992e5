#!/bin/bash
# Screenshots of the installed Windows program under Wine, for a person to
# look at (umlauts, nothing cut): the window, the settings dialog, the
# editor and the Verlauf, at 14 and at 28 points. Not a test.
#   bash cmake/windows/screenshots.sh build-windows/Skarvel-<version>-Setup.exe OUTDIR
set -euo pipefail

setup="$(realpath "$1")"
out="$(mkdir -p "$2" && cd "$2" && pwd)"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
. "$here/../../tests/windows/wineenv.sh"

wine_up 1280x1024x24
wine "$setup" /S >>"$wine_log" 2>&1
shot() { sleep 2; import -window root "$out/$1.png"; echo "$out/$1.png"; }
# The menu bar by keyboard, as Fusion offers it: Alt, then the arrows.
keys() { xdotool windowactivate --sync "$window" >/dev/null 2>&1 || true; xdotool key --delay 300 "$@"; }
dialog_shown() { [ "$(xdotool getactivewindow)" != "$window" ]; }

for size in 14 28; do
    wine reg add 'HKCU\Software\Pondrel\Skarvel' /v fontSize /t REG_SZ /d "$size" /f >>"$wine_log" 2>&1
    wine "$wine_installed_win\\skarvel.exe" --patient "Frau Müller" >>"$wine_log" 2>&1 &
    program=$!
    wait_for 120 visible_window 'Frau Müller$'
    window="$(visible_window 'Frau Müller$')"
    keys 1 Return 2 Return 3
    shot "window-$size"
    keys alt Return
    wait_for 30 dialog_shown && shot "settings-$size"
    keys Escape
    keys alt Right Down Down Return
    wait_for 30 dialog_shown && shot "editor-$size"
    keys Escape
    keys alt Right Right Down Down Return
    wait_for 30 dialog_shown && shot "verlauf-$size"
    keys Escape
    kill -KILL "$program"
    wait "$program" 2>/dev/null || true
done
