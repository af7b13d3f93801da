#!/usr/bin/python3
"""Uses the calculator as a screen reader user does: only through AT-SPI.

Every control is found by its role and accessible name, text goes in through the EditableText
interface, buttons are worked by their actions, and what the window says back is read through
the Text interface and the states. scripts/test-a11y.sh gives this a virtual screen, a private
session bus and the accessibility bus; run it through that script.

Usage: calculator_a11y_test.py PROGRAM   (a private copy: its Set.ini is written beside it)
Prints one line per check and closes with "N passed, M failed"; exits 0 only when all passed.
"""

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

# Every wait is bounded: generous for a loaded CI machine, never reached when all is well.
WAIT = 20.0
POLL = 0.05

WINDOW_NAME = re.compile(r"^Trellan \d+(\.\d+)*$")
FEE_RATES_NAME = "参数设置"
NOT_A_NUMBER = "请输入一个数字。"
NOT_AN_INTEGER = "请输入一个介于 -2147483648 和 2147483647 之间的整数。"


class CheckFailed(Exception):
    """Stops the checks in progress; recorded when its failure has been counted already."""

    def __init__(self, what, recorded=False):
        super().__init__(what)
        self.recorded = recorded


class Results:
    def __init__(self):
        self.passed = 0
        self.failed = 0

    def check(self, name, ok, detail=""):
        if ok:
            self.passed += 1
            print(f"PASS {name}", flush=True)
        else:
            self.failed += 1
            print(f"FAIL {name}{': ' + detail if detail else ''}", flush=True)
        return ok

    def require(self, name, ok, detail=""):
        """A check the following ones build on: stop the step when it fails."""
        if not self.check(name, ok, detail):
            raise CheckFailed(name, recorded=True)


def wait_for(condition, timeout=WAIT):
    """The first true value of condition(), or None once the time is up."""
    deadline = time.monotonic() + timeout
    while True:
        try:
            value = condition()
        except GLib.Error:
            value = None  # the object went away or is not there yet: ask again
        if value or time.monotonic() >= deadline:
            return value
        time.sleep(POLL)


# --- What a screen reader sees of one object -------------------------------------------------

def role(node):
    return node.get_role()


def name(node):
    return node.get_name() or ""


def states(node):
    return node.get_state_set()


def has_state(node, state):
    return states(node).contains(state)


def text_of(node):
    return Atspi.Text.get_text(node, 0, Atspi.Text.get_character_count(node))


def action_names(node):
    return [Atspi.Action.get_action_name(node, i) for i in range(Atspi.Action.get_n_actions(node))]


def do_action(node, action):
    names = action_names(node)
    if action not in names:
        raise CheckFailed(f"{role_name(node)} {name(node)!r} has no action {action!r} ({names})")
    Atspi.Action.do_action(node, names.index(action))


def role_name(node):
    return node.get_role_name()


def children(node):
    return [c for c in (node.get_child_at_index(i) for i in range(node.get_child_count())) if c]


def descendants(node):
    for child in children(node):
        yield child
        yield from descendants(child)


def find(node, wanted_role, wanted_name):
    for child in descendants(node):
        if role(child) == wanted_role and name(child) == wanted_name:
            return child
    return None


def focused(node):
    for child in descendants(node):
        if has_state(child, Atspi.StateType.FOCUSED):
            return child
    return None


def describe(node):
    return f"{role_name(node)} {name(node)!r}" if node else "nothing"


# --- The program -----------------------------------------------------------------------------

class Program:
    def __init__(self, path):
        self.path = path
        self.process = subprocess.Popen([path], cwd=os.path.dirname(path))
        self.app = None

    def application(self):
        if self.app is None:
            desktop = Atspi.get_desktop(0)
            for app in children(desktop):
                if app.get_process_id() == self.process.pid:
                    # States change under us; a cached answer could be stale.
                    app.set_cache_mask(Atspi.Cache.NONE)
                    self.app = app
        return self.app

    def top_level(self, wanted_role, matches):
        if self.process.poll() is not None:
            raise CheckFailed(f"the program ended (exit status {self.process.returncode})")
        app = self.application()
        if app is None:
            return None
        for window in children(app):
            if role(window) == wanted_role and matches(name(window)):
                return window
        return None

    def end(self, timeout=WAIT):
        """Waits for the program to end, killing it when it does not; returns its exit status."""
        try:
            return self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
            return None


def press_key_in(window_name, key):
    """Presses a key in the window as the keyboard would (xdotool, through the X server)."""
    subprocess.run(["xdotool", "search", "--sync", "--limit", "1", "--name",
                    f"^{re.escape(window_name)}$", "windowfocus", "--sync", "key", key],
                   check=False, timeout=WAIT, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def focus_window(window_name):
    """Gives the window the keyboard focus, as a window manager does when a dialog on it
    closes. The virtual screen has none."""
    subprocess.run(["xdotool", "search", "--sync", "--limit", "1", "--name",
                    f"^{re.escape(window_name)}$", "windowfocus", "--sync"],
                   check=False, timeout=WAIT, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def close_message(results, program, label, expected_message):
    """Finds the message the window shows, checks it and closes it by its button."""
    alert = wait_for(lambda: program.top_level(Atspi.Role.ALERT, lambda _: True))
    results.require(f"{label}: a message is shown", alert is not None)
    texts = [name(n) for n in descendants(alert) if role(n) == Atspi.Role.LABEL]
    results.check(f"{label}: the message says what is wrong", expected_message in texts,
                  f"labels {texts}")
    ok = find(alert, Atspi.Role.PUSH_BUTTON, "确定")
    results.require(f"{label}: the message has a button named 确定", ok is not None,
                    f"buttons {[name(n) for n in descendants(alert) if role(n) == Atspi.Role.PUSH_BUTTON]}")
    do_action(ok, "Press")
    gone = wait_for(lambda: program.top_level(Atspi.Role.ALERT, lambda _: True) is None)
    results.require(f"{label}: the message closes by its button", gone)


def set_text(node, text):
    Atspi.EditableText.set_text_contents(node, text)


# --- The checks ------------------------------------------------------------------------------

CALCULATOR_FIELDS = ["尺料价格", "数量", "用材码", "成本"]
FEE_RATE_FIELDS = ["佣金", "增值税", "材料费"]


def check_every_control_named(results, window, label):
    unnamed = [role_name(n) for n in descendants(window)
               if role(n) in (Atspi.Role.TEXT, Atspi.Role.PUSH_BUTTON, Atspi.Role.RADIO_BUTTON,
                              Atspi.Role.CHECK_BOX)
               and not name(n).strip()]
    results.check(f"{label}: every field and button has a name", not unnamed,
                  f"unnamed: {unnamed}")


def check_calculator(results, program):
    window = wait_for(lambda: program.top_level(Atspi.Role.DIALOG, WINDOW_NAME.match))
    results.require("the calculator window is found by its name", window is not None)
    window_name = name(window)

    check_every_control_named(results, window, "calculator")
    fields = {}
    for field_name in CALCULATOR_FIELDS:
        fields[field_name] = find(window, Atspi.Role.TEXT, field_name)
        results.check(f"a text field is named {field_name}", fields[field_name] is not None,
                      f"text fields {[name(n) for n in descendants(window) if role(n) == Atspi.Role.TEXT]}")
    if None in fields.values():
        raise CheckFailed("calculator fields", recorded=True)
    buy, quantity, sell, result = (fields[n] for n in CALCULATOR_FIELDS)

    first = find(window, Atspi.Role.RADIO_BUTTON, "平面")
    second = find(window, Atspi.Role.RADIO_BUTTON, "立体")
    results.check("the exchanges are radio buttons named 平面 and 立体",
                  first is not None and second is not None,
                  f"found {[describe(n) for n in descendants(window) if 'button' in role_name(n) or 'box' in role_name(n)]}")
    calculate = find(window, Atspi.Role.PUSH_BUTTON, "计算")
    results.check("a push button is named 计算", calculate is not None)
    results.check("a push button is named 关于..",
                  find(window, Atspi.Role.PUSH_BUTTON, "关于..") is not None)
    settings = find(window, Atspi.Role.PUSH_BUTTON, "*")
    results.check("the * button says what it does", settings is not None
                  and settings.get_description() == FEE_RATES_NAME,
                  f"description {settings.get_description()!r}" if settings else "no * button")
    if None in (first, second, calculate, settings):
        raise CheckFailed("calculator buttons", recorded=True)

    at_start = wait_for(lambda: has_state(buy, Atspi.StateType.FOCUSED))
    results.check("the buy price field has the focus at start", at_start,
                  f"focus on {describe(focused(window))}")

    results.check("the result field is read-only",
                  has_state(result, Atspi.StateType.READ_ONLY))
    results.check("the result field is shown disabled",
                  not has_state(result, Atspi.StateType.SENSITIVE)
                  and not has_state(result, Atspi.StateType.ENABLED))
    results.check("the result field reads its value", text_of(result) == "0",
                  f"reads {text_of(result)!r}")
    results.check("the first exchange is checked at start",
                  has_state(first, Atspi.StateType.CHECKED)
                  and not has_state(second, Atspi.StateType.CHECKED))

    # A trade on the second exchange, typed and worked through the accessibility layer only.
    for field, value in ((buy, "10"), (quantity, "1000"), (sell, "11")):
        set_text(field, value)
        typed = wait_for(lambda f=field, v=value: text_of(f) == v)
        results.check(f"{name(field)} takes the text {value}", typed, f"reads {text_of(field)!r}")
    do_action(second, "Toggle")
    switched = wait_for(lambda: has_state(second, Atspi.StateType.CHECKED)
                        and not has_state(first, Atspi.StateType.CHECKED))
    results.check("Toggle on 立体 checks it and unchecks 平面", switched)
    do_action(calculate, "Press")
    shown = wait_for(lambda: text_of(result) == "947.5")
    results.check("Calculate shows 947.5 in the result field", shown,
                  f"reads {text_of(result)!r}")

    # A quantity that cannot be read: the message names the problem, and once it is closed the
    # user is back in that field.
    set_text(quantity, "1000x")
    wait_for(lambda: text_of(quantity) == "1000x")
    do_action(calculate, "Press")
    close_message(results, program, "an unreadable quantity", NOT_AN_INTEGER)
    focus_window(window_name)
    back = wait_for(lambda: has_state(quantity, Atspi.StateType.FOCUSED))
    results.check("after the message the quantity field has the focus", back,
                  f"focus on {describe(focused(window))}")
    # The calculation went on with the quantity it had, and the fields show what was used.
    results.check("the unreadable quantity is replaced by the one used",
                  text_of(quantity) == "1000", f"reads {text_of(quantity)!r}")
    results.check("the result is the one for the quantity used", text_of(result) == "947.5",
                  f"reads {text_of(result)!r}")
    return window, settings


def check_fee_rates(results, program, calculator_window, settings_button):
    summary_before = [name(n) for n in descendants(calculator_window)
                      if role(n) == Atspi.Role.LABEL]
    do_action(settings_button, "Press")
    dialog = wait_for(lambda: program.top_level(Atspi.Role.DIALOG,
                                                lambda n: n == FEE_RATES_NAME))
    results.require("the * button opens the fee rate dialog by its action", dialog is not None)
    check_every_control_named(results, dialog, "fee rates")
    fields = {}
    for field_name in FEE_RATE_FIELDS:
        fields[field_name] = find(dialog, Atspi.Role.TEXT, field_name)
        results.check(f"a fee rate field is named {field_name}", fields[field_name] is not None,
                      f"text fields {[name(n) for n in descendants(dialog) if role(n) == Atspi.Role.TEXT]}")
    if None in fields.values():
        raise CheckFailed("fee rate fields", recorded=True)
    commission, stamp_duty, transfer = (fields[n] for n in FEE_RATE_FIELDS)
    values = [text_of(f) for f in (commission, stamp_duty, transfer)]
    results.check("the fee rate fields read the current rates", values == ["1.5", "1", "1"],
                  f"read {values}")
    ok = find(dialog, Atspi.Role.PUSH_BUTTON, "确定")
    cancel = find(dialog, Atspi.Role.PUSH_BUTTON, "取消")
    results.require("the fee rate dialog has buttons named 确定 and 取消",
                    ok is not None and cancel is not None)

    # The dialog comes up above a window that had the focus; the window manager would hand the
    # focus to the new dialog.
    focus_window(FEE_RATES_NAME)
    at_start = wait_for(lambda: has_state(commission, Atspi.StateType.FOCUSED))
    results.check("the commission field has the focus when the dialog opens", at_start,
                  f"focus on {describe(focused(dialog))}")

    set_text(stamp_duty, "one")
    wait_for(lambda: text_of(stamp_duty) == "one")
    do_action(ok, "Press")
    close_message(results, program, "an unreadable stamp duty", NOT_A_NUMBER)
    focus_window(FEE_RATES_NAME)
    back = wait_for(lambda: has_state(stamp_duty, Atspi.StateType.FOCUSED))
    results.check("after the message the stamp duty field has the focus", back,
                  f"focus on {describe(focused(dialog))}")
    results.check("the fee rate dialog stays open after a field could not be read",
                  program.top_level(Atspi.Role.DIALOG, lambda n: n == FEE_RATES_NAME) is not None)

    do_action(cancel, "Press")
    closed = wait_for(lambda: program.top_level(Atspi.Role.DIALOG,
                                                lambda n: n == FEE_RATES_NAME) is None)
    results.require("取消 closes the fee rate dialog", closed)
    summary_after = [name(n) for n in descendants(calculator_window)
                     if role(n) == Atspi.Role.LABEL]
    results.check("取消 leaves the rate summary as it was", summary_after == summary_before,
                  f"{summary_before} became {summary_after}")
    settings_file = os.path.join(os.path.dirname(program.path), "Set.ini")
    results.check("取消 writes no settings file", not os.path.exists(settings_file))


def main():
    if len(sys.argv) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    results = Results()
    program = Program(os.path.abspath(sys.argv[1]))
    window_name = None
    try:
        window, settings = check_calculator(results, program)
        window_name = name(window)
        check_fee_rates(results, program, window, settings)
    except CheckFailed as failed:
        if not failed.recorded:
            results.check(str(failed), False)
        print(f"stopped after: {failed}", flush=True)
    except Exception as error:  # anything unforeseen is a failure, never a hang or a pass
        results.check("no unexpected error", False, repr(error))
    finally:
        # Escape ends the calculator, and with it the program, as a user would end it.
        if window_name and program.process.poll() is None:
            press_key_in(window_name, "Escape")
        status = program.end()
        results.check("Escape ends the program cleanly", status == 0,
                      "it had to be killed" if status is None else f"exit status {status}")
    print(f"{results.passed} passed, {results.failed} failed", flush=True)
    return 0 if results.failed == 0 and results.passed > 0 else 1


if __name__ == "__main__":
    sys.exit(main())
