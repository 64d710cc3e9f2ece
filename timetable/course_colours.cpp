#include "timetable/course_colours.h"

#include <QPainter>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace quorvane {

namespace {

// Paul Tol's "light" scheme (without its grey) and four of his "pale" one
// (https://personal.sron.nl/~pault/, "Colour Schemes"): twelve colours whose
// nearest pair differs by at least 6.7 CIELAB units also as protanopes,
// deuteranopes and tritanopes see them (Machado, Oliveira and Fernandes
// 2009). Against black text their contrast (WCAG 2) runs from 8.4:1 to 17.6:1.
constexpr QRgb kPalette[] = {
    0x77AADD, // light blue, 8.58:1
    0x99DDFF, // light cyan, 14.14:1
    0x44BB99, // mint, 8.81:1
    0xBBCC33, // pear, 11.80:1
    0xAAAA00, // olive, 8.46:1
    0xEEDD88, // light yellow, 15.33:1
    0xEE8866, // orange, 8.35:1
    0xFFAABB, // pink, 11.72:1
    0xCCEEFF, // pale cyan, 17.24:1
    0xCCDDAA, // pale green, 14.49:1
    0xEEEEBB, // pale yellow, 17.58:1
    0xFFCCCC, // pale red, 14.76:1
};
constexpr int kPaletteSize = int(std::size(kPalette));

// FNV-1a over the name's UTF-8: the same on every run, unlike qHash.
quint32 nameHash(const QString& name)
{
    quint32 hash = 2166136261u;
    for (const char byte : name.toUtf8()) {
        hash ^= quint8(byte);
        hash *= 16777619u;
    }
    return hash;
}

std::array<double, 3> cielab(const QColor& colour)
{
    const auto linear = [](double c) { return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
    const double r = linear(colour.redF());
    const double g = linear(colour.greenF());
    const double b = linear(colour.blueF());
    const auto f = [](double t) { return t > 216.0 / 24389 ? std::cbrt(t) : (24389.0 / 27 * t + 16) / 116; };
    const double x = f((0.4124 * r + 0.3576 * g + 0.1805 * b) / 0.95047);
    const double y = f(0.2126 * r + 0.7152 * g + 0.0722 * b);
    const double z = f((0.0193 * r + 0.1192 * g + 0.9505 * b) / 1.08883);
    return {116 * y - 16, 500 * (x - y), 200 * (y - z)};
}

} // namespace

const QVector<QColor>& coursePalette()
{
    static const QVector<QColor> palette = [] {
        QVector<QColor> colours;
        for (const QRgb rgb : kPalette)
            colours << QColor::fromRgb(rgb);
        return colours;
    }();
    return palette;
}

QColor clashFrameColour()
{
    return QColor(0xB0, 0x00, 0x00);
}

void paintClashFrame(QPainter& painter, const QRect& cell)
{
    constexpr int kWidth = 2;
    painter.save();
    painter.setPen(QPen(clashFrameColour(), kWidth, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(cell).adjusted(kWidth / 2.0, kWidth / 2.0, -kWidth / 2.0 - 1, -kWidth / 2.0 - 1));
    painter.restore();
}

QHash<QString, int> courseColourIndexes(QVector<std::pair<qint64, QString>> courses)
{
    std::stable_sort(courses.begin(), courses.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    QHash<QString, int> indexes;
    std::array<bool, kPaletteSize> taken{};
    int free = kPaletteSize;
    for (const auto& course : courses) {
        if (indexes.contains(course.second))
            continue;
        int index = int(nameHash(course.second) % kPaletteSize);
        if (free > 0) {
            while (taken[size_t(index)])
                index = (index + 1) % kPaletteSize;
            taken[size_t(index)] = true;
            --free;
        }
        indexes.insert(course.second, index);
    }
    return indexes;
}

QString cssColourName(int paletteIndex)
{
    // Qt's colour names are the SVG and CSS ones.
    static const QVector<QString> names = [] {
        QVector<QString> nearest;
        const QStringList candidates = QColor::colorNames();
        for (const QColor& colour : coursePalette()) {
            const auto lab = cielab(colour);
            double best = std::numeric_limits<double>::max();
            QString bestName;
            for (const QString& name : candidates) {
                const QColor candidate = QColor::fromString(name);
                if (candidate.alpha() != 255)
                    continue;
                const auto other = cielab(candidate);
                const double distance = std::hypot(lab[0] - other[0], lab[1] - other[1], lab[2] - other[2]);
                if (distance < best) {
                    best = distance;
                    bestName = name;
                }
            }
            nearest << bestName;
        }
        return nearest;
    }();
    return names.value(paletteIndex);
}

} // namespace quorvane
