#pragma once

#include <QString>

namespace quorvane {

// What a view draws, measures and elides of a stored text: its beginning, so
// that a redraw stays within a frame whatever length was stored (a pasted
// name of a million characters). No cell or list row shows this much; the
// stored text itself is never cut.
constexpr qsizetype kShownTextLength = 256;

inline QString shownText(QStringView text)
{
    if (text.size() <= kShownTextLength)
        return text.toString();
    qsizetype length = kShownTextLength;
    if (text.at(length - 1).isHighSurrogate())
        --length;
    return text.left(length).toString() + QChar(0x2026);
}

} // namespace quorvane
