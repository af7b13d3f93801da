#!/usr/bin/env bash
# Builds the libFuzzer targets (clang++, ASan + UBSan) in build/fuzz and runs each one from its
# seed corpus for the given time, as many targets at once as there are cores. Fails on any crash,
# sanitizer report or broken property.
# Usage: fuzz.sh [seconds-per-target]   (default 20)
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-20}
case "$seconds" in
    '' | *[!0-9]*) echo "usage: $0 [seconds-per-target]" >&2; exit 2 ;;
esac

targets=(profile_text_fuzzer leading_double_fuzzer field_readers_fuzzer rate_summary_fuzzer
         settings_value_fuzzer)

cmake -S . -B build/fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTRELLAN_FUZZ=ON -DBUILD_TESTING=OFF -DTRELLAN_BUILD_BENCHMARKS=OFF \
    -DTRELLAN_WARNINGS_AS_ERRORS=ON >/dev/null
cmake --build build/fuzz --target "${targets[@]}"

# The corpus grows while fuzzing: work on a copy so the repository keeps only its seeds. Inputs
# that break something are kept in build/fuzz/artifacts.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p build/fuzz/artifacts

# Each target runs on one core for its whole time: as many at once as there are cores.
fuzz() {  # fuzz TARGET: its exit status is kept in $scratch/TARGET.status
    local status=0
    build/fuzz/fuzz/"$1" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="build/fuzz/artifacts/$1-" \
        "$scratch/$1" >"$scratch/$1.log" 2>&1 || status=$?
    echo "$status" >"$scratch/$1.status"
}
cores=$(nproc)
running=0
for target in "${targets[@]}"; do
    cp -r "fuzz/corpus/$target" "$scratch/$target"
    if [ "$running" -ge "$cores" ]; then
        wait -n
        running=$((running - 1))
    fi
    fuzz "$target" &
    running=$((running + 1))
done
wait

failed=()
for target in "${targets[@]}"; do
    echo "== $target (${seconds}s)"
    if [ "$(cat "$scratch/$target.status")" = 0 ]; then
        runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$scratch/$target.log")
        echo "   ok: $runs inputs"
    else
        tail -n 40 "$scratch/$target.log"
        echo "   FAILED: the input is in build/fuzz/artifacts/" >&2
        failed+=("$target")
    fi
done

if [ "${#failed[@]}" -gt 0 ]; then
    echo "fuzzing failed: ${failed[*]}" >&2
    exit 1
fi
