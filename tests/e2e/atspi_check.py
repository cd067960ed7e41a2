#!/usr/bin/python3
"""Reads the running Hourlark through AT-SPI as a screen reader does: the timer panel's countdown
by its accessible name, spoken as a time, and the Start button by name; presses Start through the
action interface and, with the panel opened again, hears the countdown move.
    atspi_check.py HOURLARK_BINARY HOURLARK_PID
Run by atspi_e2e.sh inside its desktop session."""
import re
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

# Generous: a loaded machine may take several seconds to register the program on the bus.
TIMEOUT = 90


class Failure(Exception):
    pass


def poll(what, probe, timeout=TIMEOUT):
    """Calls probe every 0.2 s until it returns something true; objects that vanish while the
    tree is walked raise, which counts as not yet."""
    deadline = time.monotonic() + timeout
    last = None
    while True:
        try:
            found = probe()
            if found:
                return found
        except GLib.Error as error:
            last = error
        if time.monotonic() > deadline:
            raise Failure(f"{what} (waited {timeout} s{'; last error: ' + str(last) if last else ''})")
        time.sleep(0.2)


def application(pid):
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.get_process_id() == pid:
            return app
    return None


def showing(accessible):
    return accessible.getState().contains(pyatspi.STATE_SHOWING)


def find(app, role, name_pattern):
    """The first showing object of `role` whose accessible name matches `name_pattern`, read from
    the program rather than from what the client cached of an earlier reading."""
    pattern = re.compile(name_pattern)
    app.clear_cache()
    return pyatspi.findDescendant(
        app, lambda o: o is not None and o.getRole() == role and pattern.fullmatch(o.name or "")
        and showing(o))


def describe(app):
    """The showing part of the tree, for a failure report."""
    lines = []

    def walk(node, depth):
        if node is None or depth > 12:
            return
        try:
            if depth == 0 or showing(node):
                lines.append(f"{'  ' * depth}{node.getRoleName()} {node.name!r}")
                for child in node:
                    walk(child, depth + 1)
        except GLib.Error:
            pass

    walk(app, 0)
    return "\n".join(lines)


def main(binary, pid):
    app = poll("Hourlark on the accessibility bus", lambda: application(pid))
    print(f"found the application {app.name!r} on the accessibility bus")

    subprocess.run([binary, "show"], check=True, timeout=60)
    try:
        countdown = poll("a label read as the time left",
                         lambda: find(app, pyatspi.ROLE_LABEL, r"\d+ minutes? remaining"))
        start = poll("a Start button", lambda: find(app, pyatspi.ROLE_PUSH_BUTTON, "Start"))
    except Failure:
        print(describe(app))
        raise
    # Read as words: "30 minutes remaining", never the "30:00" drawn on screen.
    if countdown.name != "30 minutes remaining":
        raise Failure(f"the countdown reads {countdown.name!r}, not '30 minutes remaining'")
    print(f"countdown: {countdown.name!r}; button: {start.name!r}")

    action = start.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    if "Press" not in names:
        raise Failure(f"Start offers the actions {names}, not Press")
    action.doAction(names.index("Press"))
    poll("the countdown runs after Press", lambda: '"running":true' in subprocess.run(
        [binary, "status", "--json"], capture_output=True, text=True, timeout=60).stdout)

    # Start closes the panel; opened again, it reads the time that is left now.
    subprocess.run([binary, "show"], check=True, timeout=60)
    moved = poll("the countdown read after Start",
                 lambda: find(app, pyatspi.ROLE_LABEL, r"29 minutes \d+ seconds? remaining"))
    print(f"after Press: {moved.name!r}")


if __name__ == "__main__":
    try:
        main(sys.argv[1], int(sys.argv[2]))
    except (Failure, GLib.Error, subprocess.SubprocessError) as error:
        print(f"FAIL: {error}")
        sys.exit(1)
