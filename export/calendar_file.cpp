// A schedule's courses as an iCalendar file (RFC 5545).
#include "export/calendar_file.h"

#include "base/atomic_file.h"
#include "base/failure.h"
#include "store/connection.h"
#include "store/course_row.h"
#include "store/statements.h"
#include "timetable/course_colours.h"

#include <optional>

namespace quorvane {

namespace {

constexpr int kMaxLineOctets = 75;

// A TEXT value: backslashes, semicolons and commas escaped, every line break
// as \n, other control characters left out.
QString escapedText(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\\') || c == QLatin1Char(';') || c == QLatin1Char(',')) {
            out += QLatin1Char('\\');
            out += c;
        } else if (c == QLatin1Char('\n') || c == QLatin1Char('\r')) {
            if (c == QLatin1Char('\r') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
                ++i;
            out += QLatin1String("\\n");
        } else if ((c.unicode() >= 0x20 && c.unicode() != 0x7F) || c == QLatin1Char('\t')) {
            out += c;
        }
    }
    return out;
}

// A content line, folded: no line longer than 75 octets, a continuation
// starting with one blank, never within a character's UTF-8 sequence.
void appendLine(QByteArray& out, const QString& line)
{
    const QByteArray bytes = line.toUtf8();
    qsizetype start = 0;
    int room = kMaxLineOctets;
    while (bytes.size() - start > room) {
        qsizetype end = start + room;
        while ((uchar(bytes.at(end)) & 0xC0) == 0x80)
            --end;
        out += bytes.mid(start, end - start);
        out += "\r\n ";
        start = end;
        room = kMaxLineOctets - 1;
    }
    out += bytes.mid(start);
    out += "\r\n";
}

QString dateTime(const QDate& date, const QTime& time)
{
    return date.toString(QStringLiteral("yyyyMMdd")) + QLatin1Char('T') + time.toString(QStringLiteral("HHmmss"));
}

} // namespace

QVector<CalendarCourse> calendarCourses(const Connection& db, const QString& scheduleId)
{
    using Column = CourseRowReader::Column;
    Recordset rs;
    rs.open(sql::selectCoursesOfSchedule(scheduleId), db);
    CourseRowReader row(rs);
    QVector<CalendarCourse> courses;
    for (; !rs.eof(); rs.moveNext()) {
        std::optional<CourseTimes> times;
        WeekDays days{};
        // A course the timetable would report is left out; a column the
        // table lacks fails the whole calendar.
        try {
            times = row.times();
            if (times)
                days = row.days();
        } catch (const Failure&) {
            if (row.lacksColumn())
                throw;
            continue;
        }
        if (!times || times->until() < times->from)
            continue;
        CalendarCourse course;
        for (int day = 0; day < dayset::kDays; ++day)
            if (days[static_cast<size_t>(day)])
                course.days.append(day);
        if (course.days.isEmpty())
            continue;
        course.id = row.integer(Column::Id);
        course.name = row.text(Column::CourseName);
        course.notes = row.text(Column::Notes);
        course.from = times->from;
        // To the second, as the file holds times: an end on a calendar date
        // is the last second of the day.
        course.to = times->until();
        courses.append(course);
    }
    rs.close();
    return courses;
}

QByteArray calendarBytes(const QString& name, const QVector<CalendarCourse>& courses, const QDate& weekOf, int weeks,
                         const QDateTime& stamp)
{
    if (weeks < 1 || weeks > kMaxCalendarWeeks)
        throw Failure(QStringLiteral("A calendar repeats each course for 1 to %1 weeks, not %2.")
                          .arg(kMaxCalendarWeeks)
                          .arg(weeks));
    static const char* const kDays[] = {"MO", "TU", "WE", "TH", "FR", "SA", "SU"};
    const QDate monday = weekOf.addDays(1 - weekOf.dayOfWeek());
    const QString stamped = stamp.toUTC().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'"));
    QByteArray out;
    appendLine(out, QStringLiteral("BEGIN:VCALENDAR"));
    appendLine(out, QStringLiteral("VERSION:2.0"));
    appendLine(out, QStringLiteral("PRODID:-//Quorvane//Quorvane " QUORVANE_VERSION "//EN"));
    appendLine(out, QStringLiteral("CALSCALE:GREGORIAN"));
    appendLine(out, QStringLiteral("X-WR-CALNAME:") + escapedText(name));
    QVector<std::pair<qint64, QString>> named;
    for (const CalendarCourse& course : courses)
        named.append({course.id, course.name});
    const QHash<QString, int> colours = courseColourIndexes(std::move(named));
    for (const CalendarCourse& course : courses) {
        QStringList byDay;
        for (const int day : course.days)
            byDay << QLatin1String(kDays[day]);
        const QDate first = monday.addDays(course.days.first());
        appendLine(out, QStringLiteral("BEGIN:VEVENT"));
        appendLine(out, QStringLiteral("UID:quorvane-course-%1").arg(course.id));
        appendLine(out, QStringLiteral("DTSTAMP:") + stamped);
        appendLine(out, QStringLiteral("DTSTART:") + dateTime(first, course.from));
        // A course that ends when it starts takes no time: no end.
        if (course.to > course.from)
            appendLine(out, QStringLiteral("DTEND:") + dateTime(first, course.to));
        appendLine(out, QStringLiteral("RRULE:FREQ=WEEKLY;COUNT=%1;BYDAY=%2")
                            .arg(weeks * course.days.size())
                            .arg(byDay.join(QLatin1Char(','))));
        appendLine(out, QStringLiteral("SUMMARY:") + escapedText(course.name));
        if (!course.notes.isEmpty())
            appendLine(out, QStringLiteral("DESCRIPTION:") + escapedText(course.notes));
        appendLine(out, QStringLiteral("CLASS:PRIVATE"));
        appendLine(out, QStringLiteral("COLOR:") + cssColourName(colours.value(course.name)));
        appendLine(out, QStringLiteral("END:VEVENT"));
    }
    appendLine(out, QStringLiteral("END:VCALENDAR"));
    return out;
}

void saveScheduleCalendar(const Connection& db, const QString& scheduleId, const QString& name, int weeks,
                          const QString& fileName)
{
    const QByteArray bytes = calendarBytes(name, calendarCourses(db, scheduleId), QDate::currentDate(), weeks,
                                           QDateTime::currentDateTimeUtc());
    replaceFileAtomically(fileName, bytes);
}

} // namespace quorvane
