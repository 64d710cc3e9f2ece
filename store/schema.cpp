#include "store/schema.h"

#include "store/connection.h"
#include "store/failure.h"

#include <QFile>

namespace quorvane {

QStringList schemaStatements()
{
    return {
        QStringLiteral("CREATE TABLE tblSchedules (id INTEGER PRIMARY KEY AUTOINCREMENT, Description TEXT)"),
        QStringLiteral("CREATE TABLE tblCourse (id INTEGER PRIMARY KEY AUTOINCREMENT, ScheduleID INTEGER, "
                       "CourseName TEXT, Notes TEXT, Days TEXT, TimeFrom TEXT, TimeTo TEXT)"),
        // Drawing a schedule reads its courses by ScheduleID; without the index
        // every drawing reads the whole table. Rows still come in id order.
        QStringLiteral("CREATE INDEX tblCourse_ScheduleID ON tblCourse (ScheduleID)"),
    };
}

void createDeliveredDatabase(const QString& path)
{
    if (QFile::exists(path) && !QFile::remove(path))
        throw Failure(QStringLiteral("Cannot replace %1").arg(path));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            throw Failure(file.errorString());
    }
    Connection db;
    db.open(path);
    for (const QString& statement : schemaStatements())
        db.execute(statement);
    db.close();
}

} // namespace quorvane
