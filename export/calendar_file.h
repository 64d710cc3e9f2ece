#pragma once

#include "domain/ids.h"

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>
#include <QTimeZone>
#include <QVector>
#include <optional>

namespace quorvane {

class Repository;

constexpr int kDefaultCalendarWeeks = 16;
constexpr int kMaxCalendarWeeks = 520;
// The last day a calendar can hold: its dates have four digits for the year.
inline const QDate kLastCalendarDay(9999, 12, 31);

// A course as a calendar holds it: every week on its days, from one time of
// day to another.
struct CalendarCourse
{
    qint64 id = 0;
    QString name;
    QString notes;
    QVector<int> days; // 0 Monday .. 6 Sunday, ascending, each once
    QTime from;
    QTime to; // not before from
    QString uid;
};

// Days from one to another, both included.
struct DayRange
{
    QDate first;
    QDate last;
};

// The days a calendar holds classes: from the first to the last, but for the
// free ones.
struct CalendarTerm
{
    QDate first;
    QDate last;
    QVector<DayRange> free;
};

// The term a calendar covers when nothing else is said: kDefaultCalendarWeeks
// weeks from the Monday of `today`'s week.
CalendarTerm defaultCalendarTerm(const QDate& today);

// The days "2026-10-12..2026-10-16, 2026-11-26" name, separated by commas,
// semicolons or blanks; nothing when one is no day as YYYY-MM-DD or a range
// ends before it begins.
std::optional<QVector<DayRange>> parseDayRanges(const QString& text);
QString dayRangesText(const QVector<DayRange>& ranges);

// The courses of a schedule as events at their exact times, in the order the
// database gives them (Repository::courses). Left out besides: a course whose
// exact end comes before its start, or that has no day from Monday to
// Sunday. An end that carries a date ends the course's day. Each course's UID
// is stable and unique across databases.
QVector<CalendarCourse> calendarCourses(const Repository& repository, ScheduleId schedule);

// An iCalendar file (RFC 5545) named `name` (X-WR-CALNAME) with one weekly
// repeating event per course: its first meeting on or after the term's first
// day, repeated until the end of its last day (UNTIL, in UTC), an EXDATE for
// each meeting on a free day; start and end in `zone` (TZID: its id when
// that is a plain name, else a name of the program's own made of its
// abbreviations, "CET/CEST"), described by a VTIMEZONE of that TZID with
// every change of offset over the term, or floating when the zone is not
// valid. A course that meets on no day of the term is left out.
// The name as summary, the notes as description, CLASS:PRIVATE, the course's
// UID, and as COLOR (RFC 7986) the CSS colour name nearest to the course's
// colour in the timetable (courseColourIndexes, cssColourName). `stamp` is the DTSTAMP. Texts are escaped, lines folded at 75 octets,
// CRLF line ends. A term that ends before it begins, is longer than
// kMaxCalendarWeeks weeks, or ends after kLastCalendarDay raises a failure.
QByteArray calendarBytes(const QString& name, const QVector<CalendarCourse>& courses, const CalendarTerm& term,
                         const QTimeZone& zone, const QDateTime& stamp);

// Writes the calendar of a schedule's courses over the term, in the system's
// time zone, to fileName, atomically (replaceFileAtomically).
void saveScheduleCalendar(const Repository& repository, ScheduleId schedule, const QString& name,
                          const CalendarTerm& term, const QString& fileName);

} // namespace quorvane
