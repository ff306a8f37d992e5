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

# Finished: every step of build-toolchain.sh has its stamp, so that a cache
# built before a step was added is not finished for this tree.
skarvel_windows_toolchain_ready() {
    local name
    for name in $(sed -n 's/^step \([^ ]*\) .*/\1/p' "$(dirname "${BASH_SOURCE[0]}")/build-toolchain.sh"); do
        [ -e "$skarvel_windows_stamps/$name" ] || return 1
    done
}
