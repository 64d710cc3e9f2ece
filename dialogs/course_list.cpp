#include "dialogs/course_list.h"

#include "store/connection.h"
#include "store/failure.h"
#include "store/statements.h"

#include <QComboBox>
#include <QListView>
#include <QSignalBlocker>
#include <QStringList>
#include <QStringListModel>

namespace quorvane {

CourseList::CourseList(QComboBox* combo) : m_combo(combo) {}

void CourseList::setUpCombo(QComboBox* combo)
{
    combo->setEditable(false);
    // The entries live in a plain list model that takes the whole list in
    // one go: a hundred thousand courses cost no item objects and no
    // signal per entry.
    combo->setModel(new QStringListModel(combo));
    // The box keeps its fixed width: no measuring of every entry's text.
    combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    combo->setMinimumContentsLength(1);
    if (auto* view = qobject_cast<QListView*>(combo->view())) {
        view->setUniformItemSizes(true);
        view->setLayoutMode(QListView::Batched);
    }
}

void CourseList::fill(const Connection& db)
{
    Recordset rs;
    rs.open(sql::selectCourses(), db);

    QStringList names;
    QVector<QVariant> ids;
    QVector<QString> schedules;
    // The entries go into the box in one go, with its signals held back:
    // filling selects nothing and loads no course.
    const auto commit = [&] {
        const QSignalBlocker block(m_combo);
        m_combo->setCurrentIndex(-1);
        if (auto* model = qobject_cast<QStringListModel*>(m_combo->model())) {
            model->setStringList(names);
        } else {
            m_combo->clear();
            m_combo->addItems(names);
        }
        m_combo->setCurrentIndex(-1);
        m_courseIds = std::move(ids);
        m_scheduleIds = std::move(schedules);
    };
    try {
        while (!rs.eof()) {
            ids.append(rs.field(QStringLiteral("id")));
            schedules.append(rs.text(QStringLiteral("ScheduleID")));
            names.append(rs.text(QStringLiteral("CourseName")));
            rs.moveNext();
        }
    } catch (...) {
        // Entry and id are appended together, so the two stay parallel.
        const int rows = std::min({names.size(), ids.size(), schedules.size()});
        names = names.mid(0, rows);
        ids.resize(rows);
        schedules.resize(rows);
        commit();
        throw;
    }
    commit();
    if (rs.isOpen())
        rs.close();
}

void CourseList::release()
{
    m_courseIds.clear();
    m_scheduleIds.clear();
}

QString CourseList::courseId(int index) const
{
    if (index < 0 || index >= m_courseIds.size())
        throw Failure(QStringLiteral("Subscript out of range"));
    return m_courseIds.at(index).toString();
}

int CourseList::preselect(const QString& name, const QString& scheduleId)
{
    int first = -1;
    QStringList names;
    if (auto* model = qobject_cast<QStringListModel*>(m_combo->model())) {
        names = model->stringList();
    } else {
        for (int i = 0; i < m_combo->count(); ++i)
            names.append(m_combo->itemText(i));
    }
    const int entries = std::min(static_cast<int>(names.size()), static_cast<int>(m_scheduleIds.size()));
    for (int i = 0; i < entries; ++i) {
        if (names.at(i) != name)
            continue;
        if (first < 0)
            first = i;
        if (!scheduleId.isEmpty() && m_scheduleIds.at(i) == scheduleId) {
            first = i;
            break;
        }
    }
    if (first >= 0)
        m_combo->setCurrentIndex(first);
    return first;
}

} // namespace quorvane
