#include "timetable/grid_view.h"

#include "base/twips.h"
#include "timetable/course_colours.h"
#include "timetable/grid.h"
#include "widgets/focus_outline.h"

#include <QEvent>
#include <QHeaderView>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>

#include <algorithm>

namespace quorvane {

namespace {

// Cells drawn as the style draws them, a clash framed and the focus outlined
// on top: the current cell's clash frame inside its focus outline.
class TimetableDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::paint(painter, option, index);
        const bool focus = option.state & QStyle::State_HasFocus;
        if (index.data(TimetableGrid::ClashRole).toBool())
            paintClashFrame(*painter, focus ? option.rect.adjusted(2, 2, -2, -2) : option.rect);
        paintFocusOutline(*painter, option, index);
    }
};

} // namespace

TimetableView::TimetableView(TimetableGrid* grid, QWidget* parent) : QTableView(parent), m_grid(grid)
{
    setModel(grid);
    setItemDelegate(new TimetableDelegate(this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Tab and Shift+Tab leave the grid; the arrow keys move between its cells.
    setTabKeyNavigation(false);
    setWordWrap(false);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    verticalHeader()->hide();
    horizontalHeader()->setSectionsClickable(false);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeader()->setHighlightSections(false);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    connect(grid, &TimetableGrid::columnWidthChanged, this, [this] { fitToViewport(); });
    connect(grid, &QAbstractItemModel::modelReset, this, [this] {
        fitToViewport();
        if (!currentIndex().isValid() && m_grid->rows() > 1 && m_grid->cols() > 1)
            setCurrentGridCell(1, 1);
    });
    fitToViewport();
    if (grid->rows() > 1 && grid->cols() > 1)
        setCurrentGridCell(1, 1);
}

QVector<int> TimetableView::ownWidths() const
{
    QVector<int> widths(m_grid->cols());
    for (int c = 0; c < m_grid->cols(); ++c) {
        const int twips = m_grid->colWidthTwips(c);
        widths[c] = twips >= 0 ? pixelsFromTwips(twips) : -1;
    }
    return widths;
}

void TimetableView::fitToViewport()
{
    const QVector<int> widths = ownWidths();
    int own = 0;
    for (int c = 0; c < widths.size(); ++c)
        own += widths[c] >= 0 ? widths[c] : columnWidth(c);
    const int days = int(widths.size()) - 1;
    const int extra = m_firstWidth > 0 && width() > m_firstWidth && days > 0 ? viewport()->width() - own : 0;
    for (int c = 0; c < widths.size(); ++c) {
        if (widths[c] < 0)
            continue;
        // The days share the extra width, the first of them a pixel more
        // where it does not divide evenly.
        const int share = c > 0 && extra > 0 ? extra / days + (c - 1 < extra % days ? 1 : 0) : 0;
        if (columnWidth(c) != widths[c] + share)
            setColumnWidth(c, widths[c] + share);
    }
    if (m_rowHeight <= 0)
        return;
    const int rows = model()->rowCount();
    const int height = rows > 0 ? std::max(m_rowHeight, viewport()->height() / rows) : m_rowHeight;
    if (verticalHeader()->defaultSectionSize() != height)
        verticalHeader()->setDefaultSectionSize(height);
}

void TimetableView::setFirstWidth(int width)
{
    m_firstWidth = width;
    fitToViewport();
}

void TimetableView::setRowHeight(int height)
{
    m_rowHeight = height;
    verticalHeader()->setDefaultSectionSize(height);
    fitToViewport();
    updateGeometry();
}

void TimetableView::fitRowsToFont()
{
    const int rowHeight = fontMetrics().height() + 4;
    horizontalHeader()->setFixedHeight(rowHeight + 2);
    setRowHeight(rowHeight);
}

bool TimetableView::viewportEvent(QEvent* event)
{
    if (event->type() == QEvent::Resize)
        fitToViewport();
    return QTableView::viewportEvent(event);
}

QSize TimetableView::sizeHint() const
{
    int width = 0;
    const QVector<int> widths = ownWidths();
    for (int c = 0; c < widths.size(); ++c)
        width += widths[c] >= 0 ? widths[c] : columnWidth(c);
    const int rowHeight = m_rowHeight > 0 ? m_rowHeight : verticalHeader()->defaultSectionSize();
    const int frame = 2 * frameWidth();
    return QSize(width + frame, horizontalHeader()->height() + model()->rowCount() * rowHeight + frame);
}

QSize TimetableView::minimumSizeHint() const
{
    const QVector<int> widths = ownWidths();
    const auto own = [&](int c) { return c < widths.size() ? std::max(widths[c], 0) : 0; };
    const int rowHeight = m_rowHeight > 0 ? m_rowHeight : verticalHeader()->defaultSectionSize();
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    const int frame = 2 * frameWidth();
    return QSize(own(0) + 2 * own(1) + bar + frame, horizontalHeader()->height() + 4 * rowHeight + bar + frame);
}

int TimetableView::currentGridRow() const
{
    const QModelIndex index = currentIndex();
    return index.isValid() ? index.row() + 1 : 1;
}

int TimetableView::currentGridCol() const
{
    const QModelIndex index = currentIndex();
    return index.isValid() ? index.column() : 1;
}

void TimetableView::setCurrentGridCell(int row, int col)
{
    setCurrentIndex(model()->index(row - 1, col));
}

} // namespace quorvane
