// A schedule's courses as an iCalendar file, read back by the icalendar
// module (tests/read_export.py), its rules expanded by dateutil, and by a
// calendar program, khal.
#include "base/failure.h"
#include "domain/calendar_import.h"
#include "domain/repository.h"
#include "export/calendar_file.h"
#include "store/connection.h"
#include "store/ical_reader.h"
#include "tests/support/expected_texts.h"
#include "tests/support/test_db.h"

#include <QJsonArray>
#include <QProcess>
#include <QtTest>
#include <ctime>

using namespace quorvane;
using namespace quorvane::testing;

class CalendarExportTest : public QObject
{
    Q_OBJECT
    ProgramFolder m_folder;

    // The file as the reader sees it; {"error": why} when it cannot be read.
    QJsonObject readBackCalendar(const QByteArray& bytes)
    {
        QFile file(m_folder.file("week.ics"));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush())
            return {{"error", file.errorString()}};
        const WorkbookReading reading = readBack("read_export.py", {file.fileName()});
        return reading.error.isEmpty() ? reading.book : QJsonObject{{"error", reading.error}};
    }

    // A term over the end of summer time, with a free week in it.
    static CalendarTerm autumnTerm()
    {
        return {QDate(2026, 9, 14),
                QDate(2026, 12, 18),
                {{QDate(2026, 10, 26), QDate(2026, 10, 30)}, {QDate(2026, 11, 19), QDate(2026, 11, 19)}}};
    }

    void fillSchedule()
    {
        execSql(m_folder.databasePath(), "delete from tblCourse");
        execSql(m_folder.databasePath(), "delete from tblSchedules");
        execSql(m_folder.databasePath(), "insert into tblSchedules (id, Description) values (1, 'Week'), (2, 'Other')");
        execSql(m_folder.databasePath(),
                "insert into tblCourse (id,ScheduleID,CourseName,Notes,Days,TimeFrom,TimeTo) values "
                "(1,1,'Kept','n','4,0,4','08:30','10:00:00 AM'), (2,1,'No time','','0','soon','10:00'),"
                "(3,1,'Dated','','0','8/31/2021 8:30:00 AM','10:00'), (4,1,'Backwards','','0','10:00','08:30'),"
                "(5,1,'Bad day','','0,x','08:30','10:00'), (6,1,'No day','','','08:30','10:00'),"
                "(7,1,'Outside the week','','7','08:30','10:00'), (8,2,'Other','','0','08:30','10:00'),"
                "(9,1,'Late','','6','21:30','21:30')");
    }

private slots:
    void initTestCase()
    {
        qputenv("TZ", "Europe/Berlin");
        tzset();
    }

    void textsSurviveEscapingAndFolding_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("read");
        const QString longText = QString(32766, QChar(0x0436)) + QString::fromUtf8("😀");
        const QString emoji = QString::fromUtf8("😀 Расписание 日本");
        QTest::newRow("quotes, commas, semicolons, backslashes, controls") << "O'B \"x\", A; B\\C\t\x01"
                                                                           << "O'B \"x\", A; B\\C\t";
        QTest::newRow("line breaks") << "one\r\ntwo\nthree\rfour"
                                     << "one\ntwo\nthree\nfour";
        QTest::newRow("emoji and non-Latin") << emoji << emoji;
        QTest::newRow("32,767 units folded between characters") << longText << longText;
    }
    void textsSurviveEscapingAndFolding()
    {
        QFETCH(QString, text);
        QFETCH(QString, read);
        const CalendarCourse course{7, text, text, {0}, QTime(8, 30), QTime(10, 0), "u"};
        const CalendarTerm week{QDate(2026, 12, 7), QDate(2026, 12, 13), {}};
        const QJsonObject calendar = readBackCalendar(calendarBytes(text, {course}, week, QTimeZone(), {}));
        QVERIFY2(!calendar.contains("error"), qPrintable(calendar["error"].toString()));
        QCOMPARE(calendar["name"].toString(), read);
        QCOMPARE(calendar["events"][0]["summary"].toString(), read);
        QCOMPARE(calendar["events"][0]["description"].toString(), read);
    }

    // Read from the database, written for the term in the system's zone: the
    // meetings on free days left out, the same wall clock time on both sides
    // of the change of offset, unreadable courses left out.
    // A course meets at the times typed, not at the grid's half hours.
    void eventsTakeTheExactTimes()
    {
        fillSchedule();
        execSql(m_folder.databasePath(), "update tblCourse set TimeFrom='9:00:00 AM', TimeTo='9:30:00 AM', "
                                         "ExactFrom='9:00:00 AM', ExactTo='9:50:00 AM' where id=1");
        Connection db;
        db.open(m_folder.databasePath());
        const QByteArray bytes = calendarBytes("Week", calendarCourses(Repository(db), ScheduleId(1)), autumnTerm(),
                                               QTimeZone::systemTimeZone(), {});
        QVERIFY(bytes.contains(":20260914T090000\r\n") && bytes.contains(":20260914T095000\r\n"));
    }

    void eachCourseMeetsWeeklyOverTheTerm()
    {
        fillSchedule();
        Connection db;
        db.open(m_folder.databasePath());
        saveScheduleCalendar(Repository(db), ScheduleId(1), "Week", autumnTerm(), m_folder.file("week.ics"));
        const QJsonObject calendar = readBackCalendar(fileBytes(m_folder.file("week.ics")));
        QVERIFY2(!calendar.contains("error"), qPrintable(calendar["error"].toString()));
        QCOMPARE(
            calendar["zones"].toArray(),
            QJsonArray({QJsonArray(
                {"Europe/Berlin", QJsonArray({QJsonArray({"DAYLIGHT", "2026-03-29T02:00:00", "+0100", "+0200"}),
                                              QJsonArray({"STANDARD", "2026-10-25T03:00:00", "+0200", "+0100"})})})}));
        const QJsonArray events = calendar["events"].toArray();
        QCOMPARE(events.size(), 2);
        const QJsonValue kept = events[0];
        QVERIFY(QRegularExpression("^course-1-[0-9a-f]{20}@quorvane$").match(kept["uid"].toString()).hasMatch());
        QCOMPARE(QStringList({kept["class"].toString(), kept["description"].toString(), kept["tzid"].toString()}),
                 QStringList({"PRIVATE", "n", "Europe/Berlin"}));
        QCOMPARE(kept["start"].toString(), "2026-09-14T08:30:00");
        QCOMPARE(kept["end"].toString(), "2026-09-14T10:00:00");
        QCOMPARE(kept["exdates"].toArray(), QJsonArray({"2026-10-26T08:30:00", "2026-10-30T08:30:00"}));
        const QJsonArray meetings = kept["occurrences"].toArray();
        QCOMPARE(meetings.size(), 14 * 2 - 2);
        for (const QJsonValue meeting : meetings)
            QVERIFY2(meeting.toString().endsWith("T08:30:00"), qPrintable(meeting.toString()));
        QVERIFY(!meetings.contains("2026-10-26T08:30:00") && meetings.contains("2026-10-23T08:30:00"));
        QCOMPARE(meetings.last().toString(), "2026-12-18T08:30:00");
        QCOMPARE(kept["utc"][0].toString(), "2026-09-14T06:30:00+00:00");
        QCOMPARE(kept["utc"].toArray().last().toString(), "2026-12-18T07:30:00+00:00");
        // First met on its first day after the term's first day; no end.
        QCOMPARE(events[1]["start"].toString(), "2026-09-20T21:30:00");
        QVERIFY(events[1]["end"].isNull());

        // The same UID at the next export; another for another database.
        const QByteArray again = calendarBytes("Week", calendarCourses(Repository(db), ScheduleId(1)), autumnTerm(),
                                               QTimeZone::systemTimeZone(), {});
        QVERIFY(again.contains("UID:" + kept["uid"].toString().toUtf8()));
        ProgramFolder other;
        QVERIFY(QFile::remove(other.databasePath()) && QFile::copy(m_folder.databasePath(), other.databasePath()));
        Connection otherDb;
        otherDb.open(other.databasePath());
        QVERIFY(calendarCourses(Repository(otherDb), ScheduleId(1))[0].uid != kept["uid"].toString());

        QVERIFY_THROWS_EXCEPTION(Failure, saveScheduleCalendar(Repository(db), ScheduleId(1), "Week",
                                                               {QDate(2026, 9, 14), QDate(2026, 9, 13), {}},
                                                               m_folder.file("none.ics")));
        QVERIFY(!QFile::exists(m_folder.file("none.ics")));
    }

    // Whatever the zone's id, the events and the VTIMEZONE name it alike,
    // and the icalendar module and the program's own import read the
    // meetings back at their times, before and after the change of offset.
    void everyZoneIsReadBack_data()
    {
        QTest::addColumn<QByteArray>("zone");
        QTest::addColumn<QString>("tzid");
        QTest::newRow("a name") << QByteArray("Europe/Berlin") << "Europe/Berlin";
        QTest::newRow("a POSIX rule") << QByteArray("CET-1CEST,M3.5.0,M10.5.0/3") << "CET/CEST";
        QTest::newRow("a POSIX offset") << QByteArray("<+0330>-3:30") << "+0330";
    }
    void everyZoneIsReadBack()
    {
        QFETCH(QByteArray, zone);
        QFETCH(QString, tzid);
        const QTimeZone written(zone);
        const CalendarCourse course{1, "Logic", "", {0}, QTime(8, 30), QTime(10, 0), "u"};
        const QByteArray bytes = calendarBytes("Week", {course}, autumnTerm(), written, {});
        const QJsonObject calendar = readBackCalendar(bytes);
        QVERIFY2(!calendar.contains("error"), qPrintable(calendar["error"].toString()));
        QCOMPARE(calendar["zones"][0][0].toString(), tzid);
        QCOMPARE(calendar["events"][0]["tzid"].toString(), tzid);
        const auto utc = [&](const QDate& day) {
            return QDateTime(day, QTime(8, 30), written).toUTC().toString("yyyy-MM-ddTHH:mm:ss+00:00");
        };
        const QJsonArray meetings = calendar["events"][0]["utc"].toArray();
        QCOMPARE(meetings.first().toString(), utc(QDate(2026, 9, 14)));
        QCOMPARE(meetings.last().toString(), utc(QDate(2026, 12, 14)));
        const CalendarImport back = importCalendar(ical::parse(bytes));
        QCOMPARE(back.skipped, QStringList());
        QCOMPARE(back.courses.size(), 1);
        QCOMPARE(back.courses[0].from, QDateTime(QDate(2026, 9, 14), QTime(8, 30), written).toLocalTime().time());
    }

    // A real calendar program shows each meeting at its local time, in the
    // exporting zone and in another.
    void khalListsTheMeetings_data()
    {
        QTest::addColumn<QString>("zone");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("same zone") << "Europe/Berlin"
                                   << QStringList{"2026-10-23 08:30-10:00 Kept", "2026-11-02 08:30-10:00 Kept"};
        // Summer time ends a week later there: six hours apart before and after.
        QTest::newRow("New York") << "America/New_York"
                                  << QStringList{"2026-10-23 02:30-04:00 Kept", "2026-11-02 02:30-04:00 Kept"};
    }
    void khalListsTheMeetings()
    {
        QFETCH(QString, zone);
        QFETCH(QStringList, shown);
        const QString khal = QStandardPaths::findExecutable("khal");
        QVERIFY2(!khal.isEmpty(), "khal is not installed (scripts/setup.sh installs it)");
        fillSchedule();
        Connection db;
        db.open(m_folder.databasePath());
        saveScheduleCalendar(Repository(db), ScheduleId(1), "Week", autumnTerm(), m_folder.file("term.ics"));
        QTemporaryDir home;
        QVERIFY(QDir(home.path()).mkpath("cal"));
        QFile config(home.filePath("config"));
        QVERIFY(config.open(QIODevice::WriteOnly));
        config.write(QStringLiteral("[calendars]\n[[term]]\npath = %1/cal\ntype = calendar\n[locale]\n"
                                    "timeformat = %H:%M\ndateformat = %Y-%m-%d\nlongdateformat = %Y-%m-%d\n"
                                    "datetimeformat = %Y-%m-%d %H:%M\nlongdatetimeformat = %Y-%m-%d %H:%M\n"
                                    "local_timezone = %2\ndefault_timezone = %2\n")
                         .arg(home.path(), zone)
                         .toUtf8());
        config.close();
        const auto run = [&](const QStringList& arguments) {
            QProcess process;
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert("HOME", home.path());
            environment.insert("XDG_DATA_HOME", home.path());
            environment.insert("TZ", zone);
            process.setProcessEnvironment(environment);
            process.start(khal, QStringList{"-c", config.fileName()} + arguments);
            process.waitForFinished(60000);
            return QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError());
        };
        run({"import", "--batch", "-a", "term", m_folder.file("term.ics")});
        const QStringList listed = run({"list", "--day-format", "", "--format",
                                        "{start-date} {start-time}-{end-time} {title}", "2026-10-20", "2026-11-03"})
                                       .split('\n', Qt::SkipEmptyParts)
                                       .filter("Kept");
        // The week of the 26th is free; the clocks changed on the 25th.
        QCOMPARE(listed, shown);
    }

    void dayRangesAreRead_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("read");
        QTest::newRow("days and ranges") << " 2026-10-12..2026-10-16, 2026-11-26;2026-12-01 "
                                         << "2026-10-12..2026-10-16, 2026-11-26, 2026-12-01";
        QTest::newRow("none") << ""
                              << "";
        QTest::newRow("backwards") << "2026-10-16..2026-10-12"
                                   << "bad";
        QTest::newRow("no day") << "2026-02-30"
                                << "bad";
        QTest::newRow("three ends") << "2026-10-12..2026-10-13..2026-10-14"
                                    << "bad";
    }
    void dayRangesAreRead()
    {
        QFETCH(QString, text);
        QFETCH(QString, read);
        const std::optional<QVector<DayRange>> ranges = parseDayRanges(text);
        QCOMPARE(ranges ? dayRangesText(*ranges) : QString("bad"), read);
    }
};

QTEST_GUILESS_MAIN(CalendarExportTest)
#include "test_calendar_export.moc"
