#pragma once

#include <QColor>
#include <QFont>

class QPalette;
class QWidget;

namespace quorvane {

// How the course dialogs look: their fonts and their colours.

// Arial 9 pt bold for the dialogs, Arial 11.25 pt bold for push buttons.
QFont dialogFont();
QFont buttonFont();

// The stored background of the dialogs and of their labels, frames and check
// boxes: white, until ApplyDialogColors runs.
void paintWhite(QWidget* widget);

// Gives the window and its option buttons, check boxes, frames and labels
// the system's 3-D face colour. Text boxes, combo boxes, pickers and push
// buttons keep their own colours. The check boxes are outlined so that they
// stand out from that colour, at least 3:1, in light and dark themes alike.
void ApplyDialogColors(QWidget* window);

// The contrast ratio of two colours as WCAG 2 measures it: from 1 (the same
// colour) to 21 (black on white).
double contrastRatio(const QColor& a, const QColor& b);
// Black or white, whichever stands out more on `background`.
QColor contrastingInk(const QColor& background);
// The colour nearest `background` on the way to `ink` whose contrast with
// `background` is at least `ratio`; `ink` itself when none nearer is enough.
QColor outlineColour(const QColor& background, const QColor& ink, double ratio = 3.0);

// A desktop whose windows are dark: their text lighter than their background.
bool isDark(const QPalette& palette);
// The main window's background: white, as it has always been, unless the
// desktop is dark; then the desktop's own window colour.
QColor formBackground(const QPalette& desktop);

} // namespace quorvane
