// A schedule's courses as an iCalendar file, read back by the icalendar
// module (tests/read_export.py), its rules expanded by dateutil.
#include "base/failure.h"
#include "export/calendar_file.h"
#include "store/connection.h"
#include "tests/support/expected_texts.h"
#include "tests/support/test_db.h"

#include <QJsonArray>
#include <QtTest>

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

private slots:
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
        const CalendarCourse course{7, text, text, {0}, QTime(8, 30), QTime(10, 0)};
        const QJsonObject calendar = readBackCalendar(calendarBytes(text, {course}, QDate(2026, 12, 9), 1, {}));
        QVERIFY2(!calendar.contains("error"), qPrintable(calendar["error"].toString()));
        QCOMPARE(calendar["name"].toString(), read);
        QCOMPARE(calendar["events"][0]["summary"].toString(), read);
        QCOMPARE(calendar["events"][0]["description"].toString(), read);
    }

    // Read from the database, written for this week: unreadable courses left out.
    void eachCourseRepeatsWeeklyFromThisWeek()
    {
        execSql(m_folder.databasePath(), "insert into tblSchedules (Description) values ('Week'), ('Other')");
        execSql(m_folder.databasePath(),
                "insert into tblCourse (ScheduleID,CourseName,Notes,Days,TimeFrom,TimeTo) values "
                "(1,'Kept','n','4,0,4','08:30','10:00:00 AM'), (1,'No time','','0','soon','10:00'),"
                "(1,'Dated','','0','8/31/2021 8:30:00 AM','10:00'), (1,'Backwards','','0','10:00','08:30'),"
                "(1,'Bad day','','0,x','08:30','10:00'), (1,'No day','','','08:30','10:00'),"
                "(1,'Outside the week','','7','08:30','10:00'), (2,'Other','','0','08:30','10:00'),"
                "(1,'Late','','6','21:30','21:30')");
        Connection db;
        db.open(m_folder.databasePath());
        saveScheduleCalendar(db, "1", "Week", 16, m_folder.file("week.ics"));
        const QJsonObject calendar = readBackCalendar(fileBytes(m_folder.file("week.ics")));
        QVERIFY2(!calendar.contains("error"), qPrintable(calendar["error"].toString()));
        const QJsonArray events = calendar["events"].toArray();
        QCOMPARE(events.size(), 2);
        const QDate monday = QDate::currentDate().addDays(1 - QDate::currentDate().dayOfWeek());
        const QJsonValue kept = events[0];
        QCOMPARE(QStringList({kept["uid"].toString(), kept["class"].toString(), kept["description"].toString()}),
                 QStringList({"quorvane-course-1", "PRIVATE", "n"}));
        QVERIFY(kept["floating"].toBool());
        QCOMPARE(kept["start"].toString(), monday.toString(Qt::ISODate) + "T08:30:00");
        QCOMPARE(kept["end"].toString(), monday.toString(Qt::ISODate) + "T10:00:00");
        QCOMPARE(kept["occurrences"].toArray().size(), 16 * 2);
        QCOMPARE(kept["occurrences"][31].toString(), monday.addDays(15 * 7 + 4).toString(Qt::ISODate) + "T08:30:00");
        QVERIFY(events[1]["end"].isNull()); // it ends when it starts
        QVERIFY_THROWS_EXCEPTION(Failure, saveScheduleCalendar(db, "1", "Week", 0, m_folder.file("none.ics")));
    }
};

QTEST_GUILESS_MAIN(CalendarExportTest)
#include "test_calendar_export.moc"
