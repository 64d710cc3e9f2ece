#!/usr/bin/env python3
"""The layers as the build keeps them: each library sees only its own
folder's headers and those of the layers below it, and only the store and the
domain send statements.

For every layer, a file compiled with that layer's flags (from
compile_commands.json) includes one header of every other layer: the
include must be found exactly when the table below allows it. Then the
sources outside store/ and domain/ are searched for statements sent."""
import json
import os
import re
import shlex
import subprocess
import sys

# What each layer may include, besides itself.
BELOW = {
    "base": [],
    "store": ["base"],
    "domain": ["base", "store"],
    "widgets": ["base"],
    "timetable": ["base", "store", "domain", "widgets"],
    "export": ["base", "store", "domain", "widgets", "timetable"],
    "dialogs": ["base", "store", "domain", "widgets"],
    "planner": ["base", "store", "domain", "widgets", "timetable"],
    "app": ["base", "store", "domain", "widgets", "timetable", "export", "dialogs", "planner"],
}
STATEMENTS = re.compile(r"\bRecordset\b|\bsql::|\.execute\(|store/statements\.h")


def main(source, build):
    commands = json.load(open(os.path.join(build, "compile_commands.json")))
    failures = []
    for layer, below in BELOW.items():
        entry = next(c for c in commands if c["file"].startswith(os.path.join(source, layer) + "/"))
        words = shlex.split(entry["command"])
        flags = []
        skip = False
        for word in words[1:]:
            if skip:
                skip = False
            elif word in ("-o", "-c"):
                skip = True
            else:
                flags.append(word)
        for other in BELOW:
            headers = sorted(h for h in os.listdir(os.path.join(source, other)) if h.endswith(".h"))
            probe = '#include "%s/%s"\n' % (other, headers[0])
            found = subprocess.run([words[0], *flags, "-E", "-x", "c++", "-", "-o", os.devnull],
                                   input=probe, text=True, capture_output=True, cwd=entry["directory"])
            allowed = other == layer or other in below
            if (found.returncode == 0) != allowed:
                failures.append("%s including %s/%s: %s" % (layer, other, headers[0],
                                                             "refused" if allowed else "compiles"))
    for layer in BELOW:
        if layer in ("store", "domain"):
            continue
        for name in sorted(os.listdir(os.path.join(source, layer))):
            if not name.endswith((".cpp", ".h")):
                continue
            for number, line in enumerate(open(os.path.join(source, layer, name), encoding="utf-8"), 1):
                if STATEMENTS.search(line):
                    failures.append("%s/%s:%d sends a statement: %s" % (layer, name, number, line.strip()))
    for failure in failures:
        print("FAIL: " + failure)
    print("layers: %d layers, %d failures" % (len(BELOW), len(failures)))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2]))
