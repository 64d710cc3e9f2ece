#pragma once

#include <QFont>

namespace quorvane {

// The program's one typeface: Arial (Liberation Sans where Arial is not
// installed), bold, at the given size.
inline QFont arialBold(qreal points)
{
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(points);
    font.setBold(true);
    return font;
}

} // namespace quorvane
