#!/usr/bin/env bash
# Start-up to the first painted window, Trellan beside a bare Qt dialog (bench/startup.py), on an
# X11 screen (Xvfb) and on a Wayland compositor (Weston, headless), each of its own.
# Usage: bench/startup.sh [BUILD_DIR] [RUNS]   (default: build/release, 15 runs of each program)
set -euo pipefail
build=$(realpath "${1:-build/release}")
runs=${2:-15}
cd "$(dirname "$0")/.."
source scripts/virtual-screen.sh

runtime=$(mktemp -d)
weston_pid=
cleanup() {
    [ -n "$weston_pid" ] && { kill "$weston_pid" 2>/dev/null || true; wait "$weston_pid" || true; }
    virtual_screen_stop
    rm -rf "$runtime"
}
trap cleanup EXIT

echo "--- X11 (Xvfb)"
virtual_screen_start
QT_QPA_PLATFORM=xcb python3 bench/startup.py "$build" "$runs"
virtual_screen_stop

echo "--- Wayland (Weston, headless)"
XDG_RUNTIME_DIR=$runtime weston --backend=headless-backend.so --socket=wl-bench --idle-time=0 \
    >"$runtime/weston.log" 2>&1 &
weston_pid=$!
for _ in $(seq 100); do
    [ -S "$runtime/wl-bench" ] && break
    sleep 0.1
done
XDG_RUNTIME_DIR=$runtime WAYLAND_DISPLAY=wl-bench QT_QPA_PLATFORM=wayland \
    python3 bench/startup.py "$build" "$runs"
