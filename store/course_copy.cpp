#include "store/course_copy.h"

#include "base/failure.h"
#include "store/connection.h"
#include "store/schema.h"
#include "store/statements.h"

#include <sqlite3.h>

namespace quorvane {

namespace {

// Every column of tblCourse but the id and the schedule, as the table has
// them: those an older or a newer database holds alike.
QStringList copiedColumns(const Connection& db)
{
    QStringList columns;
    Recordset rs;
    rs.open(sql::selectCourseColumns(), db);
    const int name = rs.eof() ? 0 : rs.column(QStringLiteral("name"));
    for (; !rs.eof(); rs.moveNext()) {
        const QString column = rs.text(name);
        if (column.compare(QLatin1String("id"), Qt::CaseInsensitive) != 0 &&
            column.compare(QLatin1String("ScheduleID"), Qt::CaseInsensitive) != 0)
            columns << column;
    }
    return columns;
}

} // namespace

StoredSchedule storeCoursesAsSchedule(Connection& db, const QString& wanted, const QList<qint64>& courseIds)
{
    Transaction all(db);
    const QString name = unusedScheduleName(db, wanted);
    db.execute(sql::insertSchedule(name));
    const QString id = QString::number(sqlite3_last_insert_rowid(db.handle()));
    if (!courseIds.isEmpty() && db.execute(sql::copyCourses(copiedColumns(db), id, courseIds)) != courseIds.size())
        throw Failure(courseGone());
    all.commit();
    return {id, name};
}

} // namespace quorvane
