#!/usr/bin/env bash
# Drives the real calculator window through the accessibility layer (AT-SPI), as a screen reader
# would: on a virtual screen, with a private session bus and accessibility bus, and a private copy
# of the program so that its Set.ini is its own. Everything started here is stopped on any exit.
# Usage: test-a11y.sh [path/to/trellan]   (default: the release build, built first)
# Environment: A11Y_TEST_COMMAND runs instead of the test (for exploring the set-up by hand).
set -euo pipefail
cd "$(dirname "$0")/.."
source_dir=$PWD

if [ $# -ge 1 ]; then
    program=$(realpath "$1")
else
    bash scripts/install-deps.sh test
    cmake --preset release -G Ninja >/dev/null
    cmake --build --preset release --target trellan
    program=$source_dir/build/release/app/trellan
fi
[ -x "$program" ] || { echo "test-a11y: no program at $program" >&2; exit 2; }

# Debian's own Python: the AT-SPI bindings (python3-gi) are installed for it alone.
python=/usr/bin/python3
for tool in Xvfb dbus-daemon dbus-send "$python" xdotool /usr/libexec/at-spi-bus-launcher; do
    command -v "$tool" >/dev/null || {
        echo "test-a11y: $tool is missing (scripts/install-deps.sh test installs it)" >&2
        exit 2
    }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/trellan-a11y.XXXXXX")
started=()

# Every process below one we started, deepest first, then that one.
descendants() {
    local child
    for child in $(ps -o pid= --ppid "$1" 2>/dev/null); do
        descendants "$child"
    done
    echo "$1"
}

cleanup() {
    local status=$? pid
    local victims=()
    # The program (the test normally ends it itself), however it was left behind.
    for exe in /proc/[0-9]*/exe; do
        if [ "$(readlink "$exe" 2>/dev/null)" = "$work/trellan" ]; then
            pid=${exe#/proc/}
            victims+=("${pid%/exe}")
        fi
    done
    for ((i = ${#started[@]} - 1; i >= 0; i--)); do
        # shellcheck disable=SC2207
        victims+=($(descendants "${started[i]}"))
    done
    for pid in "${victims[@]}"; do
        kill -TERM "$pid" 2>/dev/null || true
    done
    for pid in "${victims[@]}"; do
        for _ in $(seq 50); do
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.1
        done
        kill -KILL "$pid" 2>/dev/null || true
    done
    rm -rf "$work"
    exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# Waits until a command succeeds, for at most the given number of tenths of a second.
wait_until() {
    local tenths=$1
    shift
    for _ in $(seq "$tenths"); do
        "$@" >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    return 1
}

# A private copy of the program: it keeps its rates beside itself, in this folder.
cp "$program" "$work/trellan"
mkdir -p "$work/home"
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_RUNTIME_DIR=$work/run
mkdir -p -m 700 "$XDG_RUNTIME_DIR"
unset SESSION_MANAGER WAYLAND_DISPLAY

# The virtual screen; it tells its display number once it accepts clients.
Xvfb -displayfd 3 -nolisten tcp -screen 0 1024x768x24 3>"$work/display" 2>"$work/xvfb.log" &
started+=($!)
wait_until 100 test -s "$work/display" || { echo "test-a11y: Xvfb did not start" >&2; exit 2; }
export DISPLAY=:$(head -n1 "$work/display")

# A session bus of our own, never the caller's.
dbus-daemon --session --nofork --nosyslog --print-address=3 3>"$work/bus" 2>"$work/dbus.log" &
started+=($!)
wait_until 100 test -s "$work/bus" || { echo "test-a11y: no session bus" >&2; exit 2; }
export DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$work/bus")

# The accessibility bus and its registry, on which the program and the test meet.
/usr/libexec/at-spi-bus-launcher --launch-immediately >"$work/at-spi.log" 2>&1 &
started+=($!)
wait_until 100 dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus \
    org.a11y.Bus.GetAddress || { echo "test-a11y: no accessibility bus" >&2; exit 2; }

export QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 NO_AT_BRIDGE=0
export LC_ALL=C.UTF-8

status=0
if [ -n "${A11Y_TEST_COMMAND:-}" ]; then
    bash -c "$A11Y_TEST_COMMAND" || status=$?
else
    timeout -k 5 240 "$python" "$source_dir/tests/a11y/calculator_a11y_test.py" "$work/trellan" ||
        status=$?
fi
exit "$status"
