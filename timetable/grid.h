#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QString>
#include <QStringList>
#include <QTime>
#include <QVector>
#include <optional>

namespace quorvane {

// The timetable's cell texts, addressed by (row, column) from 0 with the
// header row 0 and the time column 0 included. As an item model it shows the
// time rows (1..rows-1) as its rows; row 0 is its horizontal header.
class TimetableGrid : public QAbstractTableModel
{
    Q_OBJECT
public:
    static constexpr int kRows = 33;
    static constexpr int kCols = 8;
    static constexpr int kTimeColWidthTwips = 1200;
    static constexpr int kDayColWidthTwips = 1500;

    explicit TimetableGrid(QObject* parent = nullptr);

    int rows() const { return m_rows; }
    int cols() const { return m_cols; }
    void setRows(int rows);
    void setCols(int cols);
    int colWidthTwips(int col) const;
    void setColWidthTwips(int col, int twips);

    // TextMatrix; a cell outside the grid raises a failure. Of a cell where
    // courses were drawn, the one name it shows: the course drawn last.
    QString text(int row, int col) const;
    // What the window and the printed pictures show of a cell: its text, or
    // where courses clash the name of every course in it, the one text()
    // gives first ("PSYCH 1101 / MATH 2210"), each name once.
    QString displayText(int row, int col) const;
    void setText(int row, int col, const QString& text);
    void clearAll();

    // Empties every course cell (rows 1.., columns 1..) and forgets the
    // courses drawn into them; the header row and the time column stay.
    void clearCourseCells();
    // A course to draw, meeting from `exactFrom` to `exactTo` (its times as
    // typed, which the rows it is drawn into round to the half hour); its
    // number for placeCourse. Its id orders the choice of colours
    // (courseColourIndexes); by default the order added.
    int addCourse(const QString& name, const QTime& exactFrom, const QTime& exactTo, qint64 id = -1);
    // Draws course `course` into a cell: the cell shows its name, replacing
    // what was there, and remembers every course drawn into it since it was
    // last emptied, all of them in its tooltip.
    void placeCourse(int row, int col, int course);
    // A cell's courses as "name (9:00 AM - 9:50 AM)", at their exact times,
    // in drawing order; past the first few, one line says how many more
    // there are.
    QStringList coursesAt(int row, int col) const;
    // Two of the cell's courses clash (clash of two meetings on the cell's
    // day): the cell is framed. Back-to-back courses share the row of the
    // first one's end without clashing.
    bool isClash(int row, int col) const;
    // The colour of the course a cell shows, the same for every course of
    // that name; no colour for a cell without a course.
    QColor courseColour(int row, int col) const;
    // The id of the course a cell shows, as addCourse was given it; nothing
    // for a cell without one.
    std::optional<qint64> courseIdAt(int row, int col) const;

    // Besides the background (the course's colour) and the foreground (black
    // on a course's colour, whatever the desktop's colours), the view reads
    // whether a cell is a clash (bool) to frame it.
    static constexpr int ClashRole = Qt::UserRole + 1;

    // Cell writes between begin and end are announced to views once.
    void beginBatch();
    void endBatch();

    // The time of day a row's label denotes, in seconds from midnight; -1
    // when it reads as none.
    int rowSeconds(int row) const;
    // The same for every row at once, indexed by row.
    const QVector<int>& allRowSeconds() const;

    // QAbstractTableModel
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

signals:
    void columnWidthChanged(int col);

private:
    void checkCell(int row, int col) const;
    void announce(int row, int col);

    int m_rows = 2;
    int m_cols = 2;
    QVector<QString> m_cells;
    struct Course
    {
        QString name;
        QTime from; // exact
        QTime to;
        qint64 id;
        int start; // seconds from midnight
        int end;   // not before start
    };
    QVector<Course> m_drawn; // since the course cells were last emptied
    // The palette entry of each drawn course, chosen again after a course is
    // added.
    const QVector<int>& drawnColours() const;
    mutable QVector<int> m_colours;
    mutable bool m_coloursChosen = false;
    // The courses drawn into each cell, parallel to m_cells: the first
    // without an allocation, the others only where courses clash.
    struct CellCourses
    {
        int count = 0;
        int first = -1;
        int last = -1; // whose name the cell shows
        QVector<int> more;
        bool clash = false;
        // While no two of its courses clash, and it has more than one: their
        // times, ordered by start (and so by end).
        QVector<std::pair<int, int>> apart;
        void clear();
    };
    // "MATH 2210, Monday 9:00–9:50 AM", and ", clashes with PSYCH 1101" where
    // the course the cell shows clashes with others there.
    QString accessibleCourseText(int row, int col) const;
    // Adds a course's times to a cell's; true when they clash with one there.
    bool clashes(CellCourses& courses, int course) const;
    const QString& cellText(int at) const;
    QVector<CellCourses> m_courses;
    QVector<int> m_widths;
    int m_batchDepth = 0;
    bool m_batchChanged = false;       // course cells or labels
    bool m_batchHeaderChanged = false; // row 0

    // Every course drawn reads every row's time: the labels are read once,
    // and again only after one is written.
    mutable QVector<int> m_rowSeconds;
    mutable bool m_rowSecondsRead = false;
};

// Which names a cell where courses clash shows: every course's, as the window
// shows them (TimetableGrid::displayText), or only the one the grid places
// there (TimetableGrid::text), as the bitmap, .xls and .csv files keep it.
enum class ClashNames { All, Placed };

// The header text of column `col` in row 0.
QString gridHeaderText(int col);

// The rows a course fills: those whose time t satisfies from <= t <= to and
// lies a whole multiple of 30 minutes after from. Calls `fill(row)` for each,
// in ascending order.
template <class Fill>
void forEachCourseRow(const TimetableGrid& grid, const QTime& from, const QTime& to, Fill&& fill)
{
    const int start = from.msecsSinceStartOfDay() / 1000;
    const int end = to.msecsSinceStartOfDay() / 1000;
    const QVector<int>& rowSeconds = grid.allRowSeconds();
    for (int r = 1; r < rowSeconds.size(); ++r) {
        const int secs = rowSeconds[r];
        if (secs >= start && secs <= end && (secs - start) % 1800 == 0)
            fill(r);
    }
}

} // namespace quorvane
