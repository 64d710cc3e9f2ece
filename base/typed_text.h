#pragma once

#include <QString>

namespace quorvane {

// True when typed text holds nothing but blanks (space characters); such an
// entry counts as empty. Tabs and line breaks count as typed, and what is
// stored is always the text as typed, untrimmed.
inline bool isBlank(const QString& typed)
{
    for (const QChar c : typed)
        if (c != QLatin1Char(' '))
            return false;
    return true;
}

} // namespace quorvane
