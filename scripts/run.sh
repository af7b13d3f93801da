#!/usr/bin/env bash
# Builds Trellan and starts the calculator.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh build
cmake --preset release -G Ninja >/dev/null
cmake --build --preset release --target trellan

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    cat >&2 <<'TEXT'
There is no display to show the calculator on (neither DISPLAY nor WAYLAND_DISPLAY is set).
Start it from a desktop session, or on a virtual screen:
    Xvfb :99 -screen 0 1024x768x24 &
    DISPLAY=:99 build/release/app/trellan
TEXT
    exit 1
fi
exec build/release/app/trellan
