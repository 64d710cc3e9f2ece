#!/usr/bin/python3
"""Reads a file the program exported with a reader no one here wrote and
prints what it holds as JSON.

Usage: read_export.py FILE
  *.csv: Python's csv module: {"bom": true|false, "rows": [[field, ...]]}
  *.ics: the icalendar module (python3-icalendar), once every line is seen to
    end in CRLF and hold at most 75 octets: {"name", "events": [{"uid",
    "summary", "description", "class", "color", "start", "end" (ISO), "floating",
    "occurrences": [every start of its rule, expanded by dateutil]}]}

Exit status: 0 read fine, 2 the file is malformed (reason on stderr).
"""

import csv
import io
import json
import sys


def read_csv(data):
    text = data.decode("utf-8")
    bom = text.startswith("\ufeff")
    rows = list(csv.reader(io.StringIO(text[1:] if bom else text, newline=""), strict=True))
    if len({len(row) for row in rows}) > 1:
        raise ValueError("rows of different lengths")
    return {"bom": bom, "rows": rows}


def read_ics(data):
    import icalendar
    from dateutil import rrule
    lines = data.split(b"\r\n")
    if lines[-1] or any(b"\n" in line or b"\r" in line or len(line) > 75 for line in lines):
        raise ValueError("a line does not end in CRLF or holds more than 75 octets")
    calendar = icalendar.Calendar.from_ical(data)
    events = []
    for event in calendar.walk("VEVENT"):
        start = event.decoded("DTSTART")
        end = event.decoded("DTEND") if "DTEND" in event else None
        rule = event["RRULE"].to_ical().decode()
        events.append({"uid": str(event["UID"]), "summary": str(event["SUMMARY"]),
                       "description": str(event.get("DESCRIPTION", "")), "class": str(event["CLASS"]),
                       "color": str(event.get("COLOR", "")),
                       "start": start.isoformat(), "end": end.isoformat() if end else None,
                       "floating": start.tzinfo is None and (end is None or end.tzinfo is None),
                       "occurrences": [o.isoformat() for o in rrule.rrulestr(rule, dtstart=start)]})
    return {"name": str(calendar["X-WR-CALNAME"]), "events": events}


def main():
    with open(sys.argv[1], "rb") as f:
        data = f.read()
    try:
        result = (read_ics if sys.argv[1].lower().endswith(".ics") else read_csv)(data)
    except (ValueError, csv.Error) as e:
        print("malformed file: %s" % e, file=sys.stderr)
        return 2
    json.dump(result, sys.stdout, ensure_ascii=True)
    sys.stdout.write("\n")
    return 0


if __name__ == "__main__":
    sys.exit(main())
