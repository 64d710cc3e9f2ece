// Another process on the same database file, for the fault tests.
//
//   quorvane_db_helper write-courses DB SCHEDULE_ID FIRST
//       Opens DB the way the program does and adds courses named
//       "Course FIRST", "Course FIRST+1", ... with the program's own insert
//       statement, one at a time, printing each number once its statement has
//       completed. It runs until it is killed (or after a bounded count).
//   quorvane_db_helper hold-lock DB immediate|exclusive
//       Starts a write transaction (immediate: a pending insert that other
//       writers wait for; exclusive: readers wait too), prints "locked" and
//       keeps it until a line or the end of its standard input, then rolls it
//       back and prints "released".
#include "base/failure.h"
#include "store/connection.h"
#include "store/statements.h"

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <cstdio>
#include <iostream>
#include <string>

namespace {

int usage()
{
    std::fprintf(stderr, "usage: quorvane_db_helper write-courses DB SCHEDULE_ID FIRST\n"
                         "       quorvane_db_helper hold-lock DB immediate|exclusive\n");
    return 2;
}

int writeCourses(const QString& path, const QString& scheduleId, long first)
{
    quorvane::Connection db;
    db.open(path);
    constexpr long kMostCourses = 1000000;
    for (long n = first; n < first + kMostCourses; ++n) {
        db.execute(quorvane::sql::insertCourse({scheduleId.toLongLong(), QStringLiteral("Course %1").arg(n),
                                                QStringLiteral("added by another process"), QStringLiteral("0,2"),
                                                QStringLiteral("8:30:00 AM"), QStringLiteral("9:00:00 AM")}));
        std::printf("%ld\n", n);
        std::fflush(stdout);
    }
    return 0;
}

int holdLock(const QString& path, const QString& kind)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("lock"));
    db.setDatabaseName(path);
    if (!db.open()) {
        std::fprintf(stderr, "cannot open: %s\n", qPrintable(db.lastError().text()));
        return 1;
    }
    {
        QSqlQuery query(db);
        const bool exclusive = kind == QLatin1String("exclusive");
        if (!query.exec(exclusive ? QStringLiteral("BEGIN EXCLUSIVE") : QStringLiteral("BEGIN IMMEDIATE")) ||
            (!exclusive && !query.exec(QStringLiteral("insert into tblSchedules (Description) values ('pending')")))) {
            std::fprintf(stderr, "cannot lock: %s\n", qPrintable(query.lastError().text()));
            return 1;
        }
        std::printf("locked\n");
        std::fflush(stdout);
        std::string line;
        std::getline(std::cin, line);
        query.exec(QStringLiteral("ROLLBACK"));
    }
    db.close();
    std::printf("released\n");
    std::fflush(stdout);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    try {
        if (args.size() == 5 && args[1] == QLatin1String("write-courses"))
            return writeCourses(args[2], args[3], args[4].toLong());
        if (args.size() == 4 && args[1] == QLatin1String("hold-lock"))
            return holdLock(args[2], args[3]);
    } catch (const quorvane::Failure& failure) {
        std::fprintf(stderr, "quorvane_db_helper: %s\n", qPrintable(failure.description()));
        return 1;
    }
    return usage();
}
