#!/usr/bin/python3
"""What a screen reader finds of a window's own title bar, through AT-SPI.

Usage: accessible_title_bar.py APPLICATION_ID CAPTION
Succeeds when the window named CAPTION of the application holds a title bar that reads as a
panel named after the caption, with the close button "关闭" in it, and nothing in the window is
an unnamed filler. Prints what it found.
"""
import sys
import time

import pyatspi


def tree(node):
    yield node
    for child in node:
        yield from tree(child)


def application(name):
    # The program registers with the accessibility bus once its first window is up.
    for _ in range(50):
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.name == name and app.childCount > 0:
                return app
        time.sleep(0.1)
    sys.exit(f"no application {name} on the accessibility bus")


def main():
    app_id, caption = sys.argv[1], sys.argv[2]
    window = next((w for w in application(app_id) if w.name == caption), None)
    if window is None:
        sys.exit(f"no window named {caption}")
    bars = [(part.getRoleName(), part.name, [(c.getRoleName(), c.name) for c in part])
            for part in window if part.name == caption]
    fillers = [node for node in tree(window) if node.getRoleName() == "filler" and not node.name]
    print(f"title bar: {bars}; unnamed fillers: {len(fillers)}")
    sys.exit(bars != [("panel", caption, [("push button", "关闭")])] or len(fillers) != 0)


if __name__ == "__main__":
    main()
