// The schedule store: statement texts, the time and day-set encodings, and
// how the engine's failures surface.
#include "base/day_set.h"
#include "base/failure.h"
#include "base/time_of_day.h"
#include "domain/course_row.h"
#include "store/connection.h"
#include "store/database_location.h"
#include "store/schema.h"
#include "store/statements.h"
#include "tests/support/expected_texts.h"
#include "tests/support/test_db.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

using namespace quorvane;
using namespace quorvane::testing;

class StoreTest : public QObject
{
    Q_OBJECT
private slots:
    void statementTexts_data();
    void statementTexts();
    void quotingDoublesEverySingleQuote();
    void typedTextRoundTripsThroughTheDatabase_data();
    void typedTextRoundTripsThroughTheDatabase();

    void readsTimesOfDay_data();
    void readsTimesOfDay();
    void rejectsTextThatIsNoTimeOfDay_data();
    void rejectsTextThatIsNoTimeOfDay();
    void writesTheLongForm_data();
    void writesTheLongForm();

    void buildsDaySetsInAscendingOrder_data();
    void buildsDaySetsInAscendingOrder();
    void readsDayEntries();
    void readsCourseRows();

    void idsAreNeverReused();
    void openRefusesAMissingFileAndCreatesNothing();
    void openingTrustsOnlyTheProgramsOwnTrigger();
    void engineFailuresCarryTheEngineMessage_data();
    void engineFailuresCarryTheEngineMessage();
    void lockedDatabaseFailsWithinBoundedWait();
    void dataVersionChangesOnlyForAnotherConnectionsCommit();
    void recordsetWalksRowsAndReadsFieldsByName();
    void readThatFailsAfterSomeRowsIsAFailure();

    void databaseIsTheProgramsOwnOrTheUsers_data();
    void databaseIsTheProgramsOwnOrTheUsers();
    void userDatabaseThatCannotBeMadeIsOneFailure();
};

void StoreTest::statementTexts_data()
{
    QTest::addColumn<QString>("built");
    QTest::addColumn<QString>("expected");
    QTest::newRow("1") << sql::selectSchedules() << "select * from tblSchedules";
    QTest::newRow("2") << sql::selectCoursesOfSchedule(7) << "select * from tblCourse where ScheduleID=7";
    QTest::newRow("3") << sql::selectCourses() << "select * from tblCourse";
    QTest::newRow("4") << sql::selectCourse(12) << "select * from tblCourse where id=12";
    QTest::newRow("5") << sql::insertSchedule("O'Brien's week")
                       << "insert into tblSchedules (Description) values ('O''Brien''s week')";
    QTest::newRow("6") << sql::updateSchedule("Fall 'A'", 3)
                       << "update tblSchedules set Description='Fall ''A''' where id=3";
    QTest::newRow("8") << sql::deleteCoursesOfSchedule(7) << "delete from tblCourse where ScheduleID=7";
    QTest::newRow("9") << sql::deleteSchedule(7) << "delete from tblSchedules where id=7";
    QTest::newRow("10 sample") << sql::insertCourse(
                                      {7, "Mathematics", "mathematics for beginners", "0,3,4", "08:30", "10:00"})
                               << "insert into tblCourse (ScheduleID,CourseName,Notes,Days,TimeFrom,TimeTo) values "
                                  "(7,'Mathematics','mathematics for beginners','0,3,4','08:30','10:00')";
    QTest::newRow("10 quotes, empty notes")
        << sql::insertCourse({2, "Bob's Lab", "", "6", "8:30:00 AM", "9:00:00 AM"})
        << "insert into tblCourse (ScheduleID,CourseName,Notes,Days,TimeFrom,TimeTo) values "
           "(2,'Bob''s Lab','','6','8:30:00 AM','9:00:00 AM')";
    QTest::newRow("11") << sql::updateCourse("it's hard", "0,2", "8:30:00 AM", "10:00:00 AM", 5)
                        << "update tblCourse set Notes='it''s hard',Days='0,2',TimeFrom='8:30:00 AM',"
                           "TimeTo='10:00:00 AM' where id=5";
    QTest::newRow("12") << sql::deleteCourse(5) << "delete from tblCourse where id=5";
}

void StoreTest::statementTexts()
{
    QFETCH(QString, built);
    QFETCH(QString, expected);
    QCOMPARE(built, expected);
}

void StoreTest::quotingDoublesEverySingleQuote()
{
    QCOMPARE(sql::quoted("'"), QString("''"));
    QCOMPARE(sql::quoted("''x'"), QString("''''x''"));
    QCOMPARE(sql::quoted("no quote \" here"), QString("no quote \" here"));
}

void StoreTest::typedTextRoundTripsThroughTheDatabase_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("stored");
    QTest::newRow("apostrophe") << "O'Brien"
                                << "";
    QTest::newRow("sql text") << "x'); delete from tblCourse; --"
                              << "";
    QTest::newRow("line breaks and tabs") << "a\r\nb\tc\n"
                                          << "";
    QTest::newRow("non-Latin and emoji") << QString::fromUtf8("Расписание 日本 ✓ 😀") << "";
    QTest::newRow("long") << QString(100000, QChar('q')) + "'"
                          << "";
    QTest::newRow("blanks") << "  spaced  "
                            << "";
    QTest::newRow("U+0000") << QString("a") + QChar(0) + "'b"
                            << QString("a") + QChar(QChar::ReplacementCharacter) + "'b";
    const QChar replaced(QChar::ReplacementCharacter);
    QTest::newRow("outside XML") << QString("a\x01") + QChar(0xFFFE) + QChar(0xFFFF) + QChar(0xFDD0) +
                                        QString::fromUcs4(U"\U0001FFFF") + "\tz"
                                 << QString("a") + replaced + replaced + replaced + replaced + replaced + "\tz";
    QTest::newRow("byte-order mark") << QChar(0xFEFF) + QString("Sample Schedule") << "";
}

void StoreTest::typedTextRoundTripsThroughTheDatabase()
{
    QFETCH(QString, name);
    QFETCH(QString, stored);
    if (stored.isEmpty())
        stored = name;
    ProgramFolder folder;
    execSql(folder.databasePath(), "insert into tblSchedules (Description) values ('keep')");
    execSql(folder.databasePath(), "insert into tblCourse (ScheduleID,CourseName) values (1,'keep')");
    Connection db;
    db.open(folder.databasePath());
    db.execute(sql::insertSchedule(name));
    db.execute(sql::insertCourse({1, name, name, "0", "08:30", "09:00"}));
    const auto schedules = querySql(folder.databasePath(), "select Description from tblSchedules order by id");
    QCOMPARE(schedules.size(), 2);
    QCOMPARE(schedules[0][0], QString("keep"));
    QCOMPARE(schedules[1][0], stored);
    const auto courses = querySql(folder.databasePath(), "select CourseName, Notes from tblCourse order by id");
    QCOMPARE(courses.size(), 2);
    QCOMPARE(courses[0][0], QString("keep"));
    QCOMPARE(courses[1][0], stored);
    QCOMPARE(courses[1][1], stored);
}

void StoreTest::readsTimesOfDay_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QTime>("expected");
    QTest::newRow("08:30") << "08:30" << QTime(8, 30);
    QTest::newRow("8:30") << "8:30" << QTime(8, 30);
    QTest::newRow("08:30:00") << "08:30:00" << QTime(8, 30);
    QTest::newRow("8:30:00 AM") << "8:30:00 AM" << QTime(8, 30);
    QTest::newRow("8:30 AM") << "8:30 AM" << QTime(8, 30);
    QTest::newRow("12:00 PM noon") << "12:00 PM" << QTime(12, 0);
    QTest::newRow("12:30 AM after midnight") << "12:30 AM" << QTime(0, 30);
    QTest::newRow("lower case pm") << "1:05:09 pm" << QTime(13, 5, 9);
    QTest::newRow("blanks around") << "  9:30:00  PM " << QTime(21, 30);
    QTest::newRow("13:00") << "13:00" << QTime(13, 0);
    QTest::newRow("23:59:59") << "23:59:59" << QTime(23, 59, 59);
}

void StoreTest::readsTimesOfDay()
{
    QFETCH(QString, text);
    QFETCH(QTime, expected);
    const auto time = timeofday::parse(text);
    QVERIFY(time.has_value());
    QCOMPARE(*time, expected);
}

void StoreTest::rejectsTextThatIsNoTimeOfDay_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << "";
    QTest::newRow("date and time") << "2021-08-31 08:30";
    QTest::newRow("US date and time") << "8/31/2021 8:30:00 AM";
    QTest::newRow("date only") << "8/31/2021";
    QTest::newRow("garbage") << "a";
    QTest::newRow("bare number") << "9";
    QTest::newRow("25:00") << "25:00";
    QTest::newRow("minutes 60") << "8:60";
    QTest::newRow("13 PM") << "13:00 PM";
    QTest::newRow("trailing text") << "8:30 AMX";
}

void StoreTest::rejectsTextThatIsNoTimeOfDay()
{
    QFETCH(QString, text);
    QVERIFY(!timeofday::parse(text).has_value());
}

void StoreTest::writesTheLongForm_data()
{
    QTest::addColumn<QTime>("time");
    QTest::addColumn<QString>("longForm");
    QTest::addColumn<QString>("label");
    QTest::newRow("morning") << QTime(8, 30) << "8:30:00 AM"
                             << "8:30 AM";
    QTest::newRow("noon") << QTime(12, 0) << "12:00:00 PM"
                          << "12:00 PM";
    QTest::newRow("evening") << QTime(21, 30, 5) << "9:30:05 PM"
                             << "9:30 PM";
    QTest::newRow("midnight") << QTime(0, 0) << "12:00:00 AM"
                              << "12:00 AM";
}

void StoreTest::writesTheLongForm()
{
    QFETCH(QTime, time);
    QFETCH(QString, longForm);
    QFETCH(QString, label);
    QCOMPARE(timeofday::formatLong(time), longForm);
    QCOMPARE(timeofday::formatLabel(time), label);
    QCOMPARE(timeofday::parse(longForm), std::optional<QTime>(time));
}

void StoreTest::buildsDaySetsInAscendingOrder_data()
{
    QTest::addColumn<QString>("ticked");
    QTest::addColumn<QString>("expected");
    QTest::newRow("Mon Thu Fri") << "1001100"
                                 << "0,3,4";
    QTest::newRow("Sunday only") << "0000001"
                                 << "6";
    QTest::newRow("all") << "1111111"
                         << "0,1,2,3,4,5,6";
    QTest::newRow("none") << "0000000"
                          << "";
}

void StoreTest::buildsDaySetsInAscendingOrder()
{
    QFETCH(QString, ticked);
    QFETCH(QString, expected);
    std::array<bool, 7> boxes{};
    for (int i = 0; i < 7; ++i)
        boxes[size_t(i)] = ticked[i] == '1';
    QCOMPARE(dayset::build(boxes), expected);
}

void StoreTest::readsDayEntries()
{
    QCOMPARE(dayset::entries(""), QStringList());
    QCOMPARE(dayset::entries("0,3,4"), (QStringList{"0", "3", "4"}));
    QCOMPARE(dayset::entries("a,,b"), (QStringList{"a", "", "b"}));
    QCOMPARE(dayset::entryValue(" 3 "), std::optional<int>(3));
    QCOMPARE(dayset::entryValue("-1"), std::optional<int>(-1));
    QVERIFY(!dayset::entryValue("").has_value());
    QVERIFY(!dayset::entryValue("a").has_value());
}

void StoreTest::readsCourseRows()
{
    ProgramFolder folder;
    execSql(folder.databasePath(), "insert into tblSchedules (Description) values ('Week')");
    execSql(folder.databasePath(), "insert into tblCourse (ScheduleID,CourseName,Days,TimeFrom,TimeTo) values "
                                   "(1,'Dated end','4,0,4,9','08:30','2021-08-31 10:00'),"
                                   "(1,'Dated start','0','8/31/2021 8:30:00 AM','10:00'),"
                                   "(1,'Bad end','0','08:30','9')");
    Connection db;
    db.open(folder.databasePath());
    Recordset rs;
    rs.open(sql::selectCourses(), db);
    CourseRowReader row(rs);
    const auto failure = [](auto&& read) {
        try {
            read();
        } catch (const Failure& f) {
            return f.description();
        }
        return QString();
    };
    const std::optional<CourseTimes> times = row.times();
    QVERIFY(times && times->endsOnADate);
    QCOMPARE(times->from, QTime(8, 30));
    QCOMPARE(times->until(), QTime(23, 59, 59, 999));
    QCOMPARE(row.days(), (WeekDays{true, false, false, false, true, false, false}));
    rs.moveNext();
    QVERIFY(!row.times());
    rs.moveNext();
    QCOMPARE(failure([&] { row.times(); }), QString("Type mismatch: '9' to 'TimeTo' is not a time of day"));
    QVERIFY(!row.lacksColumn());
    QCOMPARE(failure([] { courseDays("1,\xc3\xa9"); }), QString::fromUtf8("Type mismatch: day '\xc3\xa9'"));
    QCOMPARE(readableDays("0,x,9,-1,,3, 5"), (WeekDays{true, false, false, true, false, true, false}));
    rs.close();
    rs.open("select id from tblCourse", db);
    CourseRowReader ids(rs);
    QVERIFY_THROWS_EXCEPTION(Failure, ids.days());
    QVERIFY(ids.lacksColumn());
}

void StoreTest::idsAreNeverReused()
{
    ProgramFolder folder;
    Connection db;
    db.open(folder.databasePath());
    db.execute(sql::insertSchedule("a"));
    db.execute(sql::insertSchedule("b"));
    db.execute(sql::deleteSchedule(2));
    db.execute(sql::insertSchedule("c"));
    QCOMPARE(scalarSql(folder.databasePath(), "select id from tblSchedules where Description='c'"), QString("3"));
    db.execute(sql::insertCourse({1, "x", "", "0", "08:00", "09:00"}));
    db.execute(sql::deleteCourse(1));
    db.execute(sql::insertCourse({1, "y", "", "0", "08:00", "09:00"}));
    QCOMPARE(scalarSql(folder.databasePath(), "select id from tblCourse"), QString("2"));
}

void StoreTest::openRefusesAMissingFileAndCreatesNothing()
{
    ProgramFolder folder(false);
    Connection db;
    QVERIFY_THROWS_EXCEPTION(Failure, db.open(folder.databasePath()));
    QVERIFY(!QFile::exists(folder.databasePath()));
    QVERIFY(!db.isOpen());
}

void StoreTest::openingTrustsOnlyTheProgramsOwnTrigger()
{
    ProgramFolder folder;
    const QString path = folder.databasePath();
    const QString guard = "select sql from sqlite_master where name='tblCourse_ScheduleExists'";
    const QString ours = scalarSql(path, guard);
    execSql(path, "insert into tblSchedules (Description) values ('Mine')");
    execSql(path, "drop trigger tblCourse_ScheduleExists");
    execSql(path, "create trigger tblCourse_ScheduleExists after insert on tblCourse begin delete from tblSchedules; "
                  "end");
    Connection db;
    db.open(path);
    Recordset trusted;
    trusted.open("PRAGMA trusted_schema", db);
    QCOMPARE(trusted.integer(0), 0);
    trusted.close();
    upgradeSchema(db);
    QCOMPARE(scalarSql(path, guard), ours);
    db.execute(sql::insertCourse({1, "Physics", "", "0", "08:00", "09:00"}));
    QCOMPARE(scalarSql(path, "select count(*) from tblSchedules"), QString("1"));
}

void StoreTest::engineFailuresCarryTheEngineMessage_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("statement");
    QTest::addColumn<QString>("message");
    QTest::newRow("not a database") << "garbage" << sql::selectSchedules() << "file is not a database";
    QTest::newRow("missing table") << "drop tblCourse" << sql::selectCourses() << "no such table: tblCourse";
    QTest::newRow("rejected statement") << "" << QString("insert into nowhere values (1)") << "no such table: nowhere";
}

void StoreTest::engineFailuresCarryTheEngineMessage()
{
    QFETCH(QString, fault);
    QFETCH(QString, statement);
    QFETCH(QString, message);
    ProgramFolder folder;
    if (fault == "garbage") {
        QFile file(folder.databasePath());
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(QByteArray(4096, 'x'));
    } else if (fault == "drop tblCourse") {
        execSql(folder.databasePath(), "drop table tblCourse");
    }
    Connection db;
    try {
        db.open(folder.databasePath());
        if (statement.startsWith("select")) {
            Recordset rs;
            rs.open(statement, db);
        } else {
            db.execute(statement);
        }
        QFAIL("the statement should have failed");
    } catch (const Failure& failure) {
        QVERIFY2(failure.description().contains(message), qPrintable(failure.description()));
    }
}

void StoreTest::lockedDatabaseFailsWithinBoundedWait()
{
    ProgramFolder folder;
    QSqlDatabase other = QSqlDatabase::addDatabase("QSQLITE", "locker");
    other.setDatabaseName(folder.databasePath());
    QVERIFY(other.open());
    {
        QSqlQuery lock(other);
        QVERIFY(lock.exec("BEGIN EXCLUSIVE"));
        QVERIFY(lock.exec("insert into tblSchedules (Description) values ('held')"));
        Connection db;
        db.open(folder.databasePath());
        QList<bool> waits;
        db.setWaitNotice([&](bool waiting) { waits << waiting; });
        db.setWaitAtMostOnce(true);
        QElapsedTimer timer;
        timer.start();
        for (int attempt = 0; attempt < 2; ++attempt) {
            try {
                db.execute(sql::insertSchedule("waiting"));
                QFAIL("a locked database should refuse the write");
            } catch (const Failure& failure) {
                QCOMPARE(failure.description(), "Another program is using the database (database is locked).");
            }
        }
        // One wait, told as it begins and ends; the second attempt fails at once.
        QCOMPARE(waits, (QList<bool>{true, false}));
        QVERIFY2(timer.elapsed() < 10000, "the wait on a lock must be bounded");
        QVERIFY(lock.exec("COMMIT"));
    }
    other.close();
    other = QSqlDatabase();
    QSqlDatabase::removeDatabase("locker");
    QCOMPARE(scalarSql(folder.databasePath(), "select count(*) from tblSchedules"), QString("1"));
}

void StoreTest::dataVersionChangesOnlyForAnotherConnectionsCommit()
{
    ProgramFolder folder;
    Connection db;
    db.open(folder.databasePath());
    const qint64 first = db.dataVersion();
    QCOMPARE(db.dataVersion(), first);
    db.execute(sql::insertSchedule("own"));
    QCOMPARE(db.dataVersion(), first);
    execSql(folder.databasePath(), "insert into tblSchedules (Description) values ('elsewhere')");
    QVERIFY(db.dataVersion() != first);
    // While another program writes, it fails at once, without a wait.
    QList<bool> waits;
    db.setWaitNotice([&](bool waiting) { waits << waiting; });
    QSqlDatabase other = QSqlDatabase::addDatabase("QSQLITE", "writer");
    other.setDatabaseName(folder.databasePath());
    QVERIFY(other.open());
    QVERIFY(QSqlQuery(other).exec("BEGIN EXCLUSIVE"));
    QVERIFY_THROWS_EXCEPTION(Failure, db.dataVersion());
    QVERIFY(waits.isEmpty());
    other.close();
    other = QSqlDatabase();
    QSqlDatabase::removeDatabase("writer");
}

void StoreTest::recordsetWalksRowsAndReadsFieldsByName()
{
    ProgramFolder folder;
    execSql(folder.databasePath(), "insert into tblSchedules (Description) values ('first')");
    execSql(folder.databasePath(), "insert into tblSchedules (Description) values (NULL)");
    Connection db;
    db.open(folder.databasePath());
    Recordset rs;
    rs.open(sql::selectSchedules(), db);
    QStringList seen;
    while (!rs.eof()) {
        seen << rs.text("id") + "=" + rs.text("Description");
        QVERIFY_THROWS_EXCEPTION(Failure, rs.text("NoSuchColumn"));
        rs.moveNext();
    }
    QCOMPARE(seen, (QStringList{"1=first", "2="}));
    QVERIFY_THROWS_EXCEPTION(Failure, rs.text("id"));
    rs.close();
    QVERIFY(!rs.isOpen());
}

void StoreTest::readThatFailsAfterSomeRowsIsAFailure()
{
    // The engine fails at the fourth row; the walk must not take that for the end.
    ProgramFolder folder;
    for (int i = 0; i < 5; ++i)
        execSql(folder.databasePath(), "insert into tblSchedules (Description) values ('x')");
    Connection db;
    db.open(folder.databasePath());
    Recordset rs;
    rs.open("select id, case when id > 3 then abs(-9223372036854775808) else 0 end as n from tblSchedules", db);
    int rows = 0;
    try {
        for (; !rs.eof(); rs.moveNext())
            ++rows;
        QFAIL("the walk ended as if all rows were read");
    } catch (const Failure& failure) {
        QCOMPARE(failure.description(), QString("integer overflow"));
    }
    QCOMPARE(rows, 3);
}

namespace {

// An installation in a temporary folder: the program in lib/quorvane, the
// template in share/quorvane/template, and a home of its own.
struct Installation
{
    QTemporaryDir root;
    QString program = root.path() + "/lib/quorvane";
    QString home = root.path() + "/home";
    Installation(bool withTemplate)
    {
        QDir().mkpath(program);
        QDir().mkpath(home);
        qputenv("HOME", QFile::encodeName(home));
        qunsetenv("XDG_DATA_HOME");
        if (withTemplate) {
            QDir().mkpath(root.path() + "/share/quorvane/template");
            createDeliveredDatabase(installedTemplatePath(program));
        }
    }
    // Every file below the root but the template.
    QStringList files() const
    {
        QStringList found;
        QDirIterator it(root.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next().mid(root.path().size());
            if (!path.startsWith("/share/"))
                found << path;
        }
        return found;
    }
};

} // namespace

void StoreTest::databaseIsTheProgramsOwnOrTheUsers_data()
{
    QTest::addColumn<bool>("installed");
    QTest::addColumn<QString>("inProgramFolder"); // a database there already
    QTest::addColumn<QString>("xdgDataHome");     // "-" for unset; relative to the root when absolute-looking
    QTest::addColumn<QString>("userDatabase");    // a user database there already, with this schedule
    QTest::addColumn<QString>("expectedFolder");
    QTest::newRow("own folder") << true << "x"
                                << "-"
                                << ""
                                << "/lib/quorvane";
    QTest::newRow("installed, first start") << true << ""
                                            << "-"
                                            << ""
                                            << "/home/.local/share/quorvane";
    QTest::newRow("installed, user database kept") << true << ""
                                                   << "-"
                                                   << "Mine"
                                                   << "/home/.local/share/quorvane";
    QTest::newRow("XDG_DATA_HOME") << true << ""
                                   << "/data"
                                   << ""
                                   << "/data/quorvane";
    QTest::newRow("XDG_DATA_HOME empty") << true << ""
                                         << ""
                                         << ""
                                         << "/home/.local/share/quorvane";
    QTest::newRow("XDG_DATA_HOME relative") << true << ""
                                            << "rel/data"
                                            << ""
                                            << "/home/.local/share/quorvane";
    QTest::newRow("neither") << false << ""
                             << "-"
                             << ""
                             << "/lib/quorvane";
}

void StoreTest::databaseIsTheProgramsOwnOrTheUsers()
{
    QFETCH(bool, installed);
    QFETCH(QString, inProgramFolder);
    QFETCH(QString, xdgDataHome);
    QFETCH(QString, userDatabase);
    QFETCH(QString, expectedFolder);
    Installation at(installed);
    if (xdgDataHome != "-")
        qputenv("XDG_DATA_HOME",
                QFile::encodeName(xdgDataHome.startsWith('/') ? at.root.path() + xdgDataHome : xdgDataHome));
    const QString expected = at.root.path() + expectedFolder;
    if (!inProgramFolder.isEmpty())
        createDeliveredDatabase(at.program + "/dbSchedules.mdb");
    if (!userDatabase.isEmpty()) {
        QDir().mkpath(expected);
        createDeliveredDatabase(expected + "/dbSchedules.mdb");
        execSql(expected + "/dbSchedules.mdb",
                "insert into tblSchedules (Description) values ('" + userDatabase + "')");
    }
    const QStringList before = at.files();

    const DatabaseLocation location = locateDatabase(at.program);
    QCOMPARE(location.failure, QString());
    QCOMPARE(location.folder, expected);
    const QString database = expected + "/dbSchedules.mdb";
    if (!installed) {
        QCOMPARE(at.files(), before); // nothing made anywhere
        return;
    }
    QVERIFY(QFileInfo(database).isFile());
    QCOMPARE(scalarSql(database, "select coalesce(group_concat(Description), '') from tblSchedules"), userDatabase);
    if (inProgramFolder.isEmpty() && userDatabase.isEmpty()) {
        // Made from the template, for its user alone, with nothing left beside it.
        QCOMPARE(fileBytes(database), fileBytes(installedTemplatePath(at.program)));
        const auto mode = [](const QString& path) {
            struct stat info
            {};
            return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & 0777 : 0;
        };
        QCOMPARE(mode(expected), 0700u);
        QCOMPARE(mode(database), 0600u);
        QCOMPARE(QDir(expected).entryList(QDir::Files | QDir::Hidden), QStringList{"dbSchedules.mdb"});
    } else {
        QCOMPARE(at.files(), before);
    }
    // Never made by a reader that only looks.
    QFile::remove(database);
    if (inProgramFolder.isEmpty())
        QCOMPARE(locateDatabase(at.program, MakeUserDatabase::Never).folder, expected);
    QVERIFY(!QFileInfo::exists(database));
}

void StoreTest::userDatabaseThatCannotBeMadeIsOneFailure()
{
    Installation at(true);
    // A file where the data folder should be.
    QDir().mkpath(at.home + "/.local");
    QFile blocker(at.home + "/.local/share");
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QStringList before = at.files();
    const DatabaseLocation location = locateDatabase(at.program);
    QCOMPARE(location.failure, "Cannot create " + at.home + "/.local/share/quorvane/dbSchedules.mdb: Not a directory");
    QCOMPARE(at.files(), before);
}

QTEST_GUILESS_MAIN(StoreTest)
#include "test_store.moc"
