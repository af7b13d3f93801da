#!/bin/sh
# Runs a test program from a folder of its own: the calculator keeps Set.ini beside its
# executable, so no two runs share one and none is left beside the build.
# Usage: run_in_own_folder.sh PROGRAM [ARGUMENT...]
run=$(mktemp -d) || exit 1
trap 'rm -rf "$run"' EXIT
program=$1
shift
cp "$program" "$run/" && "$run/$(basename "$program")" "$@"
