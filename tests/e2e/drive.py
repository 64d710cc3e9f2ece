#!/usr/bin/python3
"""Drives the real program in an X server as a person would: mouse clicks at
the buttons' places, keys typed into the input box and the dialogs along their
tab orders. After each step it checks the database with the sqlite3 tool and
compares screenshots of the window before and after.

Usage (inside an X server): drive.py QUORVANE_EXECUTABLE DELIVERED_DATABASE
"""

import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

TWIPS_PER_PIXEL = 15
TIMEOUT = 60.0  # generous: CI runs other tests beside this one
SHOTS = os.environ.get("QUORVANE_E2E_SHOTS")  # keep screenshots there, if set


def px(twips):
    return (twips + 7) // TWIPS_PER_PIXEL


# Button centres in twips (left, top, 6000 x 405).
BUTTONS = {
    1: (120, 1780), 5: (6240, 1780), 2: (120, 2290), 9: (6240, 2290),
    3: (120, 8430), 6: (6240, 8430), 4: (120, 8940), 10: (6240, 8940),
    7: (120, 9450), 8: (6240, 9450),
}
LIST = (120, 120, 12120, 1575)
GRID = (120, 2800, 12120, 5535)
FIRST_SIZE = (824, 664)  # below the menu bar, which adds its height


class Failed(Exception):
    pass


def run(*args, check=True, capture=True):
    result = subprocess.run(args, stdout=subprocess.PIPE if capture else None,
                            stderr=subprocess.PIPE, text=True, timeout=60)
    if check and result.returncode != 0:
        raise Failed("%s failed: %s" % (" ".join(args), result.stderr.strip()))
    return result.stdout.strip() if capture else ""


def wait_for(what, condition, timeout=TIMEOUT):
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > deadline:
            raise Failed("timed out waiting for %s" % what)
        time.sleep(0.05)


def windows(name):
    out = run("xdotool", "search", "--onlyvisible", "--name", "^%s$" % name, check=False)
    return [int(w) for w in out.split()] if out else []


def geometry(window):
    out = run("xdotool", "getwindowgeometry", "--shell", str(window))
    values = dict(line.split("=", 1) for line in out.splitlines() if "=" in line)
    return int(values["X"]), int(values["Y"]), int(values["WIDTH"]), int(values["HEIGHT"])


def focus(window):
    x, y, w, h = geometry(window)
    # Without a window manager the keyboard follows the pointer; keep the
    # pointer over the window that is to receive the keys.
    run("xdotool", "mousemove", str(x + w // 2), str(y + min(h // 2, 10)))
    run("xdotool", "windowfocus", str(window), check=False)
    wait_for("the keyboard focus on window %d" % window,
             lambda: run("xdotool", "getwindowfocus", check=False) == str(window), timeout=10)


def keys(*names):
    run("xdotool", "key", "--delay", "40", *names)


def type_text(text):
    run("xdotool", "type", "--delay", "20", text)


def sql(db, statement):
    # Wait for the program's write lock rather than fail on it.
    return run("sqlite3", "-cmd", ".timeout 10000", db, statement)


class Program:
    def __init__(self, folder):
        self.folder = folder
        self.db = os.path.join(folder, "dbSchedules.mdb")
        self.starts = 0
        self.start()
        self.main = None
        self.menu_bar = 0

    def start(self):
        # The X server of this run, whatever platform the caller's environment
        # names; the window's remembered place in a folder of the run's own.
        environment = dict(os.environ, QT_QPA_PLATFORM="xcb",
                           XDG_CONFIG_HOME=os.path.join(self.folder, "config"))
        self.process = subprocess.Popen([os.path.join(self.folder, "quorvane")], cwd="/", env=environment,
                                        stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        self.starts += 1

    def main_window(self):
        """The main window once shown. The X server may turn a program away
        while it still lets go of one just ended: such a start is made again."""
        if self.process.poll() is not None and self.starts < 3 and \
                b"could not connect to display" in self.process.stderr.read():
            time.sleep(0.5)
            self.start()
        return (windows("Quorvane") or [None])[0]

    def wait_main(self):
        self.main = wait_for("the main window", self.main_window)
        wait_for("the main window's size", lambda: geometry(self.main)[2] == FIRST_SIZE[0] and
                 geometry(self.main)[3] > FIRST_SIZE[1])
        self.menu_bar = geometry(self.main)[3] - FIRST_SIZE[1]
        self.painted()
        return self.main

    def painted(self):
        """Waits until the window shows the same picture twice in a row: the
        paint has finished, however loaded the machine is."""
        whole = (0, 0, 12360, 9960)
        last = [None]

        def steady():
            now = self.shot(whole, "whole")
            same = now == last[0]
            last[0] = now
            return same
        wait_for("the window to be painted", steady)

    def origin(self):
        """Where the controls' twips count from: below the menu bar."""
        x, y, _, _ = geometry(self.main)
        return x, y + self.menu_bar

    def click_button(self, number):
        left, top = BUTTONS[number]
        x, y = self.origin()
        run("xdotool", "mousemove", str(x + px(left) + px(6000) // 2), str(y + px(top) + px(405) // 2),
            "click", "1")

    def click_at(self, twips_x, twips_y):
        x, y = self.origin()
        run("xdotool", "mousemove", str(x + px(twips_x)), str(y + px(twips_y)), "click", "1")

    def shot(self, region, name):
        x, y = self.origin()
        left, top, width, height = region
        path = os.path.join(SHOTS or tempfile.gettempdir(), "quorvane-e2e-%s.png" % name)
        run("import", "-window", "root", "-crop",
            "%dx%d+%d+%d" % (px(width), px(height), x + px(left), y + px(top)), path)
        # The pixels, not the file: two PNGs of the same picture may differ in their headers.
        return subprocess.run(["convert", path, "rgb:-"], stdout=subprocess.PIPE, check=True, timeout=60).stdout

    def dialog(self, title):
        """A window of the program titled `title`, other than the main window."""
        return wait_for("a window titled %r" % title,
                        lambda: next((w for w in windows(title) if w != self.main), None))

    def gone(self, window):
        wait_for("window %d to close" % window, lambda: window not in windows(".*"))

    def answer_box(self, title, key="Return"):
        box = self.dialog(title)
        focus(box)
        keys(key)
        self.gone(box)

    def exited(self, timeout=TIMEOUT):
        try:
            return self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            raise Failed("the program did not end")

    def close(self):
        """Closes the main window as its close box does, again while a
        dialog that is just going away still blocks it, and waits for the end."""
        deadline = time.monotonic() + TIMEOUT
        while True:
            self.send_close()
            try:
                return self.process.wait(2)
            except subprocess.TimeoutExpired:
                if time.monotonic() > deadline:
                    raise Failed("the program did not end")

    def send_close(self):
        # WM_DELETE_WINDOW, as a window manager's close box sends it.
        from Xlib import X, display, protocol
        d = display.Display()
        window = d.create_resource_object("window", self.main)
        protocols = d.intern_atom("WM_PROTOCOLS")
        delete = d.intern_atom("WM_DELETE_WINDOW")
        event = protocol.event.ClientMessage(window=window, client_type=protocols,
                                             data=(32, [delete, X.CurrentTime, 0, 0, 0]))
        window.send_event(event, event_mask=X.NoEventMask)
        d.flush()
        d.close()

    def kill(self):
        if self.process.poll() is None:
            self.process.send_signal(signal.SIGKILL)
            self.process.wait()


def changed(program, before, region, name, complaint):
    """Waits until the region on screen differs from `before`."""
    try:
        wait_for(name, lambda: program.shot(region, name) != before)
    except Failed:
        raise Failed(complaint)


STEPS = []


def step(function):
    STEPS.append(function)
    return function


def main():
    if len(sys.argv) != 3:
        print(__doc__, file=sys.stderr)
        return 2
    executable, database = sys.argv[1], sys.argv[2]
    passed = failed = 0
    with tempfile.TemporaryDirectory(prefix="quorvane-e2e-") as root:
        context = {"executable": executable, "database": database, "root": root}
        for function in STEPS:
            name = function.__name__
            try:
                function(context)
                passed += 1
                print("PASS   : e2e::%s" % name, flush=True)
            except Exception as e:  # every failure is reported, the rest still run
                failed += 1
                print("FAIL!  : e2e::%s %s" % (name, e), flush=True)
                if SHOTS:
                    run("import", "-window", "root", os.path.join(SHOTS, "quorvane-e2e-failure-%s.png" % name),
                        check=False)
            finally:
                program = context.pop("program", None)
                if program:
                    program.kill()
    print("Totals: %d passed, %d failed" % (passed, failed))
    return 1 if failed else 0


def program_folder(context, name, with_database=True):
    folder = os.path.join(context["root"], name)
    os.makedirs(folder)
    shutil.copy2(context["executable"], os.path.join(folder, "quorvane"))
    if with_database:
        shutil.copy2(context["database"], os.path.join(folder, "dbSchedules.mdb"))
    return folder


# --------------------------------------------------------------- the steps

@step
def start_without_database_shows_one_box_then_ends(context):
    folder = program_folder(context, "nodb", with_database=False)
    program = context["program"] = Program(folder)
    box = wait_for("the not-found box", lambda: (windows("Quorvane") or [None])[0])
    _, _, width, height = geometry(box)
    if width == FIRST_SIZE[0] and height > FIRST_SIZE[1]:
        raise Failed("the main window was shown")
    focus(box)
    keys("Return")
    if program.exited() != 0:
        raise Failed("the program ended with a failure")
    if os.path.exists(os.path.join(folder, "dbSchedules.mdb")):
        raise Failed("the program created the database")


@step
def whole_editing_cycle(context):
    folder = program_folder(context, "cycle")
    program = context["program"] = Program(folder)
    db = program.db
    program.wait_main()

    # Add a schedule through the input box.
    before = program.shot(LIST, "list-empty")
    program.click_button(1)
    box = program.dialog("Input Schedule")
    focus(box)
    type_text("E2E Week")
    keys("Return")
    program.gone(box)
    wait_for("the new schedule", lambda: sql(db, "select Description from tblSchedules") == "E2E Week")
    changed(program, before, LIST, "list-added", "the list did not change on screen")

    # Load the sample: it is created, filled and drawn.
    before = program.shot(GRID, "grid-before-sample")
    program.click_button(9)
    wait_for("the sample's courses", lambda: sql(
        db, "select group_concat(CourseName) from tblCourse where ScheduleID="
            "(select id from tblSchedules where Description='Sample Schedule')")
        == "Mathematics,Engineering,Design")
    changed(program, before, GRID, "grid-sample", "the grid did not show the sample")

    context["db"] = db
    for stage in CYCLE:
        stage(program, context)

    # Close the window: the process ends and the database is intact.
    if program.close() != 0:
        raise Failed("the program ended with a failure")
    if sql(db, "PRAGMA integrity_check") != "ok":
        raise Failed("the database is damaged")


CYCLE = []


def stage(function):
    CYCLE.append(function)
    return function


def biology(db):
    return sql(db, "select Notes, Days, TimeFrom, TimeTo from tblCourse where CourseName='Biology'")


@stage
def add_a_course_with_keys_only(program, context):
    db = context["db"]
    before = program.shot(GRID, "grid-before-add")
    program.click_button(3)
    dialog = program.dialog("Add Course")
    focus(dialog)
    type_text("Biology")
    keys("Tab")
    type_text("lab notes")
    keys("Tab", "space")                 # Mon
    keys(*["Tab"] * 7)                    # Tue .. Sun, then the start picker (6:00 AM)
    keys("Tab", "Up")                     # the end picker: one hour later
    keys("Tab", "space")                  # Save
    program.gone(dialog)
    wait_for("the new course", lambda: biology(db) == "lab notes|0|6:00:00 AM|7:00:00 AM")
    changed(program, before, GRID, "grid-added", "the grid does not show the new course")


@stage
def edit_the_course(program, context):
    db = context["db"]
    before = program.shot(GRID, "grid-before-edit")
    program.click_button(6)  # the grid's current cell shows Biology: it is preselected
    dialog = program.dialog("Edit Course")
    focus(dialog)
    keys("Tab", "ctrl+a")
    type_text("edited")
    keys("Tab", "Tab", "Tab", "space")    # start, end, Sun
    keys(*["Tab"] * 7, "space")           # Sat .. Mon, Update
    program.gone(dialog)
    wait_for("the edited course", lambda: biology(db) == "edited|0,6|6:00:00 AM|7:00:00 AM")
    changed(program, before, GRID, "grid-edited", "the grid does not show the change")


@stage
def delete_the_course(program, context):
    db = context["db"]
    before = program.shot(GRID, "grid-before-delete")
    program.click_button(4)
    dialog = program.dialog("Delete Course")
    focus(dialog)
    keys("Tab", "space")                  # Delete
    question = wait_for("the question", lambda: next(
        (w for w in windows("Delete Course") if w not in (program.main, dialog)), None))
    focus(question)
    keys("Return")                        # Yes is the default
    program.gone(dialog)
    wait_for("the course gone", lambda: biology(db) == "")
    changed(program, before, GRID, "grid-deleted", "the grid still shows the course")


@stage
def add_an_evening_course_typed_as_people_type_times(program, context):
    db = context["db"]
    program.click_button(3)
    dialog = program.dialog("Add Course")
    focus(dialog)
    type_text("Evening")
    keys("Tab", "Tab", "space")          # notes, Mon
    keys(*["Tab"] * 7)                    # Tue .. Sun, then the start picker
    type_text("07:00 p")
    keys("Tab")                           # the end picker
    type_text("9:30 PM")
    keys("Tab", "space")                  # Save
    program.gone(dialog)
    wait_for("the evening course", lambda: sql(
        db, "select TimeFrom, TimeTo from tblCourse where CourseName='Evening'") == "7:00:00 PM|9:30:00 PM")


@stage
def delete_all_courses_acts_on_the_row_the_keyboard_selected(program, context):
    db = context["db"]
    sample = "(select id from tblSchedules where Description='Sample Schedule')"
    kept = sql(db, "select count(*) from tblCourse where ScheduleID=" + sample)
    left, top, width, height = LIST
    below_rows = (left + width // 2, top + height - 60)  # keeps the selection, focuses the list
    before = program.shot(GRID, "grid-before-keys")
    program.click_at(*below_rows)
    keys("Up")                            # from the sample to "E2E Week", which has no courses
    changed(program, before, GRID, "grid-after-keys", "the grid did not follow the keyboard")
    program.click_button(10)
    program.answer_box("Delete Courses")
    if sql(db, "select count(*) from tblCourse where ScheduleID=" + sample) != kept:
        raise Failed("Delete All Courses acted on a schedule the grid did not show")
    before = program.shot(GRID, "grid-before-back")
    program.click_at(*below_rows)
    keys("Down")                          # back to the sample
    changed(program, before, GRID, "grid-back", "the grid did not follow the keyboard back")


@stage
def delete_all_courses(program, context):
    db = context["db"]
    before = program.shot(GRID, "grid-before-delete-all")
    program.click_button(10)
    program.answer_box("Delete Courses")
    wait_for("the sample emptied", lambda: sql(
        db, "select count(*) from tblCourse where ScheduleID="
            "(select id from tblSchedules where Description='Sample Schedule')") == "0")
    changed(program, before, GRID, "grid-emptied", "the grid still shows courses")


def save_through_dialog(program, button, path):
    program.click_button(button)
    dialog = wait_for("the save dialog", lambda: next(
        (w for w in windows(".+") if w != program.main and geometry(w)[2] > 300), None))
    focus(dialog)
    keys("ctrl+a")
    type_text(path)
    keys("Return")
    program.answer_box("Quorvane")  # "Done."
    if not os.path.exists(path):
        raise Failed("%s was not written" % path)


@stage
def save_picture_and_workbook(program, context):
    picture = os.path.join(program.folder, "week.bmp")
    save_through_dialog(program, 7, picture)
    with open(picture, "rb") as f:
        if f.read(2) != b"BM":
            raise Failed("the picture is not a bitmap")
    workbook = os.path.join(program.folder, "week.xls")
    save_through_dialog(program, 8, workbook)
    with open(workbook, "rb") as f:
        if f.read(4) != b"\xD0\xCF\x11\xE0":
            raise Failed("the workbook is not an Excel 97-2003 file")


@stage
def delete_the_schedule(program, context):
    db = context["db"]
    count = int(sql(db, "select count(*) from tblSchedules"))
    before = program.shot(LIST, "list-before-delete")
    program.click_button(2)
    program.answer_box("Delete Schedule")
    wait_for("one schedule fewer", lambda: int(sql(db, "select count(*) from tblSchedules")) == count - 1)
    changed(program, before, LIST, "list-after-delete", "the list did not change on screen")


def every_row(db):
    return (sql(db, "select group_concat(id || '|' || hex(Description), ';') from tblSchedules") + " / " +
            sql(db, "select group_concat(id || '|' || ScheduleID || '|' || hex(CourseName) || '|' || hex(Notes) || "
                    "'|' || Days || '|' || TimeFrom || '|' || TimeTo, ';') from tblCourse"))


@stage
def undo_and_redo_a_deleted_schedule_with_the_keyboard(program, context):
    db = context["db"]
    program.click_button(9)  # the sample again, with its courses, selected
    wait_for("the sample's courses", lambda: sql(
        db, "select count(*) from tblCourse where ScheduleID="
            "(select id from tblSchedules where Description='Sample Schedule')") == "3")
    kept = every_row(db)
    program.click_button(2)
    program.answer_box("Delete Schedule")
    wait_for("the sample deleted", lambda: every_row(db) != kept)
    deleted = every_row(db)
    focus(program.main)
    keys("ctrl+z")
    wait_for("the sample back with its courses", lambda: every_row(db) == kept)
    keys("ctrl+y")
    wait_for("the sample deleted again", lambda: every_row(db) == deleted)
    keys("ctrl+z")
    wait_for("the sample back again", lambda: every_row(db) == kept)
    keys("ctrl+shift+z")
    wait_for("the sample deleted once more", lambda: every_row(db) == deleted)


if __name__ == "__main__":
    sys.exit(main())
