#include "domain/course_catalog.h"

#include "base/shown_text.h"
#include "store/connection.h"
#include "store/course_positions.h"
#include "store/statements.h"

#include <algorithm>

namespace quorvane {

qint64 CourseCatalog::count() const
{
    Recordset rs;
    rs.open(sql::countCourses(), m_db);
    return rs.eof() ? 0 : std::max<qint64>(rs.integer(0), 0);
}

CourseCatalog::Rows CourseCatalog::read(const QString& statement, int rows, bool downwards) const
{
    Rows result;
    if (rows <= 0)
        return result;
    Recordset rs;
    rs.open(statement, m_db);
    while (!rs.eof() && result.ids.size() < rows) {
        result.ids.append(rs.integer(0));
        result.names.append(shownText(rs.text(1)));
        rs.moveNext();
    }
    if (downwards) {
        std::reverse(result.ids.begin(), result.ids.end());
        std::reverse(result.names.begin(), result.names.end());
    }
    return result;
}

CourseCatalog::Rows CourseCatalog::at(int offset, int rows, bool fromLast) const
{
    return read(sql::selectCourseNamesAt(offset, rows, fromLast), rows, fromLast);
}

CourseCatalog::Rows CourseCatalog::from(qint64 milestone, qint64 offset, int rows) const
{
    return read(sql::selectCourseNamesFrom(milestone, offset, rows), rows, false);
}

CourseCatalog::Rows CourseCatalog::after(qint64 id, int rows) const
{
    return read(sql::selectCourseNamesAfter(id, rows), rows, false);
}

CourseCatalog::Rows CourseCatalog::before(qint64 id, int rows) const
{
    return read(sql::selectCourseNamesBefore(id, rows), rows, true);
}

std::optional<QString> CourseCatalog::name(CourseId course) const
{
    Recordset rs;
    rs.open(sql::selectCourseName(course.value), m_db);
    if (rs.eof())
        return std::nullopt;
    return rs.text(0);
}

qint64 CourseCatalog::position(CourseId course, qint64 count, const CoursePositions* positions) const
{
    if (positions && positions->current(count))
        return positions->countBefore(course.value);
    // Counting walks the ids, so count on the shorter side of the course.
    Recordset range;
    range.open(sql::selectCourseIdRange(), m_db);
    const qint64 lowest = range.integer(0);
    const qint64 highest = range.integer(1);
    range.close();
    const bool fromBelow = course.value - lowest <= highest - course.value;
    Recordset rs;
    rs.open(fromBelow ? sql::countCoursesBefore(course.value) : sql::countCoursesFrom(course.value), m_db);
    const qint64 counted = rs.integer(0);
    return fromBelow ? counted : count - counted;
}

std::optional<CourseId> CourseCatalog::firstNamed(const QString& name, std::optional<ScheduleId> schedule) const
{
    Recordset rs;
    rs.open(sql::selectFirstCourseNamed(name, schedule ? std::optional<qint64>(schedule->value) : std::nullopt), m_db);
    if (rs.eof())
        return std::nullopt;
    return CourseId(rs.integer(0));
}

std::optional<CourseId> CourseCatalog::firstStarting(const QString& prefix, Qt::CaseSensitivity cs, qint64 id,
                                                     bool below) const
{
    Recordset rs;
    rs.open(sql::selectCourseNamesMaybeStarting(prefix, id, below), m_db);
    for (; !rs.eof(); rs.moveNext())
        if (shownText(rs.text(1)).startsWith(prefix, cs))
            return CourseId(rs.integer(0));
    return std::nullopt;
}

} // namespace quorvane
