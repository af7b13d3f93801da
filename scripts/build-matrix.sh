#!/usr/bin/env bash
# Compiles Trellan the ways packagers and users build it by hand, warnings as errors, and checks
# that each program is hardened (hardening-check; see the README for what it cannot find on
# Debian 12): GCC Release builds the program as users do, without the tests, whose code GCC
# already compiles in the presets; Clang Release builds it with its tests (compile only: the
# presets run them), as Clang warns otherwise on all of it.
# GCC RelWithDebInfo (with the tests and benchmarks) and Debug (with the sanitizers) are the
# presets; build type None with Debian's flags is scripts/package.sh; the Windows program as a
# packager cross-builds it, with the toolchain file alone, is built by
# scripts/test-reproducible.sh.
# Usage: build-matrix.sh
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh test

for build in "g++ Release OFF" "clang++ Release ON"; do
    read -r compiler type tests <<<"$build"
    dir=build/matrix-${compiler%++}-${type,,}
    echo "== $compiler $type$([ "$tests" = ON ] && echo ', with the tests') =="
    cmake -S . -B "$dir" -G Ninja -DCMAKE_CXX_COMPILER="$compiler" -DCMAKE_BUILD_TYPE="$type" \
        -DBUILD_TESTING="$tests" -DTRELLAN_WARNINGS_AS_ERRORS=ON -DTRELLAN_BUILD_BENCHMARKS=OFF \
        >/dev/null
    cmake --build "$dir" >/dev/null || {
        cmake --build "$dir" 2>&1 | grep -E -A5 'error|warning' >&2
        exit 1
    }
    # Clang's fortified calls are not found on Debian 12: see the README.
    unchecked=(--nocfprotection)
    [ "$compiler" = g++ ] || unchecked+=(--nofortify)
    hardening-check "${unchecked[@]}" "$dir/app/trellan"
done
echo "All builds compiled."
