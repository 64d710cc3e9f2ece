#pragma once

#include "base/day_set.h"

#include <QString>
#include <array>

class QCheckBox;
class QDialog;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace quorvane {

class PointerConvention;
class TimePicker;

// The building blocks shared by the three course dialogs. Places and sizes
// are in twips. Indexed controls are named with their index: Label1_0 ..
// Label1_3 and Check1_0 .. Check1_6; each also carries its index in the
// property "index".

// A fixed-size dialog with a single border, no minimise, maximise or help
// box; the stored background is white until ApplyDialogColors runs.
void setUpDialogWindow(QDialog* dialog, const QString& objectName, const QString& caption, int widthTwips,
                       int heightTwips);

QLabel* addLabel(QWidget* parent, int index, const QString& caption, int left, int top, int width, int height);
// What a screen reader says of a field, and the label that captions it.
void nameField(QLabel* label, QWidget* field, const QString& accessibleName);
// A single-line text box without a length limit of its own.
QLineEdit* addTextBox(QWidget* parent, const QString& name, int left, int top, int width, int height);
QGroupBox* addFrame(QWidget* parent, const QString& name, const QString& caption, int left, int top, int width,
                    int height);
// The push buttons: no default button, so Enter in a text box saves nothing.
QPushButton* addPushButton(QWidget* parent, int number, const QString& caption, int left, int top, int width,
                           int height, PointerConvention& pointer);

// What the Add and Edit Course dialogs share below their text boxes: the
// Days frame with the seven boxes "Mon" .. "Sun", and the Time Range frame
// with the two pickers and their labels. Both frames are `width` wide, at
// left 120 and the given tops.
struct CourseControls
{
    QGroupBox* frame1 = nullptr;
    std::array<QCheckBox*, dayset::kDays> check1{};
    QGroupBox* frame2 = nullptr;
    TimePicker* dtpFrom = nullptr;
    TimePicker* dtpTo = nullptr;
};
CourseControls addCourseControls(QWidget* dialog, PointerConvention& pointer, int width, int daysTop, int timeRangeTop);

} // namespace quorvane
