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
# The menu bar by keyboard, as Fusion offers it: Alt enters it with nothing
# chosen yet, the first Right chooses "Einstellungen", then the arrows.
keys() { xdotool windowactivate --sync "$window" >/dev/null 2>&1 || true; xdotool key --delay 300 "$@"; }
dialog_shown() { [ "$(xdotool getactivewindow)" != "$window" ]; }
# "Einstellungen" is an entry of the menu bar itself, which the keyboard
# cannot trigger: a click on the first text in the window's topmost band of
# text, where the menu bar stands whatever the font size.
click_settings() {
    import -window "$window" -depth 8 "$wine_top/bar.ppm"
    local at
    at="$(python3 - "$wine_top/bar.ppm" <<'PY'
import sys
data = open(sys.argv[1], 'rb').read()
fields, pos = [], 0
while len(fields) < 4:
    while data[pos:pos + 1].isspace():
        pos += 1
    end = pos
    while not data[end:end + 1].isspace():
        end += 1
    fields.append(int(data[pos:end]) if len(fields) else data[pos:end])
    pos = end
width, height = fields[1], fields[2]
pixels = data[pos + 1:]
def dark(x, y):
    i = 3 * (y * width + x)
    return sum(pixels[i:i + 3]) < 250
band = []
for y in range(height // 3):
    xs = [x for x in range(10, width - 10) if dark(x, y)]
    if xs:
        band.append((y, xs[0]))
    elif band:
        break
y, x = band[len(band) // 2]
print(x + 5, y)
PY
)"
    xdotool mousemove --window "$window" ${at% *} ${at#* } click 1
}

for size in 14 28; do
    wine reg add 'HKCU\Software\Pondrel\Skarvel' /v fontSize /t REG_SZ /d "$size" /f >>"$wine_log" 2>&1
    wine "$wine_installed_win\\skarvel.exe" --patient "Frau Müller" >>"$wine_log" 2>&1 &
    program=$!
    wait_for 120 visible_window 'Frau Müller$'
    window="$(visible_window 'Frau Müller$')"
    keys 1 Return 2 Return 3
    shot "window-$size"
    click_settings
    wait_for 30 dialog_shown && shot "settings-$size"
    keys Escape
    keys alt Right Right Down Down Return
    wait_for 30 dialog_shown && shot "editor-$size"
    keys Escape
    keys alt Right Right Right Down Down Return
    wait_for 30 dialog_shown && shot "verlauf-$size"
    keys Escape
    kill -KILL "$program"
    wait "$program" 2>/dev/null || true
done
