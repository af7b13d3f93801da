#!/usr/bin/env bash
# Compiles Trellan the ways packagers and users build it by hand, warnings as errors: GCC Release
# and MinSizeRel, Clang Release, each with its tests (compile only: the presets run the tests),
# and checks that each program is hardened (hardening-check; see the README for what it cannot
# find on Debian 12). Then the Windows program as a packager cross-builds it, with no preset.
# GCC Debug is the build scripts/lint.sh makes; RelWithDebInfo and Debug with the sanitizers are
# the presets; build type None with Debian's flags is scripts/package.sh.
# Usage: build-matrix.sh
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh test

for build in "g++ Release" "g++ MinSizeRel" "clang++ Release"; do
    read -r compiler type <<<"$build"
    dir=build/matrix-${compiler%++}-${type,,}
    echo "== $compiler $type =="
    cmake -S . -B "$dir" -G Ninja -DCMAKE_CXX_COMPILER="$compiler" -DCMAKE_BUILD_TYPE="$type" \
        -DTRELLAN_WARNINGS_AS_ERRORS=ON -DTRELLAN_BUILD_BENCHMARKS=OFF >/dev/null
    cmake --build "$dir" >/dev/null || {
        cmake --build "$dir" 2>&1 | grep -E -A5 'error|warning' >&2
        exit 1
    }
    # Clang's fortified calls are not found on Debian 12: see the README.
    unchecked=(--nocfprotection)
    [ "$compiler" = g++ ] || unchecked+=(--nofortify)
    hardening-check "${unchecked[@]}" "$dir/app/trellan"
done
# The Windows program as a packager cross-builds it: the toolchain file alone, no preset, and
# warnings not made errors.
echo "== Windows, toolchain file alone =="
bash scripts/install-deps.sh windows
cmake -S . -B build/matrix-windows-plain -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw32.cmake -DBUILD_TESTING=OFF >/dev/null
cmake --build build/matrix-windows-plain >/dev/null || {
    cmake --build build/matrix-windows-plain 2>&1 | grep -E -A5 'error|warning' >&2
    exit 1
}
echo "All builds compiled."
