#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 The Sorawata developers
# SPDX-License-Identifier: MIT
"""The game's accessibility tree as a screen reader reads it over AT-SPI.

Usage: atspi.py COMMAND [ARGUMENT]
  tree          prints the game's tree, one object a line: role, name, value, states
  say           prints the text of the notification (the murmur label), line feeds as \\n
  value NAME    prints the current value of the bar named NAME: "謝りたい 80 / 80" gives 80
  press NAME    does the press action of the button named NAME
  listen SECS   prints the announcements and name changes of SECS seconds, one a line
Fails (exit status 1) when the game is not on the AT-SPI bus.
"""

import sys

import pyatspi
from gi.repository import GLib


def game():
    desktop = pyatspi.Registry.getDesktop(0)
    for app in desktop:
        if app is not None and app.name == "sorawata":
            return app
    sys.exit("sorawata is not on the accessibility bus")


def walk(node, depth=0):
    yield node, depth
    for child in node:
        if child is not None:
            yield from walk(child, depth + 1)


def find(role, name=None, prefix=""):
    for node, _ in walk(game()):
        if node.getRoleName() == role and (name is None or node.name == name) \
                and node.name.startswith(prefix):
            return node
    sys.exit(f"no {role} named {name or prefix!r} in the tree")


def value_text(node):
    try:
        value = node.queryValue()
    except NotImplementedError:
        return ""
    return f" value={value.currentValue:g} of {value.minimumValue:g}..{value.maximumValue:g}"


def states_text(node):
    wanted = [pyatspi.STATE_SHOWING, pyatspi.STATE_FOCUSABLE, pyatspi.STATE_FOCUSED,
              pyatspi.STATE_CHECKED]
    states = node.getState()
    names = [pyatspi.stateToString(state) for state in wanted if states.contains(state)]
    return f" [{' '.join(names)}]" if names else ""


def actions_text(node):
    try:
        action = node.queryAction()
    except NotImplementedError:
        return ""
    names = [action.getName(i) for i in range(action.nActions)]
    return f" actions={','.join(names)}" if names else ""


def escaped(text):
    return text.replace("\n", "\\n")


def tree():
    for node, depth in walk(game()):
        print(f"{'  ' * depth}{node.getRoleName()} '{escaped(node.name)}'"
              f"{value_text(node)}{actions_text(node)}{states_text(node)}")


def listen(seconds):
    app = game()

    def report(event):
        source = event.source
        if source is None or source.getApplication() != app:
            return
        if event.type == "object:state-changed:showing" and event.detail1:
            print(f"announce {source.getRoleName()} '{escaped(source.name)}'", flush=True)
        elif event.type == "object:property-change:accessible-name":
            print(f"name {source.getRoleName()} '{escaped(source.name)}'", flush=True)

    pyatspi.Registry.registerEventListener(
        report, "object:state-changed:showing", "object:property-change:accessible-name")
    GLib.timeout_add(int(seconds * 1000), pyatspi.Registry.stop)
    pyatspi.Registry.start()


def main():
    # AT-SPI gives up on a call after 0.8 s by default, which a busy machine can take.
    pyatspi.setTimeout(30000, 30000)
    command = sys.argv[1] if len(sys.argv) > 1 else "tree"
    argument = sys.argv[2] if len(sys.argv) > 2 else None
    if command == "tree":
        tree()
    elif command == "say":
        print(escaped(find("notification")[0].name))
    elif command == "value":
        print(find("label", prefix=argument + " ").name.split()[1])
    elif command == "press":
        button = find("push button", argument)
        action = button.queryAction()
        names = [action.getName(i) for i in range(action.nActions)]
        if "Press" not in names:
            sys.exit(f"{argument!r} has no press action, only {names}")
        action.doAction(names.index("Press"))
    elif command == "listen":
        listen(float(argument))
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main()
