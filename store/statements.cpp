#include "store/statements.h"

#include "base/shown_text.h"

namespace quorvane::sql {

namespace {

// Code points that a workbook's XML cannot hold, other than the surrogates:
// the C0 controls but tab, line feed and carriage return, and the
// noncharacters (U+FDD0 to U+FDEF, and the last two of every plane).
bool outsideXml(char32_t c)
{
    if (c < 0x20)
        return c != U'\t' && c != U'\n' && c != U'\r';
    return (c >= 0xFDD0 && c <= 0xFDEF) || (c & 0xFFFE) == 0xFFFE;
}

} // namespace

QString quoted(const QString& typed)
{
    QString result;
    result.reserve(typed.size() + 8);
    for (qsizetype i = 0; i < typed.size(); ++i) {
        const QChar c = typed.at(i);
        if (c == QLatin1Char('\'')) {
            result += QLatin1String("''");
        } else if (c.isHighSurrogate() && i + 1 < typed.size() && typed.at(i + 1).isLowSurrogate()) {
            const QChar low = typed.at(++i);
            if (outsideXml(QChar::surrogateToUcs4(c, low))) {
                result += QChar(QChar::ReplacementCharacter);
            } else {
                result += c;
                result += low;
            }
        } else if (c.isSurrogate() || outsideXml(c.unicode())) {
            // The engine reads a lone surrogate together with the character
            // after it, a closing quote included, and the rest of the value
            // would become statement text; U+0000 ends the statement there.
            // Neither can be stored, nor can what no workbook can hold: the
            // replacement character is.
            result += QChar(QChar::ReplacementCharacter);
        } else {
            result += c;
        }
    }
    return result;
}

QString selectSchedules()
{
    return QStringLiteral("select * from tblSchedules");
}

QString selectCoursesOfSchedule(const QString& scheduleId)
{
    return QStringLiteral("select * from tblCourse where ScheduleID=") + scheduleId;
}

QString selectCourses()
{
    return QStringLiteral("select * from tblCourse");
}

QString selectCourse(const QString& courseId)
{
    return QStringLiteral("select * from tblCourse where id=") + courseId;
}

QString insertSchedule(const QString& name)
{
    return QStringLiteral("insert into tblSchedules (Description) values ('") + quoted(name) + QStringLiteral("')");
}

QString updateSchedule(const QString& name, const QString& scheduleId)
{
    return QStringLiteral("update tblSchedules set Description='") + quoted(name) + QStringLiteral("' where id=") +
           scheduleId;
}

QString deleteCoursesOfSchedule(const QString& scheduleId)
{
    return QStringLiteral("delete from tblCourse where ScheduleID=") + scheduleId;
}

QString deleteSchedule(const QString& scheduleId)
{
    return QStringLiteral("delete from tblSchedules where id=") + scheduleId;
}

QString insertCourse(const CourseValues& c)
{
    return QStringLiteral("insert into tblCourse (ScheduleID,CourseName,Notes,Days,TimeFrom,TimeTo) values (") +
           c.scheduleId + QStringLiteral(",'") + quoted(c.courseName) + QStringLiteral("','") + quoted(c.notes) +
           QStringLiteral("','") + c.daySet + QStringLiteral("','") + c.timeFrom + QStringLiteral("','") + c.timeTo +
           QStringLiteral("')");
}

QString updateCourse(const QString& notes, const QString& daySet, const QString& timeFrom, const QString& timeTo,
                     const QString& courseId)
{
    return QStringLiteral("update tblCourse set Notes='") + quoted(notes) + QStringLiteral("',Days='") + daySet +
           QStringLiteral("',TimeFrom='") + timeFrom + QStringLiteral("',TimeTo='") + timeTo +
           QStringLiteral("' where id=") + courseId;
}

QString deleteCourse(const QString& courseId)
{
    return QStringLiteral("delete from tblCourse where id=") + courseId;
}

namespace {

// The id and the shown beginning of the name: one character more than is
// shown is enough for shownText to cut and mark it the same way.
QString idAndShownName()
{
    return QStringLiteral("select id, substr(CourseName,1,%1) from tblCourse ").arg(kShownTextLength + 1);
}

bool isAscii(const QString& text)
{
    for (const QChar c : text)
        if (c.unicode() > 0x7F)
            return false;
    return true;
}

} // namespace

QString countCourses()
{
    return QStringLiteral("select count(*) from tblCourse");
}

QString countCoursesBefore(qint64 courseId)
{
    return QStringLiteral("select count(*) from tblCourse where id<") + QString::number(courseId);
}

QString countCoursesBetween(qint64 fromId, qint64 belowId)
{
    return QStringLiteral("select count(*) from tblCourse where id>=%1 and id<%2").arg(fromId).arg(belowId);
}

QString selectCourseIds()
{
    return QStringLiteral("select id from tblCourse order by id");
}

QString countCoursesFrom(qint64 courseId)
{
    return QStringLiteral("select count(*) from tblCourse where id>=") + QString::number(courseId);
}

QString selectCourseIdRange()
{
    // Each in a query of its own, so that each reads one end of the ids
    // rather than all of them.
    return QStringLiteral("select (select min(id) from tblCourse), (select max(id) from tblCourse)");
}

QString selectCourseNamesAt(int offset, int limit, bool fromLast)
{
    return idAndShownName() + (fromLast ? QStringLiteral("order by id desc") : QStringLiteral("order by id")) +
           QStringLiteral(" limit %1 offset %2").arg(limit).arg(offset);
}

QString selectCourseNamesFrom(qint64 courseId, qint64 offset, int limit)
{
    return idAndShownName() +
           QStringLiteral("where id>=%1 order by id limit %2 offset %3").arg(courseId).arg(limit).arg(offset);
}

QString selectCourseNamesAfter(qint64 courseId, int limit)
{
    return idAndShownName() + QStringLiteral("where id>%1 order by id limit %2").arg(courseId).arg(limit);
}

QString selectCourseNamesBefore(qint64 courseId, int limit)
{
    return idAndShownName() + QStringLiteral("where id<%1 order by id desc limit %2").arg(courseId).arg(limit);
}

QString selectCourseNamesMaybeStarting(const QString& prefix, qint64 courseId, bool below)
{
    QString where = (below ? QStringLiteral("where id<") : QStringLiteral("where id>=")) + QString::number(courseId);
    // The engine's like ignores the case of ASCII letters only; a name with
    // any other character near its beginning is left for the caller to
    // compare, and so is every name when the prefix itself is not ASCII.
    if (!prefix.isEmpty() && isAscii(prefix)) {
        QString pattern;
        for (const QChar c : prefix) {
            if (c == QLatin1Char('%') || c == QLatin1Char('_') || c == QLatin1Char('\\'))
                pattern += QLatin1Char('\\');
            pattern += c;
        }
        where += QStringLiteral(" and (CourseName like '%1%' escape '\\' or substr(CourseName,1,%2) glob '*[^ -~]*')")
                     .arg(quoted(pattern), QString::number(prefix.size()));
    }
    return idAndShownName() + where + QStringLiteral(" order by id");
}

QString selectFirstCourseNamed(const QString& name, const QString& scheduleId)
{
    QString where = name.isEmpty() ? QStringLiteral("(CourseName='' or CourseName is null)")
                                   : QStringLiteral("CourseName='") + quoted(name) + QLatin1Char('\'');
    if (!scheduleId.isEmpty())
        where += QStringLiteral(" and ScheduleID=") + scheduleId;
    return QStringLiteral("select id from tblCourse where ") + where + QStringLiteral(" order by id limit 1");
}

QString selectCourseName(qint64 courseId)
{
    return QStringLiteral("select CourseName from tblCourse where id=") + QString::number(courseId);
}

QString selectCourseColumns()
{
    return QStringLiteral("pragma table_info(tblCourse)");
}

QString copyCourses(const QStringList& columns, const QString& scheduleId, const QList<qint64>& courseIds)
{
    QStringList ids;
    for (qint64 id : courseIds)
        ids << QString::number(id);
    const QString fields = columns.join(QLatin1Char(','));
    return QStringLiteral("insert into tblCourse (ScheduleID,%1) select %2,%1 from tblCourse where id in (%3) "
                          "order by id")
        .arg(fields, scheduleId, ids.join(QLatin1Char(',')));
}

} // namespace quorvane::sql
