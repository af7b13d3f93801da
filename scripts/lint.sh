#!/usr/bin/env bash
# Static checks: clang-tidy (the checks in .clang-tidy) and cppcheck over the program's own
# sources in core/, settings/, ui/ and app/. Any finding fails the script.
# Usage: lint.sh [BUILD_DIR]
#   BUILD_DIR: a Debug build of this platform already made (scripts/test.sh gives build/asan),
#   whose compile commands and generated headers clang-tidy reads; without it, a GCC Debug build
#   of the program alone is made in build/lint.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-}

folders=()
for folder in core settings ui app; do
    [ -d "$folder" ] && folders+=("$folder")
done
# Every source file of ours; never what the Qt tools generate (moc_*, qrc_*, ui_*, *_autogen).
mapfile -t sources < <(find "${folders[@]}" -name '*.cpp' \
    ! -name 'moc_*' ! -name 'qrc_*' ! -name 'ui_*' ! -path '*_autogen/*' | sort)

# The compile commands, and the generated headers they name, come from a build: the one given,
# already made, or one of our own. Debug, so that assert() stays in the code that is analysed.
if [ -z "$build" ]; then
    build=build/lint
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_EXPORT_COMPILE_COMMANDS=ON \
        -DBUILD_TESTING=OFF -DTRELLAN_WARNINGS_AS_ERRORS=ON -DTRELLAN_BUILD_BENCHMARKS=OFF \
        >/dev/null
    cmake --build "$build" >/dev/null
elif [ ! -f "$build/compile_commands.json" ]; then
    echo "lint: $build has no compile_commands.json: build it first" >&2
    exit 2
fi

# clang-tidy sees the files this platform builds; the other platform's files are left to
# cppcheck, which needs no compile commands.
tidy_sources=()
for source in "${sources[@]}"; do
    if grep -q "\"file\": \"$PWD/$source\"" "$build/compile_commands.json"; then
        tidy_sources+=("$source")
    else
        echo "clang-tidy: not built on this platform, skipped: $source"
    fi
done

# CERT's names for checks that .clang-tidy also enables under their own names, with the same
# options: run under both, a check would go through every file twice and say the same. Each is
# left out only while the check it names is on.
enabled=$(clang-tidy-14 -p "$build" --list-checks "${tidy_sources[0]}")
duplicates=
for alias in cert-con36-c:bugprone-spuriously-wake-up-functions \
    cert-con54-cpp:bugprone-spuriously-wake-up-functions cert-dcl03-c:misc-static-assert \
    cert-dcl37-c:bugprone-reserved-identifier cert-dcl51-cpp:bugprone-reserved-identifier \
    cert-exp42-c:bugprone-suspicious-memory-comparison \
    cert-flp37-c:bugprone-suspicious-memory-comparison cert-msc30-c:cert-msc50-cpp \
    cert-msc32-c:cert-msc51-cpp cert-oop11-cpp:performance-move-constructor-init \
    cert-pos44-c:bugprone-bad-signal-to-kill-thread cert-sig30-c:bugprone-signal-handler; do
    if grep -qx " *${alias%%:*}" <<<"$enabled" && grep -qx " *${alias#*:}" <<<"$enabled"; then
        duplicates+=",-${alias%%:*}"
    fi
done

status=0
echo "== clang-tidy (${#tidy_sources[@]} files)"
jobs=$(nproc)
printf '%s\n' "${tidy_sources[@]}" |
    xargs -P "$jobs" -n 1 clang-tidy-14 -p "$build" --quiet --checks="${duplicates#,}" \
        >"$build/clang-tidy.log" 2>&1 ||
    status=1
# clang-tidy prints a count of suppressed system-header warnings even on success.
grep -v -E '^[0-9]+ warnings? (and [0-9]+ errors? )?generated\.$|^Suppressed [0-9]+ warnings|^Use -header-filter=|^Use -system-headers' \
    "$build/clang-tidy.log" || true

# Left out: useStlAlgorithm (a loop is often the clearer form), unusedFunction (wrong without
# the tests and the other platform's files), unusedStructMember (members read through
# std::optional are not seen as used).
echo "== cppcheck (${#sources[@]} files)"
cppcheck --quiet --error-exitcode=1 --std=c++20 --language=c++ \
    --enable=warning,style,performance,portability --inline-suppr \
    --suppress=missingIncludeSystem --suppress=unmatchedSuppression \
    --suppress=useStlAlgorithm --suppress=unusedFunction --suppress=unusedStructMember \
    -I . -I "$build" "${sources[@]}" || status=1

if [ "$status" -ne 0 ]; then
    echo "lint: findings above" >&2
    exit 1
fi
echo "lint: no findings"
