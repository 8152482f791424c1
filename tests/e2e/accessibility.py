# An AT-SPI client, as a screen reader is: reads the main window and plays through actions alone.
import os
import sys
import time

import pyatspi
from gi.repository import GLib


def fail(why):
    print("FAIL:", why, file=sys.stderr)
    sys.exit(1)


def pump(seconds):
    # Events reach listeners only while the main loop runs.
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        if not GLib.MainContext.default().iteration(False):
            time.sleep(0.01)


def wait(what, probe, tries=100):
    for _ in range(tries):
        found = probe()
        if found:
            return found
        pump(0.1)
    fail(what)


def app():
    return next((a for a in pyatspi.Registry.getDesktop(0) if a and a.name == "gridlark"), None)


def children(o, role=None):
    return [c for c in o if role is None or c.getRoleName() == role]


def place(cell):  # a cell's name is its place and its mark
    return cell.name.split(", ", 1)[0]


def mark(cell):
    return cell.name.rsplit(", ", 1)[-1]


def act(o):
    o.queryAction().doAction(0)
    pump(0.2)


gridlark = wait("gridlark is not on the accessibility bus", app)
main = wait("no main window", lambda: next(iter(children(app(), "frame")), None))
if main.name != "DarIzoDiv":
    fail(f"main window named {main.name!r}")
roles = {c.getRoleName(): c for c in main}
for role, name in [("check box", "CPU"), ("push button", "Reset"), ("link", "More at Fernwick")]:
    if role not in roles or roles[role].name != name:
        fail(f"no {role} {name!r}: {[(c.getRoleName(), c.name) for c in main]}")
turn = roles.get("label")
if turn is None or turn.name not in ("X's turn", "O's turn"):
    fail(f"player to move reads {turn.name if turn else None!r}")
board = roles.get("table")
cells = children(board, "table cell")
places = [place(c) for c in cells]
if places != ["top left", "top middle", "top right", "middle left", "centre", "middle right",
              "bottom left", "bottom middle", "bottom right"]:
    fail(f"cells {places}")
if {mark(c) for c in cells} != {"empty"}:
    fail(f"a fresh board reads {[c.name for c in cells]}")
table = board.queryTable()
if (table.nRows, table.nColumns) != (3, 3) or place(table.getAccessibleAt(1, 2)) != "middle right":
    fail(f"the board is {table.nRows} x {table.nColumns}")

# A screen reader hears of changes without asking again.
heard = []
pyatspi.Registry.registerEventListener(
    lambda e: heard.append((str(e.type).rsplit("-", 1)[1], e.source.name.split(", ", 1)[0])),
    "object:property-change:accessible-description", "object:property-change:accessible-name")

# Whoever starts, this order wins the top row for the first mark.
first = turn.name[0]
for i in [0, 3, 1, 4, 2]:
    player = turn.name[0]
    act(cells[i])
    if mark(cells[i]) != player:
        fail(f"{cells[i].name} after {player}'s move")
for said in [("name", "top left"), ("description", "Board"), ("name", turn.name)]:
    wait(f"no event for {said}", lambda: said in heard, 10)
alert = wait("no alert for the win", lambda: next(iter(children(app(), "alert")), None), 10)
if f"{first} wins!" not in alert.name:
    fail(f"the alert reads {alert.name!r}")
if board.description != f"top row struck through, {first} wins!":
    fail(f"the board's description reads {board.description!r}")
# The result stays readable after the reset.
wait("the board did not empty after the notice",
     lambda: {mark(c) for c in cells} == {"empty"} and board.description == f"{first} wins!")

act(roles["link"])
opened = os.path.join(os.environ["work"], "opened")
wait("the link opened nothing", lambda: os.path.exists(opened), 30)
