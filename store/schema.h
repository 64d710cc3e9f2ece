#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

namespace quorvane {

// Creates the empty database the program is delivered with: tblSchedules and
// tblCourse, ids assigned on insert and never reused. The file is written
// under a temporary name beside `path` and then renamed into place, so an
// interrupted run never leaves half a database under the name. A file that
// is already at `path` is never replaced: it may hold a user's timetables.
// Returns false, changing nothing, when one is there. The program itself never
// calls this; the build and the tests do.
bool createDeliveredDatabase(const QString& path);

// The statements that create the two tables, in order; the fuzz targets build
// their in-memory databases from the same texts.
QStringList schemaStatements();

class Connection;
class Engine;

// The program's two tables, each with the columns every timetable database
// has had from the start.
struct TimetableTable
{
    QString name;
    QStringList columns;
};
const QVector<TimetableTable>& timetableTables();

// Why a table of the database is not one the program can work on: it is
// missing, a view or a virtual table, lacks one of its columns, or its id is
// not its integer primary key (the row's own number, never NULL nor
// repeated). Empty when it is fine.
QString unusableTable(const Engine& db, const TimetableTable& table);

// The columns of a table, in order; none for a table the database lacks.
QStringList tableColumns(const Engine& db, const QString& table);

// Refuses, and closes, an open database that has neither of the program's two
// tables: an empty file (a copy interrupted at its start) or another
// program's database. Nothing is written to it. A database that cannot be read just
// now (locked) passes: the reads that follow report it.
void requireTimetableTables(Connection& db);

// Adds to a database made before it what the program's writes rely on: the
// refusal of a course whose schedule is gone (put back in place of a trigger
// that carries its name but not its text); the columns of a course's exact
// times (ExactFrom, ExactTo); and the index by course name that the course
// dialogs read through (made once, in one statement). A database that cannot be
// changed (read-only, locked) is left as it is; every stored row stays
// readable either way.
void upgradeSchema(Connection& db);

// The failures of a write whose schedule or course another copy of the
// program deleted meanwhile.
QString scheduleGone();
QString courseGone();

} // namespace quorvane
