// The three course dialogs opened from the main window: Add Course, Edit
// Course and Delete Course. Each handler hands the dialog what it needs,
// shows it modally and redraws the grid after it has closed, whatever the
// user did in it.
#include "app/form1.h"
#include "base/failure.h"
#include "base/reporting.h"
#include "dialogs/form2.h"
#include "dialogs/form3.h"
#include "dialogs/form4.h"
#include "timetable/grid.h"
#include "timetable/grid_view.h"
#include "widgets/time_picker.h"

#include <memory>

namespace quorvane {

namespace {

const QString kNoSchedule = QStringLiteral("You must add a schedule first.");

// Edit Course and Delete Course differ only in their dialog.
template <class Dialog>
void openCourseListDialog(Form1& form, const char* handler)
{
    Procedure p(form.prompts(), &form, location("Form1", handler));
    if (form.scheduleCount() == 0) { // 100
        p.step(112, [&] { showMessage(form.prompts(), &form, kNoSchedule); });
        return;
    }
    // The dialog is created, and its list filled, at its first touch.
    std::unique_ptr<Dialog> dialog;
    const auto touch = [&]() -> Dialog& {
        if (!dialog) {
            dialog = std::make_unique<Dialog>(form.repository(), form.prompts(), form.programFolder(),
                                              form.selectedScheduleIdOrNone());
            dialog->usePositions(form.coursePositions());
        }
        return *dialog;
    };
    QString cell;
    if (p.test(102, [&] {
            cell = form.grid().text(form.gridView().currentGridRow(), form.gridView().currentGridCol());
            return !cell.isEmpty();
        }))
        p.step(104, [&] { touch().setCombo1Text(cell); });
    p.step(106, [&] { form.prompts().showModal(touch()); });
    p.step(108, [&] { form.ListCourses(); });
    p.step(110, [&] { form.gridView().setFocus(); });
}

} // namespace

void Form1::PushButton3_Click()
{
    Procedure p(m_prompts, this, location("Form1", "PushButton3_Click"));
    if (scheduleCount() == 0) { // 100
        p.step(114, [&] { showMessage(m_prompts, this, kNoSchedule); });
        return;
    }
    std::unique_ptr<Form2> form2;
    const auto touch = [&]() -> Form2& {
        if (!form2)
            form2 = std::make_unique<Form2>(repository(), m_prompts, programFolder());
        return *form2;
    };
    p.step(102, [&] { touch().m_ScheduleID = selectedScheduleId(); });
    // Both pickers start at the time label of the grid's current row.
    p.step(104, [&] { touch().dtpFrom()->setValueText(m_grid->text(m_gridView->currentGridRow(), 0)); });
    p.step(106, [&] { touch().dtpTo()->setValueText(m_grid->text(m_gridView->currentGridRow(), 0)); });
    p.step(108, [&] { m_prompts.showModal(touch()); });
    p.step(110, [&] { ListCourses(); });
    p.step(112, [&] { m_gridView->setFocus(); });
}

void Form1::PushButton6_Click()
{
    openCourseListDialog<Form3>(*this, "PushButton6_Click");
}

void Form1::PushButton4_Click()
{
    openCourseListDialog<Form4>(*this, "PushButton4_Click");
}

} // namespace quorvane
