# SPDX-License-Identifier: GPL-3.0-or-later
"""A sitting by keyboard alone, heard through the accessibility tree (AT-SPI), as a screen
reader hears it. Keys go in as real X key events (xdotool); what the program tells comes back
as AT-SPI events and the tree. Run by access.sh inside a private D-Bus session.

Usage: access.py SHOTS-FOLDER [--progress]
  --progress  also the progress window by keyboard: Tab leaves its table of runs, the heat
              map's keys are reached with the arrows, each saying its figures, and marked
              with Space.
Prints each step and what the tree said; exits 1 at the first check that fails."""
import re
import subprocess
import sys
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

shots = sys.argv[1]
progress = "--progress" in sys.argv[2:]
events = []  # (kind, role, name, description) in the order they came


def on_event(event):
    try:
        source = event.source
        parent = source.get_parent()
        events.append((event.type, source.get_role_name(), source.get_name() or "",
                       source.get_description() or "", event.detail1,
                       parent.get_role_name() if parent else ""))
    except GLib.Error:
        pass  # an object gone meanwhile


listener = Atspi.EventListener.new(on_event)
for kind in ("object:property-change:accessible-description", "object:state-changed:focused",
             "object:property-change:accessible-name", "window:activate", "window:deactivate"):
    listener.register(kind)


def pump(seconds):
    end = time.monotonic() + seconds
    context = GLib.MainContext.default()
    while time.monotonic() < end:
        while context.pending():
            context.iteration(False)
        time.sleep(0.02)


def wait_for(check, seconds=10):
    """Pumps events until check() holds (its value), or the time is up (None): a busy machine
    may take a while over a key."""
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        found = check()
        if found:
            return found
        pump(0.1)
    return None


def fail(message):
    print("FAIL: " + message, flush=True)
    subprocess.run(["import", "-window", "root", f"{shots}/access-failure.png"], check=False)
    sys.exit(1)


def key(*names):
    subprocess.run(["xdotool", "key", "--delay", "40", *names], check=True)
    pump(0.3)


def type_text(text):
    subprocess.run(["xdotool", "type", "--delay", "30", text], check=True)
    pump(0.3)


def shot(name):
    subprocess.run(["import", "-window", "root", f"{shots}/access-{name}.png"], check=True)


def say(step, what):
    print(f"[{step}] {what}", flush=True)


def application():
    for _ in range(200):
        desktop = Atspi.get_desktop(0)
        for i in range(desktop.get_child_count()):
            app = desktop.get_child_at_index(i)
            if app and app.get_name() == "Rinkaro2":
                return app
        pump(0.1)
    fail("Rinkaro2 is not in the accessibility tree")


def find(node, test, depth=0):
    if node is None or depth > 40:
        return None
    try:
        if test(node):
            return node
        for i in range(node.get_child_count()):
            found = find(node.get_child_at_index(i), test, depth + 1)
            if found:
                return found
    except GLib.Error:
        return None
    return None


def descendants(node, depth=0):
    if node is None or depth > 40:
        return
    try:
        yield node
        for i in range(node.get_child_count()):
            yield from descendants(node.get_child_at_index(i), depth + 1)
    except GLib.Error:
        return


def named(app, name, role=None):
    return find(app, lambda n: n.get_name() == name and (role is None or n.get_role_name() == role))


def focused(app):
    return find(app, lambda n: n.get_state_set().contains(Atspi.StateType.FOCUSED))


def describe(node):
    if node is None:
        return "(nothing)"
    text = f"{node.get_role_name()} \u300c{node.get_name()}\u300d"
    if node.get_description():
        text += f" \u2014 {node.get_description()}"
    return text


def new_events(since, kind):
    return [e for e in events[since:] if e[0].startswith(kind)]


def focus_came(since, parent_role):
    """A menu item whose parent has `parent_role` took the focus after event `since`."""
    return [e for e in new_events(since, "object:state-changed:focused")
            if e[4] == 1 and "menu item" in e[1] and e[5] == parent_role]


def focus_now(since):
    """The last control that took the focus after event `since`, as its event told it."""
    came = [e for e in new_events(since, "object:state-changed:focused") if e[4] == 1]
    return came[-1] if came else None


def recent_focus():
    return str([e for e in events if (e[0].endswith("focused") and e[4] == 1)
                or e[0].startswith("window:")][-8:])


def open_menu(*keys):
    """Alt, then `keys` to open a menu. Each step waits for what it does, however long a busy
    machine takes over it: the arrows go only to a menu bar that holds the keyboard, and the
    menu is open once one of its own items has the focus."""
    mark = len(events)
    key("alt")
    # Seen before: the bar took the Alt and gave the focus straight back to Start.
    if not wait_for(lambda: focus_came(mark, "menu bar")) or focus_now(mark)[5] != "menu bar":
        fail("Alt left the menu bar without the focus: " + recent_focus())
    key(*keys)
    if not wait_for(lambda: focus_came(mark, "popup menu")):
        fail("the menu did not open: " + recent_focus())


def window(app, title):
    for _ in range(100):
        for i in range(app.get_child_count()):
            child = app.get_child_at_index(i)
            if child and child.get_name() == title:
                return child
        pump(0.1)
    return None


app = application()
main = window(app, "Rinkaro 2")
if main is None:
    fail("no main window in the tree")
start = named(main, "スタート", "push button")
if start is None:
    fail("no Start button in the tree")


def start_focused():
    start.clear_cache()  # the state as it is now, not as an event missed before it was cached
    return start.get_state_set().contains(Atspi.StateType.FOCUSED)


# The window active, its Start button focused, before the first key goes to it. A window
# manager still settling may drop the first activation: asked again, three times at most.
for attempt in range(3):
    if wait_for(start_focused):
        break
    say("start", f"no focus yet (try {attempt + 1}): the window activated again")
    subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^Rinkaro 2$",
                    "windowactivate", "--sync"], check=False, timeout=20)
else:
    fail("the Start button never had the focus")
say("start", "focus on " + describe(focused(app)))

# ---- Choose a level from the menu: the focus comes back to Start, which names it. ----------
mark = len(events)
open_menu("Down")  # the level menu opens on its first item
key("Down", "Down", "Down", "Down", "Return")  # A to Z, then past the line to ローマ字１
wait_for(lambda: "レベル5" in start.get_description())
pump(0.5)
shot("level-chosen")
back = [e for e in new_events(mark, "object:state-changed:focused") if e[4] == 1]
if not back or back[-1][2] != "スタート" or "レベル5 ローマ字１" not in back[-1][3]:
    fail(f"choosing level 5 did not bring the focus back to a Start naming it: {back[-3:]}")
say("level", f"focus back on push button \u300c{back[-1][2]}\u300d \u2014 {back[-1][3]}")

# ---- A run: each item said as it comes; a wrong key said with the key expected. ------------
mark = len(events)
key("F5")
said = wait_for(lambda: [e[3] for e in new_events(mark, "object:property-change:accessible-description")])
if not said or said[-1] != "あ、A":
    fail(f"the first item was not said: {said}")
say("run", f"F5: Start says \u300c{said[-1]}\u300d")
shot("run-started")
mark = len(events)
type_text("q")  # あ wants A
said = wait_for(lambda: [e[3] for e in new_events(mark, "object:property-change:accessible-description")])
if not said or said[-1] != "ミス 1、次は A":
    fail(f"a wrong key gave no event naming the count and the key expected: {said}")
say("run", f"wrong key q: Start says \u300c{said[-1]}\u300d")
errors = named(main, "ミス 1", "label")
if errors is None:
    fail("the error count is not on the screen (no label 「ミス 1」)")
say("run", "on the screen: label \u300cミス 1\u300d")
shot("wrong-key")
type_text("a")

# The rest typed as a learner who hears it would: the romaji of each item as it is said.
heard = 0
for _ in range(80):
    current = start.get_description()
    if "、" not in current or current.startswith("ミス") or current.startswith("レベル"):
        break
    reading = current.split("、", 1)[1].replace(" ", "").lower()
    heard += 1
    type_text(reading)
    wait_for(lambda c=current: start.get_description() != c or any(
        app.get_child_at_index(i) and app.get_child_at_index(i).get_name() == "タイピング時間"
        for i in range(app.get_child_count())), 5)
    dialogs = [app.get_child_at_index(i) for i in range(app.get_child_count())]
    if any(d and d.get_name() == "タイピング時間" for d in dialogs):
        break
say("run", f"typed {heard} items from what Start said")

# ---- The result: the dialog's values have names; Return closes it. ------------------------
dialog = window(app, "タイピング時間")
if dialog is None:
    fail("no typing-time dialog after the run")
pump(0.5)
shot("result")
values = [n.get_name() for n in (find(dialog, lambda n, t=t: n.get_name().startswith(t))
                                  for t in ("タイピング時間 ", "エラー ", "標準タイム ", "最高タイム "))
          if n]
if len(values) != 4 or values[1] != "エラー 1":
    fail(f"the dialog's values: {values}")
say("result", "dialog: " + "; ".join(values) + "; focus on " + describe(focused(dialog)))
mark = len(events)
key("Return")
wait_for(lambda: [e for e in new_events(mark, "object:state-changed:focused")
                  if e[4] == 1 and e[1] == "push button"])
pump(0.5)
came = [e for e in new_events(mark, "object:state-changed:focused")
        if e[4] == 1 and e[1] == "push button"]
if not came or any(e[2] != "スタート" for e in came):
    fail(f"the focus came back to the button under another name: {came}")
say("result", f"focus back on push button \u300c{came[-1][2]}\u300d \u2014 {came[-1][3]}")

# ---- The progress window: its controls by keyboard. ------------------------------------------
open_menu("Right", "Down")
key("Up", "Return")  # オプション, its last item 成績グラフ
graph = window(app, "成績グラフ")
if graph is None:
    fail("the progress window did not open")
pump(1.0)
shot("progress")
say("progress", "opened; focus on " + describe(focused(app)))
# The heat map's figures, as the tree gives them: the weakest key is the one a learner seeks.
def said_of(node):
    return " ".join(filter(None, [node.get_name(), node.get_description()])).replace("\n", " ")


rates = sorted({said_of(n) for n in descendants(graph)
                if re.search(r"ミス率\s*[0-9.]+\s*%", said_of(n)) and "回中" in said_of(n)},
               key=lambda text: float(re.search(r"ミス率\s*([0-9.]+)", text).group(1)),
               reverse=True)
if not rates:
    fail("the heat map's keys give no figures to the tree")
say("progress", f"{len(rates)} keys with figures; the weakest: {rates[0]}")
if progress:
    table = find(graph, lambda n: n.get_role_name() == "table")
    if table is None:
        fail("no table of runs in the progress window")
    # Into the table and out again with Tab alone.
    inside = left = False
    walked = []
    for _ in range(30):
        key("Tab")
        now = focused(app)
        walked.append(describe(now))
        in_table = now is not None and find(table, lambda n, f=now: n == f) is not None
        inside = inside or in_table
        if inside and not in_table:
            left = True
            break
    if not (inside and left):
        fail("Tab did not leave the table of runs: " + " / ".join(walked[-6:]))
    say("progress", "Tab walked: " + " / ".join(walked))
    # The heat map's keys: reached, walked with the arrows, each with its figures, marked.
    keymap = None
    for _ in range(30):
        now = focused(app)
        name = now.get_name() if now is not None else ""
        if name[:1].isascii() and name[:1].isalpha() and name[1:2] in ("", " ", "、", "：", ":"):
            keymap = now
            break
        key("Tab")
    if keymap is None:
        fail("Tab reached no key of the heat map")
    # Keys never typed say so ("記録なし"); walking on, a key typed in the run says its figures.
    for _ in range(30):
        if "%" in keymap.get_name() + keymap.get_description():
            break
        key("Right")
        keymap = focused(app)
    first = describe(keymap)
    if "%" not in keymap.get_name() + keymap.get_description():
        fail(f"no heat map key walked with the arrows says its figures: {first}")
    key("Right")
    moved = focused(app)
    if moved is None or moved.get_name() == keymap.get_name():
        fail(f"the right arrow did not move along the heat map's keys from {first}")
    key("space")
    marked = focused(app)
    states = marked.get_state_set()
    # Marked is said as a state or in the key's own words ("練習に選択").
    if not (states.contains(Atspi.StateType.CHECKED) or states.contains(Atspi.StateType.SELECTED)
            or "練習に選択" in marked.get_name()):
        fail(f"Space did not mark the heat map's key {describe(marked)}")
    say("progress", f"heat map: {first}, then {describe(moved)}, marked")
    shot("heatmap-marked")
key("Escape")
pump(0.5)

# ---- The weakest kana practised: the level menu's 苦手なかな, started with F5. -----------------
mark = len(events)
open_menu("Down")
key(*["Down"] * 10, "Return")  # the level menu's eleventh item: 苦手なかな
wait_for(lambda: "苦手なかな" in start.get_description())
back = [e for e in new_events(mark, "object:state-changed:focused") if e[4] == 1]
say("practise", f"focus on push button \u300c{start.get_name()}\u300d \u2014 {start.get_description()}")
if "苦手なかな" not in start.get_description():
    fail(f"choosing 苦手なかな was not said: {start.get_description()}")
mark = len(events)
key("F5")
said = wait_for(lambda: [e[3] for e in new_events(mark, "object:property-change:accessible-description")])
if not said:
    fail("the weak drill's first item was not said")
say("practise", f"F5: Start says \u300c{said[-1]}\u300d")
shot("practise")
key("F5")
print("1 passed, 0 failed", flush=True)
