#pragma once

#include "domain/course.h"
#include "domain/meeting.h"

#include <QString>
#include <QVector>
#include <QtGlobal>
#include <array>
#include <optional>
#include <vector>

namespace quorvane {

// One course row of a schedule as the planner reads it: the exact times, in
// seconds from midnight, not the grid's half hours.
struct PlanRow
{
    qint64 id = 0;
    QString name;
    QString notes;
    std::array<bool, 7> days{}; // Monday .. Sunday
    int start = 0;
    int end = 0;
};

// A choice a student makes for a course: one row, or the rows of the same
// name whose notes are the same and not empty ("Section 2" on a lecture row
// and on its lab row), which are taken together.
struct PlanOption
{
    std::vector<qint64> ids; // ascending
    std::vector<Meeting> meetings;
};

// The rows of one exact name.
struct PlanCourse
{
    QString name;
    std::vector<PlanOption> options; // in the order of their lowest row id
};

// Any schedule seen as the sections a student could take: one course per
// exact name, in the order of their lowest row id.
struct PlanPool
{
    std::vector<PlanCourse> courses;
};

// The meetings of a row: one on each of its weekdays. A row that does not
// end after it starts takes no time and meets nowhere.
std::vector<Meeting> meetingsOf(const PlanRow& row);

PlanPool makePlanPool(std::vector<PlanRow> rows);
// The rows of courses as read, on their exact times; an exact end that
// carries a date lies after every time of the day.
std::vector<PlanRow> planRows(const QVector<Course>& courses);

// The meetings of every course, on their exact times: a schedule taken as
// busy time.
std::vector<Meeting> busyMeetings(const QVector<Course>& courses);

// The course named exactly `name`.
std::optional<int> courseNamed(const PlanPool& pool, const QString& name);
// The option of a course holding row `id`.
std::optional<int> optionWithRow(const PlanCourse& course, qint64 id);

} // namespace quorvane
