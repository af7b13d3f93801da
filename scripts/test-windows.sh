#!/usr/bin/env bash
# Cross-builds the Windows program and its tests with mingw-w64 and runs the tests under Wine
# (Debian 12), with a private Wine prefix in the build's folder (build/windows/wineprefix). Where
# this machine cannot run 32-bit programs, the same sources are built a second time as a 64-bit
# program (build/windows64) and the tests run on that one, under 64-bit Wine; the shipped 32-bit
# program is still built and checked. Fails on any failed test.
set -euo pipefail
cd "$(dirname "$0")/.."
# The virtual screen, the prefix settings and the screenshots of the windows.
source scripts/virtual-screen.sh
source scripts/windows-desktop.sh

bash scripts/install-deps.sh windows

windows_desktop_pick_build # after installing: it asks whether 32-bit programs start
export WINEDEBUG=-all
# No Mono or Gecko: console test programs need neither, and without this Wine offers to
# download them.
export WINEDLLOVERRIDES="mscoree,mshtml="

echo "== windows: build =="
cmake --preset windows -G Ninja >/dev/null
if [ "$windows_preset" = windows ]; then
    cmake --build --preset windows
else
    # Its tests could not run here: the program alone, for the checks below and the
    # reproducible builds.
    cmake --build --preset windows --target trellan
    echo "== $windows_preset: build (the one the tests run on) =="
    cmake --preset "$windows_preset" -G Ninja >/dev/null
    cmake --build --preset "$windows_preset"
fi
# No test of the Linux build may be missing here unnoticed (test.sh builds that one first).
if [ -f build/release/CTestTestfile.cmake ]; then
    python3 scripts/check-test-lists.py build/release "$TRELLAN_WINDOWS_BUILD"
else
    echo "build/release not configured: the test lists are not compared"
fi

# Statically linked runtime: nothing may be imported but the system's own DLLs (the compiler's
# runtime DLLs are all named lib*.dll).
for exe in build/windows/app/*.exe build/windows/tests/*.exe; do
    [ -e "$exe" ] || continue
    runtime_dlls=$(i686-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p' |
        grep -i '^lib' || true)
    if [ -n "$runtime_dlls" ]; then
        echo "$exe needs DLLs that are not Windows' own: $runtime_dlls" >&2
        exit 1
    fi
done
# The shipped program: stripped, with ASLR and DEP.
program=build/windows/app/Trellan.exe
[[ "$(i686-w64-mingw32-objdump -h "$program")" != *.debug_* ]] ||
    { echo "$program is not stripped" >&2; exit 1; }
headers=$(i686-w64-mingw32-objdump -p "$program")
for flag in DYNAMIC_BASE NX_COMPAT; do
    grep -qw "$flag" <<<"$headers" || { echo "$program lacks $flag" >&2; exit 1; }
done
# Its application manifest is compiled in: the common controls of version 6, no elevation, drawn
# at each screen's DPI. gui_tests.exe links the same resources and checks what Wine makes of them.
for part in 'name="Microsoft.Windows.Common-Controls"' 'level="asInvoker"' \
    'PerMonitorV2, System'; do
    LC_ALL=C grep -qaF "$part" "$program" ||
        { echo "$program has no manifest with $part" >&2; exit 1; }
done

# One Wine server for the whole run, started before ctest, which would wait for its helpers.
trap 'windows_wineserver -k >/dev/null 2>&1 || true; virtual_screen_stop' EXIT
virtual_screen_start
windows_desktop_start_wine

echo "== windows: tests under Wine ($TRELLAN_WINDOWS_BUILD) =="
ctest --preset "$windows_preset"

echo "== windows: every text fits, at four DPIs with two fonts =="
# The text-fit table at 100, 125, 150 and 200 % scaling, with a Song-style font as 宋体 (as
# Windows draws it) and with WenQuanYi; at 144 DPI also the window's icons, which come from the
# resource's 48- and 24-pixel images, not from 32 and 16 scaled.
status=0
for face in 'AR PL UMing CN' 'WenQuanYi Micro Hei'; do
    windows_desktop_dialog_face "$face"
    for dpi in 96 120 144 192; do
        filter='*EveryScreen*'
        [ "$dpi" -ne 144 ] || filter+=':Win32Calculator.*'
        echo "-- $face at $dpi DPI"
        windows_desktop_dpi "$dpi"
        TRELLAN_SCREEN_DPI=$dpi windows_wine "$TRELLAN_WINDOWS_BUILD"/tests/gui_tests.exe --gtest_brief=1 \
            --gtest_filter="$filter" || status=1
    done
done
[ "$status" -eq 0 ] || exit 1

echo "== windows: screenshots =="
windows_desktop_dialog_face 'AR PL UMing CN'
windows_desktop_dpi 120
windows_desktop_screenshots "$TRELLAN_WINDOWS_BUILD"/screenshots/song-120dpi
windows_desktop_dialog_face 'WenQuanYi Micro Hei'
windows_desktop_dpi 96
windows_desktop_screenshots

echo "== windows: where the rates are kept =="
windows_wineserver -k
unshare -m bash -c 'set -euo pipefail
    fail() { echo "FAIL: $*" >&2; exit 1; }
    source scripts/settings-runs.sh
    source scripts/windows-desktop.sh
    windows_desktop_settings_runs'
