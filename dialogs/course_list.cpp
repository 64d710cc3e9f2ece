#include "dialogs/course_list.h"

#include "base/failure.h"
#include "base/shown_text.h"
#include "domain/course_catalog.h"
#include "store/course_positions.h"

#include <QComboBox>
#include <QHeaderView>
#include <QProxyStyle>
#include <QSignalBlocker>
#include <QTableView>

#include <algorithm>
#include <limits>

namespace quorvane {

namespace {

// The list of a combo box drawn as a plain list rather than a menu: a menu
// measures the width of every entry each time it opens.
class PlainListStyle : public QProxyStyle
{
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returned) const override
    {
        if (hint == SH_ComboBox_Popup)
            return 0;
        return QProxyStyle::styleHint(hint, option, widget, returned);
    }
};

// The open list: a table of one column, drawn as a plain list. A table
// places a row from its number alone, so the list opens at once on the entry
// selected anywhere among a million, where a list view lays out every row
// before it first. Home and End go to the first and the last entry, as in a
// list.
class OpenList : public QTableView
{
public:
    OpenList()
    {
        horizontalHeader()->hide();
        verticalHeader()->hide();
        horizontalHeader()->setStretchLastSection(true);
        verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        verticalHeader()->setMinimumSectionSize(1);
        setShowGrid(false);
        setWordWrap(false);
        setSelectionBehavior(QAbstractItemView::SelectRows);
        setSelectionMode(QAbstractItemView::SingleSelection);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    }

protected:
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override
    {
        if (action == MoveHome || action == MoveEnd)
            modifiers |= Qt::ControlModifier;
        return QTableView::moveCursor(action, modifiers);
    }
};

} // namespace

CourseList::CourseList(QComboBox* combo) : QAbstractListModel(combo), m_combo(combo)
{
    combo->setEditable(false);
    combo->setModel(this);
    // The box keeps its fixed width: no measuring of every entry's text.
    combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    combo->setMinimumContentsLength(1);
    auto* style = new PlainListStyle;
    style->setParent(combo);
    combo->setStyle(style);
    m_openList = new OpenList;
    combo->setView(m_openList);
}

void CourseList::fill(const CourseCatalog& catalog)
{
    // Filling selects nothing and loads no course: the box's signals are
    // held back while its model changes.
    const auto commit = [&](int count) {
        const QSignalBlocker block(m_combo);
        m_combo->setCurrentIndex(-1);
        beginResetModel();
        m_db = count > 0 ? &catalog : nullptr;
        m_count = count;
        m_released = false;
        m_pages.clear();
        endResetModel();
        m_combo->setCurrentIndex(-1);
    };
    QHeaderView* rows = m_openList->verticalHeader();
    rows->setDefaultSectionSize(m_openList->fontMetrics().height());
    int count = 0;
    try {
        count = int(std::clamp<qint64>(catalog.count(), 0, std::numeric_limits<int>::max()));
    } catch (...) {
        commit(0);
        throw;
    }
    commit(count);
    // Rows as high as the box draws its entries: set before the rows are
    // there, since a change of height afterwards goes over every row; made
    // exact on the first entry where the style draws entries higher than a
    // line of text.
    if (count > 0) {
        const int height = std::max(1, m_combo->view()->sizeHintForRow(0));
        if (height != rows->defaultSectionSize())
            rows->setDefaultSectionSize(height);
    }
}

void CourseList::release()
{
    m_released = true;
    m_pages.clear();
}

CourseList::Page CourseList::padded(CourseCatalog::Rows read, int rows, bool downwards)
{
    Page page;
    page.ids = std::move(read.ids);
    page.names = std::move(read.names);
    // Rows another program deleted since the count: entries with no course.
    const int missing = rows - int(page.ids.size());
    for (int i = 0; i < missing; ++i) {
        page.ids.insert(downwards ? 0 : page.ids.size(), -1);
        page.names.insert(downwards ? 0 : page.names.size(), QString());
    }
    return page;
}

CourseList::Page CourseList::readPage(int pageIndex) const
{
    const int first = pageIndex * kPageRows;
    const int rows = std::min(kPageRows, m_count - first);
    // From a neighbour's ids when one is held, else by position from the
    // nearer end of the list.
    const auto before = m_pages.find(pageIndex - 1);
    const auto after = m_pages.find(pageIndex + 1);
    if (before != m_pages.end() && before->second.ids.last() >= 0)
        return padded(m_db->after(before->second.ids.last(), rows), rows, false);
    if (after != m_pages.end() && after->second.ids.first() >= 0)
        return padded(m_db->before(after->second.ids.first(), rows), rows, true);
    if (std::min(first, m_count - (first + rows)) > CoursePositions::kStep && m_positions &&
        m_positions->current(m_count)) {
        const auto [milestone, position] = m_positions->milestoneAtOrBefore(first);
        return padded(m_db->from(milestone, first - position, rows), rows, false);
    }
    if (first <= m_count - (first + rows))
        return padded(m_db->at(first, rows, false), rows, false);
    return padded(m_db->at(m_count - (first + rows), rows, true), rows, true);
}

void CourseList::holdPageAround(int index, qint64 courseId) const
{
    const int pageIndex = index / kPageRows;
    if (m_pages.count(pageIndex) > 0)
        return;
    const int first = pageIndex * kPageRows;
    const int rows = std::min(kPageRows, m_count - first);
    const int above = index - first;
    Page page = padded(m_db->before(courseId, above), above, true);
    const Page rest = padded(m_db->after(courseId - 1, rows - above), rows - above, false);
    page.ids += rest.ids;
    page.names += rest.names;
    hold(pageIndex, std::move(page));
}

CourseList::Page& CourseList::hold(int pageIndex, Page page) const
{
    if (int(m_pages.size()) >= kKeptPages) {
        // The page of the selected entry stays: its id is the one the
        // dialog's statement will use.
        const int selected = m_combo->currentIndex() < 0 ? -1 : m_combo->currentIndex() / kPageRows;
        auto oldest = m_pages.end();
        for (auto it = m_pages.begin(); it != m_pages.end(); ++it)
            if (it->first != selected && (oldest == m_pages.end() || it->second.used < oldest->second.used))
                oldest = it;
        if (oldest != m_pages.end())
            m_pages.erase(oldest);
    }
    Page& held = m_pages.emplace(pageIndex, std::move(page)).first->second;
    held.used = ++m_uses;
    return held;
}

const CourseList::Page& CourseList::page(int pageIndex) const
{
    const auto found = m_pages.find(pageIndex);
    if (found == m_pages.end())
        return hold(pageIndex, readPage(pageIndex));
    found->second.used = ++m_uses;
    return found->second;
}

qint64 CourseList::idAt(int index) const
{
    if (m_released || index < 0 || index >= m_count || !m_db)
        throw Failure(QStringLiteral("The course list has no entry %1").arg(index));
    return page(index / kPageRows).ids.at(index % kPageRows);
}

CourseId CourseList::courseId(int index) const
{
    return CourseId(idAt(index));
}

QString CourseList::name(int index) const
{
    // A course gone meanwhile keeps the name the list showed.
    return m_db->name(courseId(index)).value_or(page(index / kPageRows).names.at(index % kPageRows));
}

int CourseList::positionOf(qint64 courseId) const
{
    return int(m_db->position(CourseId(courseId), m_count, m_positions));
}

int CourseList::preselect(const QString& name, std::optional<ScheduleId> schedule)
{
    if (!m_db)
        return -1;
    std::optional<CourseId> id = schedule ? m_db->firstNamed(name, schedule) : std::nullopt;
    if (!id)
        id = m_db->firstNamed(name, std::nullopt);
    if (!id)
        return -1;
    const int index = positionOf(id->value);
    if (index < 0 || index >= m_count)
        return -1;
    holdPageAround(index, id->value);
    m_combo->setCurrentIndex(index);
    return index;
}

int CourseList::rowsHeld() const
{
    int rows = 0;
    for (const auto& held : m_pages)
        rows += int(held.second.ids.size());
    return rows;
}

int CourseList::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_count;
}

QVariant CourseList::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_count || !m_db || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    try {
        return page(index.row() / kPageRows).names.at(index.row() % kPageRows);
    } catch (...) {
        // A database that cannot be read just now: the row shows nothing and
        // is read again when next shown; the dialog's statements report it.
        return {};
    }
}

QModelIndexList CourseList::match(const QModelIndex& start, int role, const QVariant& value, int hits,
                                  Qt::MatchFlags flags) const
{
    const auto how = Qt::MatchFlags(flags & Qt::MatchTypeMask);
    if (role != Qt::DisplayRole || how != Qt::MatchStartsWith || hits != 1 || !start.isValid() ||
        start.model() != this || !m_db)
        return QAbstractListModel::match(start, role, value, hits, flags);
    const QString prefix = value.toString();
    const Qt::CaseSensitivity cs = flags.testFlag(Qt::MatchCaseSensitive) ? Qt::CaseSensitive : Qt::CaseInsensitive;
    try {
        // The search starts at the start row's course, and wraps round to
        // the courses before it.
        const qint64 from = idAt(start.row());
        if (from < 0)
            return {};
        std::optional<CourseId> found = m_db->firstStarting(prefix, cs, from, false);
        if (!found && flags.testFlag(Qt::MatchWrap))
            found = m_db->firstStarting(prefix, cs, from, true);
        if (!found)
            return {};
        const int row = positionOf(found->value);
        if (row < 0 || row >= m_count)
            return {};
        holdPageAround(row, found->value);
        return {index(row)};
    } catch (...) {
        return {};
    }
}

} // namespace quorvane
