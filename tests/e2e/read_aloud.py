#!/usr/bin/python3
"""Reads the running program through the AT-SPI accessibility bus, as a
screen reader does, and checks what it would say: the main window a frame,
the schedules by name, the grid's rows by their times and a free cell by its
day and time; then opens Add Course and checks the time pickers' values.

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


def child(node, role):
    return next(c for c in node if c.getRoleName() == role)


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
                        "values (1, 'Biology', '', '0', '8:00:00 AM', '9:00:00 AM')"], check=True)
        env = dict(os.environ, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
        process, main_window = start(os.path.join(folder, os.path.basename(program)), env, folder)
        try:
            check("main window role", main_window.getRoleName(), "frame")
            names = [c.name for c in child(main_window, "tree") if c.getRoleName() == "table cell"]
            check("schedule rows", names, ["Fall term", "Fall term"])
            grid = child(main_window, "table").queryTable()
            check("row header", grid.getRowHeader(5).name, "8:30 AM")
            check("course cell", grid.getAccessibleAt(5, 1).name, "Biology, Monday 8:00\u20139:00 AM")
            check("free cell", grid.getAccessibleAt(5, 2).name, "Tuesday 8:30 AM, free")
            add = next(c for c in main_window if c.name == "Add Course").queryAction()
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
