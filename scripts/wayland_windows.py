#!/usr/bin/env python3
"""The windows a Wayland client made, read from its protocol log (WAYLAND_DEBUG=1).

Usage: wayland_windows.py LOG
Prints one line a toplevel, in the order they were made, with tab-separated fields:
    title, application id, the parent's title ("-" for none), minimum size, maximum size,
    window geometry (the last of each), the size of the first picture it showed, who draws its
    title bar as the compositor told ("server", "client" or "-" when not told) and how many
    times it asked to be maximised or minimised.
Sizes read "WIDTH HEIGHT". Wayland reuses an object's number once it is destroyed, so each
window is followed from its creation to its destruction.
"""
import re
import sys

REQUEST = re.compile(r"-> (\w+)@(\d+)\.(\w+)\((.*)\)$")
EVENT = re.compile(r"\] (\w+)@(\d+)\.(\w+)\((.*)\)$")
DECORATION_MODES = {"1": "client", "2": "server"}


def arguments(text):
    return [part.strip() for part in text.split(",")] if text else []


def new_id(text, interface):
    found = re.search(r"new id " + interface + r"@(\d+)", text)
    return found.group(1) if found else None


def size(values):
    return " ".join(values)


def main():
    windows = []
    live = {}  # "interface@number" -> the window it belongs to, while it exists
    surface_of = {}  # xdg_surface number -> wl_surface number
    buffers = {}  # wl_buffer number -> its size
    for line in open(sys.argv[1], encoding="utf-8", errors="replace"):
        line = line.rstrip("\n")
        request = REQUEST.search(line)
        if request is None:
            event = EVENT.search(line)
            if event and event.group(1) == "zxdg_toplevel_decoration_v1" and event.group(3) == "configure":
                window = live.get("decoration@" + event.group(2))
                if window is not None:
                    window["decoration"] = DECORATION_MODES.get(event.group(4), event.group(4))
            continue
        interface, number, name, text = request.groups()
        window = live.get(interface + "@" + number)
        if interface == "xdg_wm_base" and name == "get_xdg_surface":
            surface_of[new_id(text, "xdg_surface")] = re.search(r"wl_surface@(\d+)", text).group(1)
        elif interface == "xdg_surface" and name == "get_toplevel":
            window = {"title": "", "app_id": "", "parent": "-", "min": "", "max": "",
                      "geometry": "", "first": "", "decoration": "-", "state_requests": 0}
            windows.append(window)
            live["xdg_toplevel@" + new_id(text, "xdg_toplevel")] = window
            live["xdg_surface@" + number] = window
            live["wl_surface@" + surface_of.get(number, "")] = window
        elif interface == "zxdg_decoration_manager_v1" and name == "get_toplevel_decoration":
            owner = live.get("xdg_toplevel@" + re.search(r"xdg_toplevel@(\d+)", text).group(1))
            live["decoration@" + new_id(text, "zxdg_toplevel_decoration_v1")] = owner
        elif interface == "wl_shm_pool" and name == "create_buffer":
            buffers[new_id(text, "wl_buffer")] = size(arguments(text)[2:4])
        elif window is None:
            continue
        elif name == "set_title":
            window["title"] = text[1:-1]
        elif name == "set_app_id":
            window["app_id"] = text[1:-1]
        elif name == "set_parent":
            parent = live.get(text)
            window["parent"] = parent["title"] if parent else "-"
        elif name in ("set_min_size", "set_max_size"):
            window[name[4:7]] = size(arguments(text))
        elif name == "set_window_geometry":
            window["geometry"] = size(arguments(text)[2:4])
        elif name in ("set_maximized", "set_minimized"):
            window["state_requests"] += 1
        elif interface == "wl_surface" and name == "attach" and not window["first"]:
            buffer = re.search(r"wl_buffer@(\d+)", text)
            window["first"] = buffers.get(buffer.group(1), "") if buffer else ""
        elif name == "destroy":
            del live[interface + "@" + number]
    for window in windows:
        print("\t".join(str(window[key]) for key in
                        ("title", "app_id", "parent", "min", "max", "geometry", "first",
                         "decoration", "state_requests")))


if __name__ == "__main__":
    main()
