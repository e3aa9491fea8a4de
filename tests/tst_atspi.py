"""The game as a screen reader meets it: over the real AT-SPI bus, by actions alone.

Run inside dbus-run-session: starts the accessibility bus, an Xvfb and the game with an empty
HOME, then plays a whole game the way a blind player would, remembering each face as it is
said, and checks that every turn, cover and the end are said in the words a screen reader
speaks (the name of a notification shown inside a status line), and that the cards tell when
they cannot be turned.
"""

import os
import subprocess
import sys
import tempfile
import time

import pyatspi
from gi.repository import GLib

GAME = sys.argv[1]
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAIL:", what, flush=True)


def pump(until, timeout=10.0):
    """Runs the event loop until until() holds; returns its last value."""
    end = time.time() + timeout
    context = GLib.MainContext.default()
    while True:
        value = until()
        if value or time.time() > end:
            return value
        context.iteration(False)
        time.sleep(0.01)


def find(root, test):
    found = [root] if test(root) else []
    for child in root:
        if child is not None:
            found += find(child, test)
    return found


def states(obj):
    return obj.getState().getStates()


def actions(obj):
    action = obj.queryAction()
    return [action.getName(i) for i in range(action.nActions)]


def press(obj):
    names = actions(obj)
    check("Press" in names, "%s offers Press" % obj.name)
    obj.queryAction().doAction(names.index("Press"))


said = []


def heard(event):
    if event.detail1 and event.source.getRole() == pyatspi.ROLE_NOTIFICATION:
        said.append(event.source.name)


def expect(text):
    """Waits for the next notification and checks that it says text."""
    got = pump(lambda: said[0] if said else None)
    if said:
        said.pop(0)
    check(got == text, "said %r, expected %r" % (got, text))


def main():
    home = tempfile.mkdtemp(prefix="pairwell-atspi-")
    env = dict(os.environ, HOME=home, XDG_RUNTIME_DIR=home, LANG="C.UTF-8", LC_ALL="C.UTF-8",
               QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_QPA_PLATFORM="xcb")
    env.pop("QT_QPA_PLATFORM_PLUGIN_PATH", None)
    bus = subprocess.Popen(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"])
    read, write = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", "800x600x24",
                             "-nolisten", "tcp"], pass_fds=[write])
    os.close(write)
    env["DISPLAY"] = ":" + os.read(read, 16).decode().strip()
    time.sleep(0.5)  # the bus launcher registers its name
    game = subprocess.Popen([GAME], env=env)
    try:
        play()
    finally:
        for process in (game, xvfb, bus):
            process.terminate()
            process.wait()
    if failures:
        sys.exit("%d checks failed" % len(failures))
    print("PASS: a whole game played over AT-SPI")


def play():
    desktop = pyatspi.Registry.getDesktop(0)
    app = pump(lambda: next((a for a in desktop if a is not None and a.name == "Pairwell"), None),
               30)
    if app is None:
        sys.exit("the game never reached the accessibility bus")
    pyatspi.Registry.registerEventListener(heard, "object:state-changed:showing")
    mess = pump(lambda: find(app, lambda o: o.getRole() == pyatspi.ROLE_STATUS_BAR))[0]
    button = {o.name: o for o in find(app, lambda o: o.getRole() == pyatspi.ROLE_PUSH_BUTTON)}
    cards = [button["Card %d, row %d, column %d" % (i + 1, i // 5 + 1, i % 5 + 1)]
             for i in range(20)]
    text = lambda: mess.queryText().getText(0, -1)
    sensitive = lambda card: pyatspi.STATE_SENSITIVE in states(card)

    # Before any game no card can be turned, and none pretends otherwise.
    check(not any(sensitive(c) or "Press" in actions(c) for c in cards), "no card live before a game")

    press(button["New Game"])
    pump(lambda: all(sensitive(c) for c in cards))
    check(all(sensitive(c) for c in cards), "every card live in a new game")
    known, found, clicks = {}, set(), 0

    def turn(tag):
        nonlocal clicks
        clicks += 1
        press(cards[tag])
        return pump(lambda: said[0] if said else None)

    while len(found) < 20:
        pair = next(((a, b) for a in known for b in known
                     if a < b and known[a] == known[b] and a not in found), None)
        first = pair[0] if pair else next(t for t in range(20) if t not in known)
        words = turn(first)
        check(words and words.startswith("Face "), "a turn says the face: %r" % words)
        known[first] = int(words.split()[1])
        expect("Face %d" % known[first])
        check(not sensitive(cards[first]), "the pending card is not live")
        partner = next((t for t in known if t != first and known[t] == known[first]), None)
        second = partner if partner is not None else next(t for t in range(20) if t not in known)
        words = turn(second)
        known[second] = int(words.split()[1].rstrip(","))
        if known[second] == known[first]:
            found |= {first, second}
            expected = "Face %d, pair found" % known[second]
            if len(found) == 20:
                expected += "\nGood: %d Clicks\nHigh: %d Clicks" % (clicks, clicks)
            expect(expected)
            check(cards[first].description == "Face %d, found" % known[first],
                  "a found card reads as found")
        else:
            expect("Face %d, no match" % known[second])
            check(not any(sensitive(c) for c in cards), "no card live while a mismatch shows")
            expect("Cards %d and %d face down again" % (min(first, second) + 1, max(first, second) + 1))
            check(cards[second].description == "Face down", "the mismatch is covered")
    check(text() == "Good: %d Clicks\nHigh: %d Clicks" % (clicks, clicks),
          "the message line reads the score: %r" % text())
    check(not any(sensitive(c) for c in cards), "no card live after the game")

    # A halted game says so, and the line reads it.
    press(button["New Game"])
    pump(lambda: sensitive(cards[0]))
    expect(cards[0].description if turn(0) else "a turn")
    press(button["Halt"])
    expect("Halted")
    check(text() == "Halted", "the message line reads Halted")
    check(not any(sensitive(c) for c in cards), "no card live after Halt")

    # The set editor, showing the Default set in use: its status line says what Save did; the wells are buttons that open
    # the chooser and tell the three ways to fill them.
    menu = find(app, lambda o: o.getRole() == pyatspi.ROLE_MENU_ITEM and o.name == "Preferences…")
    menu[0].queryAction().doAction(0)
    wells = pump(lambda: find(app, lambda o: o.name == "Cover" and "Press" in actions(o)))
    check(wells and wells[0].getRole() == pyatspi.ROLE_PUSH_BUTTON, "the cover well is a button")
    check(wells and "Ctrl+V" in wells[0].description, "a well tells how to fill it")
    chat = [o for o in find(app, lambda o: o.getRole() == pyatspi.ROLE_STATUS_BAR) if o != mess]
    save = find(app, lambda o: o.getRole() == pyatspi.ROLE_PUSH_BUTTON and o.name == "Save")
    press(save[0])
    expect("Already Exists")
    check(chat and chat[0].queryText().getText(0, -1) == "Already Exists", "the status line reads")
    press(wells[0])
    check(pump(lambda: find(app, lambda o: o.name == "Choose an Image")), "Press opens the chooser")


if __name__ == "__main__":
    main()
