#include "store/time_of_day.h"

#include <QRegularExpression>

namespace quorvane::timeofday {

std::optional<QTime> parse(const QString& text)
{
    static const QRegularExpression pattern(
        QStringLiteral("^\\s*(\\d{1,2}):(\\d{2})(?::(\\d{2}))?\\s*([AaPp][Mm])?\\s*$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    int hour = match.captured(1).toInt();
    const int minute = match.captured(2).toInt();
    const int second = match.capturedLength(3) ? match.captured(3).toInt() : 0;
    const QString designator = match.captured(4).toUpper();
    if (minute > 59 || second > 59)
        return std::nullopt;
    if (designator.isEmpty()) {
        if (hour > 23)
            return std::nullopt;
    } else {
        if (hour > 12)
            return std::nullopt;
        if (hour == 12)
            hour = 0;
        if (designator == QLatin1String("PM"))
            hour += 12;
    }
    return QTime(hour, minute, second);
}

namespace {

QString twelveHour(const QTime& time, bool withSeconds)
{
    const int hour = time.hour() % 12 == 0 ? 12 : time.hour() % 12;
    QString text =
        QString::number(hour) + QLatin1Char(':') + QStringLiteral("%1").arg(time.minute(), 2, 10, QLatin1Char('0'));
    if (withSeconds)
        text += QLatin1Char(':') + QStringLiteral("%1").arg(time.second(), 2, 10, QLatin1Char('0'));
    text += time.hour() < 12 ? QStringLiteral(" AM") : QStringLiteral(" PM");
    return text;
}

} // namespace

QString formatLong(const QTime& time)
{
    return twelveHour(time, true);
}

QString formatLabel(const QTime& time)
{
    return twelveHour(time, false);
}

} // namespace quorvane::timeofday
