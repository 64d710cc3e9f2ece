// Calendar files made into new schedules: what becomes a course, what is
// stored, what the report says, bad files, and the window's ways in.
#include "app/form1.h"
#include "app/undo_history.h"
#include "base/failure.h"
#include "domain/calendar_import.h"
#include "domain/repository.h"
#include "export/calendar_file.h"
#include "store/connection.h"
#include "store/ical_reader.h"
#include "tests/support/expected_texts.h"
#include "tests/support/list_rows.h"
#include "tests/support/scripted_prompts.h"
#include "tests/support/test_db.h"
#include "timetable/grid.h"

#include <QAction>
#include <QMimeData>
#include <QTreeView>
#include <QtTest>
#include <ctime>

using namespace quorvane;
using namespace quorvane::testing;

namespace {

QString university()
{
    return qEnvironmentVariable("QUORVANE_SOURCE_DIR") + "/tests/data/university.ics";
}

QString courseLine(const NewCourse& c)
{
    // The grid's times, and the exact ones where they differ.
    QString line = QStringLiteral("%1|%2|%3|%4|%5")
                       .arg(c.name, c.notes, dayset::build(c.days), c.from.toString("HH:mm"), c.to.toString("HH:mm"));
    if (c.exactFrom != c.from || c.exactTo != c.to)
        line += QStringLiteral(" (%1-%2)").arg(c.exactFrom.toString("HH:mm"), c.exactTo.toString("HH:mm"));
    return line;
}

} // namespace

class CalendarImportTest : public QObject
{
    Q_OBJECT

    void writeFile(const QString& path, const QByteArray& bytes)
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    }

private slots:
    void initTestCase()
    {
        // Five hours ahead of the file's campus time in September.
        qputenv("TZ", "Europe/London");
        tzset();
    }

    // Separate weekly meetings, a time zone the file defines, a UTC series,
    // a zone the system knows, floating times: the courses a student would
    // type, in local time, kept as they are and snapped for the grid as the
    // dialogs snap; the rest reported.
    void universityTimetableMakesCourses()
    {
        const CalendarImport import = importCalendarFile(university());
        QCOMPARE(import.calendarName, "Autumn Term 2026");
        QStringList courses;
        for (const NewCourse& course : import.courses)
            courses << courseLine(course);
        QCOMPARE(courses,
                 QStringList({"Linear Algebra|Room 101, Main Building\nLecture\nDr. Smith; bring the textbook and a "
                              "calculator to every meeting|0,3|14:00|15:30 (14:10-15:50)",
                              "Physics Lab|Lab 3|1,3|13:00|14:30", "Statistics||2|14:00|15:30 (14:00-15:20)",
                              "Drawing||5|07:30|09:00 (07:45-09:15)", "Tutorial||4|19:00|21:00"}));
        QCOMPARE(importReport(import, "Autumn Term 2026"),
                 "Imported 5 courses into the new schedule \"Autumn Term 2026\".\n"
                 "Changed:\n"
                 "  Tutorial: repeats every 2 weeks, taken as every week\n"
                 "Skipped:\n"
                 "  Welcome Day: an all-day event\n"
                 "  Evening Seminar: outside the timetable's hours (6:00 AM to 9:30 PM)\n"
                 "  Advising: repeats monthly, not weekly\n"
                 "  Old Class: cancelled\n"
                 "  Final Exam: occurs once\n");
    }

    // Stored as Add Course stores, under a name not yet taken, all at once.
    void coursesAreStoredInOneTransaction()
    {
        ProgramFolder folder;
        execSql(folder.databasePath(), "insert into tblSchedules (Description) values ('Autumn Term 2026')");
        const CalendarImport import = importCalendarFile(university());
        Connection db;
        db.open(folder.databasePath());
        const Schedule stored = Repository(db).importSchedule(import.calendarName, import.courses);
        QCOMPARE(stored.name, "Autumn Term 2026 (2)");
        QCOMPARE(querySql(folder.databasePath(),
                          "select ScheduleID, CourseName, Days, TimeFrom, TimeTo, ExactFrom, ExactTo from tblCourse "
                          "where id <= 2"),
                 QList<QStringList>({{QString::number(stored.id.value), "Linear Algebra", "0,3", "2:00:00 PM",
                                      "3:30:00 PM", "2:10:00 PM", "3:50:00 PM"},
                                     {QString::number(stored.id.value), "Physics Lab", "1,3", "1:00:00 PM",
                                      "2:30:00 PM", "<NULL>", "<NULL>"}}));
        QCOMPARE(Repository(db).importSchedule(import.calendarName, {}).name, "Autumn Term 2026 (3)");

        // A course the database refuses takes the schedule and the others with it.
        execSql(folder.databasePath(), "create trigger refuse before insert on tblCourse when new.CourseName = "
                                       "'Drawing' begin select raise(abort, 'no room left'); end");
        const QString before = scalarSql(folder.databasePath(), "select count(*) from tblSchedules") + "/" +
                               scalarSql(folder.databasePath(), "select count(*) from tblCourse");
        QVERIFY_THROWS_EXCEPTION(Failure, Repository(db).importSchedule(import.calendarName, import.courses));
        QCOMPARE(scalarSql(folder.databasePath(), "select count(*) from tblSchedules") + "/" +
                     scalarSql(folder.databasePath(), "select count(*) from tblCourse"),
                 before);
    }

    // A zone the file defines follows its own yearly rules: the campus and
    // London change their clocks on different Sundays.
    void ownTimeZoneFollowsItsRules_data()
    {
        QTest::addColumn<QDate>("day");
        QTest::addColumn<QString>("local");
        QTest::newRow("both in summer time") << QDate(2026, 9, 14) << "2026-09-14T14:10:00";
        QTest::newRow("London back, campus not yet") << QDate(2026, 10, 28) << "2026-10-28T13:10:00";
        QTest::newRow("both in winter time") << QDate(2026, 11, 2) << "2026-11-02T14:10:00";
        QTest::newRow("before the campus changes") << QDate(2027, 3, 13) << "2027-03-13T14:10:00";
        QTest::newRow("campus ahead, London not yet") << QDate(2027, 3, 15) << "2027-03-15T13:10:00";
    }
    void ownTimeZoneFollowsItsRules()
    {
        QFETCH(QDate, day);
        QFETCH(QString, local);
        const ical::Component calendar = ical::readFile(university());
        const ical::TimeZones zones(calendar);
        ical::DateTime campus;
        campus.date = day;
        campus.time = QTime(9, 10);
        campus.zone = "Campus Time";
        QCOMPARE(zones.toLocal(campus)->toString(Qt::ISODate), local);
        campus.zone = "Elsewhere";
        QVERIFY(!zones.toLocal(campus));
    }

    // What cannot be taken is named in the report: numbers out of their
    // range, events that never meet, calendars after the first.
    void whatCannotBeTakenIsReported_data()
    {
        QTest::addColumn<QByteArray>("inside"); // between BEGIN:VCALENDAR and END:VCALENDAR
        QTest::addColumn<QString>("said");      // a line of the report
        const QByteArray event = "BEGIN:VEVENT\nSUMMARY:Logic\nDTSTART:20260914T090000\n";
        const QByteArray weekly = event + "DTEND:20260914T100000\nRRULE:FREQ=WEEKLY";
        const auto zone = [&](const QByteArray& offset, const QByteArray& rule) {
            return "BEGIN:VTIMEZONE\nTZID:Odd\nBEGIN:STANDARD\nDTSTART:19701025T030000\nTZOFFSETFROM:+0100\n"
                   "TZOFFSETTO:" +
                   offset + "\n" + rule +
                   "END:STANDARD\nEND:VTIMEZONE\nBEGIN:VEVENT\nSUMMARY:Logic\n"
                   "DTSTART;TZID=Odd:20260914T090000\nRRULE:FREQ=WEEKLY\nEND:VEVENT\n";
        };
        const QString undefined = "  Logic: its time zone \"Odd\" is not defined";
        QTest::newRow("a week count that overflows")
            << event + "DURATION:P144115188075855872WT1H\nRRULE:FREQ=WEEKLY\nEND:VEVENT\n"
            << "  Logic: its end is too far away to be read";
        QTest::newRow("an nth Sunday that overflows")
            << zone("+0100", "RRULE:FREQ=YEARLY;BYMONTH=10;BYDAY=-2147483648SU\n") << undefined;
        QTest::newRow("an offset of +9999") << zone("+9999", "") << undefined;
        QTest::newRow("until before the start") << weekly + ";UNTIL=20260901T000000Z\nEND:VEVENT\n"
                                                << "  Logic: never occurs";
        QTest::newRow("no meetings") << weekly + ";COUNT=0\nEND:VEVENT\n"
                                     << "  Logic: never occurs";
        QTest::newRow("every meeting taken away")
            << weekly + ";COUNT=2;BYDAY=MO\nEXDATE:20260914T090000,20260921T090000\nEND:VEVENT\n"
            << "  Logic: never occurs";
        QTest::newRow("a second calendar")
            << QByteArray("END:VCALENDAR\nBEGIN:VCALENDAR\n")
            << "Only the first calendar in the file was read; 1 more calendar after it was left out.";
    }
    void whatCannotBeTakenIsReported()
    {
        QFETCH(QByteArray, inside);
        QFETCH(QString, said);
        QTemporaryDir folder;
        writeFile(folder.filePath("odd.ics"), "BEGIN:VCALENDAR\n" + inside + "END:VCALENDAR\n");
        const CalendarImport import = importCalendarFile(folder.filePath("odd.ics"));
        QVERIFY(import.courses.isEmpty());
        const QString report = importReport(import, "Odd");
        QVERIFY2(report.split('\n').contains(said), qPrintable(report));
    }

    // Lines unfolded, parameters quoted, a time zone named the Windows way.
    void contentLinesAreRead()
    {
        const ical::Component calendar =
            ical::parse("\xEF\xBB\xBF"
                        "BEGIN:VCALENDAR\nX-WR-CALNAME:Sp\r\n ring\nBEGIN:VEVENT\nSUMMARY;LANGUAGE=en:Ch\r\n\tem\\, I\n"
                        "DTSTART;TZID=\"Eastern Standard Time\":20260914T090000\nDTEND;TZID=\"Eastern Standard Time\":"
                        "20260914T100000\nRRULE:FREQ=WEEKLY;BYDAY=MO,FR\nEND:VEVENT\nEND:VCALENDAR\n");
        const CalendarImport import = importCalendar(calendar);
        QCOMPARE(import.calendarName, "Spring");
        QCOMPARE(import.courses.size(), 1);
        QCOMPARE(courseLine(import.courses[0]), "Chem, I||0,4|14:00|15:00");
    }

    // Each bad file: one box that says why, nothing stored.
    void badFilesChangeNothing_data()
    {
        QTest::addColumn<QByteArray>("bytes"); // "none": no file; "folder": a folder
        QTest::addColumn<QString>("message");  // FILE stands for the file's name
        const QByteArray good = fileBytes(university());
        QTest::newRow("missing") << QByteArray("none") << "Cannot read FILE: no such file.";
        QTest::newRow("folder") << QByteArray("folder") << "Cannot read FILE: it is a folder.";
        QTest::newRow("empty") << QByteArray() << "Cannot read FILE: it is not an iCalendar file (it is empty).";
        QTest::newRow("not iCalendar") << QByteArray("Name,Day\nMaths,Monday\n")
                                       << "Cannot read FILE: it is not an iCalendar file (it does not begin with "
                                          "BEGIN:VCALENDAR).";
        QTest::newRow("truncated") << good.left(good.indexOf("END:VEVENT") + 4)
                                   << "Cannot read FILE: it is cut short: it ends inside VEVENT.";
        QTest::newRow("binary") << QByteArray("BEGIN:VCALENDAR\r\n\x00\x01\x02", 20)
                                << "Cannot read FILE: it is not text (it holds NUL bytes).";
        QTest::newRow("Latin-1") << QByteArray("BEGIN:VCALENDAR\r\nX-WR-CALNAME:Caf\xE9\r\nEND:VCALENDAR\r\n")
                                 << "Cannot read FILE: it is not UTF-8 text; save it as UTF-8 and try again.";
        QTest::newRow("no content line") << QByteArray("BEGIN:VCALENDAR\r\nhello\r\nEND:VCALENDAR\r\n")
                                         << "Cannot read FILE: line 2 is not an iCalendar content line.";
        QTest::newRow("crossed") << QByteArray("BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nEND:VCALENDAR\r\n")
                                 << "Cannot read FILE: line 3 ends VCALENDAR where VEVENT is open.";
        QTest::newRow("50 MB") << QByteArray("large")
                               << "Cannot read FILE: it is larger than 20 MB, too large for a calendar.";
        QTest::newRow("no course") << good.left(good.indexOf("BEGIN:VEVENT")) + "END:VCALENDAR\r\n"
                                   << "No course could be made from this calendar; nothing was imported.";
        // The box lists 20 of them, for it must fit the screen.
        QByteArray cancelled = "BEGIN:VCALENDAR\r\n";
        QString listed = "No course could be made from this calendar; nothing was imported.\nSkipped:";
        for (int i = 1; i <= 25; ++i) {
            cancelled += "BEGIN:VEVENT\r\nSUMMARY:E" + QByteArray::number(i) + "\r\nSTATUS:CANCELLED\r\nEND:VEVENT\r\n";
            if (i <= 20)
                listed += QStringLiteral("\n  E%1: cancelled").arg(i);
        }
        QTest::newRow("25 events skipped") << cancelled + "END:VCALENDAR\r\n"
                                           << listed + QString::fromUtf8("\n  … and 5 more");
    }
    void badFilesChangeNothing()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        ProgramFolder folder;
        const QString file = folder.file("bad.ics");
        if (bytes == "folder") {
            QVERIFY(QDir(folder.path()).mkdir("bad.ics"));
        } else if (bytes == "large") {
            QFile large(file);
            QVERIFY(large.open(QIODevice::WriteOnly));
            const QByteArray line = QByteArray(1023, 'x') + '\n';
            for (int i = 0; i < 50 * 1024; ++i)
                QVERIFY(large.write(line) == line.size());
        } else if (bytes != "none") {
            writeFile(file, bytes);
        }
        ScriptedPrompts prompts;
        Form1 form(folder.path(), prompts);
        QVERIFY(form.Form_Load());
        QVERIFY(!form.ImportCalendar(file));
        QCOMPARE(prompts.messageTexts(), QStringList{message.replace("FILE", file)});
        QCOMPARE(scalarSql(folder.databasePath(), "select count(*) from tblSchedules"), "0");
    }

    // The program's own export, imported: the same grid, the same notes.
    void ownExportImportsBack()
    {
        ProgramFolder folder;
        execSql(folder.databasePath(), "insert into tblSchedules (Description) values ('Week')");
        execSql(folder.databasePath(),
                "insert into tblCourse (ScheduleID,CourseName,Notes,Days,TimeFrom,TimeTo) values "
                "(1,'Mathematics','mathematics for beginners','0,3,4','08:30','10:00'),"
                "(1,'Engineering','line one\nline two; a, b','1,2,5','10:00','12:30:00 PM'),"
                "(1,'Design','','0,2,3','13:00','14:00'), (1,'Late','','6','21:30','21:30')");
        Connection db;
        db.open(folder.databasePath());
        saveScheduleCalendar(Repository(db), ScheduleId(1), "Week", {QDate(2026, 9, 14), QDate(2026, 12, 18), {}},
                             folder.file("week.ics"));
        db.close();
        ScriptedPrompts prompts;
        Form1 form(folder.path(), prompts);
        QVERIFY(form.Form_Load());
        const QStringList before = gridTexts(form);
        QVERIFY(form.ImportCalendar(folder.file("week.ics")));
        QCOMPARE(form.selectedScheduleName(), "Week (2)");
        QCOMPARE(gridTexts(form), before);
        QCOMPARE(querySql(folder.databasePath(), "select Notes from tblCourse where ScheduleID = 2"),
                 querySql(folder.databasePath(), "select Notes from tblCourse where ScheduleID = 1"));
    }

    // Ctrl+I and the list's menu open the file dialog; a dropped file is
    // imported alike. One box reports; the new schedule is selected and drawn.
    void windowImportsByKeyMenuAndDrop()
    {
        ProgramFolder folder;
        execSql(folder.databasePath(), "insert into tblSchedules (Description) values ('Before')");
        ScriptedPrompts prompts;
        Form1 form(folder.path(), prompts);
        QVERIFY(form.Form_Load());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));

        prompts.chooseFile(university());
        QTest::keyClick(&form, Qt::Key_I, Qt::ControlModifier);
        QCOMPARE(prompts.shown.first().kind, "open");
        QCOMPARE(prompts.shown.first().save.filter, "iCalendar (*.ics)|*.ics|");
        QCOMPARE(prompts.messageTexts().size(), 1);
        QVERIFY(prompts.messageTexts().first().startsWith(
            "Imported 5 courses into the new schedule \"Autumn Term 2026\".\n"));
        QCOMPARE(form.selectedScheduleName(), "Autumn Term 2026");
        QVERIFY(gridTexts(form).contains("Linear Algebra"));

        auto* menuEntry = form.listView().findChild<QAction*>("ImportCalendar");
        QVERIFY(menuEntry && form.listView().actions().contains(menuEntry));
        QCOMPARE(menuEntry->text(), QString::fromUtf8("Import Calendar…"));
        QCOMPARE(form.listView().contextMenuPolicy(), Qt::ActionsContextMenu);
        prompts.clear();
        menuEntry->trigger(); // cancelled
        QCOMPARE(prompts.shown.size(), 1);

        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(university())});
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&form, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&form, &drop);
        QCOMPARE(form.selectedScheduleName(), "Autumn Term 2026 (2)");
        QCOMPARE(scalarSql(folder.databasePath(), "select count(*) from tblSchedules"), "3");
        // Each import is one step to take back.
        QCOMPARE(form.history().undoAction()->text(), "Undo Import Calendar");
        form.history().undoAction()->trigger();
        QCOMPARE(scalarSql(folder.databasePath(), "select count(*) || '/' || (select count(*) from tblCourse) from "
                                                  "tblSchedules"),
                 "2/5");
    }
};

QTEST_MAIN(CalendarImportTest)
#include "test_calendar_import.moc"
