#include "domain/course_row.h"

#include "base/failure.h"
#include "store/connection.h"

#include <algorithm>

namespace quorvane {

namespace {

const char* const kColumnNames[] = {"id", "CourseName", "Notes", "Days", "TimeFrom", "TimeTo"};

bool isAscii(QByteArrayView text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return uchar(c) < 0x80; });
}

// Calls take(value, entry) for every entry of a day set, in stored order,
// the value nothing for an entry that is no number.
template <class Take>
void forEachDayEntry(QByteArrayView daySet, Take&& take)
{
    if (daySet.isEmpty())
        return;
    if (isAscii(daySet)) {
        for (qsizetype begin = 0; begin <= daySet.size();) {
            qsizetype end = begin;
            while (end < daySet.size() && daySet[end] != ',')
                ++end;
            const QLatin1StringView entry(daySet.sliced(begin, end - begin));
            take(dayset::entryValue(entry), entry);
            begin = end + 1;
        }
        return;
    }
    for (const QString& entry : dayset::entries(textFromEngine(daySet)))
        take(dayset::entryValue(entry), entry);
}

void tick(WeekDays& days, int day)
{
    if (day >= 0 && day < dayset::kDays)
        days[static_cast<size_t>(day)] = true;
}

} // namespace

int CourseRowReader::position(Column column)
{
    int& at = m_positions[static_cast<size_t>(column)];
    if (at < 0) {
        try {
            at = m_rs.column(QLatin1String(kColumnNames[static_cast<size_t>(column)]));
        } catch (const Failure&) {
            m_lacksColumn = true;
            throw;
        }
    }
    return at;
}

QByteArrayView CourseRowReader::bytes(Column column)
{
    return m_rs.bytes(position(column));
}

QString CourseRowReader::text(Column column)
{
    return m_rs.text(position(column));
}

qint64 CourseRowReader::integer(Column column)
{
    return m_rs.integer(position(column));
}

std::optional<CourseTimes> CourseRowReader::times()
{
    const QByteArrayView fromText = bytes(Column::TimeFrom);
    const QByteArrayView toText = bytes(Column::TimeTo);
    const std::optional<timeofday::StoredTime> from = storedTime(fromText);
    const std::optional<timeofday::StoredTime> to = storedTime(toText);
    if (!from || !to)
        throw Failure(QStringLiteral("Type mismatch: '%1' to '%2' is not a time of day")
                          .arg(textFromEngine(from ? toText : fromText),
                               from ? QStringLiteral("TimeTo") : QStringLiteral("TimeFrom")));
    if (from->dated)
        return std::nullopt;
    return CourseTimes{from->time, to->time, to->dated};
}

int CourseRowReader::optionalPosition(size_t which, const char* name)
{
    int& at = m_optional[which];
    if (at == -1) {
        at = m_rs.findColumn(QLatin1String(name));
        if (at < 0)
            at = -2;
    }
    return at;
}

CourseRowReader::ExactColumns CourseRowReader::storedExactTimes()
{
    ExactColumns exact;
    const auto read = [&](int position) -> std::optional<QTime> {
        // NULL, or a text the program never writes: the grid's time stands.
        const std::optional<timeofday::StoredTime> time =
            position < 0 ? std::nullopt : storedTime(m_rs.bytes(position));
        if (!time || time->dated)
            return std::nullopt;
        return time->time;
    };
    exact.from = read(optionalPosition(0, "ExactFrom"));
    exact.to = read(optionalPosition(1, "ExactTo"));
    return exact;
}

CourseTimes CourseRowReader::exactTimes(const CourseTimes& grid)
{
    const ExactColumns exact = storedExactTimes();
    return CourseTimes{exact.from.value_or(grid.from), exact.to.value_or(grid.to), !exact.to && grid.endsOnADate};
}

std::optional<Course> CourseRowReader::course()
{
    const std::optional<CourseTimes> grid = times();
    if (!grid)
        return std::nullopt;
    Course course;
    course.grid = *grid;
    course.exact = exactTimes(*grid);
    course.days = days();
    course.id = CourseId(integer(Column::Id));
    const int schedule = optionalPosition(2, "ScheduleID");
    if (schedule >= 0)
        course.schedule = ScheduleId(m_rs.integer(schedule));
    course.name = text(Column::CourseName);
    course.notes = text(Column::Notes);
    return course;
}

WeekDays courseDays(QByteArrayView daySet)
{
    WeekDays days{};
    forEachDayEntry(daySet, [&](std::optional<int> day, auto entry) {
        if (!day)
            throw Failure(QStringLiteral("Type mismatch: day '%1'").arg(entry));
        tick(days, *day);
    });
    return days;
}

WeekDays readableDays(QByteArrayView daySet)
{
    WeekDays days{};
    forEachDayEntry(daySet, [&](std::optional<int> day, auto) {
        if (day)
            tick(days, *day);
    });
    return days;
}

std::optional<timeofday::StoredTime> storedTime(QByteArrayView field)
{
    // A time holds ASCII characters only: any other byte reads as no time.
    return timeofday::read(QLatin1StringView(field));
}

} // namespace quorvane
