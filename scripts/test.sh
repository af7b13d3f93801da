#!/usr/bin/env bash
# Builds Trellan and runs every test and check:
#   the test suite plainly (unit, settings faults, headless windows, the screen-reader test on
#   Xvfb, the desktop sessions) and under AddressSanitizer + UBSan (the same but the screen-reader
#   test and the desktop sessions, which run the real program on real displays), clang-tidy and
#   cppcheck (with the sanitizer build's compile commands), a short fuzzing run of every target,
#   the hand builds of other build types and compilers (hardened), the installed program and its
#   Debian package, the Windows program with its tests under Wine, and that the package and the
#   Windows program are reproducible (the package and program built above against a clone's,
#   whose Windows program is built with the toolchain file alone).
# Set TRELLAN_FUZZ_SECONDS to fuzz longer (default 10 s a target).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh all

step() { printf '\n== %s ==\n' "$*"; }

for preset in release asan; do
    step "tests, $preset build"
    cmake --preset "$preset" -G Ninja >/dev/null
    cmake --build --preset "$preset"
    ctest --preset "$preset"
done

step "static checks"
bash scripts/lint.sh build/asan

step "fuzzing"
bash scripts/fuzz.sh "${TRELLAN_FUZZ_SECONDS:-10}"

step "other build types and compilers"
bash scripts/build-matrix.sh

step "install and package"
bash scripts/test-install.sh

step "Windows program under Wine"
bash scripts/test-windows.sh

step "reproducible builds"
bash scripts/test-reproducible.sh
