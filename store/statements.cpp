#include "store/statements.h"

namespace quorvane::sql {

QString quoted(const QString& typed)
{
    QString result = typed;
    result.replace(QLatin1Char('\''), QLatin1String("''"));
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

} // namespace quorvane::sql
