#include "timetable/grid.h"

#include "base/failure.h"
#include "base/shown_text.h"
#include "base/time_of_day.h"
#include "domain/meeting.h"
#include "timetable/course_colours.h"

#include <QGuiApplication>
#include <QPalette>

#include <algorithm>
#include <utility>

namespace quorvane {

namespace {
// The courses a clash's tooltip names one by one.
constexpr int kListedCourses = 20;
} // namespace

TimetableGrid::TimetableGrid(QObject* parent) : QAbstractTableModel(parent)
{
    m_cells.resize(m_rows * m_cols);
    m_courses.resize(m_rows * m_cols);
    m_widths.fill(-1, m_cols);
}

void TimetableGrid::setRows(int rows)
{
    if (rows < 1)
        throw Failure(QStringLiteral("Invalid Row value"));
    beginResetModel();
    QVector<QString> cells(rows * m_cols);
    for (int r = 0; r < std::min(rows, m_rows); ++r)
        for (int c = 0; c < m_cols; ++c)
            cells[r * m_cols + c] = m_cells[r * m_cols + c];
    m_cells = std::move(cells);
    m_courses = QVector<CellCourses>(m_cells.size());
    m_drawn.clear();
    m_coloursChosen = false;
    m_rowSecondsRead = false;
    m_rows = rows;
    endResetModel();
}

void TimetableGrid::setCols(int cols)
{
    if (cols < 1)
        throw Failure(QStringLiteral("Invalid Col value"));
    beginResetModel();
    QVector<QString> cells(m_rows * cols);
    for (int r = 0; r < m_rows; ++r)
        for (int c = 0; c < std::min(cols, m_cols); ++c)
            cells[r * cols + c] = m_cells[r * m_cols + c];
    m_cells = std::move(cells);
    m_courses = QVector<CellCourses>(m_cells.size());
    m_drawn.clear();
    m_coloursChosen = false;
    m_rowSecondsRead = false;
    m_widths.resize(cols);
    for (int c = m_cols; c < cols; ++c)
        m_widths[c] = -1;
    m_cols = cols;
    endResetModel();
}

int TimetableGrid::colWidthTwips(int col) const
{
    checkCell(0, col);
    return m_widths[col];
}

void TimetableGrid::setColWidthTwips(int col, int twips)
{
    checkCell(0, col);
    m_widths[col] = twips;
    emit columnWidthChanged(col);
}

void TimetableGrid::checkCell(int row, int col) const
{
    if (row < 0 || row >= m_rows)
        throw Failure(QStringLiteral("The grid has no row %1").arg(row));
    if (col < 0 || col >= m_cols)
        throw Failure(QStringLiteral("The grid has no column %1").arg(col));
}

QString TimetableGrid::text(int row, int col) const
{
    checkCell(row, col);
    return cellText(row * m_cols + col);
}

QString TimetableGrid::displayText(int row, int col) const
{
    checkCell(row, col);
    const int at = row * m_cols + col;
    const CellCourses& courses = m_courses[at];
    if (!courses.clash)
        return cellText(at);
    QStringList names{m_drawn[courses.last].name};
    const auto add = [&](int course) {
        if (!names.contains(m_drawn[course].name))
            names << m_drawn[course].name;
    };
    for (auto course = courses.more.crbegin(); course != courses.more.crend(); ++course)
        add(*course);
    add(courses.first);
    return names.join(QStringLiteral(" / "));
}

const QString& TimetableGrid::cellText(int at) const
{
    const CellCourses& courses = m_courses[at];
    return courses.count > 0 ? m_drawn[courses.last].name : m_cells[at];
}

void TimetableGrid::setText(int row, int col, const QString& text)
{
    checkCell(row, col);
    QString& cell = m_cells[row * m_cols + col];
    CellCourses& courses = m_courses[row * m_cols + col];
    if (cell == text && courses.count == 0)
        return;
    cell = text;
    if (courses.count > 0)
        courses.clear();
    if (col == 0)
        m_rowSecondsRead = false;
    announce(row, col);
}

void TimetableGrid::clearCourseCells()
{
    beginBatch();
    for (int r = 1; r < m_rows; ++r) {
        for (int c = 1; c < m_cols; ++c) {
            const int at = r * m_cols + c;
            CellCourses& courses = m_courses[at];
            if (courses.count == 0 && m_cells[at].isEmpty())
                continue;
            m_cells[at].clear();
            courses.clear();
            m_batchChanged = true;
        }
    }
    m_drawn.clear();
    m_coloursChosen = false;
    endBatch();
}

void TimetableGrid::CellCourses::clear()
{
    count = 0;
    clash = false;
    more.clear(); // keeps its room for the next drawing
    apart.clear();
}

int TimetableGrid::addCourse(const QString& name, const QTime& exactFrom, const QTime& exactTo, qint64 id)
{
    const int start = exactFrom.msecsSinceStartOfDay() / 1000;
    const int end = std::max(start, exactTo.msecsSinceStartOfDay() / 1000);
    m_drawn.append({name, exactFrom, exactTo, id >= 0 ? id : qint64(m_drawn.size()), start, end});
    m_coloursChosen = false;
    return int(m_drawn.size() - 1);
}

const QVector<int>& TimetableGrid::drawnColours() const
{
    if (m_coloursChosen)
        return m_colours;
    // Each name once, with its lowest id: far fewer than the courses in a
    // large schedule.
    QHash<QString, qint64> lowestIds;
    for (const Course& course : m_drawn) {
        const auto found = lowestIds.find(course.name);
        if (found == lowestIds.end())
            lowestIds.insert(course.name, course.id);
        else if (course.id < *found)
            *found = course.id;
    }
    QVector<std::pair<qint64, QString>> names;
    names.reserve(lowestIds.size());
    for (auto name = lowestIds.cbegin(); name != lowestIds.cend(); ++name)
        names.append({name.value(), name.key()});
    const QHash<QString, int> indexes = courseColourIndexes(std::move(names));
    m_colours.resize(m_drawn.size());
    for (qsizetype i = 0; i < m_drawn.size(); ++i)
        m_colours[i] = indexes.value(m_drawn[i].name);
    m_coloursChosen = true;
    return m_colours;
}

QColor TimetableGrid::courseColour(int row, int col) const
{
    checkCell(row, col);
    const CellCourses& courses = m_courses[row * m_cols + col];
    if (courses.count == 0)
        return QColor();
    return coursePalette().at(drawnColours().at(courses.last));
}

std::optional<qint64> TimetableGrid::courseIdAt(int row, int col) const
{
    checkCell(row, col);
    const CellCourses& courses = m_courses[row * m_cols + col];
    if (courses.count == 0)
        return std::nullopt;
    return m_drawn[courses.last].id;
}

void TimetableGrid::placeCourse(int row, int col, int course)
{
    checkCell(row, col);
    const int at = row * m_cols + col;
    CellCourses& courses = m_courses[at];
    if (courses.count++ == 0) {
        courses.first = course;
    } else {
        if (courses.more.size() < kListedCourses - 1)
            courses.more.append(course);
        if (!courses.clash && clashes(courses, course)) {
            courses.clash = true;
            courses.apart = {};
        }
    }
    // The cell shows the course's name without a copy of it.
    courses.last = course;
    if (m_batchDepth > 0)
        m_batchChanged = true;
    else
        announce(row, col);
}

QStringList TimetableGrid::coursesAt(int row, int col) const
{
    checkCell(row, col);
    const CellCourses& courses = m_courses[row * m_cols + col];
    QStringList lines;
    const auto line = [&](int course) {
        const Course& c = m_drawn.at(course);
        lines << shownText(c.name) + QStringLiteral(" (") + timeofday::formatLabel(c.from) + QStringLiteral(" - ") +
                     timeofday::formatLabel(c.to) + QLatin1Char(')');
    };
    if (courses.count == 0)
        return lines;
    line(courses.first);
    for (const int course : courses.more)
        line(course);
    if (courses.count > lines.size())
        lines << QStringLiteral("and %1 more").arg(courses.count - lines.size());
    return lines;
}

bool TimetableGrid::clashes(CellCourses& courses, int course) const
{
    // The courses already in the cell clash with none of the others, so
    // their times, ordered, never overlap: the new one clashes only with the
    // first of them that ends after it starts.
    const auto times = [this](int c) { return std::pair<int, int>(m_drawn[c].start, m_drawn[c].end); };
    if (courses.apart.isEmpty())
        courses.apart.append(times(courses.first));
    const std::pair<int, int> added = times(course);
    const auto after = std::upper_bound(courses.apart.begin(), courses.apart.end(), added.first,
                                        [](int start, const std::pair<int, int>& t) { return start < t.second; });
    if (after != courses.apart.end() &&
        clash(Meeting{0, added.first, added.second}, Meeting{0, after->first, after->second}))
        return true;
    courses.apart.insert(std::upper_bound(courses.apart.begin(), courses.apart.end(), added), added);
    return false;
}

QString TimetableGrid::accessibleCourseText(int row, int col) const
{
    const CellCourses& courses = m_courses[row * m_cols + col];
    if (courses.count == 0)
        return shownText(cellText(row * m_cols + col));
    const Course& shown = m_drawn[courses.last];
    QString text =
        QStringLiteral("%1, %2 %3")
            .arg(shownText(shown.name), cellText(col).trimmed(), timeofday::formatRange(shown.from, shown.to));
    if (!courses.clash)
        return text;
    QStringList others;
    const auto add = [&](int course) {
        const Course& other = m_drawn[course];
        if (course != courses.last && clash(Meeting{0, shown.start, shown.end}, Meeting{0, other.start, other.end}) &&
            !others.contains(shownText(other.name)))
            others << shownText(other.name);
    };
    add(courses.first);
    for (const int course : courses.more)
        add(course);
    if (others.isEmpty())
        return text;
    return text + QStringLiteral(", clashes with ") + others.join(QStringLiteral(", "));
}

bool TimetableGrid::isClash(int row, int col) const
{
    checkCell(row, col);
    return m_courses[row * m_cols + col].clash;
}

void TimetableGrid::clearAll()
{
    beginBatch();
    for (int r = 0; r < m_rows; ++r)
        for (int c = 0; c < m_cols; ++c)
            setText(r, c, QString());
    endBatch();
}

void TimetableGrid::announce(int row, int col)
{
    if (m_batchDepth > 0) {
        (row == 0 ? m_batchHeaderChanged : m_batchChanged) = true;
        return;
    }
    if (row == 0)
        emit headerDataChanged(Qt::Horizontal, col, col);
    else
        emit dataChanged(index(row - 1, col), index(row - 1, col));
}

void TimetableGrid::beginBatch()
{
    ++m_batchDepth;
}

void TimetableGrid::endBatch()
{
    if (m_batchDepth == 0 || --m_batchDepth > 0)
        return;
    if (std::exchange(m_batchHeaderChanged, false))
        emit headerDataChanged(Qt::Horizontal, 0, m_cols - 1);
    if (std::exchange(m_batchChanged, false) && m_rows > 1)
        emit dataChanged(index(0, 0), index(m_rows - 2, m_cols - 1));
}

int TimetableGrid::rowSeconds(int row) const
{
    checkCell(row, 0);
    return allRowSeconds()[row];
}

const QVector<int>& TimetableGrid::allRowSeconds() const
{
    if (m_rowSecondsRead)
        return m_rowSeconds;
    m_rowSeconds.resize(m_rows);
    for (int row = 0; row < m_rows; ++row) {
        const std::optional<QTime> time = timeofday::parse(m_cells[row * m_cols]);
        m_rowSeconds[row] = time ? time->msecsSinceStartOfDay() / 1000 : -1;
    }
    m_rowSecondsRead = true;
    return m_rowSeconds;
}

int TimetableGrid::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_rows - 1;
}

int TimetableGrid::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_cols;
}

QVariant TimetableGrid::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    if (index.column() == 0) {
        // The fixed time column looks like the header row, not like a disabled cell.
        if (role == Qt::BackgroundRole)
            return QGuiApplication::palette().brush(QPalette::Button);
        if (role == Qt::ForegroundRole)
            return QGuiApplication::palette().brush(QPalette::ButtonText);
    }
    const int row = index.row() + 1;
    const bool clash = isClash(row, index.column());
    if (role == ClashRole)
        return clash;
    if (role == Qt::BackgroundRole || role == Qt::ForegroundRole) {
        const QColor colour = courseColour(row, index.column());
        if (!colour.isValid())
            return {};
        return role == Qt::BackgroundRole ? colour : QColor(Qt::black);
    }
    const QString& cell = cellText(row * m_cols + index.column());
    // What a screen reader says of a cell: where it is and what meets there.
    if (role == Qt::AccessibleTextRole && index.column() > 0) {
        if (cell.isEmpty())
            return QStringLiteral("%1 %2, free").arg(cellText(index.column()).trimmed(), cellText(row * m_cols));
        return accessibleCourseText(row, index.column());
    }
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    if (role == Qt::ToolTipRole) {
        if (m_courses[row * m_cols + index.column()].count > 0)
            return coursesAt(row, index.column()).join(QLatin1Char('\n'));
        if (cell.isEmpty())
            return {};
        return shownText(cell);
    }
    return shownText(displayText(row, index.column()));
}

QVariant TimetableGrid::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < m_cols)
        return m_cells[section];
    // The hidden row headers, which assistive technology reads: the time labels.
    if (orientation == Qt::Vertical && role == Qt::DisplayRole && section >= 0 && section < m_rows - 1)
        return cellText((section + 1) * m_cols);
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags TimetableGrid::flags(const QModelIndex& index) const
{
    // The time column is fixed, like the header row: it never holds the
    // current cell.
    if (!index.isValid() || index.column() == 0)
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

QString gridHeaderText(int col)
{
    static const char* const headers[] = {"Time",     "Monday", "Tuesday",  " Wednesday",
                                          "Thursday", "Friday", "Saturday", "Sunday"};
    return QLatin1String(headers[col]);
}

} // namespace quorvane
