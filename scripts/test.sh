#!/usr/bin/env bash
# Builds Trellan and runs every test: plainly, then under AddressSanitizer and UBSan.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh test

for preset in release asan; do
    echo "== $preset =="
    cmake --preset "$preset" -G Ninja >/dev/null
    cmake --build --preset "$preset"
    ctest --preset "$preset"
done
