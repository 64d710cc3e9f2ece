#include "dialogs/course_checks.h"

#include "app/prompts.h"
#include "app/reporting.h"
#include "dialogs/time_picker.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>

namespace quorvane {

namespace {

void paintFace(QWidget* widget, const QColor& face)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, face);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

// Statements first..first+14 of the checks: snaps one picker's minute.
void snapMinute(Procedure& p, int first, TimePicker* picker)
{
    const auto between = [picker](int low, int high) {
        const int m = picker->minute();
        return m >= low && m <= high;
    };
    if (p.test(first, [&] { return between(0, 15); }))
        p.step(first + 2, [&] { picker->setMinute(0); });
    else if (p.test(first + 4, [&] { return between(16, 30); }))
        p.step(first + 6, [&] { picker->setMinute(30); });
    else if (p.test(first + 8, [&] { return between(31, 45); }))
        p.step(first + 10, [&] { picker->setMinute(30); });
    else if (p.test(first + 12, [&] { return between(46, 59); }))
        // The half hour of the same hour, not the full hour that follows.
        p.step(first + 14, [&] { picker->setMinute(30); });
}

// One failed check: its message, then the focus on the control at fault.
bool refuse(Procedure& p, int number, const QString& message, QWidget* focus)
{
    p.step(number, [&] { showMessage(p.prompts(), p.parent(), message); });
    p.step(number + 2, [&] { focus->setFocus(); });
    return false;
}

} // namespace

void ApplyDialogColors(QWidget* window)
{
    const QColor face = QApplication::palette().color(QPalette::Active, QPalette::Button);
    paintFace(window, face);
    const QList<QWidget*> controls = window->findChildren<QWidget*>();
    for (QWidget* control : controls) {
        if (qobject_cast<QRadioButton*>(control) || qobject_cast<QCheckBox*>(control) ||
            qobject_cast<QGroupBox*>(control) || qobject_cast<QLabel*>(control))
            paintFace(control, face);
    }
}

QTime earliestCourseTime()
{
    return QTime(6, 0, 0);
}

QTime latestCourseTime()
{
    return QTime(21, 30, 0);
}

bool RunCourseChecks(Procedure& p, const CourseInput& in, CheckedDays& days)
{
    TimePicker* from = in.dtpFrom;
    TimePicker* to = in.dtpTo;
    // Whole values, seconds included; the limits themselves pass.
    if (p.test(106, [&] { return from->value() < earliestCourseTime(); }))
        return refuse(p, 108, messages::kBadTimeFrom, from);
    if (p.test(112, [&] { return from->value() > latestCourseTime(); }))
        return refuse(p, 114, messages::kBadTimeFrom, from);
    if (p.test(118, [&] { return to->value() < earliestCourseTime(); }))
        return refuse(p, 120, messages::kBadTimeTo, to);
    if (p.test(124, [&] { return to->value() > latestCourseTime(); }))
        return refuse(p, 126, messages::kBadTimeTo, to);
    // Tested before the snapping: 08:50 to 08:40 is refused although both
    // would become 08:30.
    if (p.test(130, [&] { return from->value() > to->value(); }))
        return refuse(p, 132, messages::kBadTimeRange, from);

    snapMinute(p, 136, from);
    snapMinute(p, 152, to);

    p.step(168, [&] { days.anyDay = false; });
    p.step(170, [&] { days.daySet.clear(); });
    for (int i = 0; i < dayset::kDays; ++i) {
        p.step(172, [] {});
        if (p.test(174, [&] { return in.check1[static_cast<size_t>(i)]->isChecked(); })) {
            p.step(176, [&] { days.anyDay = true; });
            p.step(178, [&] { days.daySet += QString::number(i) + QLatin1Char(','); });
        }
        p.step(180, [] {});
    }
    if (p.test(182, [&] { return !days.daySet.isEmpty(); }))
        p.step(184, [&] { days.daySet.chop(1); });
    return true;
}

bool CheckADayIsTicked(Procedure& p, const CheckedDays& days, QCheckBox* monday)
{
    if (p.test(186, [&] { return !days.anyDay; }))
        return refuse(p, 192, messages::kNoDay, monday);
    return true;
}

} // namespace quorvane
