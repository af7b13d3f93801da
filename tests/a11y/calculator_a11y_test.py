#!/usr/bin/python3
"""The calculator as a screen reader user meets it, through AT-SPI alone: every control named and
in its role, the actions offered, the focus where the user needs it, the result readable. What the
windows compute, their own tests prove. Run by scripts/test-a11y.sh as calculator_a11y_test.py
PROGRAM; prints a line per check and exits 0 only when all passed."""

import os
import re
import subprocess
import sys
import time
import warnings

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

# The only way this version offers to read an action's name (its successor is not exported).
warnings.filterwarnings("ignore", "Atspi.Action.get_action_name is deprecated")

Role, State = Atspi.Role, Atspi.StateType
WAIT = 20.0  # every wait is bounded: generous for a loaded machine, never reached when all is well
FEE_RATES_NAME = "参数设置"
# What each window must show a screen reader: fields by the label on their row, buttons by text.
CALCULATOR = {Role.TEXT: ["尺料价格", "数量", "用材码", "成本"], Role.RADIO_BUTTON: ["平面", "立体"],
              Role.PUSH_BUTTON: ["计算", "关于..", "费率设置", "费用明细"]}
# A figure of the details is named by its row and its column, then its value.
FIGURE = "佣金 买入 5.00"
FEE_RATES = {Role.TEXT: ["佣金", "增值税", "材料费", "最低佣金"], Role.PUSH_BUTTON: ["确定", "取消"],
             Role.CHECK_BOX: ["按现行规则（2023年8月28日起）"]}
failures = []


class Stop(Exception):
    """A check that the following ones build on failed."""


def check(what, ok, detail="", stop=False):
    print(f"PASS {what}" if ok else f"FAIL {what}: {detail}", flush=True)
    if not ok:
        failures.append(what)
        if stop:
            raise Stop(what)


def wait_for(condition):
    """The first true value of condition(), or the last false one once the time is up. Events
    that arrive meanwhile are handed to their listeners."""
    deadline = time.monotonic() + WAIT
    while True:
        while GLib.MainContext.default().iteration(False):
            pass
        try:
            value = condition()
        except GLib.Error:
            value = None  # the object went away or is not there yet: ask again
        if value or time.monotonic() >= deadline:
            return value
        time.sleep(0.05)


def name(node):
    return node.get_name() or ""


def has(node, state):
    return node.get_state_set().contains(state)


def text_of(node):
    return Atspi.Text.get_text(node, 0, Atspi.Text.get_character_count(node))


def children(node):
    return [c for c in map(node.get_child_at_index, range(node.get_child_count())) if c]


def descendants(node):
    for child in children(node):
        yield child
        yield from descendants(child)


def named(node, role):
    return {name(n): n for n in descendants(node) if n.get_role() == role}


def act(node, action):  # by the action's name, as a screen reader offers it
    names = [Atspi.Action.get_action_name(node, i) for i in range(Atspi.Action.get_n_actions(node))]
    Atspi.Action.do_action(node, names.index(action))


def xdotool(window, *keys):
    """Focuses the window as a window manager would (Xvfb has none), then presses the keys."""
    subprocess.run(["xdotool", "search", "--sync", "--limit", "1", "--name",
                    f"^{re.escape(name(window))}$", "windowfocus", "--sync"]
                   + (["key", *keys] if keys else []), check=False, timeout=WAIT,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


class Program:
    def __init__(self, path):
        self.process = subprocess.Popen([path], cwd=os.path.dirname(path))

    def top_level(self, role, matches=lambda _: True):
        if self.process.poll() is not None:
            raise RuntimeError(f"the program ended (exit status {self.process.returncode})")
        for app in children(Atspi.get_desktop(0)):
            if app.get_process_id() == self.process.pid:
                app.set_cache_mask(Atspi.Cache.NONE)  # states change under us: never stale
                return next((w for w in children(app)
                             if w.get_role() == role and matches(name(w))), None)
        return None


def controls(window, label, table):
    """Every field and button has a name, and the ones in the table are there by theirs."""
    unnamed = [n.get_role_name() for n in descendants(window) if not name(n).strip()
               and n.get_role() in (Role.TEXT, Role.PUSH_BUTTON, Role.RADIO_BUTTON, Role.CHECK_BOX)]
    check(f"{label}: every field and button has a name", not unnamed, f"unnamed: {unnamed}")
    found = {}
    for role, names in table.items():
        present = named(window, role)
        check(f"{label}: {Atspi.role_get_name(role)}s named {names}", set(names) <= set(present),
              f"found {list(present)}", stop=True)
        found.update((n, present[n]) for n in names)
    return found


def check_calculator(window):
    c = controls(window, "calculator", CALCULATOR)
    check("the * button says what it does", c["费率设置"].get_description() == FEE_RATES_NAME,
          c["费率设置"].get_description())
    groups = {name(c[n].get_parent()) for n in ("平面", "立体")}
    check("the exchange buttons are the group 证交所", groups == {"证交所"}, groups)
    check("the buy price field has the focus at start",
          wait_for(lambda: has(c["尺料价格"], State.FOCUSED)))
    act(c["立体"], "Toggle")
    check("Toggle on 立体 checks it and unchecks 平面", wait_for(
        lambda: has(c["立体"], State.CHECKED) and not has(c["平面"], State.CHECKED)))

    # The result changes while the focus stays on 计算: the change is sent as the field's value.
    result, changes = c["成本"], []
    listener = Atspi.EventListener.new(
        lambda event: changes.append(event) if name(event.source) == "成本" else None)
    listener.register("object:property-change:accessible-value")
    act(c["计算"], "Press")
    check("after 计算 the result field's value change is sent", wait_for(lambda: changes))
    listener.deregister("object:property-change:accessible-value")
    check("the result field reads the new result as read-only text", has(result, State.READ_ONLY)
          and wait_for(lambda: text_of(result) not in ("", "0")), text_of(result))
    # The focus is on 立体, which Toggle checked; the tab stop before the exchange is the result.
    xdotool(window, "shift+Tab")
    check("Tab reaches the result field", wait_for(lambda: has(result, State.FOCUSED)))
    check_details(program_of(window), c["费用明细"])
    return c["费率设置"]


def program_of(window):
    return window.get_application()


def check_details(app, details_button):
    """The details of the last calculation: each figure named by its row and column."""
    act(details_button, "Press")
    dialog = wait_for(lambda: next((w for w in children(app) if name(w) == "费用明细"), None))
    check("费用明细 opens the details by its action", dialog, stop=True)
    check(f"a figure is named \"{FIGURE}\"", wait_for(lambda: FIGURE in named(dialog, Role.LABEL)),
          list(named(dialog, Role.LABEL))[:8])
    act(named(dialog, Role.PUSH_BUTTON)["确定"], "Press")
    check("确定 closes the details",
          wait_for(lambda: not any(name(w) == "费用明细" for w in children(app))))


def check_fee_rates(program, settings_button):
    is_fee_rates = FEE_RATES_NAME.__eq__
    act(settings_button, "Press")
    dialog = wait_for(lambda: program.top_level(Role.DIALOG, is_fee_rates))
    check("the * button opens the fee rate dialog by its action", dialog, stop=True)
    f = controls(dialog, "fee rates", FEE_RATES)

    # A field that cannot be read: the message names it and says what it takes, and once it
    # closes by its button the user is back in that field.
    Atspi.EditableText.set_text_contents(f["增值税"], "one")
    act(f["确定"], "Press")
    alert = wait_for(lambda: program.top_level(Role.ALERT))
    texts, buttons = (named(alert, Role.LABEL), named(alert, Role.PUSH_BUTTON)) if alert else ({}, {})
    check("an unreadable rate is told by name, with a button 确定",
          "增值税：请输入一个不小于 0 的数字。" in texts and "确定" in buttons, list(texts), stop=True)
    act(buttons["确定"], "Press")
    check("the message closes by its button",
          wait_for(lambda: program.top_level(Role.ALERT) is None), stop=True)
    xdotool(dialog)
    check("after the message the focus is back in the rate's field",
          wait_for(lambda: has(f["增值税"], State.FOCUSED)))
    act(f["取消"], "Press")
    check("取消 closes the fee rate dialog",
          wait_for(lambda: program.top_level(Role.DIALOG, is_fee_rates) is None))


def main():
    program, window = Program(os.path.abspath(sys.argv[1])), None
    try:
        window = wait_for(lambda: program.top_level(
            Role.DIALOG, re.compile(r"^Trellan \d+(\.\d+)*$").match))
        check("the calculator window is found by its name", window, stop=True)
        check_fee_rates(program, check_calculator(window))
    except Stop as stopped:
        print(f"stopped after: {stopped}", flush=True)
    except Exception as error:  # a missing action, the program gone: a failure, never a pass
        check("the checks run to the end", False, repr(error))
    finally:
        # Escape ends the calculator, and with it the program, as a user would end it.
        if window and program.process.poll() is None:
            xdotool(window, "Escape")
        try:
            status = program.process.wait(WAIT)
        except subprocess.TimeoutExpired:
            program.process.kill()
            status = f"none, it had to be killed ({program.process.wait()})"
        check("Escape ends the program cleanly", status == 0, f"exit status {status}")
    print(f"{len(failures)} failed", flush=True)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
