#include "widgets/appearance.h"

#include "widgets/fonts.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QProxyStyle>
#include <QRadioButton>
#include <QStyleOption>

#include <cmath>

namespace quorvane {

namespace {

// Draws a check box as the style does, its outline then drawn over in a
// colour that stands out from the background around it: a style's own
// outline may be barely lighter or darker than the window (Fusion's is,
// 1.2:1 in a dark theme).
class OutlinedCheckBoxStyle : public QProxyStyle
{
public:
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override
    {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        if (element != PE_IndicatorCheckBox)
            return;
        const QColor around = (widget ? widget->palette() : option->palette).color(QPalette::Window);
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing, false);
        painter->setPen(outlineColour(around, option->palette.color(QPalette::WindowText)));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(option->rect.adjusted(0, 0, -1, -1));
        painter->restore();
    }
};

void paintBackground(QWidget* widget, const QColor& colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

} // namespace

QFont dialogFont()
{
    return arialBold(9);
}

QFont buttonFont()
{
    return arialBold(11.25);
}

void paintWhite(QWidget* widget)
{
    paintBackground(widget, Qt::white);
}

void ApplyDialogColors(QWidget* window)
{
    const QColor face = QApplication::palette().color(QPalette::Active, QPalette::Button);
    paintBackground(window, face);
    QStyle* outlined = nullptr;
    const QList<QWidget*> controls = window->findChildren<QWidget*>();
    for (QWidget* control : controls) {
        if (qobject_cast<QRadioButton*>(control) || qobject_cast<QCheckBox*>(control) ||
            qobject_cast<QGroupBox*>(control) || qobject_cast<QLabel*>(control))
            paintBackground(control, face);
        if (qobject_cast<QCheckBox*>(control)) {
            if (!outlined) {
                // Made after the boxes, and so deleted after them.
                outlined = new OutlinedCheckBoxStyle;
                outlined->setParent(window);
            }
            control->setStyle(outlined);
        }
    }
}

namespace {

double luminance(const QColor& colour)
{
    const auto linear = [](double c) { return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
    const QColor rgb = colour.toRgb();
    return 0.2126 * linear(rgb.redF()) + 0.7152 * linear(rgb.greenF()) + 0.0722 * linear(rgb.blueF());
}

} // namespace

double contrastRatio(const QColor& a, const QColor& b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor contrastingInk(const QColor& background)
{
    const QColor black(Qt::black);
    const QColor white(Qt::white);
    return contrastRatio(background, black) >= contrastRatio(background, white) ? black : white;
}

QColor outlineColour(const QColor& background, const QColor& ink, double ratio)
{
    const QColor from = background.toRgb();
    const QColor to = ink.toRgb();
    constexpr int kSteps = 32;
    for (int step = 1; step < kSteps; ++step) {
        const double t = double(step) / kSteps;
        const QColor mixed = QColor::fromRgbF(float(from.redF() + (to.redF() - from.redF()) * t),
                                              float(from.greenF() + (to.greenF() - from.greenF()) * t),
                                              float(from.blueF() + (to.blueF() - from.blueF()) * t));
        // Rounded to what a pixel holds, as it is drawn.
        const QColor drawn(mixed.rgb());
        if (contrastRatio(background, drawn) >= ratio)
            return drawn;
    }
    return to;
}

bool isDark(const QPalette& palette)
{
    return palette.color(QPalette::Window).lightness() < palette.color(QPalette::WindowText).lightness();
}

QColor formBackground(const QPalette& desktop)
{
    return isDark(desktop) ? desktop.color(QPalette::Window) : QColor(Qt::white);
}

} // namespace quorvane
