#!/bin/bash
# Packs the Windows build: the program folder (skarvel.exe with the Qt, libpq,
# QtKeychain, Hunspell and C++ runtime DLLs it loads, Qt's plugins, Qt's German
# translations, the German dictionary, the licences and where the sources
# are), then from it build-windows/Skarvel-<version>-win64.zip and, with
# NSIS, build-windows/Skarvel-<version>-Setup.exe.
#   bash cmake/windows/package.sh BUILD_DIR
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
. "$here/common.sh"
build="$(cd "$1" && pwd)"
version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")"
cache="$SKARVEL_WINDOWS_CACHE"
prefix="$skarvel_windows_prefix"
host=x86_64-w64-mingw32
stage="$build/stage/Skarvel"
zip="$build/Skarvel-$version-win64.zip"
setup="$build/Skarvel-$version-Setup.exe"

rm -rf "$build/stage" "$zip" "$setup"
mkdir -p "$stage"

# Where the DLLs of this toolchain are; anything not found here is Windows' own.
dll_dirs=("$prefix/bin" "$cache/hunspell/bin" "$cache/libpq/bin" "$cache/qtkeychain/bin" /usr/lib/gcc/$host/12-posix /usr/$host/lib)

# Windows finds a DLL whatever the case of its name: Qt's PostgreSQL driver
# imports LIBPQ.dll, which is libpq.dll.
find_dll() {
    local d f
    for d in "${dll_dirs[@]}"; do
        f="$(find "$d" -maxdepth 1 -iname "$1" -print -quit 2>/dev/null)"
        [ -n "$f" ] && { echo "$f"; return 0; }
    done
    return 1
}

# Copies the DLLs a program or plugin imports, and theirs, beside skarvel.exe.
copy_imports() {
    local name path
    for name in $($host-objdump -p "$1" | sed -n 's/^\s*DLL Name: //p'); do
        path="$(find_dll "$name")" || continue
        [ -e "$stage/$(basename "$path")" ] && continue
        cp "$path" "$stage/"
        copy_imports "$stage/$(basename "$path")"
    done
}

cp "$build/app/skarvel.exe" "$stage/"
$host-strip "$stage/skarvel.exe"
# The plugins without which no window opens, no record is kept (in the file
# or on the practice server), and the
# icons and an own list's pictures (PNG is Qt's own, JPEG and SVG plugins) load.
for plugin in platforms/qwindows.dll sqldrivers/qsqlite.dll sqldrivers/qsqlpsql.dll styles/qwindowsvistastyle.dll \
              imageformats/qsvg.dll imageformats/qjpeg.dll imageformats/qico.dll; do
    [ -e "$prefix/plugins/$plugin" ] || continue
    mkdir -p "$stage/$(dirname "$plugin")"
    cp "$prefix/plugins/$plugin" "$stage/$plugin"
done
for binary in "$stage/skarvel.exe" "$stage"/*/*.dll; do
    copy_imports "$binary"
done
for needed in Qt5Core.dll Qt5Widgets.dll Qt5Sql.dll Qt5Svg.dll libhunspell-1.7-0.dll platforms/qwindows.dll \
              sqldrivers/qsqlite.dll sqldrivers/qsqlpsql.dll libpq.dll imageformats/qsvg.dll imageformats/qjpeg.dll; do
    [ -e "$stage/$needed" ] || { echo "package: $needed is missing from the program folder" >&2; exit 1; }
done
# Built with the keychain, the program imports its DLL; without it, nothing
# of QtKeychain goes into the folder.
keychain=no
[ -e "$stage/libqt5keychain.dll" ] && keychain=yes
# Plugins and translations beside the program, not where the cache was.
printf '[Paths]\nPrefix = .\nPlugins = .\nTranslations = translations\n' >"$stage/qt.conf"

mkdir -p "$stage/translations" "$stage/hunspell"
cp /usr/share/qt5/translations/qtbase_de.qm "$stage/translations/"
# Found by QStandardPaths' GenericDataLocation, which on Windows includes the
# program's own folder.
cp -L /usr/share/hunspell/de_DE.aff /usr/share/hunspell/de_DE.dic "$stage/hunspell/"

# The LGPL's due: the licence texts, the libraries as replaceable DLLs (above),
# and where their exact sources are.
licences="$stage/Lizenzen"
mkdir -p "$licences"
srcdir() { find "$cache/src" -maxdepth 1 -mindepth 1 -type d -name "$1-*" | sort | tail -n 1; }
qtbase="$(srcdir qtbase-opensource-src)"
cp "$qtbase/LICENSE.LGPL3" "$licences/Qt-LGPL-3.0.txt"
cp "$qtbase/LICENSE.GPL3" "$licences/Qt-GPL-3.0.txt"
cp "$qtbase/debian/copyright" "$licences/Qt-copyright.txt"
cp "$(srcdir qtcharts-opensource-src)/debian/copyright" "$licences/QtCharts-copyright.txt"
cp "$(srcdir qtsvg-opensource-src)/debian/copyright" "$licences/QtSvg-copyright.txt"
cp "$(srcdir hunspell)/COPYING.LESSER" "$licences/Hunspell-LGPL-2.1.txt"
cp "$(srcdir hunspell)/COPYING.MPL" "$licences/Hunspell-MPL-1.1.txt"
cp "$(srcdir hunspell)/debian/copyright" "$licences/Hunspell-copyright.txt"
cp "$(srcdir sqlite3)/debian/copyright" "$licences/SQLite-copyright.txt"
cp "$(srcdir postgresql-15)/COPYRIGHT" "$licences/PostgreSQL-libpq-Lizenz.txt"
cp "$(srcdir postgresql-15)/debian/copyright" "$licences/PostgreSQL-libpq-copyright.txt"
if [ $keychain = yes ]; then
    cp "$cache/qtkeychain/COPYING" "$licences/QtKeychain-BSD-Lizenz.txt"
fi
cp /usr/share/doc/hunspell-de-de/copyright "$licences/Woerterbuch-de_DE-copyright.txt"
# The pictures of the words are OpenMoji's (CC BY-SA 4.0), named with their licence there.
cp "$here/../../resources/debian/copyright" "$licences/Skarvel-Bilder-OpenMoji-copyright.txt"
cp /usr/share/doc/qttranslations5-l10n/copyright "$licences/Qt-Uebersetzungen-copyright.txt"
cp /usr/share/doc/gcc-mingw-w64-x86-64-posix-runtime/copyright "$licences/GCC-Laufzeit-copyright.txt"
cp /usr/share/doc/mingw-w64-common/copyright "$licences/MinGW-w64-copyright.txt"
{
    echo "Skarvel $version für Windows enthält diese freien Bibliotheken als eigene Dateien"
    echo "(DLLs) neben skarvel.exe; sie dürfen durch eigene Bauten ersetzt werden."
    echo
    echo "Gebaut aus diesen Debian-Quellpaketen (Debian $(. /etc/os-release && echo "$VERSION_CODENAME")):"
    for dsc in "$cache"/src/*.dsc; do
        sed -n 's/^Source: /  /p; s/^Version: /    Version /p' "$dsc" | paste -sd ' '
    done
    if [ $keychain = yes ]; then
        # Of the next suite, and without a .dsc (build-toolchain.sh says why).
        echo "  qtkeychain     Version $(sed -n 's/^keychain_version=//p' "$here/build-toolchain.sh")" \
             "(Debian $(sed -n 's/^keychain_suite=//p' "$here/build-toolchain.sh"), die Originalquellen" \
             "$(basename "$(ls "$cache"/src/qtkeychain_*.orig.tar.gz)"))"
        echo "    mit zwei kleinen Änderungen für MinGW-w64: cmake/windows/qtkeychain-mingw.patch"
    fi
    echo
    echo "Die Quellen gibt es bei Debian, etwa mit"
    echo "  apt-get source qtbase-opensource-src=<Version>"
    echo "oder unter https://sources.debian.org/ . Wie sie gebaut wurden, steht in"
    echo "cmake/windows/build-toolchain.sh der Quellen von Skarvel; Pondrel schickt"
    echo "diese Quellen und das Bauskript auf Anfrage (info@pondrel.de)."
    echo
    echo "Die C++-Laufzeit (libstdc++, libgcc, winpthreads) stammt aus Debians"
    echo "gcc-mingw-w64 und mingw-w64, das deutsche Wörterbuch aus hunspell-de-de,"
    echo "Qts deutsche Übersetzungen aus qttranslations5-l10n."
} >"$licences/Quellen.txt"

# The portable folder, as the installer lays it out.
(cd "$build/stage" && rm -f "$zip" && zip -q -r -X "$zip" Skarvel)

# The installer installs, and its uninstaller removes, exactly these files.
files="$build/stage/files.nsh"
unfiles="$build/stage/unfiles.nsh"
(
    cd "$stage"
    : >"$files"
    : >"$unfiles"
    while IFS= read -r dir; do
        win="${dir#.}"; win="${win//\//\\}"
        echo "SetOutPath \"\$INSTDIR$win\"" >>"$files"
        find "$dir" -maxdepth 1 -type f | sort | while IFS= read -r f; do
            echo "File \"$stage/${f#./}\"" >>"$files"
            rel="${f#./}"
            echo "Delete \"\$INSTDIR\\${rel//\//\\}\"" >>"$unfiles"
        done
    done < <(find . -type d | sort)
    find . -mindepth 1 -type d | sort -r | while IFS= read -r dir; do
        rel="${dir#./}"
        echo "RMDir \"\$INSTDIR\\${rel//\//\\}\"" >>"$unfiles"
    done
)
size_kb=$(du -sk "$stage" | cut -f1)
makensis -V2 -DVERSION="$version" -DFILES="$files" -DUNFILES="$unfiles" -DOUTFILE="$setup" \
    -DICON="$here/../../resources/skarvel.ico" -DSIZE_KB="$size_kb" "$here/skarvel.nsi" >"$build/makensis.log"
echo "package: $setup ($(du -k "$setup" | cut -f1) KB), $zip, program folder $size_kb KB"
