#!/usr/bin/env python3
"""Process start to a painted window, and peak memory, of Trellan beside a bare Qt dialog.

Usage: startup.py BUILD_DIR [RUNS]   (needs a display: bench/startup.sh gives it X11 and Weston)
Runs both programs alternately RUNS times each and prints medians and their ratio. A
measurement, not a test.
"""
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time


def run_once(executable):
    start = time.monotonic()
    child = subprocess.Popen([executable], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    output = child.stdout.read().decode()
    _, status, usage = os.wait4(child.pid, 0)
    painted = float(output.split()[1])
    return painted - start, usage.ru_maxrss / 1024.0


def main():
    build = sys.argv[1]
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 20
    programs = {
        "bare Qt dialog": os.path.join(build, "bench", "bare_dialog_probe"),
        "Trellan": os.path.join(build, "bench", "trellan_probe"),
    }
    with tempfile.TemporaryDirectory() as folder:
        # A copy of its own, so the program reads no settings left by anyone else.
        copies = {}
        for name, path in programs.items():
            copies[name] = shutil.copy(path, folder)
        results = {name: ([], []) for name in copies}
        for _ in range(runs):
            for name, path in copies.items():
                seconds, mebibytes = run_once(path)
                results[name][0].append(seconds * 1000.0)
                results[name][1].append(mebibytes)
    print(f"{'program':<16} {'start to paint (ms, median)':>28} {'peak RSS (MiB, median)':>24}")
    for name, (times, memory) in results.items():
        print(f"{name:<16} {statistics.median(times):>28.1f} {statistics.median(memory):>24.1f}")
    ratio = statistics.median(results["Trellan"][0]) / statistics.median(results["bare Qt dialog"][0])
    print(f"Trellan / bare Qt dialog, start to paint: {ratio:.2f}x")


if __name__ == "__main__":
    main()
