#pragma once

#include "store/day_set.h"
#include "store/time_of_day.h"

#include <QByteArrayView>
#include <QString>
#include <QTime>
#include <array>
#include <optional>

namespace quorvane {

class Recordset;

// A course's weekdays, ticked from Monday (0) to Sunday (6).
using WeekDays = std::array<bool, dayset::kDays>;

// The days of a stored day set: each entry a number (dayset::entryValue),
// those outside Monday..Sunday skipped, the program never writes them. An
// entry that is no number raises "Type mismatch: day '<entry>'", for the
// first such entry; an empty set has no day.
WeekDays courseDays(QByteArrayView daySet);
// The same, leaving out the entries that are no number.
WeekDays readableDays(QByteArrayView daySet);

// One stored time (timeofday::read); nothing when it is no time of day.
std::optional<timeofday::StoredTime> storedTime(QByteArrayView field);

// A course's times of day as its row stores them.
//
// The timetable and the calendar take the same courses at the same times;
// they differ only in what they can show. The grid has a row for every half
// hour from 6:00 AM to 9:30 PM and fills those a whole number of half hours
// after the start (forEachCourseRow): a course starting at 9:45 PM, at
// 8:30:15 AM, or ending before it starts fills no cell there, while the
// calendar holds the first two as they are and leaves out only the last.
struct CourseTimes
{
    QTime from;
    QTime to; // the end's time of day as stored
    // The end carries a calendar date: it lies after every time of the
    // course's day.
    bool endsOnADate = false;

    // The last moment the course takes on each of its days.
    QTime until() const { return endsOnADate ? QTime(23, 59, 59, 999) : to; }
};

// The rows of tblCourse a recordset walks, read as the timetable, the
// calendar and Edit Course take them. Each column is looked up once, at its
// first reading; fields are read from the stored bytes without a copy.
class CourseRowReader
{
public:
    enum class Column { Id, CourseName, Notes, Days, TimeFrom, TimeTo };

    explicit CourseRowReader(const Recordset& rs) : m_rs(rs) {}

    // A field of the current row as stored (Recordset::bytes). A column the
    // table lacks raises the recordset's failure, and lacksColumn() is true
    // from then on: every later row would fail alike.
    QByteArrayView bytes(Column column);
    QString text(Column column);
    qint64 integer(Column column);
    bool lacksColumn() const { return m_lacksColumn; }

    // The current row's times. A start that carries a calendar date lies on
    // no day of the week: nothing. A field that is no time of day raises
    // "Type mismatch: '<field>' to 'TimeFrom' is not a time of day" (or
    // 'TimeTo'), naming the start when neither reads.
    std::optional<CourseTimes> times();
    // The current row's days (courseDays of its Days field).
    WeekDays days() { return courseDays(bytes(Column::Days)); }

private:
    int position(Column column);

    const Recordset& m_rs;
    std::array<int, 6> m_positions{-1, -1, -1, -1, -1, -1};
    bool m_lacksColumn = false;
};

} // namespace quorvane
