#pragma once

#include <QFont>

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
// buttons keep their own colours.
void ApplyDialogColors(QWidget* window);

} // namespace quorvane
