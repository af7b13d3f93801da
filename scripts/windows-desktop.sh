# Sourced by scripts/test-windows.sh: the Wine prefix's settings for the Windows program's windows,
# screenshots of its four windows and runs that show where it keeps the rates. Expects a virtual screen (DISPLAY), WINEPREFIX and the
# other Wine variables.

source "$(dirname "${BASH_SOURCE[0]}")/version-record.sh"

# The build whose programs run under Wine, and the Wine loader that runs them: the shipped 32-bit
# build with Wine's own choice of loader, unless windows_desktop_pick_build chose otherwise.
# Exported, for the shells that source this file again.
export TRELLAN_WINDOWS_BUILD=${TRELLAN_WINDOWS_BUILD:-build/windows}
export TRELLAN_WINE_LOADER=${TRELLAN_WINE_LOADER:-wine}

# Picks the build to run, by its preset's name in windows_preset: "windows", or where this
# machine cannot run 32-bit programs (a kernel without them, so no 32-bit Wine either)
# "windows64", the same sources built for 64-bit Windows, run by 64-bit Wine with a prefix of its
# own. Sets WINEPREFIX.
windows_desktop_pick_build() {
    windows_preset=windows
    if ! /lib/ld-linux.so.2 --version >/dev/null 2>&1; then
        echo "32-bit programs cannot run here: the tests run on the 64-bit build under 64-bit Wine"
        windows_preset=windows64
        export TRELLAN_WINE_LOADER=/usr/lib/wine/wine64
        export WINELOADER=/usr/lib/wine/wine64 WINESERVER=/usr/lib/wine/wineserver64
    fi
    export TRELLAN_WINDOWS_BUILD=build/$windows_preset
    export WINEPREFIX="$PWD/$TRELLAN_WINDOWS_BUILD/wineprefix"
}

# Wine's programs, run by the loader in use (/usr/bin/wine and the wineboot, winepath wrappers
# pick the 32-bit loader whenever it is installed, even where it cannot run).
windows_wine() { "$TRELLAN_WINE_LOADER" "$@"; }
windows_wineserver() { "${WINESERVER:-wineserver}" "$@"; }

# Sets a value in the prefix's registry. reg tells why it failed on its standard output, shown
# here; once in a CI run it failed after the tests under Wine, unexplained and never since, so a
# failure is tried again once, a second later.
windows_reg_add() {
    local said status attempt
    for attempt in 1 2; do
        status=0
        said=$(LANG=C.UTF-8 windows_wine reg add "$@" /f 2>&1) || status=$?
        [ "$status" -ne 0 ] || return 0
        echo "reg add $* (attempt $attempt) exited with $status: $said" >&2
        sleep 1
    done
    return 1
}

# The face that Wine draws the dialogs' font 宋体 (SimSun) with, for the programs started next:
# a Simplified Chinese font that Debian ships.
windows_desktop_dialog_face() {
    local key='HKCU\Software\Wine\Fonts\Replacements'
    local face
    for face in 宋体 SimSun; do
        windows_reg_add "$key" /v "$face" /t REG_SZ /d "$1"
    done
}

# The screen's DPI for the programs started next (100 % scaling is 96).
windows_desktop_dpi() {
    windows_reg_add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1"
}

# The prefix's settings for the dialogs: 宋体 drawn with WenQuanYi, at 96 DPI, and windows that
# Wine frames itself, with no window manager to wait for.
windows_desktop_prepare_prefix() {
    windows_desktop_dialog_face 'WenQuanYi Micro Hei'
    windows_desktop_dpi 96
    windows_reg_add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N
    windows_reg_add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N
}

# The Wine server and the prefix (WINEPREFIX, made on first use), ready for the program's
# windows on the virtual screen; the caller stops the server (wineserver -k). Its helper
# processes (services, devices) start here, outside any test runner's output pipes, which they
# would hold open.
windows_desktop_start_wine() {
    mkdir -p "$WINEPREFIX"
    windows_wineserver -p
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        echo "== windows: creating the Wine prefix =="
        windows_wine wineboot.exe -i >/dev/null 2>&1
    else
        windows_wine wineboot.exe >/dev/null 2>&1
    fi
    windows_desktop_prepare_prefix
}

# The window with this name once it is on screen (bounded).
windows_desktop_wait_for() {
    timeout 30 xdotool search --sync --onlyvisible --name "$1" 2>/dev/null | head -n 1
}

windows_desktop_wait_gone() {
    timeout 15 bash -c "while xdotool search --onlyvisible --name '$1' >/dev/null 2>&1; do sleep 0.1; done"
}

# Captures a window once it has been painted: a window not yet drawn is one flat colour.
windows_desktop_capture() {
    local window=$1 file=$2 colours=0
    for _ in $(seq 1 20); do
        sleep 0.2
        import -window "$window" "$file"
        colours=$(identify -format '%k' "$file")
        [ "$colours" -gt 8 ] && return 0
    done
    echo "$file: the window was not painted" >&2
    return 1
}

# Starts Trellan.exe alone in a fresh folder and captures the calculator, the About box, the
# fee rate dialog and the fee details, opened from the keyboard as a user opens them, into the
# folder given (default screenshots/ in the build in use). With TRELLAN_UPDATE_SCREENSHOT=1 the
# calculator's becomes docs/screenshot-windows.png.
windows_desktop_screenshots() {
    local out=${1:-$TRELLAN_WINDOWS_BUILD/screenshots} folder caption calculator about rates details program_pid
    mkdir -p "$out"
    rm -f "$out"/*.png
    folder=$(mktemp -d)
    cp "$TRELLAN_WINDOWS_BUILD"/app/Trellan.exe "$folder/"
    (cd "$folder" && exec "$TRELLAN_WINE_LOADER" Trellan.exe >/dev/null 2>&1) &
    program_pid=$!

    caption=$(version_record_caption "$TRELLAN_WINDOWS_BUILD"/generated/res/version.h)
    calculator=$(windows_desktop_wait_for "^${caption//./\\.}\$")
    [ -n "$calculator" ] || { echo "the calculator did not appear" >&2; return 1; }
    windows_desktop_capture "$calculator" "$out/calculator.png"
    timeout 10 xdotool windowfocus --sync "$calculator"

    # From the buy price, the seventh tab stop is the About button.
    xdotool key --delay 50 Tab Tab Tab Tab Tab Tab Tab space
    about=$(windows_desktop_wait_for 'Quorim')
    [ -n "$about" ] || { echo "the About box did not appear" >&2; return 1; }
    windows_desktop_capture "$about" "$out/about.png"
    xdotool key Escape
    windows_desktop_wait_gone 'Quorim'

    # Back on the About button; the tab stop before it is the fee rate button.
    xdotool key --delay 50 shift+Tab space
    rates=$(windows_desktop_wait_for '参数设置')
    [ -n "$rates" ] || { echo "the fee rate dialog did not appear" >&2; return 1; }
    windows_desktop_capture "$rates" "$out/fee-rates.png"
    xdotool key Escape
    windows_desktop_wait_gone '参数设置'

    # Back on the fee rate button; two tab stops on, past About, is the fee details button.
    xdotool key --delay 50 Tab Tab space
    details=$(windows_desktop_wait_for '费用明细')
    [ -n "$details" ] || { echo "the fee details did not appear" >&2; return 1; }
    windows_desktop_capture "$details" "$out/fee-details.png"
    xdotool key Escape
    windows_desktop_wait_gone '费用明细'

    xdotool key Escape
    if ! timeout 15 tail --pid="$program_pid" -f /dev/null; then
        echo "Trellan.exe did not end on Escape" >&2
        kill "$program_pid" 2>/dev/null || true
        return 1
    fi
    if [ "$(ls -A "$folder")" != Trellan.exe ]; then
        echo "Trellan.exe left files beside it: $(ls -A "$folder")" >&2
        return 1
    fi
    rm -rf "$folder"
    if [ "${TRELLAN_UPDATE_SCREENSHOT:-0}" = 1 ] && [ $# -eq 0 ]; then
        cp "$out/calculator.png" docs/screenshot-windows.png
    fi
    echo "screenshots: $out/calculator.png $out/about.png $out/fee-rates.png $out/fee-details.png"
}

# Where Trellan.exe keeps the rates, from real runs confirmed from the keyboard (settings-runs.sh):
# a copy in a folder its user cannot write keeps them in %APPDATA%\Trellan\Set.ini, starting from
# an administrator's Set.ini beside it until the user's own exists; a copy in a folder its user
# can write keeps Set.ini beside itself. Root writes anywhere, so the program's folder is seen
# through a read-only bind mount, in a mount namespace of its own where the Wine server, which
# opens the files for the program, runs too: call this in `unshare -m`, with no Wine server
# running outside.
windows_desktop_settings_runs() {
    local title calculator work installed portable appdata admin_defaults
    title=$(version_record_caption "$TRELLAN_WINDOWS_BUILD"/generated/res/version.h)
    title="^${title//./\\.}\$"
    work=$(mktemp -d)
    installed=$work/installed # what the program sees read-only, at $work/read-only
    portable=$work/portable
    mkdir -p "$installed" "$portable" "$work/read-only"
    cp "$TRELLAN_WINDOWS_BUILD"/app/Trellan.exe "$installed/"
    cp "$TRELLAN_WINDOWS_BUILD"/app/Trellan.exe "$portable/"
    printf '[SET]\r\nCOMMISION=2.5\r\nSTAMPDUTY=0.8\r\n' >"$installed/Set.ini"
    admin_defaults=$(cat "$installed/Set.ini")
    mount --bind "$installed" "$work/read-only"
    mount -o remount,bind,ro "$work/read-only"
    windows_wineserver -p
    appdata=$(windows_wine winepath.exe -u "$(windows_wine cmd /c 'echo %APPDATA%' | tr -d '\r')")
    rm -rf "$appdata/Trellan"
    start_exe() {
        (cd "$1" && exec "$TRELLAN_WINE_LOADER" Trellan.exe >/dev/null 2>&1) &
        calculator=$!
    }

    echo "-- a read-only program folder: the user's first rates go to %APPDATA%\\Trellan"
    start_exe "$work/read-only"
    confirm_rates 3.25 "$appdata/Trellan/Set.ini"
    expect_rates "$appdata/Trellan/Set.ini" 3.25 0.80 1.00
    [ "$(cat "$installed/Set.ini")" = "$admin_defaults" ] || fail "the administrator's file was written"
    [ "$(ls -A "$installed")" = "$(printf 'Set.ini\nTrellan.exe')" ] ||
        fail "files were left beside the program"

    echo "-- the next run reads the user's own file, not the administrator's"
    printf '[SET]\r\nCOMMISION=9\r\n' >"$installed/Set.ini"
    start_exe "$work/read-only"
    confirm_rates "" "$appdata/Trellan/Set.ini"
    expect_rates "$appdata/Trellan/Set.ini" 3.25 0.80 1.00

    echo "-- a copy in a folder its user can write keeps Set.ini beside itself"
    start_exe "$portable"
    confirm_rates 1.75 "$portable/Set.ini"
    expect_rates "$portable/Set.ini" 1.75 1.00 1.00
    expect_rates "$appdata/Trellan/Set.ini" 3.25 0.80 1.00

    windows_wineserver -k
    umount "$work/read-only"
    rm -rf "$work" "$appdata/Trellan"
}
