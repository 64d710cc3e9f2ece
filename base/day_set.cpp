#include "base/day_set.h"

#include <limits>

namespace quorvane::dayset {

QString build(const std::array<bool, kDays>& ticked)
{
    QString text;
    for (int i = 0; i < kDays; ++i) {
        if (ticked[static_cast<size_t>(i)])
            text += QString::number(i) + QLatin1Char(',');
    }
    if (!text.isEmpty())
        text.chop(1);
    return text;
}

QStringList entries(const QString& daySet)
{
    if (daySet.isEmpty())
        return {};
    return daySet.split(QLatin1Char(','));
}

std::optional<int> entryValue(const QString& entry)
{
    const QString text = entry.trimmed();
    // The number conversion stops at U+0000 and would read "3\0x" as 3.
    if (text.contains(QChar(0)))
        return std::nullopt;
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok)
        return std::nullopt;
    return value;
}

std::optional<int> entryValue(QLatin1StringView entry)
{
    const auto blank = [](char c) { return c == ' ' || (c >= '\t' && c <= '\r'); };
    qsizetype begin = 0;
    qsizetype end = entry.size();
    while (begin < end && blank(entry.at(begin).toLatin1()))
        ++begin;
    while (end > begin && blank(entry.at(end - 1).toLatin1()))
        --end;
    bool negative = false;
    if (begin < end && (entry.at(begin) == QLatin1Char('+') || entry.at(begin) == QLatin1Char('-')))
        negative = entry.at(begin++) == QLatin1Char('-');
    if (begin == end)
        return std::nullopt;
    qint64 value = 0;
    for (qsizetype i = begin; i < end; ++i) {
        const char c = entry.at(i).toLatin1();
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > qint64(std::numeric_limits<int>::max()) + 1)
            return std::nullopt;
    }
    value = negative ? -value : value;
    if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max())
        return std::nullopt;
    return int(value);
}

} // namespace quorvane::dayset
