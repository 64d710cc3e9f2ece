#pragma once

#include "domain/course.h"

#include <QString>
#include <QStringList>
#include <QTime>
#include <QVector>

namespace quorvane {

namespace ical {
struct Component;
}

struct CalendarImport
{
    QString calendarName; // X-WR-CALNAME, empty when there is none
    // Stored as the Add Course dialog stores a course typed at those times:
    // on the grid, snapped to the half hour; exactly, as the calendar has them.
    QVector<NewCourse> courses;
    // One line per event left out, "Summary: why", events alike counted once.
    QStringList skipped;
    // One line per event taken with a change, "Summary: what changed".
    QStringList changed;
    // The calendars in the file after the first, which are not read.
    int calendarsLeftOut = 0;
};

// The courses of a calendar's events. A course is made from an event that
// repeats weekly, and from single events alike in summary, weekday, start and
// end that occur at least twice; those alike in summary, location and times
// on several weekdays make one course. Times are taken in the local time
// zone, to the minute. Left out, and named in `skipped`: cancelled and
// all-day events, those that occur once or never (an UNTIL before the start,
// COUNT=0, every meeting an EXDATE), repeat otherwise than weekly, lie
// outside 6:00 AM to 9:30 PM, whose time zone is unknown, or whose end is too
// far away to be read (a DURATION with a number of more than nine digits).
CalendarImport importCalendar(const ical::Component& calendar);

// The courses of a calendar file (ical::readFile); a file that cannot be
// read raises a failure that names it and says why.
CalendarImport importCalendarFile(const QString& fileName);

// What an import tells the user: how many courses went into which schedule,
// the calendars of the file left out, then the events changed and those
// left out: `mostSkipped` of these at most (all when negative), and how many
// more there are.
QString importReport(const CalendarImport& import, const QString& scheduleName, int mostSkipped = -1);

// The name a calendar's schedule takes: its X-WR-CALNAME, else the file's
// base name.
QString importedScheduleName(const CalendarImport& import, const QString& fileName);

} // namespace quorvane
