#include "widgets/dialog_parts.h"

#include "base/twips.h"
#include "widgets/appearance.h"
#include "widgets/fit_to_screen.h"
#include "widgets/pointer.h"
#include "widgets/push_button.h"
#include "widgets/time_picker.h"

#include <QCheckBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <limits>

namespace quorvane {

namespace {

void place(QWidget* widget, int left, int top, int width, int height)
{
    widget->setGeometry(pixelsFromTwips(left), pixelsFromTwips(top), pixelsFromTwips(width), pixelsFromTwips(height));
}

} // namespace

void setUpDialogWindow(QDialog* dialog, const QString& objectName, const QString& caption, int widthTwips,
                       int heightTwips)
{
    dialog->setObjectName(objectName);
    dialog->setWindowTitle(caption);
    dialog->setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                           Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    dialog->setFixedSize(pixelsFromTwips(widthTwips), pixelsFromTwips(heightTwips));
    new FitToScreen(dialog);
    dialog->setSizeGripEnabled(false);
    dialog->setFont(dialogFont());
    paintWhite(dialog);
}

QLabel* addLabel(QWidget* parent, int index, const QString& caption, int left, int top, int width, int height)
{
    auto* label = new QLabel(caption, parent);
    label->setTextFormat(Qt::PlainText);
    label->setObjectName(QStringLiteral("Label1_%1").arg(index));
    label->setProperty("index", index);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    place(label, left, top, width, height);
    paintWhite(label);
    return label;
}

void nameField(QLabel* label, QWidget* field, const QString& accessibleName)
{
    label->setBuddy(field);
    field->setAccessibleName(accessibleName);
}

QLineEdit* addTextBox(QWidget* parent, const QString& name, int left, int top, int width, int height)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setMaxLength(std::numeric_limits<int>::max());
    box->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    place(box, left, top, width, height);
    return box;
}

QGroupBox* addFrame(QWidget* parent, const QString& name, const QString& caption, int left, int top, int width,
                    int height)
{
    auto* frame = new QGroupBox(caption, parent);
    frame->setObjectName(name);
    place(frame, left, top, width, height);
    paintWhite(frame);
    return frame;
}

QPushButton* addPushButton(QWidget* parent, int number, const QString& caption, int left, int top, int width,
                           int height, PointerConvention& pointer)
{
    auto* button = new PushButton(caption, parent);
    button->setObjectName(QStringLiteral("PushButton%1").arg(number));
    button->setFont(buttonFont());
    place(button, left, top, width, height);
    pointer.watchButton(button);
    return button;
}

namespace {

std::array<QCheckBox*, dayset::kDays> addDayBoxes(QGroupBox* frame)
{
    static const char* const kCaptions[dayset::kDays] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
    static const int kLefts[dayset::kDays] = {240, 1080, 1920, 2880, 3840, 4680, 5520};
    std::array<QCheckBox*, dayset::kDays> boxes{};
    for (int i = 0; i < dayset::kDays; ++i) {
        auto* box = new QCheckBox(QString::fromLatin1(kCaptions[i]), frame);
        box->setObjectName(QStringLiteral("Check1_%1").arg(i));
        box->setProperty("index", i);
        place(box, kLefts[i], 360, 735, 255);
        paintWhite(box);
        boxes[static_cast<size_t>(i)] = box;
    }
    return boxes;
}

CourseControls addTimePickers(QGroupBox* frame)
{
    CourseControls pickers;
    QLabel* fromLabel = addLabel(frame, 1, QStringLiteral("Time From:"), 240, 360, 945, 225);
    pickers.dtpFrom = new TimePicker(frame);
    pickers.dtpFrom->setObjectName(QStringLiteral("dtpFrom"));
    place(pickers.dtpFrom, 1320, 285, 1215, 375);
    nameField(fromLabel, pickers.dtpFrom, QStringLiteral("Time From"));
    QLabel* toLabel = addLabel(frame, 2, QStringLiteral("Time To:"), 3240, 360, 720, 225);
    pickers.dtpTo = new TimePicker(frame);
    pickers.dtpTo->setObjectName(QStringLiteral("dtpTo"));
    place(pickers.dtpTo, 4080, 285, 1215, 375);
    nameField(toLabel, pickers.dtpTo, QStringLiteral("Time To"));
    return pickers;
}

} // namespace

CourseControls addCourseControls(QWidget* dialog, PointerConvention& pointer, int width, int daysTop, int timeRangeTop)
{
    QGroupBox* frame1 = addFrame(dialog, QStringLiteral("Frame1"), QStringLiteral("Days"), 120, daysTop, width, 855);
    pointer.watchBackground(frame1);
    const std::array<QCheckBox*, dayset::kDays> boxes = addDayBoxes(frame1);
    QGroupBox* frame2 =
        addFrame(dialog, QStringLiteral("Frame2"), QStringLiteral("Time Range"), 120, timeRangeTop, width, 855);
    pointer.watchBackground(frame2);
    CourseControls controls = addTimePickers(frame2);
    controls.frame1 = frame1;
    controls.check1 = boxes;
    controls.frame2 = frame2;
    return controls;
}

} // namespace quorvane
