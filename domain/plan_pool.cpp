#include "domain/plan_pool.h"

#include <QHash>
#include <algorithm>

namespace quorvane {

std::vector<Meeting> meetingsOf(const PlanRow& row)
{
    std::vector<Meeting> meetings;
    if (row.end <= row.start)
        return meetings;
    for (int day = 0; day < 7; ++day)
        if (row.days[static_cast<size_t>(day)])
            meetings.push_back({day, row.start, row.end});
    return meetings;
}

PlanPool makePlanPool(std::vector<PlanRow> rows)
{
    std::sort(rows.begin(), rows.end(), [](const PlanRow& a, const PlanRow& b) { return a.id < b.id; });
    PlanPool pool;
    QHash<QString, int> courseOf;
    // Per course, the option of each non-empty note.
    std::vector<QHash<QString, int>> sectionOf;
    for (const PlanRow& row : rows) {
        auto course = courseOf.constFind(row.name);
        if (course == courseOf.constEnd()) {
            course = courseOf.insert(row.name, int(pool.courses.size()));
            pool.courses.push_back({row.name, {}});
            sectionOf.emplace_back();
        }
        PlanCourse& taken = pool.courses[static_cast<size_t>(*course)];
        QHash<QString, int>& sections = sectionOf[static_cast<size_t>(*course)];
        int option = int(taken.options.size());
        if (!row.notes.isEmpty())
            option = sections.value(row.notes, option);
        if (option == int(taken.options.size())) {
            taken.options.emplace_back();
            if (!row.notes.isEmpty())
                sections.insert(row.notes, option);
        }
        PlanOption& chosen = taken.options[static_cast<size_t>(option)];
        chosen.ids.push_back(row.id);
        for (const Meeting& meeting : meetingsOf(row))
            chosen.meetings.push_back(meeting);
    }
    return pool;
}

std::vector<PlanRow> planRows(const QVector<Course>& courses)
{
    std::vector<PlanRow> rows;
    rows.reserve(static_cast<size_t>(courses.size()));
    for (const Course& course : courses) {
        PlanRow row;
        row.id = course.id.value;
        row.name = course.name;
        row.notes = course.notes;
        std::copy(course.days.begin(), course.days.end(), row.days.begin());
        row.start = secondsOf(course.exact.from);
        row.end = course.exact.endsOnADate ? 24 * 3600 : secondsOf(course.exact.to);
        rows.push_back(row);
    }
    return rows;
}

std::vector<Meeting> busyMeetings(const QVector<Course>& courses)
{
    std::vector<Meeting> meetings;
    for (const Course& course : courses)
        for (const Meeting& meeting : course.meetings())
            meetings.push_back(meeting);
    return meetings;
}

std::optional<int> courseNamed(const PlanPool& pool, const QString& name)
{
    for (size_t i = 0; i < pool.courses.size(); ++i)
        if (pool.courses[i].name == name)
            return int(i);
    return std::nullopt;
}

std::optional<int> optionWithRow(const PlanCourse& course, qint64 id)
{
    for (size_t i = 0; i < course.options.size(); ++i) {
        const std::vector<qint64>& ids = course.options[i].ids;
        if (std::binary_search(ids.begin(), ids.end(), id))
            return int(i);
    }
    return std::nullopt;
}

} // namespace quorvane
