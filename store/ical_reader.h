#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QString>
#include <QVector>
#include <optional>

// The program's own reader of iCalendar files (RFC 5545): the components and
// properties of a calendar, and its date-times in the local time zone.
namespace quorvane::ical {

struct Property
{
    QString name;                                // upper case
    QVector<QPair<QString, QString>> parameters; // name upper case, value unquoted
    QString value;                               // as written, escapes kept

    // A parameter's value; empty when the property has none of that name.
    QString parameter(const QString& name) const;
};

struct Component
{
    QString name; // upper case
    QVector<Property> properties;
    QVector<Component> children;

    // The first property of that name, or none.
    const Property* property(const QString& name) const;
};

// The largest file read: a calendar of a few thousand events takes a few
// megabytes.
constexpr qint64 kMaxFileBytes = 20 * 1024 * 1024;

// The first VCALENDAR of `bytes`, its lines unfolded; `calendarsAfter`, when
// given, is told how many more begin after it, which are not read. A file
// that is not UTF-8 text, does not begin with BEGIN:VCALENDAR, holds a line
// that is no content line, closes a component that is not open, or ends
// inside one raises a failure that says so.
Component parse(const QByteArray& bytes, int* calendarsAfter = nullptr);

// The contents of a calendar file (at most kMaxFileBytes), parsed; a failure
// names the file and why it cannot be read.
Component readFile(const QString& fileName, int* calendarsAfter = nullptr);

// A TEXT value with its escapes undone: \, \; \\ and \n (or \N) as a line
// break.
QString unescaped(const QString& value);

// Part `name` of a recurrence rule ("FREQ=WEEKLY;BYDAY=MO,WE"), upper-cased;
// empty when the rule has none.
QString rulePart(const QString& rule, const QString& name);
// The weekday codes of a rule, Monday first.
const QStringList& weekdayCodes();

// A DATE or DATE-TIME value as the property holds it.
struct DateTime
{
    QDate date;
    QTime time;
    bool isDate = false; // a whole day (VALUE=DATE, or eight digits)
    bool utc = false;    // ends in Z
    QString zone;        // its TZID, if any
};
std::optional<DateTime> dateTime(const Property& property);
std::optional<DateTime> dateTime(const QString& value);

// The calendar's time zones: a TZID the system knows (an IANA or a Windows
// name) is converted through the system's time zone data; another is read
// from the calendar's VTIMEZONE of that TZID (its STANDARD and DAYLIGHT
// observances, each with a DTSTART, its offsets and a yearly RRULE or RDATEs).
class TimeZones
{
public:
    explicit TimeZones(const Component& calendar);

    // A date-time in the local time zone: a UTC time converted, a floating
    // one as it is, one with a TZID through that zone. Nothing for a zone
    // neither the system nor the calendar defines; a VTIMEZONE with a number
    // out of its range (an offset, a month, the nth weekday) defines none.
    std::optional<QDateTime> toLocal(const DateTime& value) const;

private:
    struct Observance
    {
        DateTime start;
        int offsetFrom = 0;
        int offsetTo = 0;
        int month = 0;   // yearly rule: BYMONTH
        int weekday = 0; // 1 Monday .. 7 Sunday
        int nth = 0;     // 1..5 or -1..-5
        std::optional<QDateTime> until;
        QVector<QDateTime> dates; // RDATEs
    };
    struct Defined
    {
        QVector<Observance> observances;
        std::optional<int> offsetAt(const QDateTime& wall) const;
    };
    QHash<QString, Defined> m_defined;
};

} // namespace quorvane::ical
