#!/usr/bin/python3
"""Uses the calculator as a screen reader user does, through AT-SPI alone. Run by
scripts/test-a11y.sh as calculator_a11y_test.py PROGRAM; prints a line per check and
"N passed, M failed", and exits 0 only when all passed."""

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
# Every wait is bounded: generous for a loaded CI machine, never reached when all is well.
WAIT = 20.0
WINDOW_NAME = re.compile(r"^Trellan \d+(\.\d+)*$")
FEE_RATES_NAME = "参数设置"
# What each window must show a screen reader: fields by the label on their row, buttons by text.
CALCULATOR = {Role.TEXT: ["尺料价格", "数量", "用材码", "成本"], Role.RADIO_BUTTON: ["平面", "立体"],
              Role.PUSH_BUTTON: ["计算", "关于..", "*", "费用明细"]}
FEE_RATES = {Role.TEXT: ["佣金", "增值税", "材料费", "最低佣金"], Role.PUSH_BUTTON: ["确定", "取消"],
             Role.CHECK_BOX: ["按现行规则（2023年8月28日起）"]}


class CheckFailed(Exception):
    """Stops the checks in progress; its failure has been counted already."""


class Results:
    passed = failed = 0

    def check(self, what, ok, detail=""):
        self.passed, self.failed = self.passed + bool(ok), self.failed + (not ok)
        print(f"PASS {what}" if ok else f"FAIL {what}: {detail}", flush=True)
        return ok

    def require(self, what, ok, detail=""):  # one the following checks build on
        if not self.check(what, ok, detail):
            raise CheckFailed(what)


def wait_for(condition):
    """The first true value of condition(), or the last false one once the time is up."""
    deadline = time.monotonic() + WAIT
    while True:
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


def focus_of(w):
    return [f"{n.get_role_name()} {name(n)!r}" for n in descendants(w) if has(n, State.FOCUSED)]


def act(node, action):
    names = [Atspi.Action.get_action_name(node, i) for i in range(Atspi.Action.get_n_actions(node))]
    if action not in names:
        raise RuntimeError(f"{name(node)!r} has no action {action!r}, only {names}")
    Atspi.Action.do_action(node, names.index(action))


def type_into(field, text):
    Atspi.EditableText.set_text_contents(field, text)
    return wait_for(lambda: text_of(field) == text)


def xdotool(window_name, *keys):
    """Focuses the window as a window manager would (Xvfb has none), then presses the keys."""
    command = ["xdotool", "search", "--sync", "--limit", "1", "--name",
               f"^{re.escape(window_name)}$", "windowfocus", "--sync"]
    subprocess.run(command + (["key", *keys] if keys else []), check=False, timeout=WAIT,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


class Program:
    def __init__(self, path):
        self.process, self.app = subprocess.Popen([path], cwd=os.path.dirname(path)), None

    def top_level(self, role, matches=lambda _: True):
        if self.process.poll() is not None:
            raise RuntimeError(f"the program ended (exit status {self.process.returncode})")
        for app in [self.app] if self.app else children(Atspi.get_desktop(0)):
            if app.get_process_id() == self.process.pid:
                app.set_cache_mask(Atspi.Cache.NONE)  # states change under us: never stale
                self.app = app
                return next((w for w in children(app)
                             if w.get_role() == role and matches(name(w))), None)
        return None


def controls(results, window, label, table):
    """Checks that every control has a name and the ones in the table are there by theirs."""
    unnamed = [n.get_role_name() for n in descendants(window) if not name(n).strip()
               and n.get_role() in (Role.TEXT, Role.PUSH_BUTTON, Role.RADIO_BUTTON, Role.CHECK_BOX)]
    results.check(f"{label}: every field and button has a name", not unnamed, f"unnamed: {unnamed}")
    found = {}
    for role, names in table.items():
        present = named(window, role)
        results.require(f"{label}: {Atspi.role_get_name(role)}s named {names}",
                        set(names) <= set(present), f"found {list(present)}")
        found.update((n, present[n]) for n in names)
    return found


def unreadable(results, program, window, field, text, button, message):
    """A field that cannot be read: the message says why, and once it closes by its button the
    user is back in that field."""
    label = f"{name(field)} {text!r}"
    type_into(field, text)
    act(button, "Press")
    alert = wait_for(lambda: program.top_level(Role.ALERT))
    results.require(f"{label}: a message is shown", alert is not None)
    texts, buttons = named(alert, Role.LABEL), named(alert, Role.PUSH_BUTTON)
    results.require(f"{label}: the message says {message} and has a button 确定",
                    message in texts and "确定" in buttons, f"{list(texts)}, {list(buttons)}")
    act(buttons["确定"], "Press")
    closed = wait_for(lambda: program.top_level(Role.ALERT) is None)
    results.require(f"{label}: the message closes by its button", closed)
    xdotool(name(window))
    results.check(f"{label}: after the message the focus is back in the field",
                  wait_for(lambda: has(field, State.FOCUSED)), f"focus on {focus_of(window)}")


def check_calculator(results, program, window):
    c = controls(results, window, "calculator", CALCULATOR)
    results.check("the * button says what it does", c["*"].get_description() == FEE_RATES_NAME,
                  f"description {c['*'].get_description()!r}")
    results.check("the buy price field has the focus at start",
                  wait_for(lambda: has(c["尺料价格"], State.FOCUSED)), f"on {focus_of(window)}")
    result = c["成本"]
    results.check("the result field reads as read-only text with its value",
                  has(result, State.READ_ONLY) and text_of(result) == "0", text_of(result))

    # The actions a screen reader offers; what the window then computes, its own tests prove.
    act(c["立体"], "Toggle")
    results.check("Toggle on 立体 checks it and unchecks 平面", wait_for(
        lambda: has(c["立体"], State.CHECKED) and not has(c["平面"], State.CHECKED)))
    unreadable(results, program, window, c["数量"], "1000x", c["计算"],
               "请输入一个介于 -2147483648 和 2147483647 之间的整数。")
    return c["*"]


def check_fee_rates(results, program, settings_button):
    act(settings_button, "Press")
    dialog = wait_for(lambda: program.top_level(Role.DIALOG, FEE_RATES_NAME.__eq__))
    results.require("the * button opens the fee rate dialog by its action", dialog is not None)
    f = controls(results, dialog, "fee rates", FEE_RATES)
    values = [text_of(f[n]) for n in FEE_RATES[Role.TEXT]]
    results.check("the fee rate fields read the current rates and today's minimum",
                  values == ["1.5", "1", "1", "5"], values)
    unreadable(results, program, dialog, f["增值税"], "one", f["确定"], "请输入一个数字。")
    act(f["取消"], "Press")
    results.check("取消 closes the fee rate dialog",
                  wait_for(lambda: program.top_level(Role.DIALOG, FEE_RATES_NAME.__eq__) is None))


def main():
    results, program, window = Results(), Program(os.path.abspath(sys.argv[1])), None
    try:
        window = wait_for(lambda: program.top_level(Role.DIALOG, WINDOW_NAME.match))
        results.require("the calculator window is found by its name", window is not None)
        check_fee_rates(results, program, check_calculator(results, program, window))
    except CheckFailed as failed:
        print(f"stopped after: {failed}", flush=True)
    except Exception as error:  # a missing action, the program gone: a failure, never a pass
        results.check("the checks run to the end", False, repr(error))
    finally:
        # Escape ends the calculator, and with it the program, as a user would end it.
        if window and program.process.poll() is None:
            xdotool(name(window), "Escape")
        try:
            status = program.process.wait(WAIT)
        except subprocess.TimeoutExpired:
            program.process.kill()
            status = f"none, it had to be killed ({program.process.wait()})"
        results.check("Escape ends the program cleanly", status == 0, f"exit status {status}")
    print(f"{results.passed} passed, {results.failed} failed", flush=True)
    return 0 if results.failed == 0 and results.passed > 0 else 1


if __name__ == "__main__":
    sys.exit(main())
