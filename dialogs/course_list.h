#pragma once

#include <QAbstractListModel>
#include <QString>
#include <QStringList>
#include <QVector>

#include "domain/course_catalog.h"

#include <map>
#include <optional>

class QComboBox;
class QTableView;

namespace quorvane {

class CoursePositions;

// The course list of the Edit and Delete dialogs: Combo1 shows every course
// of every schedule by name, in the order the database returns them (id
// order), and CourseIds runs parallel to it (the entry at position i stands
// for the course whose id is CourseIds' element i, counted from 0 here).
//
// It is Combo1's model, and reads only what is shown: filling counts the
// courses; a row's name and id are read with the page of rows around it when
// the list first asks for it, by position or from a neighbouring page's ids,
// and only the pages last used are kept. So opening the dialog and its list
// costs the same for a hundred courses as for a million, and so does memory.
// The position of a course is the number of ids before its own.
class CourseList : public QAbstractListModel
{
    Q_OBJECT
public:
    // Rows read together, and the most pages kept.
    static constexpr int kPageRows = 64;
    static constexpr int kKeptPages = 32;

    // Becomes the model of `combo`, a pick-only list, and a child of it.
    explicit CourseList(QComboBox* combo);

    // FillCourseList: counts the courses of statement 3 and reads them from
    // `catalog`, which outlives the list, as rows are shown. The list is left
    // with no entry selected. A failure leaves the list empty and is raised
    // to the caller.
    void fill(const CourseCatalog& catalog);

    // Positions of courses are counted from these milestones while they are
    // current, instead of from an end of the list.
    void usePositions(const CoursePositions* positions) { m_positions = positions; }

    // Releases CourseIds when the dialog closes.
    void release();

    int count() const { return m_released ? 0 : m_count; }
    // The id of entry `index`; an entry without an id (released, out of
    // range) raises a failure. A course that went from the table after the
    // list was counted gives an id that no row has.
    CourseId courseId(int index) const;
    // The name of entry `index` as stored, whole.
    QString name(int index) const;

    // The preselection: the first entry whose name equals `name` and which
    // belongs to schedule `scheduleId`, else the first entry of that name
    // in list order. No entry of that name leaves the selection as it was.
    // Returns the selected index, -1 when nothing matched.
    int preselect(const QString& name, std::optional<ScheduleId> schedule);

    // The rows held now (a measure of memory, for the tests).
    int rowsHeld() const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    // Type-ahead (a search for a beginning of a name, one hit) asks the
    // database rather than every row; any other search is the usual one.
    QModelIndexList match(const QModelIndex& start, int role, const QVariant& value, int hits = 1,
                          Qt::MatchFlags flags = Qt::MatchFlags(Qt::MatchStartsWith | Qt::MatchWrap)) const override;

private:
    struct Page
    {
        QVector<qint64> ids; // -1: a row that was gone when the page was read
        QStringList names;   // as shown
        quint64 used = 0;
    };

    const Page& page(int pageIndex) const;
    // Keeps `page`, letting the least recently used page go when too many are held.
    Page& hold(int pageIndex, Page page) const;
    Page readPage(int pageIndex) const;
    // The `rows` rows read, with an entry of no course for each row another
    // program deleted since the count: before them when read `downwards`.
    static Page padded(CourseCatalog::Rows read, int rows, bool downwards);
    // Holds the page of entry `index`, read around course `courseId`, the
    // one at that entry: no walk to its position from an end of the list.
    void holdPageAround(int index, qint64 courseId) const;
    qint64 idAt(int index) const;
    // The position of the course with id `courseId`.
    int positionOf(qint64 courseId) const;

    QComboBox* m_combo;
    QTableView* m_openList; // the combo's open list
    const CourseCatalog* m_db = nullptr;
    const CoursePositions* m_positions = nullptr;
    int m_count = 0;
    bool m_released = false;
    mutable std::map<int, Page> m_pages;
    mutable quint64 m_uses = 0;
};

} // namespace quorvane
