#pragma once

#include <QString>
#include <QTime>
#include <QTimeEdit>

namespace quorvane {

// The time pickers dtpFrom and dtpTo of the course dialogs: a time of day
// shown as "hh:mm AP" (09:30 AM). The whole value keeps its seconds; the
// minute can be read and set on its own.
//
// The picker reads what is typed itself, so that what it shows is always its
// value: digits fill the selected section and move on to the next one after
// two digits or a separator (':', '.' or a blank); an hour of 13 to 23 is an
// hour of the 24-hour day, 0 is 12 AM; 'A' or 'P' (or "AM", "PM", in any
// case) sets AM or PM from any section. A time typed this way has no
// seconds. A pasted "3:30 PM", "15:30" or "07:00P" becomes the time.
class TimePicker : public QTimeEdit
{
    Q_OBJECT
    // What assistive technology reads as the picker's value: the minute of
    // the day; the value text is the time as shown.
    Q_PROPERTY(int value READ minuteOfDay WRITE setMinuteOfDay)
    Q_PROPERTY(int minimum READ firstMinute CONSTANT)
    Q_PROPERTY(int maximum READ lastMinute CONSTANT)
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
    // The value as typed or set last: what setMinute changes afterwards
    // (the snapping to the half hour) leaves it as it was.
    QTime typedValue() const { return m_typed; }

    int minuteOfDay() const { return time().hour() * 60 + time().minute(); }
    void setMinuteOfDay(int minute) { setTime(QTime(minute / 60 % 24, minute % 60)); }
    static int firstMinute() { return 0; }
    static int lastMinute() { return 24 * 60 - 1; }

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
    void keyPressEvent(QKeyEvent* event) override;
    // A time put into the line edit as text (QLineEdit::paste or insert)
    // replaces the value; any other edit of the text is refused.
    QValidator::State validate(QString& input, int& pos) const override;

private:
    // True when the key was one the picker reads itself.
    bool typeKey(const QKeyEvent& event);
    void typeDigit(Section section, int digit);
    void typeSeparator(Section section);
    void typeDesignator(bool pm);
    void pasteTime(const QString& text);
    // Starts typing afresh in `section` and selects it.
    void moveTo(Section section);
    void forgetTyping();

    // The section digits are being typed into, and the number they make.
    Section m_typingSection = NoSection;
    int m_digits = 0;
    int m_number = 0;
    // Whether the hour being typed is taken as PM (it was PM before).
    bool m_typingPm = false;
    // The section was completed by its digits: a separator typed next is
    // the one between the sections, already passed.
    bool m_skipSeparator = false;
    QTime m_typed;
    bool m_settingMinute = false;
};

} // namespace quorvane
