#pragma once

#include "base/day_set.h"
#include "base/time_of_day.h"
#include "domain/course.h"

#include <QByteArrayView>
#include <QString>
#include <QTime>
#include <array>
#include <optional>

namespace quorvane {

class Recordset;

// The days of a stored day set: each entry a number (dayset::entryValue),
// those outside Monday..Sunday skipped, the program never writes them. An
// entry that is no number raises "Type mismatch: day '<entry>'", for the
// first such entry; an empty set has no day.
WeekDays courseDays(QByteArrayView daySet);
// The same, leaving out the entries that are no number.
WeekDays readableDays(QByteArrayView daySet);

// One stored time (timeofday::read); nothing when it is no time of day.
std::optional<timeofday::StoredTime> storedTime(QByteArrayView field);

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
    // The current row's exact times: ExactFrom and ExactTo each where it
    // reads as a time of day on no date, else the end of `grid`, the row's
    // times().
    CourseTimes exactTimes(const CourseTimes& grid);
    // ExactFrom and ExactTo, each where the row has it and it reads so.
    struct ExactColumns
    {
        std::optional<QTime> from;
        std::optional<QTime> to;
        bool any() const { return from || to; }
    };
    ExactColumns storedExactTimes();
    // The whole course; nothing for one that lies on no day of the week
    // (times()), and the failures of times() and days().
    std::optional<Course> course();

private:
    int position(Column column);

    const Recordset& m_rs;
    std::array<int, 6> m_positions{-1, -1, -1, -1, -1, -1};
    bool m_lacksColumn = false;
    // ExactFrom, ExactTo and ScheduleID: -1 before the first reading, -2
    // where the table lacks them.
    std::array<int, 3> m_optional{-1, -1, -1};
    int optionalPosition(size_t which, const char* name);
};

} // namespace quorvane
