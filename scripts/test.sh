#!/usr/bin/env bash
# Builds Trellan and runs every test and check:
#   the test suite plainly and under AddressSanitizer + UBSan (unit, settings faults, headless
#   windows, the screen-reader test on Xvfb, the desktop sessions), clang-tidy and cppcheck (with
#   the sanitizer build's compile commands), a short fuzzing run of every target, the hand builds
#   of other build types and compilers (hardened), the installed program and its Debian package,
#   the Windows program with its tests under Wine, and that the package and the Windows program
#   are reproducible (the package and program built for the tests against a clone's, whose
#   Windows program is built with the toolchain file alone).
# The checks that only compile (the static checks, the build matrix and the reproducible builds'
# clone) run beside the tests in the idle scheduling class: they take a core only while the tests
# leave it free (waiting on a window, Wine or a compositor), so no test waits for them. Each
# writes build/ci/NAME.log, shown when the run comes to it. Every step tells its time.
# Set TRELLAN_FUZZ_SECONDS to fuzz longer (default 10 s a target).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh all

step_name=
step_start=
end_step() {
    [ -z "$step_name" ] || printf -- '-- %s: %d s\n' "$step_name" $((SECONDS - step_start))
    step_name=
}
step() {
    end_step
    step_name=$*
    step_start=$SECONDS
    printf '\n== %s ==\n' "$*"
}

mkdir -p build/ci
declare -A beside_pids=()
# Its own session, so that it can be stopped whole if the run fails. A new session is also a new
# scheduling group where the kernel groups by session (autogroup), and a group competes with
# the tests' as an equal whatever its tasks' class: so the group is given the least weight too.
beside() {  # beside NAME COMMAND...: runs the command beside the tests
    local name=$1
    shift
    rm -f "build/ci/$name.status"
    setsid chrt --idle 0 bash -c '{ echo 19 >/proc/self/autogroup; } 2>/dev/null || true
        start=$SECONDS status=0
        "${@:2}" >"build/ci/$1.log" 2>&1 || status=$?
        echo "$status $((SECONDS - start))" >"build/ci/$1.status"' beside "$name" "$@" &
    beside_pids[$name]=$!
    echo "-- started beside the tests: $name"
}
stop_beside() {
    local pid
    for pid in "${beside_pids[@]}"; do
        kill -- "-$pid" 2>/dev/null || true
    done
}
trap stop_beside EXIT
join() {  # join NAME: waits for it, shows what it printed, fails if it failed
    local status seconds
    step "$1 (beside the tests)"
    wait "${beside_pids[$1]}" || true
    unset "beside_pids[$1]"
    cat "build/ci/$1.log"
    read -r status seconds <"build/ci/$1.status" || { status=1 seconds=0; }
    echo "-- ran $seconds s beside the tests, waited for $((SECONDS - step_start)) s"
    [ "$status" -eq 0 ] || { echo "$1 failed" >&2; exit 1; }
}

beside reproducible-clone bash scripts/test-reproducible.sh --second-only
beside build-matrix bash scripts/build-matrix.sh

for preset in release asan; do
    step "tests, $preset build"
    cmake --preset "$preset" -G Ninja >/dev/null
    cmake --build --preset "$preset"
    [ "$preset" != asan ] || beside static-checks bash scripts/lint.sh build/asan
    ctest --preset "$preset"
done

step "fuzzing"
bash scripts/fuzz.sh "${TRELLAN_FUZZ_SECONDS:-10}"

step "install and package"
bash scripts/test-install.sh

step "Windows program under Wine"
bash scripts/test-windows.sh

join static-checks
join build-matrix
join reproducible-clone

step "reproducible builds"
bash scripts/test-reproducible.sh
end_step
printf -- '-- all: %d s\n' "$SECONDS"
