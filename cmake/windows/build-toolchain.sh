#!/bin/bash
# Builds what skarvel.exe links against, for 64-bit Windows, with MinGW-w64:
# Qt 5.15 (Core, Gui, Widgets, Sql with SQLite and PostgreSQL, PrintSupport;
# Charts, Svg), PostgreSQL's libpq, QtKeychain and Hunspell, all from Debian's own source packages, into
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
# fails), and the function that does it. A step that builds anew what was
# there already takes the later steps' stamps with it, since they were built
# on what it replaces; a step new to this cache leaves them: what came after
# it was built without it. The toolchain is complete again only at the end.
step() {
    local name="$1" output="$2" fn="$3"
    [ -e "$stamps/$name" ] && return 0
    local s o rebuild=no
    for o in $output; do
        [ -e "$o" ] && rebuild=yes
    done
    rm -f "$stamps/99-complete"
    for s in "$stamps"/*; do
        [ "$rebuild" = yes ] && [ -e "$s" ] && [[ "$(basename "$s")" > "$name" ]] && rm -f "$s"
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
          dpkg-dev cmake tcl autoconf automake libtool autopoint gettext pkg-config perl python3
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

# libpq, PostgreSQL's client library, for Qt's PostgreSQL driver. Only what
# it needs is built (src/interfaces/libpq and the port and common code it
# links), without readline, zlib, ICU, LDAP and GSSAPI. Debian has no OpenSSL
# for MinGW, so this libpq speaks to a server without TLS only; the program
# refuses a server address that asks for a verified connection
# (records/serverstore.cpp says so in German) rather than connect without it.
do_libpq() {
    apt_setup
    if ! ls -d "$src"/postgresql-15-* >/dev/null 2>&1; then
        apt-get "${apt_own[@]}" update
        # The newest release; where the mirror has it no longer, the one of
        # this machine's own libpq.
        (cd "$src" && { apt-get "${apt_own[@]}" source postgresql-15 \
            || apt-get "${apt_own[@]}" source "postgresql-15=$(dpkg-query -W -f='${source:Version}' libpq5)"; })
    fi
    local s
    s="$(srcdir postgresql-15)"
    mkdir -p "$work/libpq"
    cd "$work/libpq"
    nice -n 5 "$s/configure" --host=$host --prefix="$cache/libpq" --without-readline --without-zlib \
        --without-icu --without-openssl --without-ldap --without-gssapi
    nice -n 5 make -j"$jobs" -C src/interfaces/libpq
    make -C src/interfaces/libpq install
    make -C src/include install
    # The server's and libpq's internal headers: nobody here builds against them.
    rm -rf "$cache/libpq/include/postgresql" "$cache/libpq/share"
    cp "$s/COPYRIGHT" "$cache/libpq/"
    rm -rf "$work/libpq"
}

# Qt's PostgreSQL driver (qsqlpsql.dll) from qtbase's own sources, against
# that libpq, with the prefix's qmake.
do_qtpsql() {
    local s stage="$work/stage-qtpsql"
    s="$(srcdir qtbase-opensource-src)"
    mkdir -p "$work/qtpsql"
    cd "$work/qtpsql"
    "$prefix/bin/qmake" "$s/src/plugins/sqldrivers" -- \
        PSQL_INCDIR="$cache/libpq/include" PSQL_LIBDIR="$cache/libpq/lib"
    grep -q 'PostgreSQL.*yes' config.summary || { echo "qmake found no libpq for the PostgreSQL driver" >&2; return 1; }
    nice -n 5 make -j"$jobs" sub-psql
    make -C psql install INSTALL_ROOT="$stage"
    cp -a "$stage$prefix/." "$prefix/"
    [ -e "$prefix/plugins/sqldrivers/qsqlpsql.dll" ]
    rm -rf "$work/qtpsql" "$stage"
}

# QtKeychain with its Windows back end, the credential store. Bookworm's
# 0.13.2 source is no longer on the mirror; the next suite's 0.15 is, and
# builds against Qt 5.15 alike. That suite gets a sources file and lists
# directory of its own, so that every other source package stays bookworm's.
# The mirror holds only its upstream tarball (the .dsc and Debian's packaging
# answer 404): apt fetches that alone, checked against the suite's signed
# Sources index, and it is unpacked as it is. Debian's packaging adds nothing
# a Windows build needs.
keychain_suite=trixie
keychain_version=0.15.0-1
do_qtkeychain() {
    if ! ls -d "$src"/qtkeychain-* >/dev/null 2>&1; then
        local own="$cache/apt/$keychain_suite"
        mkdir -p "$own/lists/partial" "$own/cache/archives/partial" "$own/parts"
        echo "deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] http://deb.debian.org/debian $keychain_suite main" \
            >"$own/sources.list"
        local opts=(-o Dir::Etc::SourceList="$own/sources.list" -o Dir::Etc::SourceParts="$own/parts"
                    -o Dir::State::Lists="$own/lists" -o Dir::Cache="$own/cache")
        apt-get "${opts[@]}" update
        (cd "$src" && apt-get "${opts[@]}" source --tar-only "qtkeychain=$keychain_version" \
            && tar -xzf "qtkeychain_${keychain_version%-*}.orig.tar.gz")
    fi
    # 0.15 meant MinGW but did not build with it: an MSVC-only flag for
    # every Windows compiler, and a missing <cmath> (qtkeychain-mingw.patch).
    rm -rf "$work/qtkeychain"
    mkdir -p "$work/qtkeychain"
    cp -a "$(srcdir qtkeychain)" "$work/qtkeychain/src"
    patch -d "$work/qtkeychain/src" -p1 <"$here/qtkeychain-mingw.patch"
    local s="$work/qtkeychain/src"
    # Without translations: their tools (Qt Linguist) are not in the prefix.
    nice -n 5 cmake -S "$s" -B "$work/qtkeychain/build" -DCMAKE_TOOLCHAIN_FILE="$here/mingw-w64-x86_64.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$cache/qtkeychain" -DBUILD_WITH_QT6=OFF \
        -DBUILD_TRANSLATIONS=OFF -DBUILD_TEST_APPLICATION=OFF -DBUILD_TESTING=OFF -DQTKEYCHAIN_STATIC=OFF \
        -DUSE_CREDENTIAL_STORE=ON
    nice -n 5 cmake --build "$work/qtkeychain/build" -j"$jobs"
    cmake --install "$work/qtkeychain/build"
    cp "$s/COPYING" "$cache/qtkeychain/"
    [ -e "$cache/qtkeychain/bin/libqt5keychain.dll" ]
    rm -rf "$work/qtkeychain"
}

do_complete() { :; }

step 10-packages "" do_packages
step 20-sources "$src" do_sources
step 30-sqlite "$cache/sqlite" do_sqlite
step 40-qtbase "$prefix $work/qtbase" do_qtbase
step 45-libpq "$cache/libpq $work/libpq" do_libpq
step 50-qtpsql "$work/qtpsql $work/stage-qtpsql $prefix/plugins/sqldrivers/qsqlpsql.dll" do_qtpsql
step 60-qtcharts "$work/qtcharts $work/stage-qtcharts" do_qtcharts
step 65-qtsvg "$work/qtsvg $work/stage-qtsvg" do_qtsvg
step 70-qtkeychain "$cache/qtkeychain $work/qtkeychain" do_qtkeychain
step 80-hunspell "$cache/hunspell $work/hunspell" do_hunspell
step 99-complete "" do_complete
echo "windows toolchain: ready in $cache"
