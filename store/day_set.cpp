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
    bool ok = false;
    const int value = entry.trimmed().toInt(&ok);
    if (!ok)
        return std::nullopt;
    return value;
}

} // namespace quorvane::dayset
