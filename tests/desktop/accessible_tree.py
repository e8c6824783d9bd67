"""Reads Torvel's window as a screen reader does (AT-SPI, through pyatspi) and checks what it is
told: every control named, the roles, states and actions, one focused object, and the texts in
the language asked for. Prints each fault and exits 1 when there is one.
Usage: accessible_tree.py english|german [dialog]   (dialog: check the open file dialog)"""
import sys
import time

import pyatspi

TEXTS = {
    "english": dict(cells="Cells", cell="Cell", of="of", end="End", preview="Animation Preview",
                    speed="Speed", pause="Pause", auto="Automatic Paste", file="File",
                    new="New", cancel="Cancel",
                    toolbar=["New", "Open", "Save As", "Undo", "Cut", "Copy", "Copy All",
                             "Paste", "Pause", "Help"]),
    "german": dict(cells="Zellen", cell="Zelle", of="von", end="Ende", preview="Vorschau",
                   speed="Tempo", pause="Pause", auto="Auto-Einfügen", file="Datei",
                   new="Neu", cancel="Abbrechen",
                   toolbar=["Neu", "Öffnen", "Speichern unter", "Rückgängig", "Ausschneiden",
                            "Kopieren", "Alles kopieren", "Einfügen", "Pause", "Hilfe"]),
}
faults = []


def check(ok, what):
    if not ok:
        faults.append(what)


def walk(node, into_menus=True):
    yield node
    if node.getRole() == pyatspi.ROLE_MENU and not into_menus:
        return
    for child in node:
        if child is not None:
            yield from walk(child, into_menus)


def has(node, state):
    return node.getState().contains(state)


def actions(node):
    try:
        action = node.queryAction()
    except NotImplementedError:
        return {}
    return {action.getName(i): action.getKeyBinding(i) for i in range(action.nActions)}


def press(node, name="Press"):
    action = node.queryAction()
    for i in range(action.nActions):
        if action.getName(i) == name:
            return action.doAction(i)
    return False


def labelled_by(node):
    names = []
    for relation in node.getRelationSet():
        if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY:
            names += [relation.getTarget(i).name for i in range(relation.getNTargets())]
    return names


def application():
    for _ in range(150):
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.name == "torvel" and app.childCount > 0:
                return app
        time.sleep(0.2)
    sys.exit("torvel did not appear on the accessibility bus")


def check_window(app, t):
    nodes = list(walk(app))
    by_role = lambda role: [n for n in nodes if n.getRole() == role]
    buttons = {n.name: n for n in by_role(pyatspi.ROLE_PUSH_BUTTON) + by_role(pyatspi.ROLE_CHECK_BOX)}
    for name in t["toolbar"]:
        check(name in buttons, f"no toolbar button named {name!r}")
    check(all(n.name for n in by_role(pyatspi.ROLE_PUSH_BUTTON)), "a button without a name")

    lists = [n for n in by_role(pyatspi.ROLE_LIST) if n.name == t["cells"]]
    check(len(lists) == 1, f"no list named {t['cells']!r}")
    if lists:
        rows = [row.name for row in lists[0]]
        count = len(rows) - 1
        expected = [f"{t['cell']} {k} {t['of']} {count}" for k in range(1, count + 1)] + [t["end"]]
        check(rows == expected, f"the rows read {rows[:3]}...{rows[-2:]}")

    combos = by_role(pyatspi.ROLE_COMBO_BOX)
    check(any(t["speed"] in labelled_by(c) for c in combos), f"no combo box labelled {t['speed']!r}")

    previews = [n for n in by_role(pyatspi.ROLE_IMAGE) if n.name == t["preview"]]
    check(len(previews) == 1, f"no image named {t['preview']!r}")
    if previews:
        text = previews[0].description
        check(text.startswith(t["cell"] + " ") and f" {t['of']} " in text, f"the preview says {text!r}")

    labels = [n.name for n in by_role(pyatspi.ROLE_LABEL)]
    check(not any(name.startswith(" ") for name in labels), f"a label begins with a blank: {labels}")
    for name in (t["pause"], t["auto"]):
        panels = [n for n in by_role(pyatspi.ROLE_PUSH_BUTTON) if n.name == name and "Toggle" in actions(n)]
        check(len(panels) == 1, f"no toggle panel {name!r}")
    pause = [n for n in by_role(pyatspi.ROLE_PUSH_BUTTON) if n.name == t["pause"]]
    if pause:
        check(not has(pause[0], pyatspi.STATE_CHECKED), "the Pause panel starts checked")
        press(pause[0])
        time.sleep(1.2)  # the panels follow the mode at the next status refresh
        check(has(pause[0], pyatspi.STATE_CHECKED), "pressing the Pause panel does not check it")
        press(pause[0])

    items = by_role(pyatspi.ROLE_MENU_ITEM)
    check(not any("\t" in n.name for n in items), "a menu item's name holds its shortcut")
    new = [n for n in items if n.name == t["new"]]
    # Qt tells shortcuts in their portable form, which screen readers read out in their own words.
    check(bool(new) and "Ctrl+N" in actions(new[0]).values(),
          f"New's shortcut is not told: {[actions(n) for n in new]}")
    menus = [n for n in items if n.name == t["file"]]
    check(bool(menus) and "Alt+" in "".join(actions(menus[0]).values()),
          f"the {t['file']!r} menu has no letter")

    focused = [f"{n.getRoleName()} {n.name!r}" for n in walk(app, into_menus=False)
               if has(n, pyatspi.STATE_FOCUSED)]
    check(len(focused) == 1, f"not one focused object: {focused}")


def check_dialog(app, t):
    for _ in range(50):
        dialogs = [n for n in app if n is not None and n.getRole() == pyatspi.ROLE_DIALOG]
        if dialogs:
            break
        time.sleep(0.2)
    check(bool(dialogs), "no file dialog opened")
    if dialogs:
        names = [n.name for n in walk(dialogs[0]) if n.getRole() == pyatspi.ROLE_PUSH_BUTTON]
        check(t["cancel"] in names, f"the file dialog's buttons read {names}")


if __name__ == "__main__":
    texts = TEXTS[sys.argv[1]]
    app = application()
    (check_dialog if sys.argv[2:] == ["dialog"] else check_window)(app, texts)
    for fault in faults:
        print(f"accessibility ({sys.argv[1]}): {fault}", file=sys.stderr)
    sys.exit(1 if faults else 0)
