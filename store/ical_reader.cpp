// The program's own iCalendar reader: content lines, components, date-times
// and time zones, as far as a timetable needs them.
#include "store/ical_reader.h"

#include "base/failure.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QTimeZone>

#include <algorithm>

namespace quorvane::ical {

namespace {

// One content line: NAME;PARAM=VALUE,...:VALUE. Nothing when the line is
// none (no colon, no name).
std::optional<Property> contentLine(QStringView line)
{
    Property property;
    qsizetype i = 0;
    const qsizetype n = line.size();
    while (i < n && line[i] != QLatin1Char(';') && line[i] != QLatin1Char(':'))
        ++i;
    if (i == 0 || i == n)
        return std::nullopt;
    property.name = line.left(i).toString().toUpper();
    while (i < n && line[i] == QLatin1Char(';')) {
        const qsizetype nameStart = ++i;
        while (i < n && line[i] != QLatin1Char('=') && line[i] != QLatin1Char(':') && line[i] != QLatin1Char(';'))
            ++i;
        if (i == n || line[i] != QLatin1Char('='))
            return std::nullopt;
        const QString name = line.mid(nameStart, i - nameStart).toString().toUpper();
        QString value;
        ++i;
        // Values separated by commas, each quoted or not; kept as one text.
        for (;;) {
            if (i < n && line[i] == QLatin1Char('"')) {
                const qsizetype close = line.indexOf(QLatin1Char('"'), i + 1);
                if (close < 0)
                    return std::nullopt;
                value += line.mid(i + 1, close - i - 1);
                i = close + 1;
            } else {
                const qsizetype start = i;
                while (i < n && line[i] != QLatin1Char(';') && line[i] != QLatin1Char(':') &&
                       line[i] != QLatin1Char(','))
                    ++i;
                value += line.mid(start, i - start);
            }
            if (i < n && line[i] == QLatin1Char(',')) {
                value += QLatin1Char(',');
                ++i;
                continue;
            }
            break;
        }
        property.parameters.append({name, value});
    }
    if (i == n || line[i] != QLatin1Char(':'))
        return std::nullopt;
    property.value = line.mid(i + 1).toString();
    return property;
}

int digits(QStringView text, qsizetype from, qsizetype count, bool& ok)
{
    int value = 0;
    for (qsizetype i = from; i < from + count; ++i) {
        if (i >= text.size() || !text[i].isDigit() || text[i].unicode() > '9') {
            ok = false;
            return 0;
        }
        value = value * 10 + (text[i].unicode() - '0');
    }
    return value;
}

// "+0100", "-0500", "+053000": seconds ahead of UTC. Nothing for a text
// that is none, or an offset no time zone can have (hours past 23, minutes
// or seconds past 59, more than the engine of zones takes: "+9999").
std::optional<int> utcOffset(const QString& text)
{
    if (text.size() != 5 && text.size() != 7)
        return std::nullopt;
    const int sign = text.at(0) == QLatin1Char('-') ? -1 : text.at(0) == QLatin1Char('+') ? 1 : 0;
    bool ok = sign != 0;
    const int hours = digits(text, 1, 2, ok);
    const int minutes = digits(text, 3, 2, ok);
    const int seconds = text.size() == 7 ? digits(text, 5, 2, ok) : 0;
    if (!ok || hours > 23 || minutes > 59 || seconds > 59)
        return std::nullopt;
    const int offset = sign * (hours * 3600 + minutes * 60 + seconds);
    if (!QTimeZone(offset).isValid())
        return std::nullopt;
    return offset;
}

// A whole number of a rule from `least` to `most`; nothing for another text.
std::optional<int> ruleNumber(const QString& text, int least, int most)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < least || value > most)
        return std::nullopt;
    return value;
}

// A naive wall time, compared and moved without any zone's rules.
QDateTime wall(const QDate& date, const QTime& time)
{
    return QDateTime(date, time, Qt::UTC);
}

} // namespace

QString rulePart(const QString& rule, const QString& name)
{
    for (const QString& part : rule.split(QLatin1Char(';'))) {
        const qsizetype equals = part.indexOf(QLatin1Char('='));
        if (equals > 0 && part.left(equals).trimmed().compare(name, Qt::CaseInsensitive) == 0)
            return part.mid(equals + 1).trimmed().toUpper();
    }
    return QString();
}

const QStringList& weekdayCodes()
{
    static const QStringList codes = {QStringLiteral("MO"), QStringLiteral("TU"), QStringLiteral("WE"),
                                      QStringLiteral("TH"), QStringLiteral("FR"), QStringLiteral("SA"),
                                      QStringLiteral("SU")};
    return codes;
}

QString Property::parameter(const QString& wanted) const
{
    for (const auto& p : parameters)
        if (p.first == wanted)
            return p.second;
    return QString();
}

const Property* Component::property(const QString& wanted) const
{
    for (const Property& p : properties)
        if (p.name == wanted)
            return &p;
    return nullptr;
}

Component parse(const QByteArray& bytes, int* calendarsAfter)
{
    if (bytes.contains('\0'))
        throw Failure(QStringLiteral("it is not text (it holds NUL bytes)"));
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder.decode(bytes);
    if (decoder.hasError())
        throw Failure(QStringLiteral("it is not UTF-8 text; save it as UTF-8 and try again"));

    QVector<Component> open;
    std::optional<Component> calendar;
    QString line;
    qsizetype lineNumber = 0;
    qsizetype startLine = 0;
    const auto take = [&](const QString& unfolded) {
        if (unfolded.isEmpty())
            return;
        const std::optional<Property> property = contentLine(unfolded);
        if (open.isEmpty() && !calendar &&
            (!property || property->name != QLatin1String("BEGIN") ||
             property->value.compare(QLatin1String("VCALENDAR"), Qt::CaseInsensitive) != 0))
            throw Failure(QStringLiteral("it is not an iCalendar file (it does not begin with BEGIN:VCALENDAR)"));
        if (!property)
            throw Failure(QStringLiteral("line %1 is not an iCalendar content line").arg(startLine));
        if (calendar)
            return; // after the first calendar's end
        if (property->name == QLatin1String("BEGIN")) {
            if (open.size() >= 16)
                throw Failure(QStringLiteral("line %1 opens components nested too deeply").arg(startLine));
            Component component;
            component.name = property->value.toUpper();
            open.append(component);
        } else if (property->name == QLatin1String("END")) {
            if (open.last().name != property->value.toUpper())
                throw Failure(QStringLiteral("line %1 ends %2 where %3 is open")
                                  .arg(startLine)
                                  .arg(property->value, open.last().name));
            Component done = std::move(open.last());
            open.removeLast();
            if (open.isEmpty())
                calendar = std::move(done);
            else
                open.last().children.append(std::move(done));
        } else {
            open.last().properties.append(*property);
        }
    };
    qsizetype at = 0;
    while (at < text.size() && !calendar) {
        qsizetype end = text.indexOf(QLatin1Char('\n'), at);
        if (end < 0)
            end = text.size();
        QStringView physical = QStringView(text).mid(at, end - at);
        if (physical.endsWith(QLatin1Char('\r')))
            physical.chop(1);
        at = end + 1;
        ++lineNumber;
        if (!physical.isEmpty() && (physical[0] == QLatin1Char(' ') || physical[0] == QLatin1Char('\t'))) {
            line += physical.mid(1);
            continue;
        }
        take(line);
        line = physical.toString();
        startLine = lineNumber;
    }
    // A last line broken off in the middle is part of a file cut short.
    if (!calendar) {
        try {
            take(line);
        } catch (const Failure&) {
            if (open.isEmpty() || text.endsWith(QLatin1Char('\n')))
                throw;
        }
    }
    if (!calendar) {
        if (open.isEmpty())
            throw Failure(QStringLiteral("it is not an iCalendar file (it is empty)"));
        throw Failure(QStringLiteral("it is cut short: it ends inside %1").arg(open.last().name));
    }
    if (calendarsAfter) {
        // The line read after the calendar's end, then the rest.
        QList<QStringView> after = QStringView(text).mid(qMin(text.size(), at)).split(QLatin1Char('\n'));
        after.prepend(line);
        *calendarsAfter = int(std::count_if(after.begin(), after.end(), [](QStringView l) {
            return l.trimmed().compare(QLatin1String("BEGIN:VCALENDAR"), Qt::CaseInsensitive) == 0;
        }));
    }
    return *calendar;
}

Component readFile(const QString& fileName, int* calendarsAfter)
{
    const QFileInfo info(fileName);
    const auto refuse = [&](const QString& why) {
        return Failure(QStringLiteral("cannot read %1: %2").arg(fileName, why));
    };
    if (!info.exists())
        throw refuse(QStringLiteral("no such file"));
    if (info.isDir())
        throw refuse(QStringLiteral("it is a folder"));
    if (!info.isFile())
        throw refuse(QStringLiteral("it is not a regular file"));
    if (info.size() > kMaxFileBytes)
        throw refuse(
            QStringLiteral("it is larger than %1 MB, too large for a calendar").arg(kMaxFileBytes / (1024 * 1024)));
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw refuse(file.errorString());
    const QByteArray bytes = file.read(kMaxFileBytes + 1);
    if (bytes.size() > kMaxFileBytes)
        throw refuse(
            QStringLiteral("it is larger than %1 MB, too large for a calendar").arg(kMaxFileBytes / (1024 * 1024)));
    try {
        return parse(bytes, calendarsAfter);
    } catch (const Failure& failure) {
        throw refuse(failure.description());
    }
}

QString unescaped(const QString& value)
{
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c != QLatin1Char('\\') || i + 1 == value.size()) {
            out += c;
            continue;
        }
        const QChar next = value.at(++i);
        if (next == QLatin1Char('n') || next == QLatin1Char('N'))
            out += QLatin1Char('\n');
        else
            out += next;
    }
    return out;
}

std::optional<DateTime> dateTime(const QString& value)
{
    bool ok = true;
    DateTime result;
    result.date = QDate(digits(value, 0, 4, ok), digits(value, 4, 2, ok), digits(value, 6, 2, ok));
    if (!ok || !result.date.isValid())
        return std::nullopt;
    if (value.size() == 8) {
        result.isDate = true;
        return result;
    }
    if (value.size() < 15 || value.at(8).toUpper() != QLatin1Char('T'))
        return std::nullopt;
    result.time = QTime(digits(value, 9, 2, ok), digits(value, 11, 2, ok), qMin(digits(value, 13, 2, ok), 59));
    if (!ok || !result.time.isValid())
        return std::nullopt;
    if (value.size() == 16 && value.at(15).toUpper() == QLatin1Char('Z'))
        result.utc = true;
    else if (value.size() != 15)
        return std::nullopt;
    return result;
}

std::optional<DateTime> dateTime(const Property& property)
{
    std::optional<DateTime> result = dateTime(property.value.trimmed());
    if (!result)
        return std::nullopt;
    if (property.parameter(QStringLiteral("VALUE")).compare(QLatin1String("DATE"), Qt::CaseInsensitive) == 0 &&
        !result->isDate)
        return std::nullopt;
    if (!result->utc)
        result->zone = property.parameter(QStringLiteral("TZID"));
    return result;
}

TimeZones::TimeZones(const Component& calendar)
{
    for (const Component& zone : calendar.children) {
        if (zone.name != QLatin1String("VTIMEZONE"))
            continue;
        const Property* id = zone.property(QStringLiteral("TZID"));
        if (!id)
            continue;
        Defined defined;
        // A number out of its range (an offset of +9999, the -2147483648th
        // Sunday) makes the whole zone unknown rather than some times wrong.
        bool readable = true;
        for (const Component& part : zone.children) {
            if (part.name != QLatin1String("STANDARD") && part.name != QLatin1String("DAYLIGHT"))
                continue;
            Observance o;
            const Property* start = part.property(QStringLiteral("DTSTART"));
            const Property* from = part.property(QStringLiteral("TZOFFSETFROM"));
            const Property* to = part.property(QStringLiteral("TZOFFSETTO"));
            if (!start || !from || !to)
                continue;
            std::optional<DateTime> startTime = dateTime(start->value.trimmed());
            std::optional<int> offsetFrom = utcOffset(from->value.trimmed());
            std::optional<int> offsetTo = utcOffset(to->value.trimmed());
            if (!startTime || !offsetFrom || !offsetTo) {
                readable = false;
                continue;
            }
            o.start = *startTime;
            o.offsetFrom = *offsetFrom;
            o.offsetTo = *offsetTo;
            for (const Property& p : part.properties) {
                if (p.name == QLatin1String("RDATE")) {
                    for (const QString& date : p.value.split(QLatin1Char(',')))
                        if (const std::optional<DateTime> d = dateTime(date.trimmed()))
                            o.dates.append(wall(d->date, d->isDate ? o.start.time : d->time));
                } else if (p.name == QLatin1String("RRULE") &&
                           rulePart(p.value, QStringLiteral("FREQ")) == QLatin1String("YEARLY")) {
                    const QString byMonth = rulePart(p.value, QStringLiteral("BYMONTH"));
                    const std::optional<int> month =
                        byMonth.isEmpty() ? o.start.date.month() : ruleNumber(byMonth, 1, 12);
                    QString byDay = rulePart(p.value, QStringLiteral("BYDAY"));
                    o.weekday = int(weekdayCodes().indexOf(byDay.right(2))) + 1;
                    byDay.chop(2);
                    const std::optional<int> nth = byDay.isEmpty() ? 0 : ruleNumber(byDay, -5, 5);
                    const QStringList monthDays =
                        rulePart(p.value, QStringLiteral("BYMONTHDAY")).split(QLatin1Char(','), Qt::SkipEmptyParts);
                    const std::optional<int> firstDay = monthDays.isEmpty() ? 1 : ruleNumber(monthDays.first(), 1, 31);
                    if (!month || !nth || !firstDay) {
                        readable = false;
                        continue;
                    }
                    o.month = *month;
                    o.nth = *nth;
                    // BYDAY=SU;BYMONTHDAY=8,9,...,14: the first Sunday on or after the 8th.
                    if (o.weekday > 0 && o.nth == 0)
                        o.nth = 1 + (qMin(*firstDay, 28) - 1) / 7;
                    if (const std::optional<DateTime> until = dateTime(rulePart(p.value, QStringLiteral("UNTIL"))))
                        o.until = wall(until->date, until->isDate ? QTime(23, 59, 59) : until->time);
                }
            }
            defined.observances.append(o);
        }
        if (readable && !defined.observances.isEmpty())
            m_defined.insert(id->value.trimmed(), defined);
    }
}

std::optional<int> TimeZones::Defined::offsetAt(const QDateTime& at) const
{
    std::optional<QDateTime> latest;
    int offset = 0;
    const Observance* earliest = nullptr;
    const auto consider = [&](const QDateTime& onset, const Observance& o) {
        if (onset <= at && (!latest || onset > *latest)) {
            latest = onset;
            offset = o.offsetTo;
        }
    };
    for (const Observance& o : observances) {
        const QDateTime start = wall(o.start.date, o.start.time);
        if (!earliest || start < wall(earliest->start.date, earliest->start.time))
            earliest = &o;
        consider(start, o);
        for (const QDateTime& date : o.dates)
            consider(date, o);
        if (o.month < 1 || o.month > 12)
            continue;
        for (int year = at.date().year() - 1; year <= at.date().year(); ++year) {
            QDate day;
            if (o.weekday < 1) {
                day = QDate(year, o.month, o.start.date.day());
            } else if (o.nth > 0) {
                day = QDate(year, o.month, 1).addDays(7 * (o.nth - 1));
                day = day.addDays((o.weekday - day.dayOfWeek() + 7) % 7);
            } else {
                const QDate last(year, o.month, QDate(year, o.month, 1).daysInMonth());
                day = last.addDays(7 * (o.nth + 1));
                day = day.addDays(-((day.dayOfWeek() - o.weekday + 7) % 7));
            }
            const QDateTime onset = wall(day, o.start.time);
            if (day.isValid() && onset >= start && (!o.until || onset <= *o.until))
                consider(onset, o);
        }
    }
    if (!earliest)
        return std::nullopt;
    return latest ? offset : earliest->offsetFrom;
}

std::optional<QDateTime> TimeZones::toLocal(const DateTime& value) const
{
    const QTime time = value.isDate ? QTime(0, 0) : value.time;
    if (value.utc)
        return QDateTime(value.date, time, Qt::UTC).toLocalTime();
    if (value.zone.isEmpty())
        return QDateTime(value.date, time, Qt::LocalTime);
    QByteArray id = value.zone.toUtf8();
    if (!QTimeZone::isTimeZoneIdAvailable(id))
        id = QTimeZone::windowsIdToDefaultIanaId(id);
    if (!id.isEmpty() && QTimeZone::isTimeZoneIdAvailable(id))
        return QDateTime(value.date, time, QTimeZone(id)).toLocalTime();
    const auto defined = m_defined.constFind(value.zone);
    if (defined == m_defined.constEnd())
        return std::nullopt;
    const std::optional<int> offset = defined->offsetAt(wall(value.date, time));
    if (!offset)
        return std::nullopt;
    return QDateTime(value.date, time, QTimeZone(*offset)).toLocalTime();
}

} // namespace quorvane::ical
