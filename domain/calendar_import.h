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
};

// The courses of a calendar's events. A course is made from an event that
// repeats weekly, and from single events alike in summary, weekday, start and
// end that occur at least twice; those alike in summary, location and times
// on several weekdays make one course. Times are taken in the local time
// zone, to the minute. Left out, and named in
// `skipped`: cancelled and all-day events, those that occur once, repeat
// otherwise than weekly, lie outside 6:00 AM to 9:30 PM or whose time zone is
// unknown.
CalendarImport importCalendar(const ical::Component& calendar);

// The courses of a calendar file (ical::readFile); a file that cannot be
// read raises a failure that names it and says why.
CalendarImport importCalendarFile(const QString& fileName);

// What an import tells the user: how many courses went into which schedule,
// then the events left out and those changed.
QString importReport(const CalendarImport& import, const QString& scheduleName);

// The name a calendar's schedule takes: its X-WR-CALNAME, else the file's
// base name.
QString importedScheduleName(const CalendarImport& import, const QString& fileName);

} // namespace quorvane
