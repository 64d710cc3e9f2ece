// Plan Schedules: the best plans of the selected schedule taken as a pool of
// sections; a plan kept becomes a new schedule in one step of the undo
// history, and is then selected and drawn.
#include "app/form1.h"
#include "app/undo_history.h"
#include "base/reporting.h"
#include "domain/planner.h"
#include "domain/repository.h"
#include "planner/plan_dialog.h"

namespace quorvane {

void Form1::PlanSchedules_Click()
{
    if (scheduleCount() == 0) {
        showMessage(m_prompts, this, QStringLiteral("You must add a schedule first."));
        return;
    }
    Procedure p(m_prompts, this, location("Form1", "PlanSchedules_Click"));
    Schedule pool;
    std::unique_ptr<PlanDialog> dialog;
    if (!p.step(100, [&] {
            pool = {selectedScheduleId(), selectedScheduleName()};
            dialog = std::make_unique<PlanDialog>(repository(), pool, this);
        }))
        return;
    p.step(102, [&] { m_prompts.showModal(*dialog); });
    const std::optional<KeptPlan> kept = dialog->keptPlan();
    dialog.reset();
    if (!kept)
        return;
    m_history->record(QStringLiteral("Keep as Schedule"), [&] {
        SelectionFollower follower(*this);
        std::optional<Schedule> copy;
        if (p.step(104,
                   [&] { copy = repository().copyIntoNewSchedule(keptPlanName(pool.name, kept->rank), kept->rows); }))
            p.step(106, [&] { showSchedule({copy->id}); });
    });
}

} // namespace quorvane
