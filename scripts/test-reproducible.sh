#!/usr/bin/env bash
# Checks that the Debian packages and Trellan.exe are reproducible: two builds of the last commit,
# in folders of different names and depths, must give byte-identical .deb, .ddeb and .exe files.
# The first is this checkout's own when it holds the last commit unchanged (build/pkg by
# scripts/package.sh and build/windows by the windows preset, as scripts/test-install.sh and
# scripts/test-windows.sh leave them; what is missing or out of date is built here), else a clean
# clone's. The second is a clean clone's, deeper in build/reproducible, whose Windows program is
# cross-built as a packager builds it: the toolchain file alone, no preset, warnings not made
# errors. So that build is checked here too, and it must give the very bytes of the preset's.
# Only what is compared is built (no tests). Uncommitted changes are not seen.
# Usage: test-reproducible.sh [--second-only]
#   --second-only: build the second and stop (scripts/test.sh does so beside the tests); a later
#   run compares, and builds the second again only if it is not there for the last commit.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh package
bash scripts/install-deps.sh windows

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
commit=$(git rev-parse HEAD)

clone() {  # clone FOLDER: a clean checkout of the commit
    git clone --quiet --shared --no-checkout "$PWD" "$1"
    git -C "$1" checkout --quiet "$commit"
}

package() {  # in the current folder: build/pkg/*.deb and *.ddeb
    bash scripts/package.sh >/dev/null 2>&1 || bash scripts/package.sh
}

# The Windows program with the preset: build/windows/app/Trellan.exe.
windows_preset() {
    cmake --preset windows -G Ninja >/dev/null
    cmake --build --preset windows --target trellan >/dev/null
}

# The Windows program with the toolchain file alone: build/windows-plain/app/Trellan.exe.
windows_plain() {
    cmake -S . -B build/windows-plain -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw32.cmake -DBUILD_TESTING=OFF >/dev/null
    cmake --build build/windows-plain >/dev/null || {
        cmake --build build/windows-plain 2>&1 | grep -E -A5 'error|warning' >&2
        exit 1
    }
}

second=$PWD/build/reproducible/second-clone/deeper/trellan-$commit
if [ ! -f "$second.built" ]; then
    echo "== a clone of $commit in build/reproducible (Windows: the toolchain file alone) =="
    rm -rf build/reproducible
    clone "$second"
    (cd "$second" && package && windows_plain)
    touch "$second.built"
fi
[ "${1:-}" != --second-only ] || exit 0

if [ -z "$(git status --porcelain)" ]; then
    first=$PWD
    echo "== this checkout of $commit =="
else
    first=$work/one/trellan
    echo "== uncommitted changes here: a clean clone of $commit =="
    clone "$first"
fi
(cd "$first" && package && windows_preset)

# What tells two builds apart, when they differ.
explain() {
    case $1 in
        *.exe) diff <(i686-w64-mingw32-objdump -p "$1") <(i686-w64-mingw32-objdump -p "$2") ;;
        *) diff <(dpkg-deb -I "$1"; dpkg-deb -c "$1") <(dpkg-deb -I "$2"; dpkg-deb -c "$2") ;;
    esac | head -20 >&2 || true
}

# The package files by their names for this version: a checkout may hold older ones too.
version=$(sed -n 's/^#define TRELLAN_VERSION_TEXT "\(.*\)"$/\1/p' \
    "$first/build/pkg/generated/res/version.h")
arch=$(dpkg --print-architecture)
deb=build/pkg/trellan_${version}_$arch.deb
ddeb=build/pkg/trellan-dbgsym_${version}_$arch.ddeb
exe=build/windows/app/Trellan.exe
plain_exe=build/windows-plain/app/Trellan.exe
status=0
# Each pair: the first build's file, the second's.
for pair in "$deb $deb" "$ddeb $ddeb" "$exe $plain_exe"; do
    read -r one two <<<"$pair"
    one=$first/$one
    two=$second/$two
    [ -f "$one" ] || { echo "FAIL: no $one" >&2; exit 1; }
    [ -f "$two" ] || { echo "FAIL: no $two" >&2; exit 1; }
    if cmp -s "$one" "$two"; then
        echo "identical: $(basename "$one") (sha256 $(sha256sum <"$one" | cut -c1-16)...)"
    else
        echo "FAIL: $(basename "$one") differs between the two builds" >&2
        explain "$one" "$two"
        status=1
    fi
done
exit "$status"
