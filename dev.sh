#!/bin/bash
# Builds Skarvel on Debian 12 and either starts the trainer or runs every test.
#   bash dev.sh run    build, then start the trainer
#   bash dev.sh test   build, then run the whole test suite
#   bash dev.sh asan   only the test suite in the sanitizer build (build-asan)
#   bash dev.sh windows  build the Windows toolchain (once), skarvel.exe, its
#                        installer and zip (build-windows), and try them under Wine
# Installs the Debian packages it needs when they are missing (as root, or
# through sudo).
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
cd "$here"

build_packages=(build-essential cmake pkg-config qtbase5-dev qt5-style-plugin-cleanlooks libhunspell-dev
                libqt5charts5-dev libqt5svg5-dev libqt5sql5-sqlite libqt5sql5-psql libqt5texttospeech5-dev qttranslations5-l10n ccache
                qtkeychain-qt5-dev)
test_packages=(hunspell hunspell-de-de xvfb xauth python3 python3-xlib clang libclang-rt-14-dev
               desktop-file-utils appstream dpkg-dev poppler-utils
               qtspeech5-speechd-plugin speech-dispatcher speech-dispatcher-espeak-ng libao4
               postgresql-15)
# qt6-declarative-dev: Qt6TextToSpeech's CMake package needs its Qt6QmlIntegration.
qt6_packages=(qt6-base-dev qt6-base-dev-tools libgl-dev qt6-charts-dev qt6-svg-dev libqt6sql6-sqlite libqt6sql6-psql qt6-speech-dev
              qt6-speech-speechd-plugin qt6-declarative-dev qt6-translations-l10n qtkeychain-qt6-dev)

need_packages() {
    local missing=()
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" \
            || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing Debian packages: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# ccache keeps the objects of earlier builds, of this tree or a fresh clone
# beside it (paths below the tree count relative to it), so a second build of
# three configurations on two cores takes minutes, not a quarter of an hour.
build() {
    local dir="$1"; shift
    export CCACHE_BASEDIR="$here"
    cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER_LAUNCHER=ccache "$@" >/dev/null
    cmake --build "$dir" --parallel "$(nproc)"
}

# The same tree against Qt 6. The fuzz targets and the package are checked
# once, on the Qt 5 build, the one that is shipped.
test_qt6() {
    need_packages "${qt6_packages[@]}"
    build build-qt6 -DSKARVEL_QT6=ON
    ctest --test-dir build-qt6 --output-on-failure -LE fuzz
}

# The whole suite once more with AddressSanitizer (LeakSanitizer included)
# and UndefinedBehaviorSanitizer, without recovery: any finding, and any leak
# of our own code, fails the test that caused it. tests/lsan.supp names the
# few leaks of Qt and the platform; their stacks are only complete with the
# slow unwinder. The fuzz targets carry the sanitizers themselves.
test_sanitized() {
    build build-asan -DSKARVEL_ASAN=ON -DSKARVEL_BUILD_BENCH=OFF
    ASAN_OPTIONS="detect_leaks=1:halt_on_error=1:abort_on_error=1:fast_unwind_on_malloc=0:detect_stack_use_after_return=1" \
    LSAN_OPTIONS="suppressions=$here/tests/lsan.supp:print_suppressions=0" \
    UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:abort_on_error=1" \
        ctest --test-dir build-asan --output-on-failure -LE 'fuzz|soak'
}

# Packaging: the installed tree passes the desktop and AppStream validators;
# the Debian package installs, its program starts and closes in Xvfb, and it
# is purged again. Installing packages needs root; skipped otherwise, and
# where skarvel is installed already.
test_package() {
    local root
    root="$(mktemp -d)"
    DESTDIR="$root" cmake --install build --prefix /usr >/dev/null
    desktop-file-validate "$root/usr/share/applications/de.pondrel.Skarvel.desktop"
    appstreamcli validate-tree --no-net --strict "$root/usr"
    rm -rf "$root"
    if [ "$(id -u)" -ne 0 ] || dpkg-query -W skarvel >/dev/null 2>&1; then
        echo "package: not installed here (needs root, and no skarvel installed)"
        return 0
    fi
    (cd build && cpack -G DEB >/dev/null)
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq ./build/skarvel_*.deb >/dev/null
    local status=0
    xvfb-run -a /usr/bin/python3 tests/blackbox.py /usr/bin/skarvel || status=$?
    DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq skarvel >/dev/null
    return $status
}

# The Windows toolchain is cached outside the tree (cmake/windows/common.sh);
# its build says which step failed and where its log is.
. "$here/cmake/windows/common.sh"
export SKARVEL_WINDOWS_CACHE

# skarvel.exe from this tree, then its installer and zip.
build_windows() {
    local log=build-windows/build.log
    mkdir -p build-windows
    local launcher=()
    command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    if ! { cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE="$here/cmake/windows/mingw-w64-x86_64.cmake" \
               -DCMAKE_BUILD_TYPE=Release -DSKARVEL_BUILD_TESTS=OFF -DSKARVEL_BUILD_BENCH=OFF "${launcher[@]}" \
           && cmake --build build-windows --parallel 2; } >"$log" 2>&1; then
        echo "dev.sh windows: building skarvel.exe failed, see $here/$log" >&2
        return 1
    fi
    if ! bash cmake/windows/package.sh build-windows >build-windows/package.log 2>&1; then
        echo "dev.sh windows: packing failed, see $here/build-windows/package.log" >&2
        return 1
    fi
    tail -n 1 build-windows/package.log
}

# The installed program under Wine (tests/windows/wine-checks.sh).
check_windows() {
    local setup
    setup="$(ls build-windows/Skarvel-*-Setup.exe)"
    bash tests/windows/wine-checks.sh "$setup"
}

# In the whole suite only where the toolchain has been built on this machine:
# building it takes an hour.
# A toolchain built before a later step was added (its Qt there, the new
# step not) gets that step here: minutes, not the hour of Qt. A step that
# cannot be built here is said, with its log, and the Windows checks left out.
test_windows() {
    if ! skarvel_windows_toolchain_ready && [ -e "$skarvel_windows_stamps/40-qtbase" ] && [ "$(id -u)" -eq 0 ]; then
        echo "windows: completing the toolchain in $SKARVEL_WINDOWS_CACHE"
        bash cmake/windows/build-toolchain.sh || true
    fi
    if ! skarvel_windows_toolchain_ready; then
        echo "windows: not built here (no complete toolchain in $SKARVEL_WINDOWS_CACHE; bash dev.sh windows builds it)"
        return 0
    fi
    build_windows
    check_windows
}

case "${1:-}" in
run)
    if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
        echo "Skarvel needs a graphical display (DISPLAY or WAYLAND_DISPLAY is not set)." >&2
        exit 1
    fi
    need_packages "${build_packages[@]}"
    build build
    exec build/app/skarvel
    ;;
test)
    need_packages "${build_packages[@]}" "${test_packages[@]}"
    build build
    ctest --test-dir build --output-on-failure
    test_package
    test_windows
    test_qt6
    test_sanitized
    ;;
windows)
    if [ "$(id -u)" -ne 0 ]; then
        echo "dev.sh windows: run as root (it installs Debian packages and builds into $SKARVEL_WINDOWS_CACHE)" >&2
        exit 1
    fi
    bash cmake/windows/build-toolchain.sh
    build_windows
    check_windows
    ;;
asan)
    need_packages "${build_packages[@]}" "${test_packages[@]}"
    test_sanitized
    ;;
*)
    echo "usage: bash dev.sh run | test | asan | windows" >&2
    exit 2
    ;;
esac
