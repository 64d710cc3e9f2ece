// A calendar's events made into the courses of a new schedule.
#include "domain/calendar_import.h"

#include "base/time_of_day.h"
#include "store/ical_reader.h"

#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <algorithm>

namespace quorvane {

namespace {

// One weekly meeting before those alike are put together.
struct EventTimes
{
    QString name;
    QString location;
    QString description;
    WeekDays days{};
    QTime from; // local, as the file has it
    QTime to;
};

// A DURATION such as PT1H30M, P1W or -PT15M, in seconds; nothing when it is none.
std::optional<qint64> duration(const QString& text)
{
    static const QRegularExpression form(
        QStringLiteral("^([+-]?)P(?:(\\d+)W)?(?:(\\d+)D)?(?:T(?:(\\d+)H)?(?:(\\d+)M)?(?:(\\d+)S)?)?$"));
    const QRegularExpressionMatch m = form.match(text.trimmed().toUpper());
    if (!m.hasMatch())
        return std::nullopt;
    const qint64 seconds = m.captured(2).toLongLong() * 7 * 86400 + m.captured(3).toLongLong() * 86400 +
                           m.captured(4).toLongLong() * 3600 + m.captured(5).toLongLong() * 60 +
                           m.captured(6).toLongLong();
    return m.captured(1) == QLatin1String("-") ? -seconds : seconds;
}

// Left-out events, each summary and reason counted once, in the order first met.
class Skipped
{
public:
    void add(const QString& name, const QString& why)
    {
        const QString line = name + QStringLiteral(": ") + why;
        const auto at = m_index.constFind(line);
        if (at != m_index.constEnd()) {
            ++m_counts[*at];
            return;
        }
        m_index.insert(line, int(m_lines.size()));
        m_lines.append(line);
        m_counts.append(1);
    }
    QStringList lines() const
    {
        QStringList out;
        for (qsizetype i = 0; i < m_lines.size(); ++i)
            out << (m_counts[i] > 1 ? m_lines[i] + QStringLiteral(" (%1 events)").arg(m_counts[i]) : m_lines[i]);
        return out;
    }

private:
    QStringList m_lines;
    QVector<int> m_counts;
    QHash<QString, int> m_index;
};

} // namespace

CalendarImport importCalendar(const ical::Component& calendar)
{
    CalendarImport result;
    if (const ical::Property* name = calendar.property(QStringLiteral("X-WR-CALNAME")))
        result.calendarName = ical::unescaped(name->value).simplified();
    const ical::TimeZones zones(calendar);
    const QTime earliest = timeofday::earliestCourseTime();
    const QTime latest = timeofday::latestCourseTime();

    QVector<EventTimes> meetings;
    // Single events alike, by summary, weekday, start and end: the first of
    // them, where its meeting goes, and how many there are.
    struct Single
    {
        qsizetype meeting;
        int count;
    };
    QHash<QString, Single> singles;
    Skipped skipped;

    const auto text = [](const ical::Component& event, const char* name) {
        const ical::Property* p = event.property(QString::fromLatin1(name));
        return p ? ical::unescaped(p->value).trimmed() : QString();
    };
    for (const ical::Component& event : calendar.children) {
        if (event.name != QLatin1String("VEVENT"))
            continue;
        const QString summary = text(event, "SUMMARY");
        const QString label = summary.isEmpty() ? QStringLiteral("(no summary)") : summary.simplified();
        const auto skip = [&](const QString& why) { skipped.add(label, why); };
        if (text(event, "STATUS").compare(QLatin1String("CANCELLED"), Qt::CaseInsensitive) == 0) {
            skip(QStringLiteral("cancelled"));
            continue;
        }
        if (event.property(QStringLiteral("RECURRENCE-ID"))) {
            skip(QStringLiteral("a change to one meeting of a repeating event"));
            continue;
        }
        const ical::Property* startProperty = event.property(QStringLiteral("DTSTART"));
        const std::optional<ical::DateTime> start = startProperty ? ical::dateTime(*startProperty) : std::nullopt;
        if (!start) {
            skip(QStringLiteral("no start that can be read"));
            continue;
        }
        if (start->isDate) {
            skip(QStringLiteral("an all-day event"));
            continue;
        }
        const ical::Property* rule = event.property(QStringLiteral("RRULE"));
        QString frequency;
        if (rule) {
            frequency = ical::rulePart(rule->value, QStringLiteral("FREQ"));
            if (frequency != QLatin1String("WEEKLY")) {
                skip(QStringLiteral("repeats %1, not weekly")
                         .arg(frequency.isEmpty() ? QStringLiteral("without a frequency") : frequency.toLower()));
                continue;
            }
            if (ical::rulePart(rule->value, QStringLiteral("COUNT")) == QLatin1String("1")) {
                skip(QStringLiteral("occurs once"));
                continue;
            }
        }
        const std::optional<QDateTime> from = zones.toLocal(*start);
        if (!from) {
            skip(QStringLiteral("its time zone \"%1\" is not defined").arg(start->zone));
            continue;
        }
        std::optional<QDateTime> to = from;
        if (const ical::Property* end = event.property(QStringLiteral("DTEND"))) {
            const std::optional<ical::DateTime> endTime = ical::dateTime(*end);
            to = endTime && !endTime->isDate ? zones.toLocal(*endTime) : std::nullopt;
        } else if (const ical::Property* length = event.property(QStringLiteral("DURATION"))) {
            const std::optional<qint64> seconds = duration(length->value);
            to = seconds ? std::optional<QDateTime>(from->addSecs(*seconds)) : std::nullopt;
        }
        if (!to || *to < *from) {
            skip(QStringLiteral("no end that can be read"));
            continue;
        }
        // Taken to the minute, as a course's times are typed: a second past
        // 9:30 PM would put the end beyond the grid's last row.
        const QTime fromTime(from->time().hour(), from->time().minute());
        const QTime toTime(to->time().hour(), to->time().minute());
        if (fromTime < earliest || to->date() != from->date() || toTime > latest) {
            skip(QStringLiteral("outside the timetable's hours (6:00 AM to 9:30 PM)"));
            continue;
        }
        EventTimes meeting;
        meeting.name = summary;
        meeting.location = text(event, "LOCATION");
        meeting.description = text(event, "DESCRIPTION");
        meeting.from = fromTime;
        meeting.to = toTime;
        const int localDay = from->date().dayOfWeek() - 1;
        if (rule) {
            // The rule's days are the start's zone's: moved as the start moved.
            const int shift = int(start->date.daysTo(from->date()));
            const QStringList byDay =
                ical::rulePart(rule->value, QStringLiteral("BYDAY")).split(QLatin1Char(','), Qt::SkipEmptyParts);
            for (const QString& day : byDay) {
                const int index = int(ical::weekdayCodes().indexOf(day.right(2)));
                if (index >= 0)
                    meeting.days[size_t(((index + shift) % 7 + 7) % 7)] = true;
            }
            // Without days it can read, the rule repeats on the start's.
            if (std::none_of(meeting.days.begin(), meeting.days.end(), [](bool day) { return day; }))
                meeting.days[size_t(localDay)] = true;
            const int interval = ical::rulePart(rule->value, QStringLiteral("INTERVAL")).toInt();
            if (interval > 1)
                result.changed
                    << QStringLiteral("%1: repeats every %2 weeks, taken as every week").arg(label).arg(interval);
            meetings.append(meeting);
            continue;
        }
        meeting.days[size_t(localDay)] = true;
        const QString key = summary + QLatin1Char('\n') + QString::number(localDay) + QLatin1Char('\n') +
                            meeting.from.toString(Qt::ISODate) + QLatin1Char('\n') + meeting.to.toString(Qt::ISODate);
        const auto alike = singles.find(key);
        if (alike != singles.end()) {
            ++alike->count;
            continue;
        }
        singles.insert(key, {meetings.size(), 1});
        meetings.append(meeting);
    }
    QVector<bool> once(meetings.size(), false);
    for (auto it = singles.cbegin(); it != singles.cend(); ++it)
        if (it->count < 2)
            once[it->meeting] = true;

    // Meetings alike but for the day make one course, where the first was.
    QHash<QString, qsizetype> courseOf;
    for (qsizetype i = 0; i < meetings.size(); ++i) {
        const EventTimes& m = meetings[i];
        if (once[i]) {
            skipped.add(m.name.isEmpty() ? QStringLiteral("(no summary)") : m.name.simplified(),
                        QStringLiteral("occurs once"));
            continue;
        }
        const QString key = m.name + QLatin1Char('\n') + m.location + QLatin1Char('\n') + m.from.toString(Qt::ISODate) +
                            QLatin1Char('\n') + m.to.toString(Qt::ISODate);
        const auto known = courseOf.constFind(key);
        if (known != courseOf.constEnd()) {
            NewCourse& course = result.courses[*known];
            for (size_t d = 0; d < course.days.size(); ++d)
                course.days[d] = course.days[d] || m.days[d];
            continue;
        }
        NewCourse course;
        course.name = m.name;
        QStringList notes;
        if (!m.location.isEmpty())
            notes << m.location;
        if (!m.description.isEmpty())
            notes << m.description;
        course.notes = notes.join(QLatin1Char('\n'));
        course.days = m.days;
        // The grid's rows as the course dialogs snap them; the times
        // themselves as the calendar has them.
        course.from = timeofday::snappedToHalfHour(m.from);
        course.to = timeofday::snappedToHalfHour(m.to);
        course.exactFrom = m.from;
        course.exactTo = m.to;
        courseOf.insert(key, result.courses.size());
        result.courses.append(course);
    }
    result.skipped = skipped.lines();
    return result;
}

CalendarImport importCalendarFile(const QString& fileName)
{
    return importCalendar(ical::readFile(fileName));
}

QString importReport(const CalendarImport& import, const QString& scheduleName)
{
    QString report;
    const qsizetype n = import.courses.size();
    if (n == 0)
        report = QStringLiteral("No course could be made from this calendar; nothing was imported.\n");
    else
        report = QStringLiteral("Imported %1 %2 into the new schedule \"%3\".\n")
                     .arg(n)
                     .arg(n == 1 ? QStringLiteral("course") : QStringLiteral("courses"), scheduleName);
    if (!import.changed.isEmpty())
        report += QStringLiteral("Changed:\n  ") + import.changed.join(QStringLiteral("\n  ")) + QLatin1Char('\n');
    if (!import.skipped.isEmpty())
        report += QStringLiteral("Skipped:\n  ") + import.skipped.join(QStringLiteral("\n  ")) + QLatin1Char('\n');
    return report;
}

QString importedScheduleName(const CalendarImport& import, const QString& fileName)
{
    if (!import.calendarName.isEmpty())
        return import.calendarName;
    const QString base = QFileInfo(fileName).completeBaseName();
    return base.isEmpty() ? QStringLiteral("Imported Calendar") : base;
}

} // namespace quorvane
