// A schedule's courses as an iCalendar file (RFC 5545).
#include "export/calendar_file.h"

#include "base/atomic_file.h"
#include "base/failure.h"
#include "domain/repository.h"
#include "store/connection.h"
#include "store/ical_reader.h"
#include "timetable/course_colours.h"

#include <QCryptographicHash>
#include <QRegularExpression>
#include <QSysInfo>
#include <algorithm>
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

QString dateTime(const QDateTime& at)
{
    return dateTime(at.date(), at.time());
}

QString utcOffset(int seconds)
{
    const int a = qAbs(seconds);
    QString text = QStringLiteral("%1%2%3")
                       .arg(seconds < 0 ? QLatin1Char('-') : QLatin1Char('+'))
                       .arg(a / 3600, 2, 10, QLatin1Char('0'))
                       .arg(a / 60 % 60, 2, 10, QLatin1Char('0'));
    if (a % 60 != 0)
        text += QStringLiteral("%1").arg(a % 60, 2, 10, QLatin1Char('0'));
    return text;
}

// One observance of a VTIMEZONE: from `onset` (UTC) on, `to`'s offset.
void appendObservance(QByteArray& out, const QDateTime& onset, int offsetFrom, const QTimeZone::OffsetData& to)
{
    const QString kind = to.daylightTimeOffset > 0 ? QStringLiteral("DAYLIGHT") : QStringLiteral("STANDARD");
    appendLine(out, QStringLiteral("BEGIN:") + kind);
    // The onset as the clocks showed it just before.
    appendLine(out, QStringLiteral("DTSTART:") + dateTime(onset.toUTC().addSecs(offsetFrom)));
    appendLine(out, QStringLiteral("TZOFFSETFROM:") + utcOffset(offsetFrom));
    appendLine(out, QStringLiteral("TZOFFSETTO:") + utcOffset(to.offsetFromUtc));
    if (!to.abbreviation.isEmpty())
        appendLine(out, QStringLiteral("TZNAME:") + escapedText(to.abbreviation));
    appendLine(out, QStringLiteral("END:") + kind);
}

// The TZID the zone is written under, in the events and in the VTIMEZONE
// alike: its own id when that is a plain name (Europe/Berlin, Etc/GMT+5),
// which a reader may look up. Another id, a POSIX rule such as
// CET-1CEST,M3.5.0,M10.5.0/3 or <+0330>-3:30, holds characters a parameter
// would have to quote, and names no zone elsewhere: the zone is then named by
// its abbreviations, standard time first ("CET/CEST", "+0330"), a name of
// the program's own that only this file's VTIMEZONE defines.
QString zoneName(const QTimeZone& zone, const CalendarTerm& term)
{
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z][A-Za-z0-9_+-]*(/[A-Za-z0-9_+-]+)*$"));
    static const QRegularExpression unsafe(QStringLiteral("[^A-Za-z0-9_+-]"));
    const QString id = QString::fromUtf8(zone.id());
    if (plain.match(id).hasMatch())
        return id;
    // Over a year from the term's start, so that a term within one season
    // still names both.
    const QDateTime start(term.first, QTime(0, 0), zone);
    QList<QTimeZone::OffsetData> seen{zone.offsetData(start)};
    seen += zone.transitions(start, qMax(start.addYears(1), QDateTime(term.last.addDays(1), QTime(0, 0), zone)));
    std::stable_sort(seen.begin(), seen.end(), [](const QTimeZone::OffsetData& a, const QTimeZone::OffsetData& b) {
        return a.daylightTimeOffset < b.daylightTimeOffset;
    });
    QStringList names;
    for (const QTimeZone::OffsetData& offset : seen) {
        const QString name = QString(offset.abbreviation).remove(unsafe);
        if (!name.isEmpty() && !names.contains(name))
            names << name;
    }
    QString name = names.join(QLatin1Char('/'));
    // Never the name of a zone a reader knows otherwise.
    if (name.isEmpty() || QTimeZone::isTimeZoneIdAvailable(name.toUtf8()))
        name.prepend(QStringLiteral("Local/"));
    return name;
}

// The zone's offsets over the term: the one in effect at its start, then
// every change until its end.
void appendTimeZone(QByteArray& out, const QTimeZone& zone, const QString& name, const CalendarTerm& term)
{
    const QDateTime start(term.first, QTime(0, 0), zone);
    const QDateTime end(term.last.addDays(1), QTime(0, 0), zone);
    appendLine(out, QStringLiteral("BEGIN:VTIMEZONE"));
    appendLine(out, QStringLiteral("TZID:") + escapedText(name));
    const QTimeZone::OffsetData before = zone.previousTransition(start);
    QTimeZone::OffsetData first = zone.offsetData(start);
    if (before.atUtc.isValid()) {
        const QTimeZone::OffsetData earlier = zone.previousTransition(before.atUtc);
        appendObservance(out, before.atUtc,
                         earlier.atUtc.isValid() ? earlier.offsetFromUtc : zone.offsetFromUtc(before.atUtc.addSecs(-1)),
                         first);
    } else {
        appendObservance(out, QDateTime(QDate(1970, 1, 1), QTime(0, 0), Qt::UTC).addSecs(-first.offsetFromUtc),
                         first.offsetFromUtc, first);
    }
    int offset = first.offsetFromUtc;
    for (const QTimeZone::OffsetData& change : zone.transitions(start, end)) {
        if (change.atUtc <= start)
            continue;
        appendObservance(out, change.atUtc, offset, change);
        offset = change.offsetFromUtc;
    }
    appendLine(out, QStringLiteral("END:VTIMEZONE"));
}

// The UID of a course: its id and a digest of the machine's id and the
// database file's path. The same course of the same database has the same UID
// at every export, so a calendar program replaces its events when the file
// is imported again; the same course id in another user's database, or on
// another machine, gives another UID, so two people's calendars never take
// one another's events for their own.
// The digest part, the same for every course of the database.
QString databaseDigest(const QString& databaseFile)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(QSysInfo::machineUniqueId());
    hash.addData(QByteArrayView("\0", 1));
    hash.addData(databaseFile.toUtf8());
    return QString::fromLatin1(hash.result().toHex().left(20));
}

} // namespace

QVector<CalendarCourse> calendarCourses(const Repository& repository, ScheduleId schedule)
{
    const QString digest = databaseDigest(repository.connection().fileName());
    QVector<CalendarCourse> courses;
    for (const Course& stored : repository.courses(schedule)) {
        if (stored.exact.until() < stored.exact.from)
            continue;
        CalendarCourse course;
        for (int day = 0; day < dayset::kDays; ++day)
            if (stored.days[static_cast<size_t>(day)])
                course.days.append(day);
        if (course.days.isEmpty())
            continue;
        course.id = stored.id.value;
        course.name = stored.name;
        course.notes = stored.notes;
        // The times the course really meets, to the second, as the file
        // holds times: an end on a calendar date is the last second of the day.
        course.from = stored.exact.from;
        course.to = stored.exact.until();
        course.uid = QStringLiteral("course-%1-%2@quorvane").arg(course.id).arg(digest);
        courses.append(course);
    }
    return courses;
}

CalendarTerm defaultCalendarTerm(const QDate& today)
{
    const QDate monday = today.addDays(1 - today.dayOfWeek());
    return {monday, monday.addDays(7 * kDefaultCalendarWeeks - 1), {}};
}

std::optional<QVector<DayRange>> parseDayRanges(const QString& text)
{
    static const QRegularExpression separators(QStringLiteral("[,;\\s]+"));
    QVector<DayRange> ranges;
    for (const QString& part : text.split(separators, Qt::SkipEmptyParts)) {
        const QStringList ends = part.split(QStringLiteral(".."));
        const QDate first = QDate::fromString(ends.first(), QStringLiteral("yyyy-MM-dd"));
        const QDate last = QDate::fromString(ends.last(), QStringLiteral("yyyy-MM-dd"));
        if (ends.size() > 2 || !first.isValid() || !last.isValid() || last < first)
            return std::nullopt;
        ranges.append({first, last});
    }
    return ranges;
}

QString dayRangesText(const QVector<DayRange>& ranges)
{
    QStringList parts;
    for (const DayRange& range : ranges)
        parts << (range.first == range.last
                      ? range.first.toString(Qt::ISODate)
                      : range.first.toString(Qt::ISODate) + QStringLiteral("..") + range.last.toString(Qt::ISODate));
    return parts.join(QStringLiteral(", "));
}

QByteArray calendarBytes(const QString& name, const QVector<CalendarCourse>& courses, const CalendarTerm& term,
                         const QTimeZone& zone, const QDateTime& stamp)
{
    if (!term.first.isValid() || !term.last.isValid() || term.last < term.first)
        throw Failure(QStringLiteral("The last day of classes comes before the first."));
    if (term.first.daysTo(term.last) >= 7 * qint64(kMaxCalendarWeeks))
        throw Failure(QStringLiteral("A calendar covers at most %1 weeks.").arg(kMaxCalendarWeeks));
    if (term.last > kLastCalendarDay)
        throw Failure(
            QStringLiteral("A calendar ends on %1 at the latest.").arg(kLastCalendarDay.toString(Qt::ISODate)));
    const QString stamped = stamp.toUTC().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'"));
    const bool zoned = zone.isValid();
    // Floating times, when the zone is unknown, end with a floating UNTIL.
    // West of UTC the end of 9999-12-31 falls in a year of five digits, which
    // no calendar holds: the rule then ends at the last second of four.
    const QDateTime lastSecond(QDate(9999, 12, 31), QTime(23, 59, 59), Qt::UTC);
    const QString until = zoned ? qMin(QDateTime(term.last, QTime(23, 59, 59), zone).toUTC(), lastSecond)
                                      .toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'"))
                                : dateTime(term.last, QTime(23, 59, 59));
    const QString zoneId = zoned ? zoneName(zone, term) : QString();
    const QString tzid = zoned ? QStringLiteral(";TZID=") + zoneId : QString();
    QByteArray out;
    appendLine(out, QStringLiteral("BEGIN:VCALENDAR"));
    appendLine(out, QStringLiteral("VERSION:2.0"));
    appendLine(out, QStringLiteral("PRODID:-//Quorvane//Quorvane " QUORVANE_VERSION "//EN"));
    appendLine(out, QStringLiteral("CALSCALE:GREGORIAN"));
    appendLine(out, QStringLiteral("X-WR-CALNAME:") + escapedText(name));
    if (zoned)
        appendTimeZone(out, zone, zoneId, term);
    QVector<std::pair<qint64, QString>> named;
    for (const CalendarCourse& course : courses)
        named.append({course.id, course.name});
    const QHash<QString, int> colours = courseColourIndexes(std::move(named));
    for (const CalendarCourse& course : courses) {
        QStringList byDay;
        for (const int day : course.days)
            byDay << ical::weekdayCodes().at(day);
        QDate first = term.first;
        while (first <= term.last && !course.days.contains(first.dayOfWeek() - 1))
            first = first.addDays(1);
        if (first > term.last)
            continue;
        appendLine(out, QStringLiteral("BEGIN:VEVENT"));
        appendLine(out, QStringLiteral("UID:") + escapedText(course.uid));
        appendLine(out, QStringLiteral("DTSTAMP:") + stamped);
        appendLine(out, QStringLiteral("DTSTART") + tzid + QLatin1Char(':') + dateTime(first, course.from));
        // A course that ends when it starts takes no time: no end.
        if (course.to > course.from)
            appendLine(out, QStringLiteral("DTEND") + tzid + QLatin1Char(':') + dateTime(first, course.to));
        appendLine(out, QStringLiteral("RRULE:FREQ=WEEKLY;UNTIL=%1;BYDAY=%2").arg(until, byDay.join(QLatin1Char(','))));
        QVector<QDate> excluded;
        for (const DayRange& free : term.free)
            for (QDate d = qMax(free.first, first); d <= qMin(free.last, term.last); d = d.addDays(1))
                if (course.days.contains(d.dayOfWeek() - 1) && !excluded.contains(d))
                    excluded.append(d);
        std::sort(excluded.begin(), excluded.end());
        for (const QDate& d : excluded)
            appendLine(out, QStringLiteral("EXDATE") + tzid + QLatin1Char(':') + dateTime(d, course.from));
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

void saveScheduleCalendar(const Repository& repository, ScheduleId schedule, const QString& name,
                          const CalendarTerm& term, const QString& fileName)
{
    const QByteArray bytes = calendarBytes(name, calendarCourses(repository, schedule), term,
                                           QTimeZone::systemTimeZone(), QDateTime::currentDateTimeUtc());
    replaceFileAtomically(fileName, bytes);
}

} // namespace quorvane
