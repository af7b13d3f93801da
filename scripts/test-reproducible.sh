#!/usr/bin/env bash
# Checks that the Debian packages and Trellan.exe are reproducible: two clean clones of the last
# commit, in folders of different names and depths, must build byte-identical .deb, .ddeb and
# .exe files. Only what is compared is built (no tests). Uncommitted changes are not seen.
# Usage: test-reproducible.sh
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh package
bash scripts/install-deps.sh windows

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
commit=$(git rev-parse HEAD)

build() {
    local clone=$1
    git clone --quiet --shared --no-checkout "$PWD" "$clone"
    git -C "$clone" checkout --quiet "$commit"
    (
        cd "$clone"
        bash scripts/package.sh >/dev/null 2>&1 || bash scripts/package.sh
        cmake --preset windows -G Ninja -DBUILD_TESTING=OFF >/dev/null
        cmake --build --preset windows --target trellan >/dev/null
    )
}

clones=("$work/one/trellan" "$work/second-clone/deeper/trellan-$commit")
echo "== two clones of $commit, built apart =="
for clone in "${clones[@]}"; do
    build "$clone"
done

# What tells two builds apart, when they differ.
explain() {
    case $1 in
        *.exe) diff <(i686-w64-mingw32-objdump -p "$1") <(i686-w64-mingw32-objdump -p "$2") ;;
        *) diff <(dpkg-deb -I "$1"; dpkg-deb -c "$1") <(dpkg-deb -I "$2"; dpkg-deb -c "$2") ;;
    esac | head -20 >&2 || true
}

status=0
for pattern in 'build/pkg/trellan_*.deb' 'build/pkg/trellan-dbgsym_*.ddeb' \
    'build/windows/app/Trellan.exe'; do
    one=$(compgen -G "${clones[0]}/$pattern") || { echo "FAIL: no $pattern" >&2; exit 1; }
    two=$(compgen -G "${clones[1]}/$pattern") || { echo "FAIL: no second $pattern" >&2; exit 1; }
    if cmp -s "$one" "$two"; then
        echo "identical: $(basename "$one") (sha256 $(sha256sum <"$one" | cut -c1-16)...)"
    else
        echo "FAIL: $(basename "$one") differs between the two builds" >&2
        explain "$one" "$two"
        status=1
    fi
done
exit "$status"
