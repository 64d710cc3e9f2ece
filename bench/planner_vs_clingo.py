#!/usr/bin/python3
"""The planner against clingo, the answer-set solver, on the same pools.

bench_planner writes the pools (seeded: 12 courses x 20 options and 14 x 24,
crowded into 8 AM - 3 PM, and 16 x 30 likewise) into a database beside a copy
of the program, and each pool with the planning rules as a logic program for
clingo. For each pool the whole `quorvane --plan POOL --top 1 --json` process
is timed from its start to its exit, in turn with `--top 100` and with
`clingo --time-limit=LIMIT` on the pool's program, each from outside as a
process of its own; the two must agree on the best plan's costs (days, idle,
early), or both find none. Peak memory is each process's largest resident
set (wait4), against the program planning a pool of one course ("at rest").

clingo takes seconds to minutes on these pools: it runs 3 times on a pool it
finishes in under 20 seconds, else once; the program runs 11 times. Every
figure is the median (min - max) with the ratio of the medians.

Usage:
    planner_vs_clingo.py QUORVANE BENCH_PLANNER [CLINGO_TIME_LIMIT_SECONDS]
"""

import json
import os
import shutil
import subprocess
import sys
import tempfile
import time

ROUNDS = 11
CLINGO_ROUNDS_WHEN_QUICK = 3
QUICK = 20.0  # seconds


def run(command, folder):
    """(seconds from start to exit, peak resident MiB, exit status, stdout)."""
    start = time.monotonic()
    process = subprocess.Popen(command, cwd=folder, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    output = process.stdout.read()
    _, status, usage = os.wait4(process.pid, 0)
    seconds = time.monotonic() - start
    process.returncode = os.waitstatus_to_exitcode(status)
    return seconds, usage.ru_maxrss / 1024.0, process.returncode, output.decode()


def ours(folder, pool, top):
    seconds, peak, status, output = run([os.path.join(folder, "quorvane"), "--plan", pool, "--top", str(top),
                                         "--json"], folder)
    answer = json.loads(output)
    if status not in (0, 1) or (status == 1) != ("impossible" in answer):
        raise RuntimeError("quorvane --plan %s ended with status %d" % (pool, status))
    best = answer["plans"][0] if answer["plans"] else None
    costs = [best["days"], best["idle"], best["early"]] if best else None
    return seconds, peak, costs


def clingo(folder, program, limit):
    seconds, peak, _, output = run(["clingo", "--outf=2", "--time-limit=%d" % limit, program], folder)
    answer = json.loads(output)
    result = answer["Result"]
    if result == "UNSATISFIABLE":
        return seconds, peak, None, True
    witnesses = answer["Call"][-1].get("Witnesses", [])
    costs = witnesses[-1].get("Costs") if witnesses else None
    return seconds, peak, costs, result == "OPTIMUM FOUND"


def median(values):
    return sorted(values)[len(values) // 2]


def figure(values, scale=1.0):
    return "%9.2f (%8.2f - %8.2f)" % (median(values) * scale, min(values) * scale, max(values) * scale)


def main():
    if len(sys.argv) not in (3, 4):
        print(__doc__, file=sys.stderr)
        return 2
    quorvane, bench_planner = sys.argv[1:3]
    limit = int(sys.argv[3]) if len(sys.argv) == 4 else 300
    if not shutil.which("clingo"):
        print("clingo is not installed (Debian package gringo)", file=sys.stderr)
        return 1
    status = 0
    with tempfile.TemporaryDirectory(prefix="quorvane-plan-") as folder:
        shutil.copy2(quorvane, os.path.join(folder, "quorvane"))
        pools = subprocess.run([bench_planner, "write", folder], check=True, capture_output=True,
                               text=True).stdout.split("\n")
        pools = [p for p in pools if p]
        at_rest = [ours(folder, "Rest", 1) for _ in range(ROUNDS)]
        rest = [peak for _, peak, _ in at_rest]
        print("quorvane --plan POOL --top 1 (the whole process) against clingo on the same rules, "
              "median (min - max) of runs taken in turn; clingo stops after %d s" % limit)
        print("%-30s %s ms, %s MiB" % ("at rest (a pool of one course)", figure([s for s, _, _ in at_rest], 1000),
                                       figure(rest)))
        for pool in pools:
            program = os.path.join(folder, pool.replace(" ", "_") + ".lp")
            runs = {"top1": [], "top100": [], "clingo": [], "peak1": [], "peak100": [], "clingoPeak": []}
            finished = True
            agree = True
            best = None
            for round_ in range(ROUNDS):
                seconds, peak, costs = ours(folder, pool, 1)
                runs["top1"].append(seconds)
                runs["peak1"].append(peak)
                best = costs
                seconds, peak, costs100 = ours(folder, pool, 100)
                runs["top100"].append(seconds)
                runs["peak100"].append(peak)
                agree = agree and costs100 == best
                clingo_rounds = CLINGO_ROUNDS_WHEN_QUICK if not runs["clingo"] or median(
                    runs["clingo"]) < QUICK else 1
                if round_ < clingo_rounds:
                    seconds, peak, costs, optimum = clingo(folder, program, limit)
                    runs["clingo"].append(seconds)
                    runs["clingoPeak"].append(peak)
                    finished = finished and optimum
                    if optimum:
                        agree = agree and costs == best
            ratio = median(runs["top1"]) / median(runs["clingo"])
            print()
            print("== %s: best plan %s; clingo %s" % (
                pool, "none" if best is None else "days %d, idle %d, early %d" % tuple(best),
                ("agrees" if agree else "DISAGREES") if finished else "did not finish"))
            print("%-30s %s ms | %-10s %s ms | ratio %s%.4f | aim <= 0.05" % (
                "quorvane --top 1", figure(runs["top1"], 1000), "clingo", figure(runs["clingo"], 1000),
                "" if finished else "< ", ratio))
            print("%-30s %s ms | %-10s %s ms | ratio %.2f | aim <= 2" % (
                "quorvane --top 100", figure(runs["top100"], 1000), "--top 1", figure(runs["top1"], 1000),
                median(runs["top100"]) / median(runs["top1"])))
            for name, key in (("peak memory, --top 1", "peak1"), ("peak memory, --top 100", "peak100")):
                print("%-30s %s MiB | %-10s %s MiB | above rest %.1f MiB | aim <= 30" % (
                    name, figure(runs[key]), "at rest", figure(rest), median(runs[key]) - median(rest)))
            print("%-30s %s MiB" % ("peak memory, clingo", figure(runs["clingoPeak"])), flush=True)
            if not agree:
                status = 1
    return status


if __name__ == "__main__":
    sys.exit(main())
