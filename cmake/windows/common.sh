# Shared by dev.sh and the scripts under cmake/windows: where the Windows
# toolchain lives and whether it is complete. Sourced, not run.

# Outside the source tree, so that every worktree and a fresh clone reuse one
# toolchain; SKARVEL_WINDOWS_CACHE moves it.
if [ -z "${SKARVEL_WINDOWS_CACHE:-}" ]; then
    if [ "$(id -u)" -eq 0 ]; then
        SKARVEL_WINDOWS_CACHE=/var/cache/skarvel-windows
    else
        SKARVEL_WINDOWS_CACHE="${XDG_CACHE_HOME:-$HOME/.cache}/skarvel-windows"
    fi
fi
skarvel_windows_prefix="$SKARVEL_WINDOWS_CACHE/prefix"
skarvel_windows_stamps="$SKARVEL_WINDOWS_CACHE/stamps"
skarvel_windows_logs="$SKARVEL_WINDOWS_CACHE/logs"

# The last step writes this stamp; nothing else counts as a finished toolchain.
skarvel_windows_toolchain_ready() {
    [ -e "$skarvel_windows_stamps/99-complete" ]
}
