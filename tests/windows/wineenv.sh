# A Wine of its own for the Windows checks, the screenshots and the start-up
# benchmark: a fresh 64-bit prefix and home in a temporary folder, an Xvfb
# display and a window manager. Sourced; wine_up starts it, and an EXIT trap
# ends exactly what it started and removes the folder.

wine_top="$(mktemp -d /tmp/skarvel-wine.XXXXXX)"
chmod 700 "$wine_top"
export HOME="$wine_top/home" XDG_CONFIG_HOME="$wine_top/home/.config" XDG_DATA_HOME="$wine_top/home/.local/share"
export WINEPREFIX="$wine_top/prefix" WINEARCH=win64 WINEDEBUG=-all
# No Mono or Gecko download dialogs, and no menu entries on the host desktop.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
mkdir -p "$HOME"
wine_log="$wine_top/wine.log"
wine_pids=()

wine_down() {
    local pid
    wineserver -k >/dev/null 2>&1 || true
    for pid in "${wine_pids[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    for pid in "${wine_pids[@]}"; do
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "$wine_top"
}
trap wine_down EXIT

# Polls until the command succeeds, for at most $1 seconds; Wine's first
# starts are slow, so the limits are generous and nothing waits blindly.
wait_for() {
    local seconds="$1" i
    shift
    for ((i = 0; i < seconds * 5; i++)); do
        "$@" >/dev/null 2>&1 && return 0
        sleep 0.2
    done
    return 1
}

display_ready() { [ -s "$wine_top/display" ]; }

wine_up() {
    Xvfb -displayfd 3 -screen 0 "${1:-1280x1024x24}" -nolisten tcp 3>"$wine_top/display" 2>>"$wine_log" &
    wine_pids+=($!)
    wait_for 30 display_ready || { echo "windows: Xvfb did not start" >&2; return 1; }
    export DISPLAY=":$(cat "$wine_top/display")"
    openbox >>"$wine_log" 2>&1 &
    wine_pids+=($!)
    timeout 300 wine wineboot -i >>"$wine_log" 2>&1
    wine_user="$(ls "$WINEPREFIX/drive_c/users" | grep -vx Public | head -n 1)"
    wine_profile="$WINEPREFIX/drive_c/users/$wine_user"
    wine_installed="$wine_profile/AppData/Local/Programs/Skarvel"
    wine_installed_win="C:\\users\\$wine_user\\AppData\\Local\\Programs\\Skarvel"
    wine_data="$wine_profile/AppData/Roaming/skarvel"
}

# The id of the visible window whose title matches the pattern, once it shows.
visible_window() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1 | grep .; }
