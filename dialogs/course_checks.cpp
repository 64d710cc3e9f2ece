#include "dialogs/course_checks.h"

#include "base/prompts.h"
#include "base/reporting.h"
#include "widgets/time_picker.h"

#include <QCheckBox>

namespace quorvane {

namespace {

// Statements first to first + 14 of the checks: snaps one picker's minute.
// The four tests (first, first + 4, first + 8, first + 12) cannot fail; the
// setting of the minute can.
void snapMinute(Procedure& p, int first, TimePicker* picker)
{
    const int m = picker->minute();
    if (m <= 15)
        p.step(first + 2, [&] { picker->setMinute(0); });
    else if (m <= 30)
        p.step(first + 6, [&] { picker->setMinute(30); });
    else if (m <= 45)
        p.step(first + 10, [&] { picker->setMinute(30); });
    else
        // The half hour of the same hour, not the full hour that follows.
        p.step(first + 14, [&] { picker->setMinute(30); });
}

// One failed check: its message (`number`), then the focus on the control at
// fault (number + 2, which cannot fail).
bool refuse(Procedure& p, int number, const QString& message, QWidget* focus)
{
    p.step(number, [&] { showMessage(p.prompts(), p.parent(), message); });
    focus->setFocus();
    return false;
}

} // namespace

bool RunCourseChecks(Procedure& p, const CourseInput& in, CheckedDays& days)
{
    TimePicker* from = in.dtpFrom;
    TimePicker* to = in.dtpTo;
    // Whole values, seconds included; the limits themselves pass. The tests
    // (106, 112, 118, 124, 130) cannot fail.
    if (from->value() < earliestCourseTime())
        return refuse(p, 108, messages::kBadTimeFrom, from);
    if (from->value() > latestCourseTime())
        return refuse(p, 114, messages::kBadTimeFrom, from);
    if (to->value() < earliestCourseTime())
        return refuse(p, 120, messages::kBadTimeTo, to);
    if (to->value() > latestCourseTime())
        return refuse(p, 126, messages::kBadTimeTo, to);
    // Tested before the snapping: 08:50 to 08:40 is refused although both
    // would become 08:30.
    if (from->value() > to->value())
        return refuse(p, 132, messages::kBadTimeRange, from);

    snapMinute(p, 136, from);
    snapMinute(p, 152, to);

    // 168 to 184: the day set, built from the ticked boxes; nothing there can fail.
    for (size_t i = 0; i < days.days.size(); ++i)
        days.days[i] = in.check1[i]->isChecked();
    days.daySet = dayset::build(days.days);
    days.anyDay = !days.daySet.isEmpty();
    return true;
}

bool CheckADayIsTicked(Procedure& p, const CheckedDays& days, QCheckBox* monday)
{
    if (!days.anyDay) // 186
        return refuse(p, 192, messages::kNoDay, monday);
    return true;
}

} // namespace quorvane
