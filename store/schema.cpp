#include "store/schema.h"

#include "store/connection.h"
#include "store/failure.h"

#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QUuid>

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

bool createDeliveredDatabase(const QString& path)
{
    if (QFileInfo::exists(path))
        return false;
    const QString temporary = path + QStringLiteral(".new-") + QUuid::createUuid().toString(QUuid::Id128);
    const auto removeTemporary = qScopeGuard([&] { QFile::remove(temporary); });
    {
        QFile file(temporary);
        if (!file.open(QIODevice::NewOnly))
            throw Failure(QStringLiteral("Cannot create %1: %2").arg(temporary, file.errorString()));
    }
    {
        Connection db;
        db.open(temporary);
        for (const QString& statement : schemaStatements())
            db.execute(statement);
        db.close();
    }
    // The rename never replaces a file that appeared meanwhile.
    QFile file(temporary);
    if (file.rename(path))
        return true;
    if (QFileInfo::exists(path))
        return false;
    throw Failure(QStringLiteral("Cannot create %1: %2").arg(path, file.errorString()));
}

} // namespace quorvane
