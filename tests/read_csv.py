#!/usr/bin/python3
"""Reads a comma-separated values file written by the program with Python's
csv module and prints its rows as JSON.

Usage: read_csv.py FILE

Output (stdout, ASCII JSON): {"bom": true|false, "rows": [[field, ...], ...]}

Exit status: 0 read fine, 2 the file is malformed (reason on stderr).
"""

import csv
import io
import json
import sys


def main():
    if len(sys.argv) != 2:
        print(__doc__, file=sys.stderr)
        return 1
    with open(sys.argv[1], "rb") as f:
        data = f.read()
    try:
        text = data.decode("utf-8")
        bom = text.startswith("\ufeff")
        rows = list(csv.reader(io.StringIO(text[1:] if bom else text, newline=""), strict=True))
    except (UnicodeDecodeError, csv.Error) as e:
        print("malformed file: %s" % e, file=sys.stderr)
        return 2
    if len({len(row) for row in rows}) > 1:
        print("malformed file: rows of different lengths", file=sys.stderr)
        return 2
    json.dump({"bom": bom, "rows": rows}, sys.stdout, ensure_ascii=True)
    sys.stdout.write("\n")
    return 0


if __name__ == "__main__":
    sys.exit(main())
