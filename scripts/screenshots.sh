#!/usr/bin/env bash
# Makes the README's screenshots from the real programs, so that they show what the windows show
# today: docs/screenshot-linux.png (the calculator after a calculation), docs/screenshot-dark.png
# (the same in a dark colour scheme), docs/screenshot-details.png (today's rules: the calculator
# and its fee details) and docs/screenshot-windows.png (the Windows program under Wine). The
# windows are found by their captions and driven from the keyboard, as a user drives them.
# Not run by CI: run it after a change to what the windows show, look at the pictures, commit
# them.
# Usage: screenshots.sh [--linux]   (--linux: leave the Windows program's picture as it is)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/virtual-screen.sh
source scripts/windows-desktop.sh

windows=yes
[ "${1:-}" = --linux ] && windows=no
bash scripts/install-deps.sh screenshots
[ "$windows" = yes ] && bash scripts/install-deps.sh windows

cmake --preset release -G Ninja >/dev/null
cmake --build --preset release --target trellan
caption=$(version_record_caption build/release/generated/res/version.h)

work=$(mktemp -d)
program_pid=
cleanup() {
    if [ -n "$program_pid" ]; then
        kill "$program_pid" 2>/dev/null || true
        wait "$program_pid" 2>/dev/null || true
    fi
    [ "$windows" = yes ] && { windows_wineserver -k >/dev/null 2>&1 || true; }
    virtual_screen_stop
    rm -rf "$work"
}
trap cleanup EXIT
virtual_screen_start

# The window named exactly so, once it is on screen.
window_named() {
    local window
    window=$(windows_desktop_wait_for "^${1//./\\.}\$")
    [ -n "$window" ] || { echo "no window named $1 appeared" >&2; return 1; }
    echo "$window"
}

# start_calculator SCENE [ENVIRONMENT...]: the program in a folder of its own (with the Set.ini
# the scene may have put there), with the keyboard; its window is $calculator.
start_calculator() {
    local folder=$work/$1
    mkdir -p "$folder"
    cp build/release/app/trellan "$folder/"
    (cd "$folder" && exec env -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb LC_ALL=C.UTF-8 "${@:2}" \
        ./trellan >"$work/$1.log" 2>&1) &
    program_pid=$!
    calculator=$(window_named "$caption")
    timeout 10 xdotool windowfocus --sync "$calculator"
}

# calculate WINDOW BUY QUANTITY SELL: the trade typed into the fields, from the buy price where the
# focus starts, and 计算 pressed (the tab stop after the sell price); waits until it shows.
calculate() {
    local before
    before=$(import -window "$1" png:- | identify -format '%#' -)
    xdotool type --delay 20 "$2"
    xdotool key Tab && xdotool type --delay 20 "$3"
    xdotool key Tab && xdotool type --delay 20 "$4"
    xdotool key Tab space
    for _ in $(seq 50); do
        sleep 0.1
        [ "$(import -window "$1" png:- | identify -format '%#' -)" != "$before" ] && return 0
    done
    echo "the calculation did not show" >&2
    return 1
}

# Escape ends the calculator, and its picture is taken by then.
end_calculator() {
    xdotool key Escape
    timeout 10 tail --pid="$program_pid" -f /dev/null
    program_pid=
}

echo "== the calculator"
start_calculator light
calculate "$calculator" 37.79 200 42.12
windows_desktop_capture "$calculator" docs/screenshot-linux.png
end_calculator

echo "== the calculator in a dark colour scheme (qt6ct's \"darker\")"
mkdir -p "$work/home/.config/qt6ct"
printf '[Appearance]\ncolor_scheme_path=/usr/share/qt6ct/colors/darker.conf\ncustom_palette=true\nstyle=Fusion\n' \
    >"$work/home/.config/qt6ct/qt6ct.conf"
start_calculator dark HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" \
    QT_QPA_PLATFORMTHEME=qt6ct
calculate "$calculator" 37.79 200 42.12
windows_desktop_capture "$calculator" docs/screenshot-dark.png
end_calculator

echo "== today's rules and the fee details"
mkdir -p "$work/details"
printf '[SET]\r\nCOMMISION=1.50\r\nSTAMPDUTY=1.00\r\nTRANSFER=1.00\r\nRULES=2023\r\n[SET2023]\r\nCOMMISION=0.25\r\nSTAMPDUTY=0.50\r\nTRANSFER=0.01\r\nMINCOMMISSION=5.00\r\n' \
    >"$work/details/Set.ini"
start_calculator details
calculate "$calculator" 10 1000 11
# Taken before the details open over it.
windows_desktop_capture "$calculator" "$work/calculator.png"
# From 计算, the fee details button is five tab stops on: the result, the exchange, *, 关于..,
# then …
xdotool key --delay 50 Tab Tab Tab Tab Tab space
details=$(window_named 费用明细)
windows_desktop_capture "$details" "$work/details.png"
convert "$work/calculator.png" "$work/details.png" -background black -gravity center \
    -bordercolor black -border 12 +append docs/screenshot-details.png
xdotool key Escape
end_calculator

if [ "$windows" = yes ]; then
    echo "== the Windows program under Wine"
    # The 64-bit build where this machine cannot run 32-bit programs; the windows look the same.
    windows_desktop_pick_build
    export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    cmake --preset "$windows_preset" -G Ninja >/dev/null
    cmake --build --preset "$windows_preset" --target trellan
    windows_desktop_start_wine
    TRELLAN_UPDATE_SCREENSHOT=1 windows_desktop_screenshots
fi
# Pixels only: no time stamps, so that a run that changes no pixel changes no file.
mogrify -strip -define png:exclude-chunks=date,time docs/screenshot-*.png
echo "screenshots: docs/screenshot-*.png"
