#pragma once

#include <QString>

namespace quorvane {

// The beginning of text, at most `most` UTF-16 code units long. A surrogate
// pair that would be cut in half is left out entirely, so the result stays
// valid UTF-16 wherever text was.
inline QString leftWhole(QStringView text, qsizetype most)
{
    if (text.size() <= most)
        return text.toString();
    if (most <= 0)
        return QString();
    qsizetype length = most;
    if (text.at(length - 1).isHighSurrogate())
        --length;
    return text.left(length).toString();
}

// The beginning of text followed by an ellipsis when it is longer than
// `most`: what a box or a view shows of a text it cannot show whole.
inline QString elidedAfter(QStringView text, qsizetype most)
{
    return text.size() <= most ? text.toString() : leftWhole(text, most) + QChar(0x2026);
}

// What a view draws, measures and elides of a stored text: its beginning, so
// that a redraw stays within a frame whatever length was stored (a pasted
// name of a million characters). No cell or list row shows this much; the
// stored text itself is never cut.
constexpr qsizetype kShownTextLength = 256;

inline QString shownText(QStringView text)
{
    return elidedAfter(text, kShownTextLength);
}

} // namespace quorvane
