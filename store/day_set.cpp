#include "store/day_set.h"

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

} // namespace quorvane::dayset
