#!/usr/bin/python3
"""The Edit and Delete Course dialogs of the shipped program, measured from
outside in a real X server, as a user waits for them.

For each run the program is started afresh over its database and left until
its window is fully painted; a course of the grid is clicked, so that the
dialog preselects it, and then the dialog's button. The time from the click
on the button to the last change of the dialog's pixels (reported by the X
server's DAMAGE extension, once nothing has changed for a while) is taken,
and the peak resident memory from /proc then. The baseline is the first
paint of a bare program that links only Qt Widgets and builds the main
window's widgets, from its exec.

Databases: the sample schedule, and 1,000, 100,000 and 1,000,000 courses
dealt round ten schedules. The grid shows the latest of the courses in a
cell, so the course preselected comes near the end of the list; in a last
case the first schedule's courses of the second half of the million are
moved to the second schedule, and the course preselected comes from the
middle of the list, the farthest from both its ends. Runs are taken in turn, 7 rounds; each figure is
printed as median (min - max) with the ratio of the medians.

Usage (inside an X server of 1280x1024, e.g. xvfb-run):
    dialogs_under_x.py QUORVANE BARE_WINDOW MAKE_DB [SCREENSHOT_FOLDER]
"""

import os
import select
import sqlite3
import shutil
import subprocess
import sys
import tempfile
import time

from Xlib import X
from Xlib.ext import damage, xtest

from startup_under_x import QUIET, TIMEOUT, line, median, painted, watch

ROUNDS = 7
WINDOW_SIZE = (824, 664)  # below the menu bar, which adds its height
# Below the main window's menu bar: Monday at 7:30 AM in the grid, a course
# in every database here and not the cell current at start; the Edit Course
# and the Delete Course buttons.
COURSE_CELL = (150, 264)
BUTTONS = {"Edit Course": (616, 575), "Delete Course": (208, 609)}


def quiet(d, windows, since):
    """Waits until none of `windows` (a set of ids, grown by the windows
    created meanwhile) has changed for QUIET seconds after a first change;
    the time of the last change."""
    damage_notify = d.query_extension("DAMAGE").first_event + damage.DamageNotifyCode
    last = None
    while True:
        now = time.monotonic()
        if last is not None and now - last > QUIET:
            return last
        if now - since > TIMEOUT:
            raise RuntimeError("nothing settled within %d s" % TIMEOUT)
        if not d.pending_events():
            select.select([d.fileno()], [], [], 0.02)
        while d.pending_events():
            event = d.next_event()
            if event.type == X.CreateNotify:
                windows.add(event.window.id)
                event.window.damage_create(damage.DamageReportRawRectangles)
                d.flush()
            elif event.type == damage_notify and event.drawable.id in windows:
                last = time.monotonic()


def main_window(d):
    """The program's main window: the mapped child of the root of its width
    and its height with a menu bar; the place on the screen of what lies
    below the menu bar."""
    for child in d.screen().root.query_tree().children:
        attributes = child.get_attributes()
        geometry = child.get_geometry()
        if attributes.map_state == X.IsViewable and geometry.width == WINDOW_SIZE[0] and \
                WINDOW_SIZE[1] < geometry.height < WINDOW_SIZE[1] + 60:
            return geometry.x, geometry.y + geometry.height - WINDOW_SIZE[1]
    raise RuntimeError("the main window is not on the screen")


def click(d, x, y):
    d.screen().root.warp_pointer(x, y)
    d.sync()
    xtest.fake_input(d, X.ButtonPress, 1)
    xtest.fake_input(d, X.ButtonRelease, 1)
    d.flush()


def dialog_painted(d, program, folder, button, screenshot):
    """Starts `program` in `folder`, opens the dialog of `button` over a
    course; (ms from the click to the dialog fully painted, peak MiB). With
    `screenshot`, the screen is saved there then (xwd, from x11-apps)."""
    # No remembered window place: every run starts at the first size.
    environment = dict(os.environ, QT_QPA_PLATFORM="xcb", XDG_CONFIG_HOME=os.path.join(folder, "config"))
    while d.pending_events():
        d.next_event()
    process = subprocess.Popen([program], cwd=folder, env=environment,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        windows = set()
        quiet(d, windows, time.monotonic())
        x, y = main_window(d)
        click(d, x + COURSE_CELL[0], y + COURSE_CELL[1])
        quiet(d, windows, time.monotonic())
        # Only the windows made from here on are the dialog's: the main
        # window's changes (the button pressed and released) are not.
        start = time.monotonic()
        click(d, x + BUTTONS[button][0], y + BUTTONS[button][1])
        ms = (quiet(d, set(), start) - start) * 1000.0
        if screenshot:
            subprocess.run(["xwd", "-root", "-silent", "-out", screenshot], check=True)
        peak = 0.0
        with open("/proc/%d/status" % process.pid) as status:
            for entry in status:
                if entry.startswith("VmHWM:"):
                    peak = int(entry.split()[1]) / 1024.0
        return ms, peak
    finally:
        process.kill()
        process.wait()
        d.sync()


def main():
    if len(sys.argv) not in (4, 5):
        print(__doc__, file=sys.stderr)
        return 2
    quorvane, bare, make_db = sys.argv[1:4]
    shots = sys.argv[4] if len(sys.argv) == 5 else None
    cases = [("sample", ["sample"]), ("1,000", ["10", "1000"]), ("100,000", ["10", "100000"]),
             ("1,000,000", ["10", "1000000"]), ("1,000,000, from the middle", ["10", "1000000"])]
    middle = {4}
    with tempfile.TemporaryDirectory(prefix="quorvane-dialogs-") as root:
        folders = []
        for index, (_, arguments) in enumerate(cases):
            folder = os.path.join(root, str(index))
            os.makedirs(folder)
            shutil.copy2(quorvane, os.path.join(folder, "quorvane"))
            database = os.path.join(folder, "dbSchedules.mdb")
            subprocess.run([make_db, database] + arguments, check=True)
            if index in middle:
                with sqlite3.connect(database) as connection:
                    connection.execute("update tblCourse set ScheduleID = 2 where ScheduleID = 1 and id > 500000")
                connection.close()
            folders.append(folder)
        bare_folder = os.path.join(root, "bare")
        os.makedirs(bare_folder)
        shutil.copy2(bare, os.path.join(bare_folder, "bare"))
        d = watch()
        bare_runs = []
        runs = {(b, i): ([], []) for b in BUTTONS for i in range(len(cases))}
        # One of each first: the files into the page cache, the indexes made.
        painted(d, os.path.join(bare_folder, "bare"), bare_folder)
        for index, folder in enumerate(folders):
            for button in BUTTONS:
                shot = os.path.join(shots, "%s-%d.xwd" % (button.split()[0].lower(), index)) if shots else None
                dialog_painted(d, os.path.join(folder, "quorvane"), folder, button, shot)
        for _ in range(ROUNDS):
            bare_runs.append(painted(d, os.path.join(bare_folder, "bare"), bare_folder)[0])
            for button in BUTTONS:
                for index, folder in enumerate(folders):
                    ms, peak = dialog_painted(d, os.path.join(folder, "quorvane"), folder, button, None)
                    runs[(button, index)][0].append(ms)
                    runs[(button, index)][1].append(peak)
    print("Course dialogs of the shipped program, click to the dialog fully painted (X DAMAGE), "
          "median (min - max) of %d runs taken in turn" % ROUNDS)
    for button in BUTTONS:
        for index, (name, _) in enumerate(cases):
            aim = "<= 1.3" if name.startswith("1,000,000") else "(flat)"
            line("%s painted, %s" % (button, name), runs[(button, index)][0], "bare Qt window", bare_runs, "ms", aim)
    for button in BUTTONS:
        sample_peak = runs[(button, 0)][1]
        for index, (name, _) in enumerate(cases[1:], start=1):
            peaks = runs[(button, index)][1]
            aim = "within 30 MiB" if name.startswith("1,000,000") else "(flat)"
            line("%s peak memory, %s" % (button, name), peaks, "the same on the sample", sample_peak, "MiB", aim)
            print("    difference %.1f MiB" % (median(peaks) - median(sample_peak)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
