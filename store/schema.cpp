#include "store/schema.h"

#include "base/atomic_file.h"
#include "base/failure.h"
#include "store/connection.h"
#include "store/engine.h"

namespace quorvane {

namespace {

// Another copy of the program may have deleted the schedule meanwhile: a
// course of a schedule that does not exist is refused.
QString scheduleGuard()
{
    return QStringLiteral("CREATE TRIGGER tblCourse_ScheduleExists BEFORE INSERT ON tblCourse "
                          "WHEN NOT EXISTS (SELECT 1 FROM tblSchedules WHERE id = NEW.ScheduleID) "
                          "BEGIN SELECT RAISE(ABORT, '%1'); END")
        .arg(scheduleGone());
}

// The course dialogs preselect a course by its name; without the index
// every opening reads the whole table. It is partial so that no read of the
// whole table goes through it: a select without a where keeps id order.
QString nameIndex()
{
    return QStringLiteral("CREATE INDEX IF NOT EXISTS tblCourse_CourseName ON tblCourse (CourseName, ScheduleID) "
                          "WHERE CourseName IS NOT NULL");
}

bool hasColumn(Connection& db, const QString& column)
{
    Recordset rs;
    rs.open(QStringLiteral("select count(*) from pragma_table_info('tblCourse') where name='%1'").arg(column), db);
    return rs.integer(0) > 0;
}

} // namespace

QStringList schemaStatements()
{
    return {
        QStringLiteral("CREATE TABLE tblSchedules (id INTEGER PRIMARY KEY AUTOINCREMENT, Description TEXT)"),
        QStringLiteral("CREATE TABLE tblCourse (id INTEGER PRIMARY KEY AUTOINCREMENT, ScheduleID INTEGER, "
                       "CourseName TEXT, Notes TEXT, Days TEXT, TimeFrom TEXT, TimeTo TEXT, ExactFrom TEXT, "
                       "ExactTo TEXT)"),
        // Drawing a schedule reads its courses by ScheduleID; without the index
        // every drawing reads the whole table. Rows still come in id order.
        QStringLiteral("CREATE INDEX tblCourse_ScheduleID ON tblCourse (ScheduleID)"),
        nameIndex(),
        scheduleGuard(),
    };
}

const QVector<TimetableTable>& timetableTables()
{
    static const QVector<TimetableTable> tables = {
        {QStringLiteral("tblSchedules"), {QStringLiteral("id"), QStringLiteral("Description")}},
        {QStringLiteral("tblCourse"),
         {QStringLiteral("id"), QStringLiteral("ScheduleID"), QStringLiteral("CourseName"), QStringLiteral("Notes"),
          QStringLiteral("Days"), QStringLiteral("TimeFrom"), QStringLiteral("TimeTo")}},
    };
    return tables;
}

QStringList tableColumns(const Engine& db, const QString& table)
{
    // The table names are the program's own, never typed.
    return db.column(QStringLiteral("select name from pragma_table_info('%1')").arg(table));
}

QString unusableTable(const Engine& db, const TimetableTable& table)
{
    const QStringList kinds = db.column(QStringLiteral("select case when sql like 'create virtual%' then "
                                                       "'virtual table' else type end from sqlite_master where "
                                                       "name = '%1' collate nocase")
                                            .arg(table.name));
    if (kinds.isEmpty())
        return QStringLiteral("no such table: %1").arg(table.name);
    if (kinds != QStringList{QStringLiteral("table")})
        return QStringLiteral("%1 is not a table (%2)").arg(table.name, kinds.join(QLatin1String(", ")));
    const QStringList columns = tableColumns(db, table.name);
    for (const QString& column : table.columns)
        if (!columns.contains(column, Qt::CaseInsensitive))
            return QStringLiteral("%1 has no column %2").arg(table.name, column);
    // Only a column declared INTEGER PRIMARY KEY alone stands for the row's
    // number; any other key is kept in an index of its own.
    const QStringList key =
        db.column(QStringLiteral("select lower(name) || ' ' || upper(type) from pragma_table_info('%1') where pk > 0")
                      .arg(table.name));
    const QStringList keyIndex =
        db.column(QStringLiteral("select name from pragma_index_list('%1') where origin = 'pk'").arg(table.name));
    if (key != QStringList{QStringLiteral("id INTEGER")} || !keyIndex.isEmpty())
        return QStringLiteral("the id of %1 is not its integer primary key").arg(table.name);
    return QString();
}

QString scheduleGone()
{
    return QStringLiteral("The schedule is no longer in the database.");
}

QString courseGone()
{
    return QStringLiteral("The course is no longer in the database.");
}

void requireTimetableTables(Connection& db)
{
    bool either = true;
    try {
        Recordset tables;
        tables.open(QStringLiteral("select count(*) from sqlite_master where type='table' and "
                                   "name in ('tblSchedules','tblCourse')"),
                    db);
        either = !tables.eof() && tables.integer(0) > 0;
    } catch (const Failure&) {
        // Unreadable for now (another program's lock): the reads that follow
        // say so.
    }
    if (!either) {
        db.close();
        throw Failure(QStringLiteral("file is not a timetable database: it has no tables tblSchedules and tblCourse"));
    }
}

void upgradeSchema(Connection& db)
{
    try {
        // By its text, not its name: a trigger of another program (a file
        // put in the database's place) may carry the guard's name.
        Recordset guard;
        guard.open(
            QStringLiteral("select sql from sqlite_master where type='trigger' and name='tblCourse_ScheduleExists'"),
            db);
        const bool missing = guard.eof();
        const bool foreign = !missing && guard.text(0) != scheduleGuard();
        guard.close();
        if (foreign) {
            Transaction replace(db);
            db.execute(QStringLiteral("DROP TRIGGER tblCourse_ScheduleExists"));
            db.execute(scheduleGuard());
            replace.commit();
        } else if (missing) {
            db.execute(scheduleGuard());
        }
    } catch (const Failure&) {
        // Read-only or locked: the database stays as it is, every row readable.
    }
    try {
        // A course's times as typed, beside the grid's half hours: both
        // columns or neither, and only in a table that has every column the
        // program has always made.
        Recordset columns;
        columns.open(
            QStringLiteral("select sum(name in ('ExactFrom','ExactTo')), sum(name in ('id','ScheduleID',"
                           "'CourseName','Notes','Days','TimeFrom','TimeTo')) from pragma_table_info('tblCourse')"),
            db);
        const qint64 present = columns.integer(0);
        const bool wellMade = columns.integer(1) == 7;
        columns.close();
        if (present < 2 && wellMade) {
            Transaction both(db);
            for (const char* column : {"ExactFrom", "ExactTo"})
                if (present == 0 || !hasColumn(db, QLatin1String(column)))
                    db.execute(QStringLiteral("ALTER TABLE tblCourse ADD COLUMN %1 TEXT").arg(QLatin1String(column)));
            both.commit();
        }
    } catch (const Failure&) {
        // As above: the courses keep only the grid's times.
    }
    try {
        Recordset index;
        index.open(QStringLiteral("select name from sqlite_master where type='index' and name='tblCourse_CourseName'"),
                   db);
        if (index.eof()) {
            index.close();
            db.execute(nameIndex());
        }
    } catch (const Failure&) {
        // As above: without the index the dialogs read more, not otherwise.
    }
}

bool createDeliveredDatabase(const QString& path)
{
    try {
        return createFileAtomically(path, [](const QString& temporary) {
            Connection db;
            db.open(temporary);
            for (const QString& statement : schemaStatements())
                db.execute(statement);
            db.close();
        });
    } catch (const Failure& failure) {
        throw Failure(QStringLiteral("Cannot create %1: %2").arg(path, failure.description()));
    }
}

} // namespace quorvane
