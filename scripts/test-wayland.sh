#!/usr/bin/env bash
# The real program on the desktops people use, checked from the outside:
#   - with no display at all: one line saying so, exit code 1;
#   - on Weston (Wayland), from the protocol log (WAYLAND_DEBUG=1): the window's minimum and
#     maximum sizes are equal, its application id is the desktop entry's, its title the
#     template's caption, the About box and the fee rate dialog have the calculator as parent,
#     and a compositor that makes every window full-screen (Weston's kiosk shell) does not end
#     the program;
#   - on Weston, which leaves title bars to programs, from the screen and the protocol log: the
#     window wears the program's own title bar, which offers no maximise or minimise anywhere,
#     moves the window when dragged, opens the system menu on a right click, and closes.
# Weston runs on a virtual X screen (its X11 back end), which gives it the keyboard and mouse
# that xdotool drives.
# Usage: test-wayland.sh PROGRAM
set -euo pipefail
program=$(realpath "$1")
cd "$(dirname "$0")/.."
source scripts/virtual-screen.sh

app_id=org.trellan.Trellan
work=$(mktemp -d)
export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
cp "$program" "$work/trellan"
weston_pid=
program_pid=
cleanup() {
    for pid in $program_pid $weston_pid; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    virtual_screen_stop
    rm -rf "$work"
}
trap cleanup EXIT

failures=0
check() {  # check DESCRIPTION COMMAND...
    if "${@:2}"; then
        echo "ok: $1"
    else
        echo "FAILED: $1" >&2
        failures=$((failures + 1))
    fi
}

# No display: the whole of what the user reads, and the exit code.
status=0
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$work/trellan" >"$work/out" 2>&1 ||
    status=$?
check "without a display: exit code 1 (was $status)" test "$status" -eq 1
check "without a display: one line that says so ($(head -c 200 "$work/out"))" \
    test "$(wc -l <"$work/out")" -eq 1 -a -n "$(grep -i 'no display' "$work/out")"

virtual_screen_start
# Without a window manager the keyboard follows the pointer, which waits where Weston's window
# will be.
xdotool mousemove 790 590

# A plain background and no panel, so that the window is what differs from the background.
background='#204060'
# Nor an on-screen keyboard that would come up over it when a field is typed in.
printf '[shell]\nbackground-color=0xff%s\npanel-position=none\n[input-method]\npath=\n' \
    "${background#\#}" >"$work/weston.ini"

start_weston() {  # start_weston SHELL
    weston --config="$work/weston.ini" --backend=x11-backend.so --use-pixman --shell="$1" \
        --socket=wl-test --idle-time=0 --width=800 --height=600 >"$work/weston.log" 2>&1 &
    weston_pid=$!
    for _ in $(seq 100); do
        [ -S "$XDG_RUNTIME_DIR/wl-test" ] && return 0
        sleep 0.1
    done
    echo "Weston did not start:" >&2
    cat "$work/weston.log" >&2
    return 1
}

stop() {  # stop PID: ends a process of this script and waits for it
    kill "$1" 2>/dev/null || true
    wait "$1" 2>/dev/null || true
}

start_program() {
    (cd "$work" && WAYLAND_DEBUG=1 QT_QPA_PLATFORM=wayland WAYLAND_DISPLAY=wl-test \
        exec ./trellan >"$work/protocol.log" 2>&1) &
    program_pid=$!
    wait_for_log 'xdg_surface@[0-9]+\.ack_configure'
}

wait_for_log() {  # wait_for_log REGEX [COUNT]: until the protocol log has COUNT (1) matches
    for _ in $(seq 100); do
        [ "$(grep -cE "$1" "$work/protocol.log" || true)" -ge "${2:-1}" ] && return 0
        sleep 0.1
    done
    echo "not in the protocol log: $1" >&2
    return 1
}

alive() { kill -0 "$program_pid" 2>/dev/null; }
ended() {  # the program is gone, or a zombie waiting for this script
    local state
    state=$(ps -o stat= -p "$program_pid" || true)
    [ -z "$state" ] || [ "${state:0:1}" = Z ]
}

# The window's box on Weston's 800 x 600 screen, "WIDTH HEIGHT X Y". The pointer leaves the
# screen through its bottom-right corner, where Weston goes on drawing it, and that corner is
# painted over before the box is taken. (It enters first: Weston follows a pointer that was on
# its screen when it started only once it has entered.)
window_box() {
    xdotool mousemove 1000 700 sleep 0.2 mousemove 799 599 sleep 0.2 mousemove 1000 700 sleep 0.5
    import -window root "$work/screen.png"
    xdotool mousemove 790 590
    convert "$work/screen.png" -crop 800x600+0+0 +repage -fill "$background" \
        -draw 'rectangle 776,576 799,599' -format '%@\n' info: | tr 'x+' '  '
}

# The toplevel whose title is the calculator's caption, and its requests.
request() {  # request NAME [TOPLEVEL]: the arguments of each request NAME, one a line
    sed -n "s/.*-> ${2:-$calculator}\.$1(\(.*\))\$/\1/p" "$work/protocol.log"
}

# --- Weston's desktop shell ---
start_weston desktop-shell.so
start_program
calculator=$(sed -n 's/.*-> \(xdg_toplevel@[0-9]*\)\.set_title("Trellan 0\.12")$/\1/p' \
    "$work/protocol.log" | head -n 1)
check "the title is exactly the caption" test -n "$calculator"
check "the application id is the desktop entry's" \
    test "$(request set_app_id | head -n 1)" = "\"$app_id\""
check "minimum and maximum size are equal" \
    test "$(request set_min_size | head -n 1)" = "$(request set_max_size | head -n 1)"

# Keys go to the calculator through Weston's window: its focus is in the buy price, where text
# that is not a number brings the message, and once it is closed the focus is there again; six
# Tabs reach About, Shift+Tab from there "*".
# Each step waits for the keyboard to enter the window that should have it next.
focused() { wait_for_log 'wl_keyboard@[0-9]+\.enter\(' "$1"; }
focused 1
xdotool type abc && xdotool key Return
focused 2 && xdotool key alt+F4
check "Alt+F4 closes the message" focused 3
xdotool key --delay 100 Tab Tab Tab Tab Tab Tab space
focused 4 && xdotool key Escape
focused 5 && xdotool key --delay 100 shift+Tab space
focused 6 && xdotool key Escape
focused 7
check "the message and both dialogs have the calculator as parent" \
    test "$(request set_parent 'xdg_toplevel@[0-9]*' | grep -c "^$calculator\$")" -eq 3
# Qt's title bar would make a window's surface larger than its fixed size.
sizes() {  # sizes REQUEST: the sizes a request gave, each once
    sed -n "s/.*-> xdg_[a-z]*@[0-9]*\.$1(\(0, 0, \)\?\(.*\))\$/\2/p" "$work/protocol.log" |
        sort -u
}
check "the calculator, the message and both dialogs have no title bar but their own" \
    test "$(sizes set_window_geometry)" = "$(sizes set_min_size)" -a \
    "$(sizes set_min_size | wc -l)" -eq 4

# The title bar: Qt's own would stand around the window, outside its fixed size, and offer
# minimise and maximise near its right end. Every point of the bar but the close box is clicked,
# and its middle double-clicked.
read -r width height x y < <(window_box)
check "on screen the window is its fixed size, with no title bar around it (${width}x$height)" \
    test "$width, $height" = "$(request set_min_size | head -n 1)"
bar=$((y + 10))
xdotool mousemove $((x + width / 2)) $bar click --repeat 2 --delay 80 1
for ((at = x + 2; at < x + width - 40; at += 6)); do
    xdotool mousemove "$at" "$bar" click 1
done
check "no click on the title bar asks to maximise or minimise" \
    test "$(grep -cE "> $calculator\.set_(maximized|minimized)\(" "$work/protocol.log")" -eq 0
# Dragged towards the middle of the screen, the window follows the pointer.
dx=$((x < 257 ? 40 : -40))
dy=$((y < 150 ? 30 : -30))
xdotool mousemove $((x + 60)) "$bar" mousedown 1 sleep 0.2 mousemove_relative -- $((dx / 2)) \
    $((dy / 2)) sleep 0.2 mousemove_relative -- $((dx / 2)) $((dy / 2)) sleep 0.2 mouseup 1
read -r _ _ moved_x moved_y < <(window_box)
check "dragging the title bar moves the window ($x,$y -> $moved_x,$moved_y)" \
    test "$((moved_x - x)),$((moved_y - y))" = "$dx,$dy"
popups=$(grep -c '\.get_popup(' "$work/protocol.log" || true)
xdotool mousemove $((moved_x + 60)) $((moved_y + 10)) click 3
check "a right click on the title bar opens the system menu" \
    wait_for_log '\.get_popup\(' $((popups + 1))
xdotool key Escape
sleep 0.5
xdotool mousemove $((moved_x + width - 14)) $((moved_y + 10)) click 1
for _ in $(seq 50); do ended || sleep 0.1; done
check "the close box ends the program" ended
stop "$program_pid"
stop "$weston_pid"

# --- Weston's kiosk shell: every window made full-screen by the compositor ---
start_weston kiosk-shell.so
start_program
sleep 1
check "made full-screen by the compositor: the program is still running" alive
stop "$program_pid"
stop "$weston_pid"
program_pid=
weston_pid=

[ "$failures" -eq 0 ] || { echo "$failures check(s) failed" >&2; exit 1; }
echo "all desktop checks passed"
