// Copies: a whole schedule, or one course into another schedule. Each is one
// step of the undo history, and the copy is then selected and drawn.
#include "app/form1.h"
#include "app/undo_history.h"
#include "base/reporting.h"
#include "domain/repository.h"
#include "timetable/grid.h"
#include "timetable/grid_view.h"

namespace quorvane {

void Form1::DuplicateSchedule_Click()
{
    if (scheduleCount() == 0) {
        showMessage(m_prompts, this, QStringLiteral("You must add a schedule first."));
        return;
    }
    m_history->record(QStringLiteral("Duplicate Schedule"), [this] {
        SelectionFollower follower(*this);
        Procedure p(m_prompts, this, location("Form1", "DuplicateSchedule_Click"));
        std::optional<Schedule> copy;
        if (p.step(100, [&] { copy = repository().duplicateSchedule(selectedScheduleId()); }))
            p.step(102, [&] { showSchedule({copy->id}); });
    });
}

void Form1::CopyCourseTo_Click()
{
    if (scheduleCount() == 0) {
        showMessage(m_prompts, this, QStringLiteral("You must add a schedule first."));
        return;
    }
    const int row = m_gridView->currentGridRow();
    const int col = m_gridView->currentGridCol();
    const std::optional<qint64> course = m_grid->courseIdAt(row, col);
    if (!course) {
        showMessage(m_prompts, this, QStringLiteral("Select a cell of the course to copy first."));
        return;
    }
    QList<ScheduleId> targets;
    QStringList names;
    const ScheduleId from = selectedScheduleId();
    for (int r = 0; r < m_schedules->count(); ++r) {
        if (m_schedules->row(r).id == from)
            continue;
        targets << m_schedules->row(r).id;
        names << m_schedules->row(r).name;
    }
    if (targets.isEmpty()) {
        showMessage(m_prompts, this, QStringLiteral("There is no other schedule to copy the course to."));
        return;
    }
    const std::optional<int> picked =
        m_prompts.choice(this, {QStringLiteral("Copy %1 to the schedule:").arg(m_grid->text(row, col)),
                                QStringLiteral("Copy Course To"), names});
    if (!picked || *picked < 0 || *picked >= targets.size())
        return;
    const ScheduleId target = targets.at(*picked);
    m_history->record(QStringLiteral("Copy Course"), [&] {
        SelectionFollower follower(*this);
        Procedure p(m_prompts, this, location("Form1", "CopyCourseTo_Click"));
        if (p.step(100, [&] { repository().copyCourse(CourseId(*course), target); }))
            p.step(102, [&] { showSchedule({target}); });
    });
}

} // namespace quorvane
