# The game as a screen reader meets it: over the real AT-SPI bus, by actions alone.
#
# Run inside dbus-run-session: starts the accessibility bus, an Xvfb and the game with an empty
# HOME, then plays a whole game the way a blind player would, remembering each face as it is
# said, and checks that every turn, cover and the end are said in the words a screen reader
# speaks (the name of a notification shown inside a status line), and that the cards tell when
# they cannot be turned.

import os
import subprocess
import sys
import tempfile
import time

import pyatspi
from gi.repository import GLib

def pump(until, timeout=10.0):
    end = time.time() + timeout
    while not (value := until()) and time.time() < end:
        GLib.MainContext.default().iteration(False)
        time.sleep(0.01)
    return value


def find(root, role=None, name=None):
    here = [root] if role in (None, root.getRole()) and name in (None, root.name) else []
    return here + [o for child in root if child is not None for o in find(child, role, name)]


def actions(obj):
    action = obj.queryAction()
    return [action.getName(i) for i in range(action.nActions)]


def press(obj):
    obj.queryAction().doAction(actions(obj).index("Press"))  # fails where Press is missing


said = []


def heard(event):
    if event.detail1 and event.source.getRole() == pyatspi.ROLE_NOTIFICATION:
        said.append(event.source.name)


def expect(text=None):
    got = pump(lambda: said.pop(0) if said else None)
    assert text is None or got == text, "said %r, expected %r" % (got, text)
    return got or ""


def play():
    desktop = pyatspi.Registry.getDesktop(0)
    app = pump(lambda: next((a for a in desktop if a is not None and a.name == "Pairwell"), None), 30)
    assert app is not None, "the game never reached the accessibility bus"
    pyatspi.Registry.registerEventListener(heard, "object:state-changed:showing")
    mess = pump(lambda: find(app, pyatspi.ROLE_STATUS_BAR))[0]
    button = {o.name: o for o in find(app, pyatspi.ROLE_PUSH_BUTTON)}
    cards = [button["Card %d, row %d, column %d" % (i + 1, i // 5 + 1, i % 5 + 1)] for i in range(20)]
    text = lambda: mess.queryText().getText(0, -1)
    sensitive = lambda card: pyatspi.STATE_SENSITIVE in card.getState().getStates()

    # Before any game no card can be turned, and none pretends otherwise.
    assert not any(sensitive(c) or "Press" in actions(c) for c in cards), "no card live before a game"

    press(button["New Game"])
    assert pump(lambda: all(sensitive(c) for c in cards)), "every card live in a new game"
    known, found, turned = {}, set(), []
    score = lambda: "Good: %d Clicks\nHigh: %d Clicks" % (len(turned), len(turned))

    def turn(tag):
        turned.append(tag)
        press(cards[tag])
        words = expect()
        assert words.startswith("Face "), "a turn says the face: %r" % words
        known[tag] = int(words.split()[1].rstrip(","))
        return words

    fresh = lambda: [t for t in range(20) if t not in known]
    while len(found) < 20:
        pair = [a for a in known for b in known if a < b and known[a] == known[b] and a not in found]
        first = (pair + fresh())[0]
        assert turn(first) == "Face %d" % known[first], "the first turn says the face alone"
        assert not sensitive(cards[first]), "the pending card is not live"
        second = ([t for t in known if t != first and known[t] == known[first]] + fresh())[0]
        words = turn(second)
        if known[second] == known[first]:
            found |= {first, second}
            end = "\n" + score() if len(found) == 20 else ""
            assert words == "Face %d, pair found%s" % (known[second], end), "said %r" % words
            assert cards[first].description == "Face %d, found" % known[first], "found reads"
        else:
            assert words == "Face %d, no match" % known[second], "a mismatch says so: %r" % words
            assert not any(sensitive(c) for c in cards), "no card live while a mismatch shows"
            expect("Cards %d and %d face down again" % (min(first, second) + 1, max(first, second) + 1))
            assert cards[second].description == "Face down", "the mismatch is covered"
    assert text() == score(), "the message line reads the score: %r" % text()
    assert not any(sensitive(c) for c in cards), "no card live after the game"

    # A halted game says so, and the line reads it; so does the next one, on the same text.
    for _ in range(2):
        press(button["New Game"])
        pump(lambda: sensitive(cards[0]))
        turn(0)
        press(button["Halt"])
        expect("Halted")
        assert text() == "Halted", "the message line reads Halted"
        assert not any(sensitive(c) for c in cards), "no card live after Halt"

    # The set editor, showing the Default set in use: its status line says what Save did; the
    # wells are buttons that open the chooser and tell the three ways to fill them.
    find(app, pyatspi.ROLE_MENU_ITEM, "Preferences…")[0].queryAction().doAction(0)
    wells = pump(lambda: find(app, pyatspi.ROLE_PUSH_BUTTON, "Cover"))
    assert wells and "Ctrl+V" in wells[0].description, "the cover well, a button, tells how to fill"
    chat = [o for o in find(app, pyatspi.ROLE_STATUS_BAR) if o != mess]
    press(find(app, pyatspi.ROLE_PUSH_BUTTON, "Save")[0])
    expect("Already Exists")
    assert chat and chat[0].queryText().getText(0, -1) == "Already Exists", "the status line reads"
    press(wells[0])
    assert pump(lambda: find(app, name="Choose an Image")), "Press opens the chooser"


# ctest sets the C.UTF-8 locale.
env = dict(os.environ, HOME=tempfile.mkdtemp(), XDG_RUNTIME_DIR=tempfile.mkdtemp(),
           QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_QPA_PLATFORM="xcb")
env.pop("QT_QPA_PLATFORM_PLUGIN_PATH", None)
bus = subprocess.Popen(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"])
xvfb = subprocess.Popen(["Xvfb", "-displayfd", "1", "-screen", "0", "800x600x24"], stdout=subprocess.PIPE)
env["DISPLAY"] = ":" + xvfb.stdout.readline().decode().strip()
time.sleep(0.5)  # the bus launcher registers its name
game = subprocess.Popen([sys.argv[1]], env=env)
try:
    play()
finally:
    for process in (game, xvfb, bus):
        process.terminate()
        process.wait()
