#include "widgets/time_picker.h"

#include "base/failure.h"
#include "base/time_of_day.h"

#include <QClipboard>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QRegularExpression>
#include <optional>
#include <utility>

namespace quorvane {

namespace {

// A time as typed or pasted: "3:30 PM", "07:00P", "9.30 am", "15:30". The
// hour has one or two digits, the minutes two; the AM/PM mark is optional, in
// any case, with or without a blank before it.
std::optional<QTime> readTypedTime(const QString& text)
{
    static const QRegularExpression form(QStringLiteral("^\\s*([0-9]{1,2})[:.]([0-9]{2})\\s*(?:([AaPp])[Mm]?)?\\s*$"));
    const QRegularExpressionMatch match = form.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    int hour = match.capturedView(1).toInt();
    const int minute = match.capturedView(2).toInt();
    const QString mark = match.captured(3).toUpper();
    if (minute > 59 || hour > (mark.isEmpty() ? 23 : 12))
        return std::nullopt;
    if (!mark.isEmpty())
        hour = hour % 12 + (mark == QLatin1String("P") ? 12 : 0);
    return QTime(hour, minute);
}

} // namespace

TimePicker::TimePicker(QWidget* parent) : QTimeEdit(parent)
{
    setDisplayFormat(QStringLiteral("hh:mm AP"));
    setTimeRange(QTime(0, 0), QTime(23, 59, 59, 999));
    lineEdit()->installEventFilter(this);
    m_typed = time();
    connect(this, &QTimeEdit::timeChanged, this, [this](QTime value) {
        if (!m_settingMinute)
            m_typed = value;
    });
}

void TimePicker::focusInEvent(QFocusEvent* event)
{
    forgetTyping();
    QTimeEdit::focusInEvent(event);
    if (event->reason() == Qt::OtherFocusReason) {
        setCurrentSectionIndex(0);
        setSelectedSection(sectionAt(0));
    }
}

bool TimePicker::eventFilter(QObject* watched, QEvent* event)
{
    // Keys sent to the line edit itself are read as those sent to the picker.
    if (watched == lineEdit() && event->type() == QEvent::KeyPress && typeKey(*static_cast<QKeyEvent*>(event)))
        return true;
    if (watched == lineEdit() && event->type() == QEvent::MouseButtonPress)
        forgetTyping();
    const bool handled = QTimeEdit::eventFilter(watched, event);
    if (watched == lineEdit() && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
        setSelectedSection(currentSection());
    return handled;
}

void TimePicker::keyPressEvent(QKeyEvent* event)
{
    if (typeKey(*event)) {
        event->accept();
        return;
    }
    QTimeEdit::keyPressEvent(event);
}

bool TimePicker::typeKey(const QKeyEvent& event)
{
    switch (event.key()) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Meta:
    case Qt::Key_CapsLock:
        return false;
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
        // A section is never left empty: typing replaces it.
        forgetTyping();
        return true;
    default:
        break;
    }
    if (event.matches(QKeySequence::Paste)) {
        forgetTyping();
        pasteTime(QGuiApplication::clipboard()->text());
        return true;
    }
    const QString text = event.text();
    const bool command = event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    if (command || text.size() != 1 || !text.at(0).isPrint()) {
        // Arrows, Tab, Return and shortcuts do what they always do.
        forgetTyping();
        return false;
    }

    const Section section = currentSection();
    if (section != m_typingSection)
        moveTo(section);
    const bool skipSeparator = std::exchange(m_skipSeparator, false);
    const QChar c = text.at(0).toUpper();
    const bool separator = c == QLatin1Char(':') || c == QLatin1Char('.') || c == QLatin1Char(' ');
    if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
        typeDigit(section, c.unicode() - '0');
    else if (separator && !skipSeparator)
        typeSeparator(section);
    else if (c == QLatin1Char('A') || c == QLatin1Char('P'))
        typeDesignator(c == QLatin1Char('P'));
    // Any other character, as the M of AM and PM, changes nothing.
    return true;
}

void TimePicker::typeDigit(Section section, int digit)
{
    const QTime now = time();
    const int number = m_number * 10 + digit;
    if (section == HourSection) {
        if (m_digits == 0)
            m_typingPm = now.hour() >= 12;
        if (m_digits == 1 && number > 23) {
            // "25": the hour is 2, and the 5 begins the minutes.
            moveTo(MinuteSection);
            typeDigit(MinuteSection, digit);
            return;
        }
        ++m_digits;
        m_number = number;
        // 1 to 12 keep AM or PM as it was; 0 and 13 to 23 are hours of the
        // 24-hour day.
        const int hour = number >= 1 && number <= 12 ? number % 12 + (m_typingPm ? 12 : 0) : number;
        setTime(QTime(hour, now.minute()));
        // No hour of two digits begins with 3 or more.
        if (m_digits == 2 || number >= 3) {
            moveTo(MinuteSection);
            m_skipSeparator = true;
        } else {
            setSelectedSection(HourSection);
        }
    } else if (section == MinuteSection) {
        ++m_digits;
        m_number = number;
        setTime(QTime(now.hour(), number));
        if (m_digits == 2 || number >= 6) {
            moveTo(AmPmSection);
            m_skipSeparator = true;
        } else {
            setSelectedSection(MinuteSection);
        }
    }
    // Digits typed in the AM/PM section change nothing.
}

void TimePicker::typeSeparator(Section section)
{
    if (section == HourSection)
        moveTo(MinuteSection);
    else if (section == MinuteSection)
        moveTo(AmPmSection);
}

void TimePicker::typeDesignator(bool pm)
{
    const QTime now = time();
    setTime(QTime(now.hour() % 12 + (pm ? 12 : 0), now.minute()));
    moveTo(AmPmSection);
}

void TimePicker::pasteTime(const QString& text)
{
    if (const std::optional<QTime> pasted = readTypedTime(text)) {
        setTime(*pasted);
        moveTo(HourSection);
    }
}

void TimePicker::moveTo(Section section)
{
    m_typingSection = section;
    m_digits = 0;
    m_number = 0;
    if (section != NoSection) {
        setCurrentSection(section);
        setSelectedSection(section);
    }
}

void TimePicker::forgetTyping()
{
    m_typingSection = NoSection;
    m_digits = 0;
    m_number = 0;
    m_skipSeparator = false;
}

QValidator::State TimePicker::validate(QString& input, int& pos) const
{
    // The reading of QTimeEdit changes the text even when it refuses it.
    QString fixed = input;
    int fixedPos = pos;
    if (QTimeEdit::validate(fixed, fixedPos) == QValidator::Acceptable) {
        input = fixed;
        pos = fixedPos;
        return QValidator::Acceptable;
    }
    // The text put in ends at the cursor; before it and after it the text is
    // still the one shown. The longest such text that reads as a time wins.
    const QString shown = textFromDateTime(dateTime());
    const QStringView after = QStringView(input).mid(pos);
    std::optional<QTime> pasted = readTypedTime(input);
    if (!pasted && shown.endsWith(after)) {
        const qsizetype keptBefore = shown.size() - after.size();
        for (qsizetype start = 0; !pasted && start < pos && start <= keptBefore; ++start) {
            if (start > 0 && input.at(start - 1) != shown.at(start - 1))
                break;
            pasted = readTypedTime(input.mid(start, pos - start));
        }
    }
    if (!pasted)
        return QValidator::Invalid;
    input = textFromDateTime(QDateTime(date(), *pasted));
    pos = 0;
    return QTimeEdit::validate(input, pos);
}

void TimePicker::setValueText(const QString& text)
{
    const std::optional<QTime> time = timeofday::parse(text);
    if (!time)
        throw Failure(QStringLiteral("Type mismatch: '%1' is not a time of day").arg(text));
    setValue(*time);
}

void TimePicker::setMinute(int minute)
{
    const QTime now = time();
    const QTime changed(now.hour(), minute, now.second(), now.msec());
    if (!changed.isValid())
        throw Failure(QStringLiteral("Invalid property value: minute %1").arg(minute));
    m_settingMinute = true;
    setValue(changed);
    m_settingMinute = false;
}

bool TimePicker::focusNextPrevChild(bool next)
{
    return QWidget::focusNextPrevChild(next);
}

} // namespace quorvane
