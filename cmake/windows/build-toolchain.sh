#!/bin/bash
# Builds what skarvel.exe links against, for 64-bit Windows, with MinGW-w64:
# Qt 5.15 (Core, Gui, Widgets, Sql with SQLite, PrintSupport; Charts, Svg) and
# Hunspell, all from Debian's own source packages, into
# $SKARVEL_WINDOWS_CACHE (cmake/windows/common.sh). Run as root on Debian 12.
#
# Every step leaves a stamp only when it succeeded; a step that fails removes
# what it half built and the stamps of everything after it, and says in one
# line which step failed and where its log is. A second run starts at the
# first step without a stamp.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
. "$here/common.sh"

cache="$SKARVEL_WINDOWS_CACHE"
prefix="$skarvel_windows_prefix"
stamps="$skarvel_windows_stamps"
logs="$skarvel_windows_logs"
src="$cache/src"
work="$cache/build"
host=x86_64-w64-mingw32
jobs="${SKARVEL_WINDOWS_JOBS:-2}"
mkdir -p "$stamps" "$logs" "$src" "$work"

# A step: its name (ordered by its number), what it writes (removed when it
# fails), and the function that does it.
step() {
    local name="$1" output="$2" fn="$3"
    [ -e "$stamps/$name" ] && return 0
    local s
    for s in "$stamps"/*; do
        [ -e "$s" ] && [[ "$(basename "$s")" > "$name" ]] && rm -f "$s"
    done
    local log="$logs/$name.log"
    echo "windows toolchain: $name (log: $log)"
    rm -rf $output
    set +e
    ( set -euo pipefail; "$fn" ) >"$log" 2>&1
    local rc=$?
    set -e
    if [ $rc -ne 0 ]; then
        rm -rf $output
        echo "dev.sh windows: step $name failed, see $log" >&2
        exit 1
    fi
    touch "$stamps/$name"
}

packages=(build-essential g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix mingw-w64-tools
          dpkg-dev tcl autoconf automake libtool autopoint gettext pkg-config perl python3
          nsis wine wine64 xvfb xauth xdotool imagemagick openbox zip unzip sqlite3
          hunspell-de-de qttranslations5-l10n)

do_packages() {
    local missing=() p
    for p in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    if [ ${#missing[@]} -gt 0 ]; then
        apt-get update
        DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
    fi
    # The posix thread model: Qt's threads and std::thread need it.
    update-alternatives --set $host-gcc /usr/bin/$host-gcc-posix
    update-alternatives --set $host-g++ /usr/bin/$host-g++-posix
}

# deb-src entries for the machine's own suite, in a sources file and lists
# directory of their own: the machine's apt configuration stays as it is.
apt_own=()
apt_setup() {
    local suite
    suite="$(. /etc/os-release && echo "$VERSION_CODENAME")"
    mkdir -p "$cache/apt/lists/partial" "$cache/apt/cache/archives/partial" "$cache/apt/parts"
    local key=/usr/share/keyrings/debian-archive-keyring.gpg
    cat >"$cache/apt/sources.list" <<END
deb-src [signed-by=$key] http://deb.debian.org/debian $suite main
deb-src [signed-by=$key] http://deb.debian.org/debian $suite-updates main
deb-src [signed-by=$key] http://deb.debian.org/debian-security $suite-security main
END
    apt_own=(-o Dir::Etc::SourceList="$cache/apt/sources.list" -o Dir::Etc::SourceParts="$cache/apt/parts"
             -o Dir::State::Lists="$cache/apt/lists" -o Dir::Cache="$cache/apt/cache")
}

# No qtspeech: Qt 5's TextToSpeech has no engine in a MinGW build (README).
# Qt Svg came later than the others: its source is fetched by its own step,
# so that a cache built before it needs only that step.
source_packages=(qtbase-opensource-src qtcharts-opensource-src hunspell sqlite3)
do_sources() {
    apt_setup
    apt-get "${apt_own[@]}" update
    mkdir -p "$src"
    cd "$src"
    apt-get "${apt_own[@]}" source "${source_packages[@]}"
}

srcdir() { # the unpacked tree of a source package
    local d
    d="$(find "$src" -maxdepth 1 -mindepth 1 -type d -name "$1-*" | sort | tail -n 1)"
    [ -n "$d" ] || { echo "no unpacked source of $1 in $src" >&2; return 1; }
    echo "$d"
}

# Debian's Qt tarball leaves SQLite out; Debian's sqlite3 source makes the
# single-file amalgamation, built here as a static library for Qt's driver.
do_sqlite() {
    local s
    s="$(srcdir sqlite3)"
    mkdir -p "$work/sqlite-host" "$cache/sqlite/include" "$cache/sqlite/lib"
    cd "$work/sqlite-host"
    "$s/configure" --disable-tcl >/dev/null
    make sqlite3.c
    cd "$cache/sqlite"
    cp "$work/sqlite-host/sqlite3.h" "$work/sqlite-host/sqlite3ext.h" include/ 2>/dev/null \
        || cp "$work/sqlite-host/sqlite3.h" include/
    $host-gcc -O2 -DSQLITE_THREADSAFE=1 -DSQLITE_ENABLE_COLUMN_METADATA -DSQLITE_OMIT_LOAD_EXTENSION \
        -c "$work/sqlite-host/sqlite3.c" -o "$work/sqlite-host/sqlite3.o"
    $host-ar rcs lib/libsqlite3.a "$work/sqlite-host/sqlite3.o"
    cp "$s/LICENSE.md" "$cache/sqlite/" 2>/dev/null || true
    rm -rf "$work/sqlite-host"
}

# Wintab (pen tablets) is left out of Debian's tarball as well: no tablet
# events. Lean: no examples, tests, OpenGL, D-Bus or the other SQL drivers.
do_qtbase() {
    local s
    s="$(srcdir qtbase-opensource-src)"
    mkdir -p "$work/qtbase"
    cd "$work/qtbase"
    "$s/configure" -xplatform win32-g++ -device-option CROSS_COMPILE=$host- -prefix "$prefix" \
        -opensource -confirm-license -release -shared -nomake examples -nomake tests \
        -no-opengl -no-direct2d -no-dbus -no-icu -no-pkg-config -no-feature-tabletevent \
        -qt-zlib -qt-libpng -qt-libjpeg -qt-freetype -qt-pcre -qt-harfbuzz \
        -sql-sqlite -system-sqlite -no-sql-odbc -no-sql-psql -no-sql-mysql -no-sql-ibase \
        -no-sql-oci -no-sql-db2 -no-sql-tds -no-sql-sqlite2 \
        -I "$cache/sqlite/include" -L "$cache/sqlite/lib"
    grep -q 'SQLite.*yes' config.summary || { echo "configure left out the SQLite driver" >&2; return 1; }
    nice -n 5 make -j"$jobs"
    make install
    rm -rf "$work/qtbase"
}

# A Qt module, built with the new qmake into a staging root first and only
# then copied into the prefix, so that a failed build leaves the prefix as it was.
qt_module() {
    local s stage="$work/stage-$1"
    s="$(srcdir "$1-opensource-src")"
    mkdir -p "$work/$1"
    cd "$work/$1"
    "$prefix/bin/qmake" "$s"
    nice -n 5 make -j"$jobs"
    make install INSTALL_ROOT="$stage"
    cp -a "$stage$prefix/." "$prefix/"
    rm -rf "$work/$1" "$stage"
}
do_qtcharts() { qt_module qtcharts; }
do_qtsvg() {
    apt_setup
    if ! ls -d "$src"/qtsvg-opensource-src-* >/dev/null 2>&1; then
        apt-get "${apt_own[@]}" update
        (cd "$src" && apt-get "${apt_own[@]}" source qtsvg-opensource-src)
    fi
    qt_module qtsvg
}

do_hunspell() {
    local s
    s="$(srcdir hunspell)"
    rm -rf "$work/hunspell"
    cp -a "$s" "$work/hunspell"
    cd "$work/hunspell"
    [ -x configure ] || autoreconf -vfi
    ./configure --host=$host --prefix="$cache/hunspell" --disable-nls --without-ui --without-readline \
        --disable-static
    nice -n 5 make -j"$jobs" -C src/hunspell
    make -C src/hunspell install
    make install-pkgconfDATA
    rm -rf "$work/hunspell"
}

do_complete() { :; }

step 10-packages "" do_packages
step 20-sources "$src" do_sources
step 30-sqlite "$cache/sqlite" do_sqlite
step 40-qtbase "$prefix $work/qtbase" do_qtbase
step 60-qtcharts "$work/qtcharts $work/stage-qtcharts" do_qtcharts
step 65-qtsvg "$work/qtsvg $work/stage-qtsvg" do_qtsvg
step 80-hunspell "$cache/hunspell $work/hunspell" do_hunspell
step 99-complete "" do_complete
echo "windows toolchain: ready in $cache"
