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
for tool in Xvfb xdpyinfo flock dbus-daemon dbus-send "$python" xdotool /usr/libexec/at-spi-bus-launcher; do
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

# Processes that live on our private session bus (the program, the accessibility registry),
# whoever their parent is by now: the bus address is ours alone.
on_our_bus() {
    local environ pid
    [ -n "${DBUS_SESSION_BUS_ADDRESS:-}" ] || return 0
    for environ in /proc/[0-9]*/environ; do
        pid=${environ#/proc/}
        pid=${pid%/environ}
        [ "$pid" != $$ ] && [ "$pid" != "$BASHPID" ] || continue
        if { tr '\0' '\n' <"$environ"; } 2>/dev/null |
            grep -qxF "DBUS_SESSION_BUS_ADDRESS=$DBUS_SESSION_BUS_ADDRESS"; then
            echo "$pid"
        fi
    done
}

cleanup() {
    local status=$? pid
    local victims=()
    for ((i = ${#started[@]} - 1; i >= 0; i--)); do
        # shellcheck disable=SC2207
        victims+=($(descendants "${started[i]}"))
    done
    # shellcheck disable=SC2207
    victims+=($(on_our_bus))
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
    if [ "$status" -ne 0 ]; then
        for log in "$work"/*.log; do
            [ -s "$log" ] && { echo "--- ${log##*/}"; tail -n 20 "$log"; } >&2
        done
    fi
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

# The virtual screen, on the first free display; it tells its number once it accepts clients.
# Two servers that choose at the same moment can pick the same number, and the loser removes
# the winner's socket as it fails: runs of this script (ctest runs several) choose in turn.
# Xvfb does not inherit the lock, or it would hold it, and keep the next run waiting, to the end.
source scripts/virtual-screen.sh
exec 4>"${TMPDIR:-/tmp}/trellan-a11y-display.lock"
flock -w 60 4 || { echo "test-a11y: another run holds the display lock" >&2; exit 2; }
virtual_screen_start "$work/xvfb.log" || exit 2
started+=("$virtual_screen_pid")
wait_until 100 xdpyinfo && kill -0 "$virtual_screen_pid" ||
    { echo "test-a11y: Xvfb does not serve $DISPLAY" >&2; exit 2; }
exec 4>&-

# A session bus of our own, never the caller's.
dbus-daemon --session --nofork --nosyslog --print-address=3 3>"$work/bus" 2>"$work/dbus.log" &
started+=($!)
wait_until 100 test -s "$work/bus" || { echo "test-a11y: no session bus" >&2; exit 2; }
export DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$work/bus")

# The accessibility bus and its registry, on which the program and the test meet.
# Asked only whether it is there: a call to it would have the session bus start another one.
/usr/libexec/at-spi-bus-launcher --launch-immediately >"$work/at-spi.log" 2>&1 &
started+=($!)
a11y_bus_up() {
    dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
        org.freedesktop.DBus.NameHasOwner string:org.a11y.Bus | grep -q 'boolean true'
}
wait_until 100 a11y_bus_up || { echo "test-a11y: no accessibility bus" >&2; exit 2; }

export QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
export LC_ALL=C.UTF-8

# In the background, so that a signal to this script is handled at once, not when the test ends.
if [ -n "${A11Y_TEST_COMMAND:-}" ]; then
    bash -c "$A11Y_TEST_COMMAND" &
else
    timeout -k 5 240 "$python" "$source_dir/tests/a11y/calculator_a11y_test.py" "$work/trellan" &
fi
started+=($!)
status=0
wait "$!" || status=$?
if [ -z "${A11Y_TEST_COMMAND:-}" ]; then
    if [ "$status" -eq 124 ] || [ "$status" -eq 137 ]; then
        echo "FAIL the test did not finish within 240 s"
        echo "0 passed, 1 failed"
    fi
fi
exit "$status"
