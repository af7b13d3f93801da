#!/bin/sh
# Runs a test program from a folder of its own: the calculator keeps Set.ini beside its
# executable, so no two runs share one and none is left beside the build.
run=$(mktemp -d) || exit 1
trap 'rm -rf "$run"' EXIT
cp "$1" "$run/" && "$run/$(basename "$1")"
