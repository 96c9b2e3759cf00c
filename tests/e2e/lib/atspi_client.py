"""A screen reader's view of our programs, through pyatspi (python3-pyatspi), for the end-to-end
test of the accessibility bridge. Run under dbus-run-session on an Xvfb display:

    atspi_client.py notice BIN    the notice window's tree, names and states; Close by its action
    atspi_client.py gallery BIN   text through a validating edit, an up-down value, images in a
                                  panel, the events while xdotool types, where the typed
                                  characters are, and the heart's popup menu
    atspi_client.py off BIN       LUMIVANE_ACCESSIBILITY=0: the program stays off the bus

Prints what it checked; exits 1 with "FAIL: ..." on the first thing that is not as expected.
"""
import os
import subprocess
import sys
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import GLib, Gio  # noqa: E402
import pyatspi  # noqa: E402


def fail(message):
    print("FAIL: " + message, flush=True)
    sys.exit(1)


def check(condition, message):
    if not condition:
        fail(message)
    print("ok: " + message, flush=True)


def enable_accessibility():
    # at-spi2-core starts with IsEnabled false; a desktop (or a screen reader) sets it.
    bus = Gio.bus_get_sync(Gio.BusType.SESSION, None)
    bus.call_sync("org.a11y.Bus", "/org/a11y/bus", "org.freedesktop.DBus.Properties", "Set",
                  GLib.Variant("(ssv)", ("org.a11y.Status", "IsEnabled", GLib.Variant("b", True))),
                  None, 0, -1, None)


def start(program, extra_env=None):
    env = dict(os.environ)
    env.update(extra_env or {})
    return subprocess.Popen([program], env=env)


def find_app(name, proc, seconds=30):
    desktop = pyatspi.Registry.getDesktop(0)
    deadline = time.time() + seconds
    while time.time() < deadline:
        for app in desktop:
            if app is not None and app.name == name:
                return app
        if proc.poll() is not None:
            fail("the program ended with %s before joining the bus" % proc.returncode)
        time.sleep(0.05)
    return None


def states(obj):
    return {pyatspi.stateToString(s) for s in obj.getState().getStates()}


def find(root, name, role=None):
    for child in root:
        if child.name == name and (role is None or child.getRoleName() == role):
            return child
        found = find(child, name, role)
        if found is not None:
            return found
    return None


def wait_for(condition, seconds=5):
    deadline = time.time() + seconds
    while time.time() < deadline:
        if condition():
            return True
        time.sleep(0.05)
    return condition()


def maps(pid):
    with open("/proc/%d/maps" % pid) as f:
        return f.read()


def listen(kinds):
    """Starts recording the events of the given kinds; returns the list they go to."""
    events = []

    def heard(event):
        events.append((event.type, event.source.name if event.source else "", event.detail1, event.any_data))

    pyatspi.Registry.registerEventListener(heard, *kinds)
    return events


def run_until(condition, seconds):
    """Runs the main loop (which delivers the events) until condition() holds or time is up."""
    loop = GLib.MainLoop()

    def poll():
        if condition():
            loop.quit()
            return False
        return True

    GLib.timeout_add(50, poll)
    GLib.timeout_add_seconds(seconds, loop.quit)
    loop.run()
    return condition()


def notice(bin_dir):
    events = listen(["window:activate", "object:state-changed:focused"])
    proc = start(os.path.join(bin_dir, "lumivane-notice"))
    app = find_app("Test TImButtons", proc)
    check(app is not None, "the notice program is an application on the bus")
    announced = run_until(lambda: ("window:activate", "Renamed to Lumivane", 0, "Renamed to Lumivane") in events and
                          ("object:state-changed:focused", "Close", 1, 0) in events, 10)
    check(announced, "on joining, the active window and the focused button are announced: %r" % events)
    check(app.getRoleName() == "application" and app.childCount == 1, "it has one child")
    frame = app[0]
    check(frame.getRoleName() == "frame" and frame.name == "Renamed to Lumivane", "a frame named by the caption")
    check({"active", "showing", "visible", "enabled"} <= states(frame), "the frame is active and showing")
    roles = [(c.getRoleName(), c.name) for c in frame]
    print("children: %r" % roles, flush=True)
    links = [c for c in frame if c.getRoleName() == "link"]
    labels = [c for c in frame if c.getRoleName() == "label"]
    buttons = [c for c in frame if c.getRoleName() == "push button"]
    check(len(links) == 2 and {l.name for l in links} == {"www.draventa.example", "Download Now"}, "two links")
    check(len(labels) == 2 and any(l.name == "Lumivane" for l in labels), "two labels, one of them 'Lumivane'")
    check(len(buttons) == 1 and buttons[0].name == "Close", "the Close push button")
    close = buttons[0]
    check({"enabled", "sensitive", "focusable", "focused", "showing", "visible", "is default"} <= states(close),
          "Close is enabled, focusable, focused, showing and the default button")
    check(all({"enabled", "showing", "visible"} <= states(c) for c in links + labels), "labels and links show")
    x, y, w, h = close.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    fx, fy, fw, fh = frame.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    check(w > 0 and h > 0 and fx <= x and x + w <= fx + fw and fy <= y and y + h <= fy + fh,
          "Close lies inside the frame on the screen")
    check(close.queryComponent().contains(x + 1, y + 1, pyatspi.DESKTOP_COORDS), "Close contains its own corner")
    check(links[0].getIndexInParent() == 0, "children know their index")
    check(links[0].parent.name == "Renamed to Lumivane", "children know their parent")
    action = close.queryAction()
    check(action.nActions == 1 and action.getName(0) == "click", "Close has the action 'click'")
    check(action.doAction(0), "click is performed")
    try:
        status = proc.wait(timeout=10)
    except subprocess.TimeoutExpired:
        fail("the program did not end after Close was clicked")
    check(status == 0, "the program ended with status 0")


def gallery(bin_dir):
    proc = start(os.path.join(bin_dir, "lumivane-gallery"))
    app = find_app(os.environ.get("GALLERY_APP", "Lumivane controls"), proc)
    if app is None:
        desktop = pyatspi.Registry.getDesktop(0)
        fail("no gallery application; the desktop holds %r" % [a.name for a in desktop if a is not None])
    frame = app[0]

    edit = find(frame, "edVtInteger", "entry")
    check(edit is not None, "the integer validating edit is an entry")
    check({"editable", "focusable", "single line"} <= states(edit), "it is editable and focusable: %r" % states(edit))
    editable = edit.queryEditableText()
    editable.setTextContents("12ab3")
    text = edit.queryText()
    check(wait_for(lambda: text.getText(0, -1) == "123"), "letters set through EditableText are refused: '%s'"
          % text.getText(0, -1))
    editable.insertText(1, "x-9", 3)
    check(wait_for(lambda: text.getText(0, -1) == "1923"), "inserted in the middle through the filter: '%s'"
          % text.getText(0, -1))

    spin = find(frame, "udNormal", "spin button")
    check(spin is not None, "the up-down edit is a spin button")
    value = spin.queryValue()
    check(value.minimumValue == 0 and value.maximumValue == 100, "its limits are 0 and 100")
    start_value = value.currentValue
    value.currentValue = 42
    check(wait_for(lambda: spin.queryValue().currentValue == 42), "its value set to 42 (was %s)" % start_value)
    check(spin.queryText().getText(0, -1) == "42", "its text follows")
    value.currentValue = 1000
    check(wait_for(lambda: spin.queryValue().currentValue == 100), "a value beyond the maximum is clamped")

    star1 = find(frame, "StarKeep1")
    star2 = find(frame, "StarKeep2")
    check(star1 is not None and star1.getRoleName() == "radio button", "an image in a panel is a radio button")
    check("checked" not in states(star1), "it starts unchecked")
    star1.queryAction().doAction(0)
    check(wait_for(lambda: "checked" in states(star1)), "click checks it")
    star2.queryAction().doAction(0)
    check(wait_for(lambda: "checked" in states(star2) and "checked" not in states(star1)),
          "click on its neighbour moves the check")

    # Events while a user types: focus on the edit, then characters.
    kinds = ["object:state-changed:focused", "object:text-changed:insert", "object:text-caret-moved",
             "object:state-changed:checked"]
    events = listen(kinds)
    target = find(frame, "edVtNone", "entry")
    win = subprocess.run(["xdotool", "search", "--name", "Lumivane controls"], capture_output=True, text=True)
    window_id = win.stdout.split()[0] if win.stdout.split() else ""
    if window_id:
        subprocess.run(["xdotool", "windowfocus", "--sync", window_id], check=False)
    check(target.queryComponent().grabFocus(), "the edit takes the focus")
    subprocess.run(["xdotool", "type", "--delay", "50", "ab1"], check=True)
    star1.queryAction().doAction(0)

    def enough():
        typed = [e for e in events if e[0] == "object:text-changed:insert" and e[1] == "edVtNone"]
        return (any(e[0] == "object:state-changed:focused" and e[1] == "edVtNone" and e[2] == 1 for e in events)
                and "".join(e[3] for e in typed) == "ab1"
                and any(e[0] == "object:state-changed:checked" and e[1] == "StarKeep1" for e in events))

    run_until(enough, 15)
    print("events: %r" % events[:40], flush=True)
    check(any(e[0] == "object:state-changed:focused" and e[1] == "edVtNone" and e[2] == 1 for e in events),
          "focus moved to the edit")
    typed = "".join(e[3] for e in events if e[0] == "object:text-changed:insert" and e[1] == "edVtNone")
    check(typed == "ab1", "each typed character was an insertion ('%s')" % typed)
    check(any(e[0] == "object:text-caret-moved" and e[1] == "edVtNone" for e in events), "the caret moved")
    check(any(e[0] == "object:state-changed:checked" and e[1] == "StarKeep1" for e in events),
          "checked changes are events")
    check(target.queryText().getText(0, -1) == "ab1", "the edit holds the typed text")
    text_geometry(target)
    popup_menu(app, frame)
    proc.terminate()
    proc.wait(timeout=10)


def text_geometry(edit):
    """Where the characters of an edit holding "ab1" are, and how its text looks."""
    text = edit.queryText()
    ex, ey, ew, eh = edit.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    fx, fy, fw, fh = text.getCharacterExtents(0, pyatspi.DESKTOP_COORDS)
    lx, ly, lw, lh = text.getCharacterExtents(2, pyatspi.DESKTOP_COORDS)
    print("edit %r, first %r, last %r" % ((ex, ey, ew, eh), (fx, fy, fw, fh), (lx, ly, lw, lh)), flush=True)
    check(fw > 0 and fh > 0 and ex <= fx and fx + fw <= ex + ew and ey <= fy and fy + fh <= ey + eh,
          "the first character lies inside the edit")
    check(lx >= fx + fw and lx + lw <= ex + ew, "the last one after it, still inside")
    check(text.getCharacterExtents(3, pyatspi.DESKTOP_COORDS)[2] == 0, "one past the end is an empty box")
    check(text.getRangeExtents(0, 3, pyatspi.DESKTOP_COORDS) == (fx, fy, lx + lw - fx, fh), "the range spans them")
    check(text.getOffsetAtPoint(lx + lw // 2, ly + lh // 2, pyatspi.DESKTOP_COORDS) == 2, "a point finds its character")
    check(text.getOffsetAtPoint(fx - 1, fy, pyatspi.DESKTOP_COORDS) == -1, "left of the first is no character")
    check(text.getOffsetAtPoint(lx + lw, ly, pyatspi.DESKTOP_COORDS) == -1, "nor is right of the last")
    wx, wy = edit.queryComponent().getExtents(pyatspi.WINDOW_COORDS)[:2]
    check(text.getCharacterExtents(0, pyatspi.WINDOW_COORDS)[:2] == (fx - ex + wx, fy - ey + wy),
          "window coordinates are the same place")
    attributes = str(text.getDefaultAttributes()) + str(text.getAttributeRun(0, True))
    print("attributes: %s" % attributes, flush=True)
    check(all(k in attributes for k in ("family-name", "size", "weight", "fg-color", "bg-color")),
          "the text's font and colours are its attributes")


def popup_menu(app, frame):
    """The heart's popup menu: a right click shows it, its items are there, an action runs one."""
    # The heart is an inert image, not exposed: it lies 40 pixels right of and 46 above the label
    # under it (at the display's first scale).
    below = find(frame, "IsBkgnd (inert)", "label")
    check(below is not None, "the label under the heart is there")
    lx, ly = below.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)[:2]
    hx, hy, hw, hh = lx + 40, ly - 46, 32, 32
    events = listen(["object:children-changed"])

    def menus():
        return [c for c in app if c is not None and c.getRoleName() == "popup menu"]

    subprocess.run(["xdotool", "mousemove", str(hx + hw // 2), str(hy + hh // 2), "click", "3"], check=True)
    run_until(lambda: menus(), 10)
    check(len(menus()) == 1, "a right click shows a popup menu among the application's children")
    popup = menus()[0]
    items = [(c.getRoleName(), c.name) for c in popup]
    check(items == [("menu item", "Hello"), ("separator", ""), ("menu item", "Colour"), ("menu item", "Nothing here")],
          "its items in order, named without their markers: %r" % items)
    check({"enabled", "showing"} <= states(popup[0]), "Hello is enabled and showing")
    check("enabled" not in states(popup[3]), "Nothing here is disabled")
    subs = [(c.getRoleName(), c.name, "checked" in states(c)) for c in popup[2]]
    check(subs == [("radio menu item", "Red", True), ("radio menu item", "Blue", False)],
          "the submenu's radio items and which is checked: %r" % subs)
    action = popup[0].queryAction()
    check(action.nActions == 1 and action.getName(0) == "click", "an item's action is 'click'")
    action.doAction(0)
    run_until(lambda: not menus() and find(frame, "mnuHello: OnClick", "label") is not None, 10)
    check(not menus(), "the menu closes")
    check(find(frame, "mnuHello: OnClick", "label") is not None, "and the item ran")
    kinds = [e[0] for e in events]
    check("object:children-changed:add" in kinds and "object:children-changed:remove" in kinds,
          "the application's children changed as the menu came and went: %r" % kinds)


def off(bin_dir):
    proc = start(os.path.join(bin_dir, "lumivane-notice"), {"LUMIVANE_ACCESSIBILITY": "0"})
    time.sleep(0.1)
    app = find_app("Test TImButtons", proc, seconds=3)
    check(app is None, "with LUMIVANE_ACCESSIBILITY=0 the program is not on the bus")
    check("libsystemd" not in maps(proc.pid), "and has not loaded libsystemd")
    proc.terminate()
    proc.wait(timeout=10)
    # No bus at all: nothing is tried, nothing is loaded. (The bus launcher also leaves the
    # address on the root window, where a program finds it without a session bus.)
    subprocess.run(["xprop", "-root", "-remove", "AT_SPI_BUS"], check=True)
    env = {k: v for k, v in os.environ.items() if k not in ("DBUS_SESSION_BUS_ADDRESS", "AT_SPI_BUS_ADDRESS")}
    proc = subprocess.Popen([os.path.join(bin_dir, "lumivane-notice")], env=env)
    check(find_app("Test TImButtons", proc, seconds=3) is None, "without a bus the program is not on it")
    check("libsystemd" not in maps(proc.pid), "and has not loaded libsystemd")
    proc.terminate()
    check(proc.wait(timeout=10) == 0, "and ends as usual")


if __name__ == "__main__":
    if len(sys.argv) != 3 or sys.argv[1] not in ("notice", "gallery", "off"):
        fail("usage: atspi_client.py notice|gallery|off BIN")
    enable_accessibility()
    {"notice": notice, "gallery": gallery, "off": off}[sys.argv[1]](sys.argv[2])
