#!/bin/bash
# Start to mapped window of skarvel.exe beside the empty window of the same
# toolchain (bench/emptywindow.cpp), both under Wine in a prefix of its own,
# measured by bench/startup_bench.py; then the size of the installer and of
# the installed folder. After bash dev.sh windows:
#   bash bench/windows-startup.sh [RUNS]
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build-windows"
. "$root/tests/windows/wineenv.sh"
wine_up
# The bench has an X server of its own; Wine starts afresh on it.
wineserver -k >/dev/null 2>&1 || true

folder="$WINEPREFIX/drive_c/Skarvel"
cp -r "$build/stage/Skarvel" "$folder"
cp "$build/bench/emptywindow.exe" "$folder/"
for program in skarvel emptywindow; do
    printf '#!/bin/sh\nexec wine "C:\\\\Skarvel\\\\%s.exe"\n' "$program" >"$wine_top/$program"
    chmod +x "$wine_top/$program"
done
/usr/bin/python3 "$root/bench/startup_bench.py" "$wine_top/skarvel" "$wine_top/emptywindow" "${1:-10}"
setup="$(ls "$build"/Skarvel-*-Setup.exe)"
echo "installer $(basename "$setup"): $(du -k "$setup" | cut -f1) KB;" \
     "installed folder: $(du -sk "$build/stage/Skarvel" | cut -f1) KB;" \
     "zip: $(du -k "$build"/Skarvel-*-win64.zip | cut -f1) KB"
