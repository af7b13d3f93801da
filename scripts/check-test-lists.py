#!/usr/bin/env python3
"""Every test one build lists is listed by another, run or skipped with its reason.

Usage: check-test-lists.py REFERENCE_BUILD OTHER_BUILD
A test is known by its name, or, for a case that GoogleTest's discovery listed on its own
("Suite.Case"), by the test program it runs in, which the other build may run whole.
Exits 1, naming them, when the other build lacks any.
"""
import json
import os
import subprocess
import sys


def units(build):
    listing = subprocess.run(["ctest", "--test-dir", build, "--show-only=json-v1"],
                             check=True, capture_output=True, text=True).stdout
    found = set()
    for test in json.loads(listing)["tests"]:
        name = test["name"]
        if "." not in name and "/" not in name:
            found.add(name)
            continue
        programs = [part for part in test.get("command", [])
                    if os.path.isfile(part) and os.path.realpath(part).startswith(
                        os.path.realpath(build) + os.sep)]
        found.add(os.path.basename(programs[0]).removesuffix(".exe") if programs else name)
    return found


def main():
    reference, other = sys.argv[1], sys.argv[2]
    missing = sorted(units(reference) - units(other))
    if missing:
        print(f"{other} lists neither these tests of {reference} nor why they are skipped:",
              " ".join(missing), file=sys.stderr)
        return 1
    print(f"every test of {reference} is listed in {other}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
