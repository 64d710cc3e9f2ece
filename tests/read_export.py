#!/usr/bin/python3
"""Reads a file the program exported with a reader no one here wrote and
prints what it holds as JSON.

Usage: read_export.py FILE
  *.csv: Python's csv module: {"bom": true|false, "rows": [[field, ...]]}
  *.ics: the icalendar module (python3-icalendar), once every line is seen to
    end in CRLF and hold at most 75 octets: {"name", "zones": [[TZID,
    [[STANDARD or DAYLIGHT, onset, offset from, offset to], ...]]], "events":
    [{"uid", "summary", "description", "class", "color", "start", "end" (ISO, the wall
    clock of its zone), "tzid", "floating", "exdates": [ISO], "occurrences":
    [every start of its rule but the EXDATEs, expanded by dateutil as wall
    clock times], "utc": [the same in UTC, through the system's zone data, or
    the file's VTIMEZONE for a TZID the system does not know]}]}

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


def text(value):
    return value.decode() if isinstance(value, bytes) else value


def in_zone(zone, wall):
    """A wall clock time in the zone: pytz's zones (icalendar's own for a
    VTIMEZONE) are applied with localize(), the others set."""
    return zone.localize(wall) if hasattr(zone, "localize") else wall.replace(tzinfo=zone)


def read_ics(data):
    import datetime
    import re
    import zoneinfo
    import icalendar
    from dateutil import rrule
    lines = data.split(b"\r\n")
    if lines[-1] or any(b"\n" in line or b"\r" in line or len(line) > 75 for line in lines):
        raise ValueError("a line does not end in CRLF or holds more than 75 octets")
    calendar = icalendar.Calendar.from_ical(data)
    zones = []
    for zone in calendar.walk("VTIMEZONE"):
        zones.append([str(zone["TZID"]), [[part.name, part.decoded("DTSTART").isoformat(),
                                           text(part["TZOFFSETFROM"].to_ical()),
                                           text(part["TZOFFSETTO"].to_ical())]
                                          for part in zone.subcomponents]])
    events = []
    for event in calendar.walk("VEVENT"):
        tzid = event["DTSTART"].params.get("TZID")
        start = event.decoded("DTSTART")
        try:
            zone = zoneinfo.ZoneInfo(tzid) if tzid else None
        except (zoneinfo.ZoneInfoNotFoundError, ValueError):
            # A name only the file's VTIMEZONE defines, as icalendar read it.
            zone = start.tzinfo
        end = event.decoded("DTEND") if "DTEND" in event else None
        wall = start.replace(tzinfo=None)
        # Expanded in wall clock times, UNTIL taken to the event's zone.
        rule = event["RRULE"].to_ical().decode()
        until = event["RRULE"].get("UNTIL")
        if until and until[0].tzinfo is not None:
            local = until[0].astimezone(zone).replace(tzinfo=None) if zone else until[0].replace(tzinfo=None)
            rule = re.sub(r"UNTIL=[^;]*", "UNTIL=" + local.strftime("%Y%m%dT%H%M%S"), rule)
        exdates = []
        found = event.get("EXDATE", [])
        for entry in found if isinstance(found, list) else [found]:
            exdates += [d.dt.replace(tzinfo=None) for d in entry.dts]
        rules = rrule.rruleset()
        rules.rrule(rrule.rrulestr(rule, dtstart=wall))
        for d in exdates:
            rules.exdate(d)
        occurrences = list(rules)
        events.append({"uid": str(event["UID"]), "summary": str(event["SUMMARY"]),
                       "description": str(event.get("DESCRIPTION", "")), "class": str(event["CLASS"]),
                       "color": str(event.get("COLOR", "")),
                       "start": wall.isoformat(), "end": end.replace(tzinfo=None).isoformat() if end else None,
                       "tzid": tzid, "floating": start.tzinfo is None and (end is None or end.tzinfo is None),
                       "exdates": [d.isoformat() for d in exdates],
                       "occurrences": [o.isoformat() for o in occurrences],
                       "utc": [in_zone(zone, o).astimezone(datetime.timezone.utc).isoformat()
                               for o in occurrences] if zone else []})
    return {"name": str(calendar["X-WR-CALNAME"]), "zones": zones, "events": events}


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
