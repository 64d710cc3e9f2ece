#include "widgets/appearance.h"

#include "widgets/fonts.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>

namespace quorvane {

namespace {

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
    const QList<QWidget*> controls = window->findChildren<QWidget*>();
    for (QWidget* control : controls) {
        if (qobject_cast<QRadioButton*>(control) || qobject_cast<QCheckBox*>(control) ||
            qobject_cast<QGroupBox*>(control) || qobject_cast<QLabel*>(control))
            paintBackground(control, face);
    }
}

} // namespace quorvane
