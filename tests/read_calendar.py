#!/usr/bin/python3
"""Reads an iCalendar file written by the program with the icalendar module
(python3-icalendar) and prints what it holds as JSON.

Usage: read_calendar.py FILE

The lines are checked first: each ends in CRLF and holds at most 75 octets.
Output (stdout, ASCII JSON):
  {"name": X-WR-CALNAME, "events": [{"uid", "summary", "description",
   "class", "start", "end" (ISO local times, "floating": true when neither
   has a time zone), "rrule", "occurrences": [every start the rule makes,
   expanded by dateutil]}]}

Exit status: 0 read fine, 2 the file is malformed (reason on stderr),
3 a needed Python module is missing.
"""

import json
import sys


def main():
    if len(sys.argv) != 2:
        print(__doc__, file=sys.stderr)
        return 1
    try:
        import icalendar
        from dateutil import rrule
    except ImportError as e:
        print("a Python module is not installed: %s" % e, file=sys.stderr)
        return 3
    with open(sys.argv[1], "rb") as f:
        data = f.read()
    lines = data.split(b"\r\n")
    problems = []
    if lines[-1] != b"" or any(b"\n" in line or b"\r" in line for line in lines):
        problems.append("a line does not end in CRLF")
    problems += ["line %d holds %d octets" % (n + 1, len(line)) for n, line in enumerate(lines) if len(line) > 75]
    try:
        calendar = icalendar.Calendar.from_ical(data)
    except ValueError as e:
        problems.append(str(e))
    if problems:
        print("malformed calendar: %s" % "; ".join(problems[:3]), file=sys.stderr)
        return 2
    events = []
    for event in calendar.walk("VEVENT"):
        start = event.decoded("DTSTART")
        end = event.decoded("DTEND") if "DTEND" in event else None
        rule = event["RRULE"].to_ical().decode()
        events.append({
            "uid": str(event["UID"]), "summary": str(event["SUMMARY"]),
            "description": str(event.get("DESCRIPTION", "")), "class": str(event["CLASS"]),
            "start": start.isoformat(), "end": end.isoformat() if end else None,
            "floating": start.tzinfo is None and (end is None or end.tzinfo is None), "rrule": rule,
            "occurrences": [o.isoformat() for o in rrule.rrulestr(rule, dtstart=start)]})
    json.dump({"name": str(calendar["X-WR-CALNAME"]), "events": events}, sys.stdout, ensure_ascii=True)
    sys.stdout.write("\n")
    return 0


if __name__ == "__main__":
    sys.exit(main())
