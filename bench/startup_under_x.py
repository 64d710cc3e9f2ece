#!/usr/bin/python3
"""Start-up of the shipped program, measured from outside in a real X server.

For each run a program is started afresh, and the time from its exec to the
last change of its windows' pixels (reported by the X server's DAMAGE
extension) is taken, once nothing has changed for a while: the window fully
painted. Its peak resident memory is read from /proc then. The baseline is a
bare program that links only Qt Widgets and builds the same widgets.

The runs are taken in turn (bare, then each database), 11 rounds, and each
figure is printed as median (min - max) with the ratio of the medians. The
program backs its database up once the window is shown, when it changed since
the newest backup: after the first run of a case it has not, except for the
case whose backups are removed before every run, which copies its database
on every start.

Usage (inside an X server, e.g. xvfb-run):
    startup_under_x.py QUORVANE BARE_WINDOW MAKE_DB
"""

import os
import select
import shutil
import subprocess
import sys
import tempfile
import time

from Xlib import X, display
from Xlib.ext import damage

ROUNDS = 11
QUIET = 0.4      # seconds without a change: the window is fully painted
TIMEOUT = 60.0


def watch():
    """The connection that watches every window made on the screen; it stays
    open for the whole run, so the server never resets in between."""
    d = display.Display()
    d.damage_query_version()
    d.screen().root.change_attributes(event_mask=X.SubstructureNotifyMask)
    d.sync()
    return d


def painted(d, program, folder):
    """Starts `program` in `folder`; (ms from exec to the last change of its
    windows' pixels, peak resident MiB)."""
    damage_notify = d.query_extension("DAMAGE").first_event + damage.DamageNotifyCode
    while d.pending_events():  # what the previous program left
        d.next_event()
    # No remembered window place: every run starts at the first size.
    environment = dict(os.environ, QT_QPA_PLATFORM="xcb", XDG_CONFIG_HOME=os.path.join(folder, "config"))
    start = time.monotonic()
    process = subprocess.Popen([program], cwd=folder, env=environment,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    last = None
    try:
        while True:
            now = time.monotonic()
            if last is not None and now - last > QUIET:
                break
            if now - start > TIMEOUT:
                raise RuntimeError("%s drew nothing within %d s" % (program, TIMEOUT))
            if process.poll() is not None:
                raise RuntimeError("%s ended before its window was painted" % program)
            if not d.pending_events():
                select.select([d.fileno()], [], [], 0.02)
            while d.pending_events():
                event = d.next_event()
                if event.type == X.CreateNotify:
                    # Watched from its creation on, before anything is drawn.
                    event.window.damage_create(damage.DamageReportRawRectangles)
                    d.flush()
                elif event.type == damage_notify:
                    last = time.monotonic()
        peak = 0.0
        with open("/proc/%d/status" % process.pid) as status:
            for line in status:
                if line.startswith("VmHWM:"):
                    peak = int(line.split()[1]) / 1024.0
        return (last - start) * 1000.0, peak
    finally:
        process.kill()
        process.wait()
        d.sync()


def median(values):
    return sorted(values)[len(values) // 2]


def line(figure, values, baseline_name, baseline, unit, aim):
    print("%-46s %9.2f (%8.2f - %8.2f) %-3s | %-26s %9.2f (%8.2f - %8.2f) | ratio %6.2f | aim %s" % (
        figure, median(values), min(values), max(values), unit, baseline_name, median(baseline), min(baseline),
        max(baseline), median(values) / median(baseline), aim), flush=True)


def main():
    if len(sys.argv) != 4:
        print(__doc__, file=sys.stderr)
        return 2
    quorvane, bare, make_db = sys.argv[1:]
    cases = [("sample schedule", ["sample"], "<= 1.3"),
             ("10,000 schedules, 100,000 courses", ["10000", "100000"], "<= 1.3"),
             ("10,000 courses in the first schedule", ["1", "10000"], "<= 2"),
             ("the same 100,000, backing up", ["10000", "100000"], "<= 1.3")]
    backing_up = {3}
    with tempfile.TemporaryDirectory(prefix="quorvane-startup-") as root:
        folders = []
        for index, (_, arguments, _) in enumerate(cases):
            folder = os.path.join(root, str(index))
            os.makedirs(folder)
            shutil.copy2(quorvane, os.path.join(folder, "quorvane"))
            subprocess.run([make_db, os.path.join(folder, "dbSchedules.mdb")] + arguments, check=True)
            folders.append(folder)
        bare_folder = os.path.join(root, "bare")
        os.makedirs(bare_folder)
        shutil.copy2(bare, os.path.join(bare_folder, "bare"))
        runs = {"bare": ([], [])}
        for index in range(len(cases)):
            runs[index] = ([], [])
        d = watch()
        # One of each first, to bring the files into the page cache.
        painted(d, os.path.join(bare_folder, "bare"), bare_folder)
        for folder in folders:
            painted(d, os.path.join(folder, "quorvane"), folder)
        for _ in range(ROUNDS):
            for key, program, folder in [("bare", os.path.join(bare_folder, "bare"), bare_folder)] + [
                    (i, os.path.join(f, "quorvane"), f) for i, f in enumerate(folders)]:
                if key in backing_up:
                    shutil.rmtree(os.path.join(folder, "backups"), ignore_errors=True)
                ms, peak = painted(d, program, folder)
                runs[key][0].append(ms)
                runs[key][1].append(peak)
    print("Start-up of the shipped program, exec to the window fully painted (X DAMAGE), "
          "median (min - max) of %d runs taken in turn" % ROUNDS)
    for index, (name, _, aim) in enumerate(cases):
        line("start-up, " + name, runs[index][0], "bare Qt window", runs["bare"][0], "ms", aim)
    for index, (name, _, _) in enumerate(cases):
        line("peak memory, " + name, runs[index][1], "bare Qt window", runs["bare"][1], "MiB", "(shown)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
