// A schedule's courses as an iCalendar file, read back by the icalendar
// module (tests/read_calendar.py), its rules expanded by dateutil.
#include "export/calendar_file.h"
#include "store/connection.h"
#include "store/failure.h"
#include "tests/support/expected_texts.h"
#include "tests/support/test_db.h"

#include <QJsonArray>
#include <QtTest>

using namespace quorvane;
using namespace quorvane::testing;

namespace {

const QDateTime kStamp(QDate(2026, 12, 9), QTime(10, 0), Qt::UTC);
const QDate kWednesday(2026, 12, 9);

CalendarCourse course(const QString& name, const QString& notes = QString())
{
    return {7, name, notes, {0, 3, 4}, QTime(8, 30), QTime(10, 0)};
}

} // namespace

class CalendarExportTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_folder;

    // The calendar as the reader sees it, or {"error": why}.
    QJsonObject readCalendar(const QString& name, const QVector<CalendarCourse>& courses, int weeks)
    {
        const QString path = m_folder.filePath(QStringLiteral("week.ics"));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return {{"error", file.errorString()}};
        file.write(calendarBytes(name, courses, kWednesday, weeks, kStamp));
        file.close();
        const WorkbookReading reading = readBack(QStringLiteral("read_calendar.py"), {path});
        return reading.error.isEmpty() ? reading.book : QJsonObject{{"error", reading.error}};
    }

private slots:
    void textsSurviveEscapingAndFolding_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("read");
        QTest::newRow("quotes, commas, semicolons, backslashes") << "O'Brien \"x\", A; B\\C"
                                                                 << "O'Brien \"x\", A; B\\C";
        QTest::newRow("line breaks") << "one\r\ntwo\nthree\rfour"
                                     << "one\ntwo\nthree\nfour";
        QTest::newRow("emoji and non-Latin")
            << QString::fromUtf8("😀 Расписание 日本 עברית") << QString::fromUtf8("😀 Расписание 日本 עברית");
        QTest::newRow("control characters left out") << "tab\tand \x01 bell\x07"
                                                     << "tab\tand  bell";
        const QString longText = QString(32766, QChar(0x0436)) + QString::fromUtf8("😀");
        QTest::newRow("32,767 units folded between characters") << longText << longText;
    }
    void textsSurviveEscapingAndFolding()
    {
        QFETCH(QString, text);
        QFETCH(QString, read);
        const QJsonObject calendar = readCalendar(text, {course(text, text)}, 1);
        QVERIFY2(!calendar.contains("error"), qPrintable(calendar["error"].toString()));
        QCOMPARE(calendar["name"].toString(), read);
        QCOMPARE(calendar["events"][0]["summary"].toString(), read);
        QCOMPARE(calendar["events"][0]["description"].toString(), read);
    }

    void eventsRepeatWeeklyFromTheWeekOfTheExport()
    {
        CalendarCourse sunday{12, QStringLiteral("Late"), QString(), {6}, QTime(21, 30), QTime(21, 30)};
        const QJsonObject calendar = readCalendar(QStringLiteral("Week"), {course("Mathematics"), sunday}, 16);
        QVERIFY2(!calendar.contains("error"), qPrintable(calendar["error"].toString()));
        const QJsonArray read = calendar["events"].toArray();
        QCOMPARE(read.size(), 2);
        QCOMPARE(read[0]["uid"].toString(), QStringLiteral("quorvane-course-7"));
        QCOMPARE(read[0]["class"].toString(), QStringLiteral("PRIVATE"));
        QCOMPARE(read[0]["description"].toString(), QString());
        QVERIFY(read[0]["floating"].toBool());
        QCOMPARE(read[0]["start"].toString(), QStringLiteral("2026-12-07T08:30:00"));
        QCOMPARE(read[0]["end"].toString(), QStringLiteral("2026-12-07T10:00:00"));
        const QJsonArray mathematics = read[0]["occurrences"].toArray();
        QCOMPARE(mathematics.size(), 16 * 3);
        QCOMPARE(mathematics[1].toString(), QStringLiteral("2026-12-10T08:30:00"));
        QCOMPARE(mathematics.last().toString(), QStringLiteral("2027-03-26T08:30:00")); // Friday of week 16
        // A course that ends when it starts has no end.
        QCOMPARE(read[1]["end"], QJsonValue(QJsonValue::Null));
        QCOMPARE(read[1]["occurrences"].toArray().last().toString(), QStringLiteral("2027-03-28T21:30:00"));
        QVERIFY_THROWS_EXCEPTION(Failure, calendarBytes("Week", {}, kWednesday, 0, kStamp));
    }

    void unreadableCoursesAreLeftOut()
    {
        ProgramFolder folder;
        const QString db = folder.databasePath();
        execSql(db, "insert into tblSchedules (Description) values ('Week'), ('Other')");
        execSql(db, "insert into tblCourse (ScheduleID,CourseName,Notes,Days,TimeFrom,TimeTo) values "
                    "(1,'Kept','n','4,0,4','08:30','10:00:00 AM'), (1,'No time','','0','soon','10:00'),"
                    "(1,'Dated','','0','8/31/2021 8:30:00 AM','10:00'), (1,'Backwards','','0','10:00','08:30'),"
                    "(1,'Bad day','','0,x','08:30','10:00'), (1,'No day','','','08:30','10:00'),"
                    "(1,'Outside the week','','7,9','08:30','10:00'), (1,'Partly outside','','9,6','08:30','08:30'),"
                    "(2,'Another schedule','','0','08:30','10:00')");
        Connection connection;
        connection.open(db);
        const QVector<CalendarCourse> courses = calendarCourses(connection, QStringLiteral("1"));
        QCOMPARE(courses.size(), 2);
        QCOMPARE(courses[0].id, 1);
        QCOMPARE(courses[0].name, QStringLiteral("Kept"));
        QCOMPARE(courses[0].notes, QStringLiteral("n"));
        QCOMPARE(courses[0].days, QVector<int>({0, 4}));
        QCOMPARE(courses[0].to, QTime(10, 0));
        QCOMPARE(courses[1].name, QStringLiteral("Partly outside"));
        QCOMPARE(courses[1].days, QVector<int>{6});
    }
};

QTEST_GUILESS_MAIN(CalendarExportTest)
#include "test_calendar_export.moc"
