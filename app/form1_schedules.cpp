// Add, rename and delete schedules; delete all courses of a schedule.
#include "app/form1.h"
#include "base/failure.h"
#include "base/reporting.h"
#include "base/typed_text.h"
#include "domain/repository.h"
#include "store/connection.h"

#include <optional>

namespace quorvane {

namespace {

// The input box of Add and Edit Schedule.
std::optional<QString> askScheduleName(Prompts& prompts, QWidget* parent, const QString& preset)
{
    return prompts.inputBox(parent, {QStringLiteral("Enter schedule: "), QStringLiteral("Input Schedule"), preset});
}

} // namespace

// The public procedures send one statement each for the selected schedule and
// report nothing themselves: a failure travels to the calling handler. A
// schedule that another copy of the program deleted meanwhile is a failure,
// not a silent change of nothing.

void Form1::DeleteCourse()
{
    repository().deleteCoursesOf(selectedScheduleId());
}

void Form1::DeleteSchedules()
{
    repository().deleteSchedule(selectedScheduleId());
}

void Form1::UpdateSchedule(const QString& name)
{
    repository().renameSchedule(selectedScheduleId(), name);
}

// Add Schedule
void Form1::PushButton1_Click()
{
    SelectionFollower follower(*this);
    Procedure p(m_prompts, this, location("Form1", "PushButton1_Click"));
    std::optional<QString> entry;
    p.step(100, [&] { entry = askScheduleName(m_prompts, this, QString()); });
    // 102, 104: Cancel, or nothing but blanks.
    if (!entry || isBlank(*entry))
        return;
    p.step(106, [&] { repository().addSchedule(*entry); });
    p.step(108, [&] { ListSchedules(); });
}

// Edit Schedule: renames the selected schedule.
void Form1::PushButton5_Click()
{
    SelectionFollower follower(*this);
    Procedure p(m_prompts, this, location("Form1", "PushButton5_Click"));
    if (scheduleCount() == 0) // 100
        return;
    std::optional<QString> entry;
    p.step(102, [&] { entry = askScheduleName(m_prompts, this, selectedScheduleName()); });
    // 104, 106: Cancel, or nothing but blanks.
    if (!entry || isBlank(*entry))
        return;
    // An unchanged name is written all the same.
    p.step(108, [&] { UpdateSchedule(*entry); });
    p.step(110, [&] { ListSchedules(); });
}

// Delete Schedule: its courses first, then the schedule row.
void Form1::PushButton2_Click()
{
    SelectionFollower follower(*this);
    Procedure p(m_prompts, this, location("Form1", "PushButton2_Click"));
    if (scheduleCount() == 0) // 100
        return;
    if (p.test(102, [&] {
            return !askYesNo(m_prompts, this,
                             QStringLiteral("Are you sure you want to delete [") + selectedScheduleName().toUpper() +
                                 QStringLiteral("] schedule?\r\nNote: All courses in this schedule will be also "
                                                "deleted."),
                             QStringLiteral("Delete Schedule"));
        }))
        return;
    // Both deletes or neither: the schedule row never goes without its courses.
    std::optional<Transaction> both;
    if (p.step(104, [&] {
            both.emplace(scheduleDb());
            DeleteCourse();
        }))
        p.step(106, [&] {
            DeleteSchedules();
            both->commit();
        });
    both.reset();
    p.step(108, [&] { ListSchedules(); });
}

// Delete All Courses of the selected schedule.
void Form1::PushButton10_Click()
{
    Procedure p(m_prompts, this, location("Form1", "PushButton10_Click"));
    if (scheduleCount() == 0) // 100
        return;
    if (p.test(102, [&] {
            return !askYesNo(m_prompts, this,
                             QStringLiteral("Are you sure you want to delete all courses in this schedule?"),
                             QStringLiteral("Delete Courses"));
        }))
        return;
    p.step(104, [&] { DeleteCourse(); });
    p.step(106, [&] { ListCourses(); });
}

} // namespace quorvane
