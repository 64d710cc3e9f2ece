// The main window's grid: its set-up during start-up, ClearGrid and ListCourses.
#include "app/form1.h"
#include "base/reporting.h"
#include "store/course_positions.h"
#include "timetable/fill.h"
#include "timetable/grid.h"
#include "timetable/grid_view.h"

namespace quorvane {

// Statements 148 to 204 of Form_Load. Steps 148 (taking the grid) and 192 to
// 204 but the label writes (the row counter and the loop) cannot fail and
// carry no statement of their own.
void Form1::SetUpGrid(Procedure& p)
{
    setUpTimetable(*m_grid, p, {150, 152, 158, 174, 190, 196, 200});
    m_gridView->fitRowsToFont();
    if (!m_gridView->currentIndex().isValid())
        m_gridView->setCurrentGridCell(1, 1);
}

void Form1::ClearGrid()
{
    m_grid->clearCourseCells();
}

// Steps 100 (the recordset), 104 (the test for an empty list), 106 and 138
// (the pointer) cannot fail and carry no statement of their own.
void Form1::ListCourses()
{
    Procedure p(m_prompts, this, location("Form1", "ListCourses"));
    ++m_drawings;
    m_drawnScheduleId = selectedScheduleIdOrNone();
    p.step(102, [&] { ClearGrid(); });
    if (scheduleCount() == 0)
        return;
    BusyPointer busy(*m_pointer);
    // A query that fails ends the drawing: the grid stays cleared.
    const Repository* courses = nullptr;
    ScheduleId schedule;
    if (!p.step(108, [&] {
            courses = &repository();
            schedule = selectedScheduleId();
        }))
        return;
    fillTimetable(*m_grid, *courses, schedule, p, {108, 110, 112, 120, 126, 134});
    // After every change the grid is drawn again: the course dialogs' list
    // positions are counted again meanwhile, off this thread.
    if (m_coursePositions)
        m_coursePositions->refresh();
}

} // namespace quorvane
