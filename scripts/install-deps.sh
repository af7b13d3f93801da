#!/usr/bin/env bash
# Installs what building and testing Trellan needs on Debian 12, and only what is missing.
# Usage: install-deps.sh [build|gui|test|package|windows|screenshots|all]   (default: test)
set -euo pipefail

build=(cmake ninja-build g++ pkg-config libgtest-dev libbenchmark-dev
       qt6-base-dev libgl-dev fonts-wqy-microhei qt6-translations-l10n)
gui=(xvfb xauth x11-utils)
test=(locales xvfb xauth x11-utils imagemagick xdotool weston sway mutter qt6-wayland dbus procps
      at-spi2-core python3-pyatspi
      gir1.2-atspi-2.0 clang libclang-rt-14-dev clang-tidy cppcheck
      dpkg-dev desktop-file-utils appstream lintian devscripts
      librsvg2-bin fonts-arphic-uming acl strace)
package=(dpkg-dev)
screenshots=(xvfb xauth x11-utils xdotool imagemagick qt6ct)
# zlib1g-dev: the resource generator compresses the icon's largest image.
# The 64-bit compiler and Wine: the tests' build where 32-bit programs cannot run.
windows=(mingw-w64 g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix googletest zlib1g-dev
         wine wine32 wine64 xvfb xdotool imagemagick fonts-arphic-uming)

case "${1:-test}" in
    build) wanted=("${build[@]}") ;;
    gui) wanted=("${build[@]}" "${gui[@]}") ;;
    test) wanted=("${build[@]}" "${test[@]}") ;;
    package) wanted=("${build[@]}" "${package[@]}") ;;
    windows) wanted=("${build[@]}" "${windows[@]}") ;;
    screenshots) wanted=("${build[@]}" "${screenshots[@]}") ;;
    all) wanted=("${build[@]}" "${test[@]}" "${package[@]}" "${windows[@]}" "${screenshots[@]}") ;;
    *) echo "usage: $0 [build|gui|test|package|windows|screenshots|all]" >&2; exit 2 ;;
esac

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
    sudo_cmd=(sudo)
fi

needs_i386=no
for package in "${wanted[@]}"; do
    [ "$package" = wine32 ] && needs_i386=yes
done
if [ "$needs_i386" = yes ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    "${sudo_cmd[@]}" dpkg --add-architecture i386
fi

missing=()
for package in "${wanted[@]}"; do
    query=$package
    [ "$package" = wine32 ] && query=wine32:i386
    status=$(dpkg-query -W -f='${Status}' "$query" 2>/dev/null || true)
    [ "$status" = "install ok installed" ] || missing+=("$package")
done

if [ "${#missing[@]}" -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    "${sudo_cmd[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq \
        "${missing[@]}" >/dev/null
fi

# A decimal-comma locale, to prove that numbers never follow the user's locale.
if [[ " ${wanted[*]} " == *" locales "* ]] && ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
    "${sudo_cmd[@]}" localedef -i de_DE -f UTF-8 de_DE.UTF-8
fi
