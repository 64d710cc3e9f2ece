// Importing a calendar of 10,000 events as a new schedule (read, grouped
// and stored in one transaction), against reading and grouping the same file
// without storing it, taken in turn:
//   - a university's export: 500 weekly meetings, each listed on its own for
//     20 weeks, in a time zone of the file's own;
//   - 10,000 weekly events, each a course of its own.
#include "bench/bench_support.h"
#include "domain/calendar_import.h"
#include "domain/repository.h"
#include "store/connection.h"
#include "tests/support/test_db.h"

#include <QCoreApplication>
#include <QTemporaryDir>

using namespace quorvane;
using namespace quorvane::testing;

namespace {

double msSince(const QElapsedTimer& timer)
{
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

QByteArray event(int uid, const QString& summary, const QDate& day, int hour, const char* rule)
{
    const QString start = day.toString(QStringLiteral("yyyyMMdd")) +
                          QStringLiteral("T%1%2").arg(hour, 2, 10, QLatin1Char('0')).arg(QStringLiteral("1000"));
    const QString end = day.toString(QStringLiteral("yyyyMMdd")) +
                        QStringLiteral("T%1%2").arg(hour + 1, 2, 10, QLatin1Char('0')).arg(QStringLiteral("5000"));
    return QStringLiteral("BEGIN:VEVENT\r\nUID:%1@example.edu\r\nDTSTAMP:20260801T000000Z\r\n"
                          "DTSTART;TZID=Campus Time:%2\r\nDTEND;TZID=Campus Time:%3\r\n%4"
                          "SUMMARY:%5\r\nLOCATION:Room %6\\, Main Building\r\n"
                          "DESCRIPTION:Lecture\\nGroup %6\r\nEND:VEVENT\r\n")
        .arg(uid)
        .arg(start, end, QString::fromLatin1(rule), summary)
        .arg(uid % 97)
        .toUtf8();
}

QByteArray calendar(bool separateMeetings)
{
    QByteArray out = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nX-WR-CALNAME:Bench\r\nBEGIN:VTIMEZONE\r\nTZID:Campus Time\r\n"
                     "BEGIN:DAYLIGHT\r\nDTSTART:20070311T020000\r\nRRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=2SU\r\n"
                     "TZOFFSETFROM:-0500\r\nTZOFFSETTO:-0400\r\nEND:DAYLIGHT\r\nBEGIN:STANDARD\r\n"
                     "DTSTART:20071104T020000\r\nRRULE:FREQ=YEARLY;BYMONTH=11;BYDAY=1SU\r\nTZOFFSETFROM:-0400\r\n"
                     "TZOFFSETTO:-0500\r\nEND:STANDARD\r\nEND:VTIMEZONE\r\n";
    const QDate monday(2026, 9, 14);
    for (int i = 0; i < 10000; ++i) {
        if (separateMeetings) {
            const int meeting = i % 500;
            const int week = i / 500;
            out += event(i, QStringLiteral("Course %1").arg(meeting / 2), monday.addDays(7 * week + meeting % 5),
                         8 + meeting % 12, "");
        } else {
            out += event(i, QStringLiteral("Course %1").arg(i), monday.addDays(i % 5), 8 + i % 12,
                         "RRULE:FREQ=WEEKLY;COUNT=15\r\n");
        }
    }
    return out + "END:VCALENDAR\r\n";
}

void measure(const char* figure, const QByteArray& bytes)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("bench.ics"));
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write the calendar");
    out.close();
    ProgramFolder folder;
    Connection db;
    db.open(folder.databasePath());
    bench::Runs import;
    bench::Runs read;
    qsizetype courses = 0;
    for (int run = 0; run < bench::kRuns; ++run) {
        QElapsedTimer timer;
        timer.start();
        const CalendarImport alone = importCalendarFile(file);
        read.add(msSince(timer));
        timer.restart();
        const CalendarImport stored = importCalendarFile(file);
        Repository(db).importSchedule(stored.calendarName, stored.courses);
        import.add(msSince(timer));
        courses = alone.courses.size();
    }
    const QByteArray name = QByteArray(figure) + " (" + QByteArray::number(courses) + " courses)";
    bench::report(name.constData(), import, "reading it without storing", read, "ms", "well under 1000 ms");
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    qputenv("TZ", "Europe/London");
    measure("Import 10,000 separate meetings", calendar(true));
    measure("Import 10,000 weekly events", calendar(false));
    return 0;
}
