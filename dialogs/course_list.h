#pragma once

#include <QString>
#include <QVariant>
#include <QVector>

class QComboBox;

namespace quorvane {

class Connection;

// The course list of the Edit and Delete dialogs: Combo1 holds every course
// of every schedule by name, in the order the database returns them, and
// CourseIds runs parallel to it (the entry at position i stands for the
// course whose id is CourseIds' element i, counted from 0 here). The
// schedule of each entry is kept alongside so that a preselection by name
// can prefer the selected schedule's course.
class CourseList
{
public:
    explicit CourseList(QComboBox* combo);

    // Makes Combo1 a pick-only list that stays quick with many entries.
    static void setUpCombo(QComboBox* combo);

    // FillCourseList: statement 3, every row in database order. The list
    // is left with no entry selected. A failure during the walk keeps the
    // entries read before it and is raised to the caller.
    void fill(const Connection& db);

    // Releases CourseIds when the dialog closes.
    void release();

    int count() const { return m_courseIds.size(); }
    // The decimal text of the id of entry `index`; an entry without an id
    // (released, out of range) raises a failure.
    QString courseId(int index) const;

    // The preselection: the first entry whose text equals `name` and which
    // belongs to schedule `scheduleId`, else the first entry of that name
    // in list order. No entry of that name leaves the selection as it was.
    // Returns the selected index, -1 when nothing matched.
    int preselect(const QString& name, const QString& scheduleId);

private:
    QComboBox* m_combo;
    QVector<QVariant> m_courseIds;
    QVector<QString> m_scheduleIds;
};

} // namespace quorvane
