#pragma once

#include <QAbstractListModel>
#include <QString>
#include <QVector>

class QComboBox;

namespace quorvane {

class Connection;

// The course list of the Edit and Delete dialogs: Combo1 shows every course
// of every schedule by name, in the order the database returns them, and
// CourseIds runs parallel to it (the entry at position i stands for the
// course whose id is CourseIds' element i, counted from 0 here). The
// schedule of each entry is kept alongside so that a preselection by name
// can prefer the selected schedule's course.
//
// It is Combo1's model, kept small and quick for a hundred thousand courses:
// the names lie in one text, the ids are numbers, the list draws the
// beginning of a name only, and opening the list measures no entry.
class CourseList : public QAbstractListModel
{
    Q_OBJECT
public:
    // Becomes the model of `combo`, a pick-only list, and a child of it.
    explicit CourseList(QComboBox* combo);

    // FillCourseList: statement 3, every row in database order. The list
    // is left with no entry selected. A failure during the walk keeps the
    // entries read before it and is raised to the caller.
    void fill(const Connection& db);

    // Releases CourseIds when the dialog closes.
    void release();

    int count() const { return int(m_ids.size()); }
    // The decimal text of the id of entry `index`; an entry without an id
    // (released, out of range) raises a failure.
    QString courseId(int index) const;
    // The name of entry `index` as stored, whole.
    QString name(int index) const;

    // The preselection: the first entry whose name equals `name` and which
    // belongs to schedule `scheduleId`, else the first entry of that name
    // in list order. No entry of that name leaves the selection as it was.
    // Returns the selected index, -1 when nothing matched.
    int preselect(const QString& name, const QString& scheduleId);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    QStringView nameView(int index) const;

    QComboBox* m_combo;
    QVector<qint64> m_ids;
    QVector<qint64> m_scheduleIds;
    QString m_names;               // every name, one after the other
    QVector<qsizetype> m_nameEnds; // where each name ends in m_names
};

} // namespace quorvane
