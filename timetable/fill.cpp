#include "timetable/fill.h"

#include "base/reporting.h"
#include "base/time_of_day.h"
#include "domain/repository.h"
#include "timetable/grid.h"

#include <optional>

namespace quorvane {

namespace {

// Into the rows of its grid times, named and coloured at its exact times.
void drawCourse(TimetableGrid& grid, const QString& name, qint64 id, const WeekDays& days, const CourseTimes& times,
                const CourseTimes& exact)
{
    const int course = grid.addCourse(name, exact.from, exact.until(), id);
    forEachCourseRow(grid, times.from, times.until(), [&](int r) {
        for (int d = 0; d < dayset::kDays; ++d)
            if (days[static_cast<size_t>(d)])
                grid.placeCourse(r, d + 1, course);
    });
}

} // namespace

void setUpTimetable(TimetableGrid& grid, Procedure& p, const SetUpSteps& steps)
{
    p.step(steps.clear, [&] { grid.clearAll(); });
    p.step(steps.cols, [&] { grid.setCols(TimetableGrid::kCols); });
    for (int c = 0; c < TimetableGrid::kCols; ++c)
        p.step(steps.firstHeader + 2 * c, [&] { grid.setText(0, c, gridHeaderText(c)); });
    for (int c = 0; c < TimetableGrid::kCols; ++c)
        p.step(steps.firstWidth + 2 * c, [&] {
            grid.setColWidthTwips(c, c == 0 ? TimetableGrid::kTimeColWidthTwips : TimetableGrid::kDayColWidthTwips);
        });
    p.step(steps.rows, [&] { grid.setRows(TimetableGrid::kRows); });
    int r = 1;
    for (int h = 6; h <= 21; ++h) {
        p.step(steps.hourLabel, [&] { grid.setText(r, 0, timeofday::formatLabel(QTime(h, 0))); });
        ++r;
        p.step(steps.halfHourLabel, [&] { grid.setText(r, 0, timeofday::formatLabel(QTime(h, 30))); });
        ++r;
    }
}

void fillTimetable(TimetableGrid& grid, const Repository& courses, ScheduleId schedule, Procedure& p,
                   const FillSteps& steps)
{
    std::optional<CourseWalk> walk;
    if (!p.step(steps.query, [&] { walk.emplace(courses.walkCourses(schedule)); }))
        return;
    grid.beginBatch();
    struct BatchEnd
    {
        TimetableGrid& grid;
        ~BatchEnd() { grid.endBatch(); }
    } batchEnd{grid};
    // A column the table lacks fails alike for every course: after its one
    // report the drawing ends instead of reporting it course by course.
    CourseRowReader& row = walk->row();
    while (true) {
        bool atEnd = true;
        if (!p.step(steps.end, [&] { atEnd = walk->atEnd(); }) || atEnd)
            break;
        // A course whose times cannot be read is reported once and skipped;
        // one whose start carries a calendar date matches no row, without a box.
        std::optional<CourseTimes> times;
        bool drawable = p.step(steps.times, [&] { times = row.times(); }) && times;
        // The day set (120) and the name (126) are read once per course. A
        // course whose day entries cannot all be read is reported once, at
        // the reading of the entries, and skipped.
        QByteArrayView daySet;
        QString name;
        qint64 id = -1;
        WeekDays days{};
        drawable = drawable && p.step(steps.daySet, [&] { daySet = row.bytes(CourseRowReader::Column::Days); }) &&
                   !daySet.isEmpty() && p.step(steps.fields, [&] {
                       name = row.text(CourseRowReader::Column::CourseName);
                       id = row.integer(CourseRowReader::Column::Id);
                       days = courseDays(daySet);
                   });
        if (drawable)
            drawCourse(grid, name, id, days, *times, row.exactTimes(*times));
        if (row.lacksColumn())
            break;
        // A walk that cannot move on would report without end; stop instead.
        if (!p.step(steps.next, [&] { walk->next(); }))
            break;
    }
    walk->close();
}

void drawCourses(TimetableGrid& grid, const QVector<Course>& courses)
{
    grid.beginBatch();
    for (const Course& course : courses)
        drawCourse(grid, course.name, course.id.value, course.days, course.grid, course.exact);
    grid.endBatch();
}

} // namespace quorvane
