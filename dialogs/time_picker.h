#pragma once

#include <QString>
#include <QTime>
#include <QTimeEdit>

namespace quorvane {

// The time pickers dtpFrom and dtpTo of the course dialogs: a time of day
// shown as "hh:mm AP" (09:30 AM). The whole value keeps its seconds; the
// minute can be read and set on its own.
class TimePicker : public QTimeEdit
{
    Q_OBJECT
public:
    explicit TimePicker(QWidget* parent = nullptr);

    QTime value() const { return time(); }
    void setValue(const QTime& value) { setTime(value); }

    // Reads a text as a time of day, as "8:30:00 AM", "08:30" or a grid
    // label "8:30 AM"; a text that is no time of day raises a failure and
    // leaves the value as it was.
    void setValueText(const QString& text);

    int minute() const { return time().minute(); }
    // Changes only the minute; hour and seconds stay.
    void setMinute(int minute);

protected:
    // Tab leaves the picker for the next control; the arrow keys move
    // between hours, minutes and AM/PM.
    bool focusNextPrevChild(bool next) override;
    // Focus given by the program (after a check message) selects the first
    // section, so that what is typed replaces the hour.
    void focusInEvent(QFocusEvent* event) override;
    // A click selects the section under the pointer, so that typed digits
    // replace it.
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace quorvane
