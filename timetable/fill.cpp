#include "timetable/fill.h"

#include "base/reporting.h"
#include "store/connection.h"
#include "store/course_row.h"
#include "store/statements.h"
#include "store/time_of_day.h"
#include "timetable/grid.h"

namespace quorvane {

void setUpTimetable(TimetableGrid& grid, Procedure& p)
{
    p.step(150, [&] { grid.clearAll(); });
    p.step(152, [&] { grid.setCols(TimetableGrid::kCols); });
    for (int c = 0; c < TimetableGrid::kCols; ++c)
        p.step(158 + 2 * c, [&] { grid.setText(0, c, gridHeaderText(c)); });
    p.step(174, [&] { grid.setColWidthTwips(0, TimetableGrid::kTimeColWidthTwips); });
    for (int c = 1; c < TimetableGrid::kCols; ++c)
        p.step(174 + 2 * c, [&] { grid.setColWidthTwips(c, TimetableGrid::kDayColWidthTwips); });
    p.step(190, [&] { grid.setRows(TimetableGrid::kRows); });
    int r = 1;
    for (int h = 6; h <= 21; ++h) {
        p.step(196, [&] { grid.setText(r, 0, timeofday::formatLabel(QTime(h, 0))); });
        ++r;
        p.step(200, [&] { grid.setText(r, 0, timeofday::formatLabel(QTime(h, 30))); });
        ++r;
    }
}

void fillTimetable(TimetableGrid& grid, const Connection& db, const QString& scheduleId, Procedure& p)
{
    Recordset rs;
    if (!p.step(108, [&] { rs.open(sql::selectCoursesOfSchedule(scheduleId), db); }))
        return;
    grid.beginBatch();
    struct BatchEnd
    {
        TimetableGrid& grid;
        ~BatchEnd() { grid.endBatch(); }
    } batchEnd{grid};
    // A column the table lacks fails alike for every course: after its one
    // report the drawing ends instead of reporting it course by course.
    CourseRowReader row(rs);
    while (true) {
        bool atEnd = true;
        if (!p.step(110, [&] { atEnd = rs.eof(); }) || atEnd)
            break;
        // A course whose times cannot be read is reported once and skipped;
        // one whose start carries a calendar date matches no row, without a box.
        std::optional<CourseTimes> times;
        bool drawable = p.step(112, [&] { times = row.times(); }) && times;
        // The day set (120) and the name (126) are read once per course. A
        // course whose day entries cannot all be read is reported once, at
        // the reading of the entries, and skipped.
        QByteArrayView daySet;
        QString name;
        qint64 id = -1;
        WeekDays days{};
        drawable = drawable && p.step(120, [&] { daySet = row.bytes(CourseRowReader::Column::Days); }) &&
                   !daySet.isEmpty() && p.step(126, [&] {
                       name = textFromEngine(row.bytes(CourseRowReader::Column::CourseName));
                       id = row.integer(CourseRowReader::Column::Id);
                       days = courseDays(daySet);
                   });
        if (drawable) {
            const int course = grid.addCourse(name, times->from, times->to, id);
            forEachCourseRow(grid, times->from, times->until(), [&](int r) {
                for (int d = 0; d < dayset::kDays; ++d)
                    if (days[static_cast<size_t>(d)])
                        grid.placeCourse(r, d + 1, course);
            });
        }
        if (row.lacksColumn())
            break;
        // A walk that cannot move on would report without end; stop instead.
        if (!p.step(134, [&] { rs.moveNext(); }))
            break;
    }
    if (rs.isOpen())
        rs.close();
}

} // namespace quorvane
