#!/usr/bin/python3
"""What a screen reader finds in the running Wordpour, through AT-SPI.
  atspi_check.py window TITLE [ROLE=NAME ...]
      the window titled TITLE: every control in it that can take the focus,
      and every button, box, list and menu, has a name; each ROLE=NAME is there
      and the window itself is a frame or a dialog (never a "filler")
  atspi_check.py highlighted ENTRY
      the type-to-find list is shown and named, its highlighted entry is
      ENTRY, and the word box, which keeps the focus, says ENTRY too
  atspi_check.py checked NAME on|off
      the menu item NAME of the main window is checkable, and checked or not
  atspi_check.py fill TITLE NAME TEXT
      puts TEXT into the editable text named NAME (or, NAME empty, the first
      one) of the window TITLE, as a screen reader's user would
  atspi_check.py press TITLE NAME
      presses the button or menu item NAME of the window TITLE
The last two drive the program where no keyboard can reach it (a Wayland
compositor without a seat).
Prints what it found; exits 1, saying what is wrong, when a check fails."""
import sys
import time

import pyatspi

# Roles whose objects a person reaches and must hear named.
NAMED = {"push button", "combo box", "text", "entry", "menu", "popup menu", "menu item",
         "check menu item", "list", "list item", "menu bar", "dialog", "alert", "frame",
         "check box", "radio button", "page tab", "spin button", "table cell"}


def application():
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == "wordpour":
            return app
    return None


def descendants(node):
    yield node
    for child in node:
        if child is not None:
            yield from descendants(child)


def shown(node):
    return node.getState().contains(pyatspi.STATE_SHOWING)


def find_window(title):
    """The shown top-level window of that title, waiting up to 10 s for it."""
    for _ in range(50):
        app = application()
        if app is not None:
            for window in app:
                if window is not None and window.name == title and shown(window):
                    return window
        time.sleep(0.2)
    return None


def check_window(title, expected):
    window = find_window(title)
    if window is None:
        sys.exit(f"no window named {title!r} in Wordpour's accessible tree")
    problems, seen = [], set()
    if window.getRoleName() not in ("frame", "dialog", "alert", "window"):
        problems.append(f"the window is a {window.getRoleName()!r}")
    for node in descendants(window):
        role, name = node.getRoleName(), node.name
        if role in ("unknown", "invalid"):
            problems.append(f"a control with no role: {name!r}")
        focusable = node.getState().contains(pyatspi.STATE_FOCUSABLE)
        # An entry of a named list or table is data: an empty one (a
        # folder's size) is said as empty.
        data = role in ("list item", "table cell") and node.parent is not None and node.parent.name
        if (focusable or role in NAMED) and not name and not data:
            problems.append(f"a {role} without a name")
        seen.add(f"{role}={name}")
        print(f"{role}={name}")
    problems += [f"no {want}" for want in expected if want not in seen]
    if problems:
        sys.exit(f"{title}: " + "; ".join(problems))


def check_highlighted(entry):
    for _ in range(50):
        app = application()
        lists = [w for w in app if w is not None and w.getRoleName() == "list" and shown(w)] if app else []
        if lists:
            break
        time.sleep(0.2)
    else:
        sys.exit("no type-to-find list is shown")
    found = lists[0]
    if found.name != "一致する単語":
        sys.exit(f"the type-to-find list is named {found.name!r}")
    # The entries marked selected (this Qt has no Selection interface for lists).
    marked = [n.name for n in descendants(found)
              if n is not found and n.getState().contains(pyatspi.STATE_SELECTED)]
    if len(marked) != 1:
        sys.exit(f"{marked} are highlighted, not one entry")
    highlighted = marked[0]
    print(f"highlighted={highlighted}")
    if highlighted != entry:
        sys.exit(f"the highlighted entry reads {highlighted!r}, not {entry!r}")
    focused = [n for n in descendants(find_window("ワードポア！"))
               if n.getState().contains(pyatspi.STATE_FOCUSED)]
    said = [(n.getRoleName(), n.name, n.description) for n in focused]
    print(f"focused={said}")
    if not any(role == "text" and name == "単語" and description == entry
               for role, name, description in said):
        sys.exit(f"the focused word box does not say {entry!r}: {said}")


def check_checked(name, expected):
    window = find_window("ワードポア！")
    if window is None:
        sys.exit("no main window")
    items = [n for n in descendants(window) if n.name == name]
    if not items:
        sys.exit(f"no menu item {name!r}")
    states = items[0].getState()
    # Qt 6.4's bridge never sends the checkable state: a check box's role
    # (or a check menu item's) is what says the item can be checked.
    role = items[0].getRoleName()
    checkable = states.contains(pyatspi.STATE_CHECKABLE) or role in ("check box", "check menu item")
    checked = states.contains(pyatspi.STATE_CHECKED)
    print(f"{role}={name} checkable={checkable} checked={checked}")
    if not checkable:
        sys.exit(f"{name!r} is a {role}, not checkable")
    if checked != (expected == "on"):
        sys.exit(f"{name!r} is {'checked' if checked else 'not checked'}, not {expected}")


def control(title, name, test):
    window = find_window(title)
    if window is None:
        sys.exit(f"no window named {title!r} in Wordpour's accessible tree")
    for node in descendants(window):
        if test(node) and (not name or node.name == name):
            return node
    sys.exit(f"no {name!r} in the window {title!r}")


def fill(title, name, text):
    def editable(node):
        return node.getState().contains(pyatspi.STATE_EDITABLE) and shown(node)
    node = control(title, name, editable)
    node.queryEditableText().setTextContents(text)
    print(f"{node.getRoleName()}={node.name} holds {text!r}")


def press(title, name):
    def pressable(node):
        # A menu's items are pressed without the menu open, as a reader can.
        role = node.getRoleName()
        return role == "menu item" or (role in ("push button", "check box") and shown(node))
    node = control(title, name, pressable)
    said = f"{node.getRoleName()}={node.name}"
    # Asked before: an item that ends the program is gone once pressed.
    node.queryAction().doAction(0)
    print(f"pressed {said}")


verb, args = sys.argv[1], sys.argv[2:]
if verb == "window":
    check_window(args[0], args[1:])
elif verb == "highlighted":
    check_highlighted(args[0])
elif verb == "checked":
    check_checked(args[0], args[1])
elif verb == "fill":
    fill(args[0], args[1], args[2])
elif verb == "press":
    press(args[0], args[1])
else:
    sys.exit(__doc__)
