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

// The most digits a number of a DURATION may have: nine make at most some
// nineteen million years, which a time can still be moved by; more could
// overflow the sum.
constexpr qsizetype kMaxDurationDigits = 9;

// A DURATION such as PT1H30M, P1W or -PT15M, in seconds; nothing when it is
// none. `tooLong` tells a number too long to be taken.
std::optional<qint64> duration(const QString& text, bool& tooLong)
{
    static const QRegularExpression form(
        QStringLiteral("^([+-]?)P(?:(\\d+)W)?(?:(\\d+)D)?(?:T(?:(\\d+)H)?(?:(\\d+)M)?(?:(\\d+)S)?)?$"));
    const QRegularExpressionMatch m = form.match(text.trimmed().toUpper());
    tooLong = false;
    if (!m.hasMatch())
        return std::nullopt;
    qint64 seconds = 0;
    const qint64 unit[] = {0, 0, 7 * 86400, 86400, 3600, 60, 1};
    for (int part = 2; part <= 6; ++part) {
        QStringView number = m.capturedView(part);
        while (number.startsWith(QLatin1Char('0')))
            number = number.mid(1);
        if (number.size() > kMaxDurationDigits) {
            tooLong = true;
            return std::nullopt;
        }
        seconds += number.toLongLong() * unit[part];
    }
    return m.captured(1) == QLatin1String("-") ? -seconds : seconds;
}

// Whether an event meets at all: its first meeting (DTSTART) and those of its
// weekly rule, up to the rule's COUNT or UNTIL, not all taken away by its
// EXDATEs. Times are compared in the local time zone, where each came to.
bool meets(const ical::Component& event, const ical::DateTime& start, const ical::Property* rule,
           const ical::TimeZones& zones)
{
    const auto local = [&](const QDate& day) {
        ical::DateTime meeting = start;
        meeting.date = day;
        return zones.toLocal(meeting);
    };
    QSet<qint64> excluded;
    for (const ical::Property& p : event.properties) {
        if (p.name != QLatin1String("EXDATE"))
            continue;
        for (const QString& value : p.value.split(QLatin1Char(','))) {
            ical::Property one = p;
            one.value = value;
            std::optional<ical::DateTime> day = ical::dateTime(one);
            if (day && day->isDate) { // a whole day takes away the meeting on it
                day->isDate = false;
                day->time = start.time;
                day->zone = start.zone;
                day->utc = start.utc;
            }
            if (const std::optional<QDateTime> at = day ? zones.toLocal(*day) : std::nullopt)
                excluded.insert(at->toMSecsSinceEpoch());
        }
    }
    qint64 count = rule ? -1 : 1;
    std::optional<QDateTime> until;
    QVector<int> weekdays; // 1 Monday .. 7 Sunday
    int interval = 1;
    if (rule) {
        const QString countText = ical::rulePart(rule->value, QStringLiteral("COUNT"));
        bool ok = false;
        if (const qint64 n = countText.toLongLong(&ok); ok)
            count = n;
        if (count == 0 || (ok && count < 0))
            return false;
        if (std::optional<ical::DateTime> end = ical::dateTime(ical::rulePart(rule->value, QStringLiteral("UNTIL")))) {
            if (end->isDate)
                end->time = QTime(23, 59, 59);
            end->isDate = false;
            if (!end->utc)
                end->zone = start.zone;
            until = zones.toLocal(*end);
        }
        for (const QString& day :
             ical::rulePart(rule->value, QStringLiteral("BYDAY")).split(QLatin1Char(','), Qt::SkipEmptyParts))
            if (const int index = int(ical::weekdayCodes().indexOf(day.right(2))); index >= 0)
                weekdays << index + 1;
        interval = qMax(1, ical::rulePart(rule->value, QStringLiteral("INTERVAL")).toInt());
    }
    if (weekdays.isEmpty())
        weekdays << start.date.dayOfWeek();
    // The meeting after `day`: later in its week, else in the week the rule
    // meets in next. The first meeting's week is week 0.
    const QDate monday = start.date.addDays(1 - start.date.dayOfWeek());
    const auto next = [&](const QDate& day) {
        for (QDate later = day.addDays(1); later.dayOfWeek() != 1; later = later.addDays(1))
            if (weekdays.contains(later.dayOfWeek()))
                return later;
        const QDate nextMonday = monday.addDays(7 * (monday.daysTo(day) / 7 + interval));
        return nextMonday.addDays(*std::min_element(weekdays.begin(), weekdays.end()) - 1);
    };
    // Each meeting taken away uses up an EXDATE, so the walk is short; one
    // that goes on longer (times past what a date-time holds) meets.
    qint64 seen = 0;
    for (QDate day = start.date;; day = next(day)) {
        const std::optional<QDateTime> at = local(day);
        if (!at || (until && *at > *until))
            return false;
        if (!excluded.contains(at->toMSecsSinceEpoch()) || seen >= excluded.size())
            return true;
        if (++seen == count)
            return false;
    }
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
        if (!meets(event, *start, rule, zones)) {
            skip(QStringLiteral("never occurs"));
            continue;
        }
        std::optional<QDateTime> to = from;
        if (const ical::Property* end = event.property(QStringLiteral("DTEND"))) {
            const std::optional<ical::DateTime> endTime = ical::dateTime(*end);
            to = endTime && !endTime->isDate ? zones.toLocal(*endTime) : std::nullopt;
        } else if (const ical::Property* length = event.property(QStringLiteral("DURATION"))) {
            bool tooLong = false;
            const std::optional<qint64> seconds = duration(length->value, tooLong);
            if (tooLong) {
                skip(QStringLiteral("its end is too far away to be read"));
                continue;
            }
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
    int calendarsAfter = 0;
    CalendarImport import = importCalendar(ical::readFile(fileName, &calendarsAfter));
    import.calendarsLeftOut = calendarsAfter;
    return import;
}

QString importReport(const CalendarImport& import, const QString& scheduleName, int mostSkipped)
{
    QString report;
    const qsizetype n = import.courses.size();
    if (n == 0)
        report = QStringLiteral("No course could be made from this calendar; nothing was imported.\n");
    else
        report = QStringLiteral("Imported %1 %2 into the new schedule \"%3\".\n")
                     .arg(n)
                     .arg(n == 1 ? QStringLiteral("course") : QStringLiteral("courses"), scheduleName);
    if (import.calendarsLeftOut == 1)
        report += QStringLiteral("Only the first calendar in the file was read; 1 more calendar after it was left "
                                 "out.\n");
    else if (import.calendarsLeftOut > 1)
        report += QStringLiteral("Only the first calendar in the file was read; %1 more calendars after it were left "
                                 "out.\n")
                      .arg(import.calendarsLeftOut);
    if (!import.changed.isEmpty())
        report += QStringLiteral("Changed:\n  ") + import.changed.join(QStringLiteral("\n  ")) + QLatin1Char('\n');
    if (!import.skipped.isEmpty()) {
        const qsizetype shown =
            mostSkipped < 0 ? import.skipped.size() : qMin<qsizetype>(mostSkipped, import.skipped.size());
        report += QStringLiteral("Skipped:\n  ") + import.skipped.mid(0, shown).join(QStringLiteral("\n  ")) +
                  QLatin1Char('\n');
        if (shown < import.skipped.size())
            report += QStringLiteral("  \u2026 and %1 more\n").arg(import.skipped.size() - shown);
    }
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
