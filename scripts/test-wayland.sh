#!/usr/bin/env bash
# The real program on the desktops people use, checked from the outside:
#   - with no display at all: one line saying so (in Chinese under a Chinese locale), exit code
#     1; --help and --version answered on standard output with 0, an unknown option refused in
#     one line with 2;
#   - on Weston, which leaves title bars to programs, from the protocol log (WAYLAND_DEBUG=1):
#     the window's minimum and maximum sizes are equal, its application id is the desktop
#     entry's, its title the caption, the message, the About box and the fee rate dialog have
#     the calculator as parent, and none of the four ever shows a title bar of Qt's; from the
#     screen: the window wears ours, which offers no maximise or minimise anywhere, moves the
#     window when dragged, opens the system menu on a right click, and closes; a compositor that
#     makes every window full-screen (Weston's kiosk shell) does not end the program;
#   - on sway, which draws title bars itself: the compositor is asked to, and draws the one the
#     window wears, and the window is its contents alone;
#   - on mutter (GNOME's compositor), which leaves title bars to programs: the window wears ours
#     again, whose close box ends the program.
# Weston and mutter run on a virtual X screen (Weston's X11 back end, mutter nested), which gives
# them the keyboard and mouse that xdotool drives; sway runs headless, as an unprivileged user,
# since it refuses to run as root. The caption and the application id are read from the version
# record; the title bar's parts are found on the screen from the window's box.
# Usage: test-wayland.sh PROGRAM VERSION_HEADER
set -euo pipefail
program=$(realpath "$1")
version_header=$(realpath "$2")
cd "$(dirname "$0")/.."
scripts=$PWD/scripts
source scripts/virtual-screen.sh
source scripts/version-record.sh

caption=$(version_record_caption "$version_header")
app_id=$(version_record_define "$version_header" TRELLAN_APP_ID)

# sway's user: the program and sway share a runtime folder that only it may use.
user=65534
work=$(mktemp -d)
chmod 755 "$work"
export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
cp "$program" "$work/trellan"
started=()
cleanup() {
    for pid in "${started[@]}"; do
        pkill -P "$pid" 2>/dev/null || true  # the accessibility bus of its launcher
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    virtual_screen_stop
    [ -z "${KEEP_WORK:-}" ] && rm -rf "$work"
}
trap cleanup EXIT
trap 'echo "FAILED: stopped at line $LINENO" >&2' ERR

failures=0
check() {  # check DESCRIPTION COMMAND...
    if "${@:2}"; then
        echo "ok: $1"
    else
        echo "FAILED: $1" >&2
        failures=$((failures + 1))
    fi
}

stop() {  # stop PID: ends a process of this script and waits for it
    kill "$1" 2>/dev/null || true
    wait "$1" 2>/dev/null || true
}

wait_for_file() {  # wait_for_file PATH WHAT: until it exists (10 s at most)
    for _ in $(seq 100); do
        [ -e "$1" ] && return 0
        sleep 0.1
    done
    echo "$2 did not start" >&2
    return 1
}

# Without a display: what the user reads on each stream, and the exit code.
without_display() {  # without_display LOCALE ARGUMENT...
    status=0
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM LC_ALL="$1" "$work/trellan" "${@:2}" \
        >"$work/out" 2>"$work/err" || status=$?
}
lines() { wc -l <"$1"; }
without_display C.UTF-8
check "without a display: exit code 1 (was $status)" test "$status" -eq 1
check "without a display: one line that says so ($(head -c 200 "$work/err"))" \
    test "$(lines "$work/err")" -eq 1 -a -n "$(grep -i 'no display' "$work/err")"
without_display zh_CN.UTF-8
check "without a display, in a Chinese locale: one line in Chinese ($(head -c 200 "$work/err"))" \
    test "$(lines "$work/err")" -eq 1 -a -n "$(grep '没有可以显示窗口的屏幕' "$work/err")"
# The command line is answered before a display is looked for.
without_display C.UTF-8 --help
check "--help: the usage on standard output, exit code 0 (was $status)" \
    test "$status" -eq 0 -a -n "$(grep '^Usage: trellan' "$work/out")" -a ! -s "$work/err"
without_display C.UTF-8 --version
check "--version: the version on standard output, exit code 0 ($(cat "$work/out"))" \
    test "$status" -eq 0 -a -n "$(grep -x 'Trellan [0-9.]*' "$work/out")" -a ! -s "$work/err"
without_display C.UTF-8 --frobnicate
check "an unknown option: one line on standard error, exit code 2 (was $status)" \
    test "$status" -eq 2 -a "$(lines "$work/err")" -eq 1 -a ! -s "$work/out"

virtual_screen_start
# A session bus of our own, for mutter and for the accessibility bus on which the program shows
# its windows' parts.
dbus-daemon --session --nofork --address="unix:path=$work/bus" >/dev/null 2>&1 &
started+=("$!")
wait_for_file "$work/bus" "The session bus"
export DBUS_SESSION_BUS_ADDRESS="unix:path=$work/bus"
/usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
started+=("$!")
# Without a window manager the keyboard follows the pointer, which waits in the corner of the
# compositor's screen, over the window it shows.
park_pointer() { xdotool mousemove 790 590; }
park_pointer

# --- What the program made, from its protocol log ---
log=
start_program() {  # start_program LOG [COMMAND PREFIX...]: the program on WAYLAND_DISPLAY
    log=$1
    (cd "$work" && WAYLAND_DEBUG=1 QT_QPA_PLATFORM=wayland exec "${@:2}" ./trellan >"$log" 2>&1) &
    program_pid=$!
    started+=("$program_pid")
    wait_for_log 'wl_surface@[0-9]+\.attach\(wl_buffer'
}

wait_for_log() {  # wait_for_log REGEX [COUNT]: until the protocol log has COUNT (1) matches
    for _ in $(seq 100); do
        [ "$(grep -cE "$1" "$log" || true)" -ge "${2:-1}" ] && return 0
        sleep 0.1
    done
    echo "not in the protocol log: $1" >&2
    return 1
}

# The toplevels, one a line: title, app id, parent's title, min, max, geometry, first picture,
# decoration, maximise/minimise requests (scripts/wayland_windows.py).
windows() { python3 "$scripts/wayland_windows.py" "$log"; }
calculator() { windows | awk -F'\t' -v title="$caption" '$1 == title' | head -n 1; }
field() { cut -f "$1" <<<"$2"; }  # field NUMBER LINE

# Each window stands at its fixed size, and so did the first picture it showed: no title bar of
# Qt's around it, even for a moment.
at_fixed_size() {
    windows | awk -F'\t' '{ if (!($4 == $5 && $5 == $6 && $6 == $7)) bad = 1; n++ }
                          END { exit bad || n == 0 }'
}

alive() { kill -0 "$program_pid" 2>/dev/null; }
ended() {  # the program is gone, or a zombie waiting for this script
    local state
    state=$(ps -o stat= -p "$program_pid" || true)
    [ -z "$state" ] || [ "${state:0:1}" = Z ]
}
wait_ended() {
    for _ in $(seq 50); do ended && return 0; sleep 0.1; done
    return 1
}

# --- The window on the screen ---
# The compositor's screen is the X screen's top-left 800 x 600. A window's box is where the
# screen differs from the screen taken before the program started ("WIDTH HEIGHT X Y"), by more
# than the dithering of a background drawn anew; the corner where the pointer waits is left out.
screen() { import -window root -crop 800x600+0+0 +repage "$1"; }
# The compositor's screen before the program starts, once the compositor has drawn it.
background() {
    local before now
    screen "$work/background.png"
    now=$(identify -format '%#' "$work/background.png")
    for _ in $(seq 50); do
        before=$now
        sleep 0.1
        screen "$work/background.png"
        now=$(identify -format '%#' "$work/background.png")
        [ "$now" = "$before" ] && return 0
    done
}
window_box() {
    screen "$work/now.png"
    convert "$work/background.png" "$work/now.png" -compose difference -composite \
        -threshold 4% -fill black -draw 'rectangle 770,570 799,599' -format '%@\n' info: |
        tr 'x+' '  '
}
# Waits until the window is drawn at SIZE ("WIDTH HEIGHT"); prints its box.
window_box_of() {
    local box
    for _ in $(seq 20); do
        box=$(window_box)
        [ "$(cut -d' ' -f1,2 <<<"$box")" = "$1" ] && break
        sleep 0.1
    done
    echo "$box"
}
# The height of our title bar in a window's box: from just inside its border, the rows down to
# where the bar's colour gives way to the window's.
bar_height() {  # bar_height X Y HEIGHT
    convert "$work/now.png" -crop "1x$(($3 - 2))+$(($1 + 1))+$(($2 + 1))" +repage txt:- |
        awk 'NR == 2 { first = $3 } NR > 1 && $3 != first { done = 1 } NR > 1 && !done { n++ }
             END { print n + 0 }'
}

# --- Weston's desktop shell: our title bar ---
# A plain background and no panel, so that the window is what differs from the background.
printf '[shell]\nbackground-color=0xff204060\npanel-position=none\n[input-method]\npath=\n' \
    >"$work/weston.ini"
start_weston() {  # start_weston SHELL
    weston --config="$work/weston.ini" --backend=x11-backend.so --use-pixman --shell="$1" \
        --socket=wl-test --idle-time=0 --width=800 --height=600 >"$work/weston.log" 2>&1 &
    weston_pid=$!
    started+=("$weston_pid")
    wait_for_file "$XDG_RUNTIME_DIR/wl-test" Weston || { cat "$work/weston.log" >&2; return 1; }
    export WAYLAND_DISPLAY=wl-test
    # Weston follows a pointer that was on its screen when it started only once it has entered.
    xdotool mousemove 1000 700 sleep 0.2 mousemove 799 599 sleep 0.2
    park_pointer
    sleep 0.3
}

start_weston desktop-shell.so
background
start_program "$work/weston-protocol.log" env QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
check "on Weston: the title is exactly the caption" test -n "$(calculator)"
check "on Weston: the application id is the desktop entry's" \
    test "$(field 2 "$(calculator)")" = "$app_id"
check "on Weston: minimum and maximum size are equal" \
    test "$(field 4 "$(calculator)")" = "$(field 5 "$(calculator)")"
read -r width height x y < <(window_box_of "$(field 4 "$(calculator)")")
# To a screen reader the title bar is a panel named after the caption, holding the close button,
# and nothing in the window is an unnamed filler.
check "on Weston: to a screen reader the title bar is a panel named after the caption" \
    timeout 20 /usr/bin/python3 "$scripts/accessible_title_bar.py" "$app_id" "$caption"

# Keys go to the calculator through Weston's window: its focus is in the buy price, where text
# that is not a number brings the message, and once it is closed the focus is there again; seven
# Tabs reach About, Shift+Tab from there "*". Each step waits for the keyboard to enter the
# window that should have it next.
focused() { wait_for_log 'wl_keyboard@[0-9]+\.enter\(' "$1"; }
focused 1
xdotool type abc && xdotool key Return
focused 2 && xdotool key alt+F4
check "on Weston: Alt+F4 closes the message" focused 3
xdotool key --delay 100 Tab Tab Tab Tab Tab Tab Tab space
focused 4 && xdotool key Escape
focused 5 && xdotool key --delay 100 shift+Tab space
focused 6 && xdotool key Escape
check "on Weston: the keyboard went to each window in turn, and back" focused 7
check "on Weston: the message and both dialogs have the calculator as parent" \
    test "$(windows | awk -F'\t' -v title="$caption" '$3 == title' | wc -l)" -eq 3
check "on Weston: the calculator, the message and both dialogs never show a title bar of Qt's" \
    at_fixed_size

# Qt's title bar would stand around the window, outside its fixed size, and offer minimise and
# maximise near its right end. Every point of the bar but the close box is clicked, and its
# middle double-clicked.
check "on Weston: on screen the window is its fixed size (${width}x$height)" \
    test "$width $height" = "$(field 4 "$(calculator)")"
bar=$(bar_height "$x" "$y" "$height")
check "on Weston: the window wears a title bar of ours ($bar pixels high)" \
    test "${bar:-0}" -ge 16 -a "${bar:-0}" -lt $((height / 4))
middle=$((y + 1 + bar / 2))
close_x=$((x + width - 1 - bar / 2))  # the close box: a square at the bar's right end
xdotool mousemove $((x + width / 2)) $middle click --repeat 2 --delay 80 1
for ((at = x + 2; at < close_x - bar; at += 6)); do
    xdotool mousemove "$at" "$middle" click 1
done
check "on Weston: no click on the title bar asks to maximise or minimise" \
    test "$(windows | awk -F'\t' '{ n += $9 } END { print n }')" -eq 0
# Dragged towards the middle of the screen, the window follows the pointer.
dx=$((x < 257 ? 40 : -40))
dy=$((y < 150 ? 30 : -30))
xdotool mousemove $((x + bar * 2)) "$middle" mousedown 1 sleep 0.2 \
    mousemove_relative -- $((dx / 2)) $((dy / 2)) sleep 0.2 \
    mousemove_relative -- $((dx / 2)) $((dy / 2)) sleep 0.2 mouseup 1
park_pointer
sleep 0.3
read -r _ _ moved_x moved_y < <(window_box)
check "on Weston: dragging the title bar moves the window ($x,$y -> $moved_x,$moved_y)" \
    test "$((moved_x - x)),$((moved_y - y))" = "$dx,$dy"
popups=$(grep -c '\.get_popup(' "$log" || true)
xdotool mousemove $((moved_x + bar * 2)) $((moved_y + 1 + bar / 2)) click 3
check "on Weston: a right click on the title bar opens the system menu" \
    wait_for_log '\.get_popup\(' $((popups + 1))
xdotool key Escape
sleep 0.5
xdotool mousemove $((close_x + moved_x - x)) $((moved_y + 1 + bar / 2)) click 1
check "on Weston: the close box ends the program" wait_ended
weston_size=$(field 4 "$(calculator)")
stop "$program_pid"
stop "$weston_pid"

# --- Weston's kiosk shell: every window made full-screen by the compositor ---
start_weston kiosk-shell.so
start_program "$work/kiosk-protocol.log"
sleep 1
check "made full-screen by the compositor: the program is still running" alive
stop "$program_pid"
stop "$weston_pid"
unset WAYLAND_DISPLAY

# --- sway, headless: the compositor's title bar ---
sway_home=$work/sway
mkdir -m 700 "$sway_home"
printf 'output HEADLESS-1 resolution 800x600\n' >"$sway_home/config"
chown -R "$user:$user" "$sway_home"
as_user=(setpriv --reuid="$user" --regid="$user" --clear-groups
         env HOME="$sway_home" XDG_RUNTIME_DIR="$sway_home")
WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
    "${as_user[@]}" sway --config "$sway_home/config" >"$work/sway.log" 2>&1 &
sway_pid=$!
started+=("$sway_pid")
for _ in $(seq 100); do
    socket=$(find "$sway_home" -maxdepth 1 -type s -name 'wayland-*' -printf '%f\n' | head -n 1)
    [ -n "$socket" ] && break
    sleep 0.1
done
[ -n "$socket" ] || { echo "sway did not start:" >&2; cat "$work/sway.log" >&2; exit 1; }
start_program "$work/sway-protocol.log" "${as_user[@]}" WAYLAND_DISPLAY="$socket"
# What sway says it draws around the window named after the caption: its border kind and the
# height of its title bar.
sway_frame() {
    "${as_user[@]}" SWAYSOCK="$(echo "$sway_home"/sway-ipc.*.sock)" swaymsg -r -t get_tree |
        python3 -c '
import json, sys
def views(node):
    yield node
    for child in node.get("nodes", []) + node.get("floating_nodes", []):
        yield from views(child)
for view in views(json.load(sys.stdin)):
    if view.get("name") == sys.argv[1] and view.get("app_id"):
        print(view["border"], view["deco_rect"]["height"])' "$caption"
}
check "on sway: the compositor is asked to draw the title bar, and does" \
    test "$(field 8 "$(calculator)")" = server
read -r border title_height < <(sway_frame)
check "on sway: the window wears the compositor's title bar, with the caption ($border, ${title_height}px)" \
    test "$border" = normal -a "${title_height:-0}" -gt 0
read -r weston_width weston_height <<<"$weston_size"
check "on sway: the window is its contents alone, our title bar and border left out" \
    test "$(field 4 "$(calculator)")" = "$((weston_width - 2)) $((weston_height - 2 - bar))"
check "on sway: the window never shows a title bar of Qt's" at_fixed_size
stop "$program_pid"
stop "$sway_pid"

# --- mutter, nested: our title bar ---
MUTTER_DEBUG_DUMMY_MODE_SPECS=800x600 \
    mutter --nested --wayland --no-x11 --wayland-display=wl-mutter >"$work/mutter.log" 2>&1 &
mutter_pid=$!
started+=("$mutter_pid")
wait_for_file "$XDG_RUNTIME_DIR/wl-mutter" mutter || { cat "$work/mutter.log" >&2; exit 1; }
park_pointer
background
start_program "$work/mutter-protocol.log" env WAYLAND_DISPLAY=wl-mutter
check "on mutter: the window is the size it has on Weston" \
    test "$(field 4 "$(calculator)")" = "$weston_size"
check "on mutter: the window never shows a title bar of Qt's" at_fixed_size
read -r width height x y < <(window_box_of "$weston_size")
check "on mutter: on screen the window is its fixed size (${width}x$height)" \
    test "$width $height" = "$weston_size"
check "on mutter: the window wears a title bar of ours" \
    test "$(bar_height "$x" "$y" "$height")" = "$bar"
xdotool mousemove $((x + width - 1 - bar / 2)) $((y + 1 + bar / 2)) click 1
check "on mutter: the close box ends the program" wait_ended
stop "$program_pid"
stop "$mutter_pid"

[ "$failures" -eq 0 ] || { echo "$failures check(s) failed" >&2; exit 1; }
echo "all desktop checks passed"
