#!/usr/bin/env bash
# Checks what a Debian user gets: builds the package (scripts/package.sh), validates the desktop
# entry and the AppStream metainfo as installed, checks the package with lintian and its contents
# and dependencies, and runs the installed program under Xvfb to see where it keeps the rates.
# Needs root (a private mount namespace makes the program's folder read-only or the bindir).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh test
bash scripts/package.sh >/dev/null

version=$(sed -n 's/^#define TRELLAN_VERSION_TEXT "\(.*\)"$/\1/p' build/pkg/generated/res/version.h)
deb=build/pkg/trellan_${version}_$(dpkg --print-architecture).deb
app_id=org.trellan.Trellan
work=$(mktemp -d)
source scripts/virtual-screen.sh
cleanup() {
    virtual_screen_stop
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

icon_sizes=(16 24 32 48 64 128 256)
expected_files=(
    usr/bin/trellan
    usr/share/applications/$app_id.desktop
    usr/share/metainfo/$app_id.metainfo.xml
    usr/share/icons/hicolor/scalable/apps/$app_id.svg
    usr/share/man/man1/trellan.1.gz
    usr/share/doc/trellan/README.md
)
for size in "${icon_sizes[@]}"; do
    expected_files+=(usr/share/icons/hicolor/${size}x$size/apps/$app_id.png)
done
# The licence as a plain file in any install, as Debian's copyright file in the package alone.
generic_only=(usr/share/doc/trellan/LICENSE)
debian_only=(usr/share/doc/trellan/copyright usr/share/doc/trellan/changelog.gz)

echo "== cmake --install into a temporary root =="
root=$work/root
DESTDIR=$root cmake --install build/pkg >/dev/null
for file in "${expected_files[@]}" "${generic_only[@]}"; do
    [ -f "$root/$file" ] || fail "cmake --install did not install $file"
done
for file in "${debian_only[@]}"; do
    [ ! -e "$root/$file" ] || fail "cmake --install installed Debian's $file"
done
desktop-file-validate "$root/usr/share/applications/$app_id.desktop"
appstreamcli validate --no-net "$root/usr/share/metainfo/$app_id.metainfo.xml"
# Each icon has its size, and the scalable one, drawn by another renderer, is the largest one.
icons=$root/usr/share/icons/hicolor
for size in "${icon_sizes[@]}"; do
    [ "$(identify -format '%wx%h' "$icons/${size}x$size/apps/$app_id.png")" = "${size}x$size" ] ||
        fail "the ${size}x$size icon has another size"
done
rsvg-convert -w 256 -h 256 "$icons/scalable/apps/$app_id.svg" -o "$work/scalable.png"
differing=$(compare -metric AE -fuzz 10% "$icons/256x256/apps/$app_id.png" "$work/scalable.png" \
    null: 2>&1 || true)
[ "$differing" = 0 ] || fail "the scalable icon is not the 256-pixel one ($differing pixels differ)"

echo "== the package =="
contents=$(dpkg-deb -c "$deb")
for file in "${expected_files[@]}" "${debian_only[@]}"; do
    grep -q " ./$file\$" <<<"$contents" || fail "$deb lacks $file"
done
for file in "${generic_only[@]}"; do
    ! grep -q " ./$file\$" <<<"$contents" || fail "$deb holds $file"
done
depends=$(dpkg-deb -f "$deb" Depends)
for package in libqt6widgets6 libqt6gui6 libqt6core6 libstdc++6 qt6-qpa-plugins; do
    [[ "$depends" == *"$package"* ]] || fail "$deb does not depend on $package"
done
[[ "$depends" == *"fonts-wqy-microhei | fonts-noto-cjk"* ]] || fail "$deb does not depend on a CJK font"
# Qt alone speaks to a Wayland compositor: an X11 session loads nothing of Wayland's.
[[ "$depends" != *libwayland* ]] || fail "$deb depends on a Wayland library: $depends"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "the package version is not $version"
apt-get install --simulate -qq "./$deb" >/dev/null || fail "apt-get cannot install $deb"
dpkg-deb -x "$deb" "$work/unpacked"
hardening-check --nocfprotection "$work/unpacked/usr/bin/trellan" ||
    fail "the packaged program is not hardened"
ddeb=${deb/trellan_/trellan-dbgsym_}
ddeb=${ddeb%.deb}.ddeb
[ "$(dpkg-deb -f "$ddeb" Depends)" = "trellan (= $version)" ] || fail "$ddeb is not trellan's"
lintian_report=$(lintian "$deb" "$ddeb" 2>&1 | grep -v 'running with root privileges' || true)
[ -z "$lintian_report" ] || echo "$lintian_report"
! grep -q '^[EW]:' <<<"$lintian_report" || fail "lintian reports errors or warnings"

echo "== where an installed copy keeps the rates =="
virtual_screen_start || fail "no virtual screen"

bin=$root/usr/bin
title="^Trellan $version\$"
calculator=

# Starts the calculator in the background: env assignments, then the command.
start() {
    env -u XDG_CONFIG_HOME XDG_RUNTIME_DIR="$work/runtime" "$@" timeout 120 "${launch[@]}" &
    calculator=$!
}

source scripts/settings-runs.sh

mode() { stat -c %a "$1"; }

# An administrator's defaults beside the installed program.
printf '[SET]\nCOMMISION=2.5\nSTAMPDUTY=0.8\n' >"$bin/Set.ini"
admin_defaults=$(cat "$bin/Set.ini")
mkdir -p "$work/runtime" && chmod 700 "$work/runtime"

echo "-- a read-only program folder: the user's first rates go to ~/.config/trellan"
ann=$work/ann
mkdir -p "$ann"
launch=(unshare -m sh -c 'mount --bind "$1" "$1" && mount -o remount,bind,ro "$1" "$1" &&
        exec "$1/trellan"' sh "$bin")
start HOME="$ann"
confirm_rates 3.25 "$ann/.config/trellan/Set.ini"
expect_rates "$ann/.config/trellan/Set.ini" 3.25 0.80 1.00
[ "$(mode "$ann/.config")" = 700 ] && [ "$(mode "$ann/.config/trellan")" = 700 ] ||
    fail "the user's settings folders are not private"
[ "$(cat "$bin/Set.ini")" = "$admin_defaults" ] || fail "the administrator's file was written"
[ "$(ls "$bin")" = "$(printf 'Set.ini\ntrellan')" ] || fail "files were left beside the program"

echo "-- the next run reads the user's own file, not the administrator's"
printf '[SET]\nCOMMISION=9\n' >"$bin/Set.ini"
start HOME="$ann"
confirm_rates "" "$ann/.config/trellan/Set.ini"
expect_rates "$ann/.config/trellan/Set.ini" 3.25 0.80 1.00
printf '%s\n' "$admin_defaults" >"$bin/Set.ini"

echo "-- an install moved with DESTDIR: \$XDG_CONFIG_HOME/trellan, though root could write there"
bob=$work/bob
mkdir -p "$bob"
launch=("$bin/trellan")
start HOME="$bob" XDG_CONFIG_HOME="$bob/config"
confirm_rates 4.5 "$bob/config/trellan/Set.ini"
expect_rates "$bob/config/trellan/Set.ini" 4.50 0.80 1.00
[ ! -e "$bob/.config" ] || fail "\$HOME/.config was used though XDG_CONFIG_HOME is set"
[ "$(ls "$bin")" = "$(printf 'Set.ini\ntrellan')" ] || fail "files were left beside the program"

echo "-- a portable copy keeps Set.ini beside itself"
portable=$work/portable
mkdir -p "$portable" "$work/carol"
cp "$bin/trellan" "$portable/"
launch=("$portable/trellan")
start HOME="$work/carol"
confirm_rates 1.75 "$portable/Set.ini"
expect_rates "$portable/Set.ini" 1.75 1.00 1.00
[ -z "$(ls -A "$work/carol")" ] || fail "a portable copy wrote into the user's home"

echo "All install checks passed."
