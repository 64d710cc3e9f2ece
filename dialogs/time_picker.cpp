#include "dialogs/time_picker.h"

#include "store/failure.h"
#include "store/time_of_day.h"

#include <QFocusEvent>
#include <QLineEdit>
#include <QMouseEvent>

namespace quorvane {

TimePicker::TimePicker(QWidget* parent) : QTimeEdit(parent)
{
    setDisplayFormat(QStringLiteral("hh:mm AP"));
    setTimeRange(QTime(0, 0), QTime(23, 59, 59, 999));
    lineEdit()->installEventFilter(this);
}

void TimePicker::focusInEvent(QFocusEvent* event)
{
    QTimeEdit::focusInEvent(event);
    if (event->reason() == Qt::OtherFocusReason) {
        setCurrentSectionIndex(0);
        setSelectedSection(sectionAt(0));
    }
}

bool TimePicker::eventFilter(QObject* watched, QEvent* event)
{
    const bool handled = QTimeEdit::eventFilter(watched, event);
    if (watched == lineEdit() && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
        setSelectedSection(currentSection());
    return handled;
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
    setValue(changed);
}

bool TimePicker::focusNextPrevChild(bool next)
{
    return QWidget::focusNextPrevChild(next);
}

} // namespace quorvane
