#!/usr/bin/env bash
# Installs the build in BUILD_DIR into a scratch root (DESTDIR) and checks
# the tree: exactly the files a desktop needs, valid for the desktop's own
# validators, a manual page naming every option; then makes the Debian
# package from the same build and checks its files and dependencies.
#
#   install_test.sh BUILD_DIR
set -euo pipefail
build=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }

root="$tmp/root"
DESTDIR="$root" cmake --install "$build" --prefix /usr >/dev/null

id=org.oriel_software.Corvane
expected="./usr/bin/corvane
./usr/share/applications/$id.desktop
./usr/share/icons/hicolor/128x128/apps/$id.png
./usr/share/icons/hicolor/48x48/apps/$id.png
./usr/share/icons/hicolor/scalable/apps/$id.svg
./usr/share/man/man1/corvane.1.gz
./usr/share/metainfo/$id.metainfo.xml"
installed=$(cd "$root" && find . -type f | LC_ALL=C sort)
[ "$installed" = "$(echo "$expected" | LC_ALL=C sort)" ] ||
    fail "installed files differ:"$'\n'"$installed"

desktop-file-validate "$root/usr/share/applications/$id.desktop" || fail "desktop entry"
appstreamcli validate --no-net "$root/usr/share/metainfo/$id.metainfo.xml" >/dev/null ||
    fail "metainfo: $(appstreamcli validate --no-net "$root/usr/share/metainfo/$id.metainfo.xml")"
grep -qx "Exec=corvane --documents" "$root/usr/share/applications/$id.desktop" ||
    fail "the menu entry does not open the user's address-book folder"
grep -qx "Icon=$id" "$root/usr/share/applications/$id.desktop" || fail "icon name"

# Each PNG is a PNG of its stated size (width and height at bytes 16 to 23).
for size in 48 128; do
    png="$root/usr/share/icons/hicolor/${size}x${size}/apps/$id.png"
    header=$(head -c 24 "$png" | od -An -tx1 | tr -d ' \n')
    [ "${header:0:16}" = "89504e470d0a1a0a" ] || fail "$png is no PNG"
    [ $((16#${header:32:8})) -eq "$size" ] && [ $((16#${header:40:8})) -eq "$size" ] ||
        fail "$png is not $size pixels square"
done

# The manual page names every option the program's own help names.
manual=$(gzip -dc "$root/usr/share/man/man1/corvane.1.gz")
options=$("$root/usr/bin/corvane" --help | grep -oE '^  (--?[a-z]+|/m)' | tr -d ' ')
[ -n "$options" ] || fail "no options in --help"
for option in $options; do
    escaped=${option//-/\\\\-}
    grep -qE -- "$escaped" <<<"$manual" || fail "the manual page lacks $option"
done
for section in "EXIT STATUS" FILES Corvane.Data Corvane.conf; do
    grep -q "$section" <<<"$manual" || fail "the manual page lacks $section"
done

# The Debian package of the same build.
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$tmp/pkg" >/dev/null
deb=$(ls "$tmp"/pkg/corvane_*_*.deb)
[[ $(basename "$deb") =~ ^corvane_[0-9.]+_[a-z0-9]+\.deb$ ]] || fail "package name $deb"
info=$(dpkg-deb --info "$deb")
for dependency in libqt6widgets6 libqt6printsupport6 libc6 fonts-liberation; do
    grep -qE "^ Depends:.*\b$dependency\b" <<<"$info" || fail "Depends lacks $dependency"
done
contents=$(dpkg-deb --contents "$deb" | awk '$1 !~ /^d/ {print $6}' | LC_ALL=C sort)
[ "$contents" = "$(echo "$expected" | LC_ALL=C sort)" ] ||
    fail "the package's files differ:"$'\n'"$contents"
echo "installed tree and package checked"
