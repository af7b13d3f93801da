#!/usr/bin/env python3
"""A save stopped at each of its system calls, on both of its paths: the replacement beside the
file and the rewrite in place (a folder the saver may not write). Whatever the call it is killed
at, Set.ini holds the old or the new rates whole, and the next save leaves nothing beside it. A
sync that fails fails the save. The temporary is synced before it takes the file's name."""
import os
import re
import shutil
import subprocess
import sys
import tempfile

SAVE_ONCE = sys.argv[1]
# Longer than the new text, so that the rewrite in place pads it.
OLD = "; rates\n[SET]\nCOMMISION=1.5000000\nSTAMPDUTY=1.00\nTRANSFER=1.00\n; a longer tail of the old\n"
NEW_COMMISSION = "2.5"
CALLS = ["flock", "pwrite64", "fsync", "ftruncate", "fchmod", "fchown", "linkat", "rename",
         "unlink"]
NOBODY = ["setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"]
# The leak checker cannot run under a tracer; the rest of the sanitizers can.
ENVIRONMENT = dict(os.environ, ASAN_OPTIONS=os.environ.get("ASAN_OPTIONS", "") + ":detect_leaks=0")
failures = []
stopped = 0


def arrange(in_place):
    folder = tempfile.mkdtemp(prefix="trellan-kills-")
    path = os.path.join(folder, "Set.ini")
    with open(path, "w") as file:
        file.write(OLD)
    os.chmod(path, 0o666)
    os.chmod(folder, 0o555 if in_place else 0o777)
    os.chown(folder, 0, 0)
    if not in_place:
        os.chown(path, 65534, 65534)
    return folder, path


def save(path, strace_args=(), log=None):
    command = NOBODY + (["strace", "-f", "-qq", "-o", log or os.devnull, *strace_args]
                        if strace_args or log else []) + [SAVE_ONCE, path, NEW_COMMISSION]
    return subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                          env=ENVIRONMENT).returncode


def text(path):
    """The file's text; the blank lines that pad a rewrite in place until it is cut are not."""
    with open(path) as file:
        return file.read().rstrip("\n")


def check(name, ok, detail=""):
    if not ok:
        failures.append(f"{name}: {detail}")


for in_place in (False, True):
    way = "in place" if in_place else "replaced"
    folder, path = arrange(in_place)
    log = os.path.join(tempfile.gettempdir(), "trellan-save.strace")
    check(way, save(path, ["-e", "trace=" + ",".join(CALLS)], log) == 0, "the plain save failed")
    with open(log) as file:
        calls = [m.group(1) for m in (re.match(r"\d+\s+(\w+)\(", line) for line in file) if m]
    new = text(path)
    shutil.rmtree(folder)
    old = OLD.rstrip("\n")
    check(way, new != old, "the save changed nothing")
    if not in_place:
        check(way, calls.index("fsync") < calls.index("rename"),
              "the temporary is renamed before it is synced: " + " ".join(calls))
    for call in CALLS:
        for when in range(1, calls.count(call) + 1):
            folder, path = arrange(in_place)
            save(path, ["-e", f"inject={call}:signal=KILL:when={when}"])
            stopped += 1
            found = text(path)
            check(f"{way}, killed at {call} #{when}", found in (old, new), found)
            os.chmod(folder, 0o777)
            check(f"{way}, after a kill at {call} #{when}", save(path) == 0 and
                  sorted(os.listdir(folder)) == ["Set.ini"], str(os.listdir(folder)))
            shutil.rmtree(folder)
    # Every sync failing in turn: the save says so.
    for when in range(1, calls.count("fsync") + 1):
        folder, path = arrange(in_place)
        check(f"{way}, fsync #{when} failing", save(path, ["-e", f"inject=fsync:error=EIO:when={when}"]) == 1,
              "reported as saved")
        shutil.rmtree(folder)

print("\n".join(failures) or f"each of {stopped} stopped saves left the old or the new rates whole")
sys.exit(1 if failures else 0)
