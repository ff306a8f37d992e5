#!/bin/bash
# Installs the build into a scratch DESTDIR and checks the installed tree as a
# desktop and a software centre see it: the desktop entry and the AppStream
# metainfo pass their validators, the entry's program and icon are there, the
# icon in each of its four sizes.
#   install_check.sh <cmake> <build dir> <version>
set -euo pipefail

cmake="$1"
build="$2"
version="$3"

for tool in desktop-file-validate appstreamcli file; do
    if ! command -v "$tool" >/dev/null; then
        echo "install: $tool is missing (Debian: desktop-file-utils appstream file)" >&2
        exit 1
    fi
done

root="$(mktemp -d)"
trap 'rm -rf "$root"' EXIT
DESTDIR="$root" "$cmake" --install "$build" --prefix /usr >/dev/null

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

desktop="$root/usr/share/applications/de.pondrel.Skarvel.desktop"
metainfo="$root/usr/share/metainfo/de.pondrel.Skarvel.metainfo.xml"

if [ -f "$desktop" ]; then
    desktop-file-validate "$desktop" || fail "desktop-file-validate"
    exec_name="$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")"
    icon_name="$(sed -n 's/^Icon=//p' "$desktop")"
    [ -x "$root/usr/bin/$exec_name" ] || fail "Exec=$exec_name is not an installed program"
    for size in 16 32 64 128; do
        icon="$root/usr/share/icons/hicolor/${size}x${size}/apps/$icon_name.png"
        if [ ! -f "$icon" ]; then
            fail "no icon $icon_name at ${size}x${size}"
        elif ! file -b "$icon" | grep -q "^PNG image data, $size x $size,"; then
            fail "icon at ${size}x${size} is $(file -b "$icon")"
        fi
    done
else
    fail "no desktop entry $desktop"
fi

if [ -f "$metainfo" ]; then
    # The tree as a whole: the metainfo itself, and that it names a desktop
    # entry that is installed.
    appstreamcli validate-tree --no-net --strict "$root/usr" || fail "appstreamcli validate-tree"
    grep -q "<release version=\"$version\"" "$metainfo" \
        || fail "the metainfo does not list version $version"
else
    fail "no metainfo $metainfo"
fi

[ "$failures" -eq 0 ] || exit 1
echo "install: the installed tree is complete and valid"
