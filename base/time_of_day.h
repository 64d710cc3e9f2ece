#pragma once

#include <QString>
#include <QTime>
#include <optional>

// Times of day as the database holds them: "08:30" written by the sample
// schedule, "8:30:00 AM" written by the course dialogs.
namespace quorvane::timeofday {

// Reads "08:30", "8:30", "08:30:00", "8:30 AM", "8:30:00 pm", "12:00 PM"
// (designator in any case, ASCII blanks around and before it, ASCII digits).
// Anything else, a text with a date included, is not a time of day.
std::optional<QTime> parse(const QString& text);

// A stored time as a date-time value: its time of day, and whether the text
// carried a calendar date as well ("8/31/2021 8:30:00 AM", "2021-08-31
// 08:30", or a date alone, which is midnight of that date).
struct StoredTime
{
    QTime time;
    bool dated = false;
};
std::optional<StoredTime> read(const QString& text);
// The same reading of a text in Latin-1, or of UTF-8 bytes as they are stored:
// a time holds ASCII characters only, so both read alike.
std::optional<StoredTime> read(QLatin1StringView text);

// The course dialogs' snapping of a time to the half hour: a minute up to 15
// becomes 0, any later one 30 of the same hour; hour and seconds stay.
QTime snappedToHalfHour(const QTime& time);

// The first and the last half-hour row of the timetable: the earliest and
// the latest time a course may start or end.
QTime earliestCourseTime(); // 06:00:00
QTime latestCourseTime();   // 21:30:00

// The one form the program writes: "8:30:00 AM".
QString formatLong(const QTime& time);

// A grid row label: "6:00 AM", "12:30 PM".
QString formatLabel(const QTime& time);

// A time range as it is read out: "9:00–9:50 AM", "11:30 AM–1:00 PM".
QString formatRange(const QTime& from, const QTime& to);
// Two times as written ("9:00 AM", "9:50:30 AM") joined the same way.
QString joinRange(const QString& start, const QString& end);

} // namespace quorvane::timeofday
