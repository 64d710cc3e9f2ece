#!/usr/bin/python3
"""Reads the running program through the AT-SPI accessibility bus, as a
screen reader does, and checks what it would say: the main window a frame
with its menu bar, the schedules by name (one cell a row), the grid's rows by
their times and a free cell by its day and time; then opens Edit Course,
whose list says the course it selects, and Add Course, and checks the time
pickers' values.

Usage (inside an X server and a D-Bus session with the accessibility bus):
read_aloud.py QUORVANE_EXECUTABLE DELIVERED_DATABASE
"""

import os
import shutil
import subprocess
import sys
import tempfile
import time

import pyatspi

TIMEOUT = 60.0


def wait_for(what, find, process):
    end = time.monotonic() + TIMEOUT
    while time.monotonic() < end and process.poll() is None:
        found = find()
        if found is not None:
            return found
        time.sleep(0.1)
    raise SystemExit("FAIL: no " + what)


def start(path, env, folder):
    """The program and its main window. The X server may turn a program away
    while it still lets go of one just ended: such a start is made again."""
    for attempt in range(3):
        log = open(os.path.join(folder, "stderr-%d.txt" % attempt), "w+b")
        process = subprocess.Popen([path], env=env, stderr=log)
        end = time.monotonic() + TIMEOUT
        while time.monotonic() < end and process.poll() is None:
            found = window("Quorvane")
            if found is not None:
                return process, found
            time.sleep(0.1)
        log.seek(0)
        said = log.read()
        sys.stderr.write(said.decode(errors="replace"))
        if process.poll() is None or b"could not connect to display" not in said:
            break
        time.sleep(0.5)
    process.kill()
    raise SystemExit("FAIL: no main window")


def window(name):
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == "Quorvane":
            for child in app:
                if child is not None and child.name == name:
                    return child
    return None


def find(node, role, name=None):
    """The first node below `node`, depth first, of that role (and name)."""
    for c in node:
        if c is None:
            continue
        if c.getRoleName() == role and (name is None or c.name == name):
            return c
        found = find(c, role, name)
        if found is not None:
            return found
    return None


def check(what, actual, expected):
    if actual != expected:
        raise SystemExit("FAIL: %s: %r, expected %r" % (what, actual, expected))


def main():
    program, database = sys.argv[1], sys.argv[2]
    folder = tempfile.mkdtemp()
    try:
        shutil.copy(program, folder)
        shutil.copy(database, folder)
        db = os.path.join(folder, "dbSchedules.mdb")
        os.chmod(db, 0o600)
        subprocess.run(["sqlite3", db, "insert into tblSchedules (id, Description) values (1, 'Fall term');"
                        "insert into tblCourse (ScheduleID, CourseName, Notes, Days, TimeFrom, TimeTo) "
                        "values (1, 'Biology', '', '0', '6:00:00 AM', '9:00:00 AM');"
                        "insert into tblCourse (ScheduleID, CourseName, Notes, Days, TimeFrom, TimeTo) "
                        "values (1, 'Chemistry', '', '2', '8:00:00 AM', '9:00:00 AM')"], check=True)
        env = dict(os.environ, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
                   XDG_CONFIG_HOME=os.path.join(folder, "config"))
        process, main_window = start(os.path.join(folder, os.path.basename(program)), env, folder)
        try:
            check("main window role", main_window.getRoleName(), "frame")
            menus = [c.name for c in find(main_window, "menu bar")]
            check("menus", menus, ["File", "Edit", "Schedule", "Help"])
            names = [c.name for c in find(main_window, "tree") if c.getRoleName() == "table cell"]
            check("schedule rows", names, ["Fall term"])
            grid = find(main_window, "table").queryTable()
            check("row header", grid.getRowHeader(5).name, "8:30 AM")
            check("course cell", grid.getAccessibleAt(5, 1).name, "Biology, Monday 6:00\u20139:00 AM")
            check("free cell", grid.getAccessibleAt(5, 2).name, "Tuesday 8:30 AM, free")
            # The Edit Course list says the course it selects: the one in the
            # grid's current cell, then the next one after a Down.
            find(main_window, "push button", "Edit Course").queryAction().doAction(0)
            edit = wait_for("Edit Course dialog", lambda: window("Edit Course"), process)
            courses = find(edit, "combo box")
            check("preselected course", courses.name, "Biology")
            subprocess.run(["xdotool", "search", "--name", "^Edit Course$", "windowfocus", "--sync", "key", "Down"],
                           check=True)
            wait_for("the next course", lambda: courses.name == "Chemistry" or None, process)
            find(edit, "push button", "Cancel").queryAction().doAction(0)
            wait_for("Edit Course closed", lambda: window("Edit Course") is None or None, process)
            add = find(main_window, "push button", "Add Course").queryAction()
            add.doAction(0)
            dialog = wait_for("Add Course dialog", lambda: window("Add Course"), process)
            frame = next(c for c in dialog if c.name == "Time Range")
            picker = next(c for c in frame if c.name == "Time From")
            check("picker role", picker.getRoleName(), "spin button")
            shown = picker.queryText().getText(0, -1)
            hour, minute = int(shown[:2]) % 12, int(shown[3:5])
            check("picker value", picker.queryValue().currentValue,
                  float((hour + (12 if shown.endswith("PM") else 0)) * 60 + minute))
        finally:
            process.terminate()
            process.wait(10)
    finally:
        shutil.rmtree(folder)
    print("read aloud: ok")


if __name__ == "__main__":
    main()
