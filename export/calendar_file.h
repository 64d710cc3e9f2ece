#pragma once

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>
#include <QVector>

namespace quorvane {

class Connection;

constexpr int kDefaultCalendarWeeks = 16;
constexpr int kMaxCalendarWeeks = 520;

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
};

// The courses of a schedule as events, in the order the database gives them,
// read as the timetable reads them (CourseRowReader). Left out: a course
// whose times do not read as times of day, whose start carries a date, whose
// end comes before its start, whose day entries cannot all be read, or that
// has no day from Monday to Sunday. An end that carries a date ends the
// course's day.
QVector<CalendarCourse> calendarCourses(const Connection& db, const QString& scheduleId);

// An iCalendar file (RFC 5545) named `name` (X-WR-CALNAME) with one weekly
// repeating event per course: its first occurrence in the Monday-to-Sunday
// week holding weekOf, `weeks` weeks of occurrences (1 to kMaxCalendarWeeks),
// local ("floating") start and end times, the name as summary, the notes as
// description, CLASS:PRIVATE and a UID made from the course id, which stays
// the same from one export to the next, and as COLOR (RFC 7986) the CSS
// colour name nearest to the course's colour in the timetable
// (courseColourIndexes, cssColourName). `stamp` is the DTSTAMP. Texts are
// escaped, lines folded at 75 octets, CRLF line ends.
QByteArray calendarBytes(const QString& name, const QVector<CalendarCourse>& courses, const QDate& weekOf, int weeks,
                         const QDateTime& stamp);

// Writes the calendar of a schedule's courses, starting in this week, to
// fileName, atomically (replaceFileAtomically).
void saveScheduleCalendar(const Connection& db, const QString& scheduleId, const QString& name, int weeks,
                          const QString& fileName);

} // namespace quorvane
