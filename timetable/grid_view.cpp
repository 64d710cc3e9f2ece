#include "timetable/grid_view.h"

#include "base/twips.h"
#include "timetable/course_colours.h"
#include "timetable/grid.h"

#include <QHeaderView>
#include <QPainter>
#include <QStyledItemDelegate>

namespace quorvane {

namespace {

// Cells drawn as the style draws them, a clash framed on top.
class TimetableDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::paint(painter, option, index);
        if (index.data(TimetableGrid::ClashRole).toBool())
            paintClashFrame(*painter, option.rect);
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
    connect(grid, &TimetableGrid::columnWidthChanged, this, [this] { applyWidths(); });
    connect(grid, &QAbstractItemModel::modelReset, this, [this] {
        applyWidths();
        if (!currentIndex().isValid() && m_grid->rows() > 1 && m_grid->cols() > 1)
            setCurrentGridCell(1, 1);
    });
    applyWidths();
    if (grid->rows() > 1 && grid->cols() > 1)
        setCurrentGridCell(1, 1);
}

void TimetableView::applyWidths()
{
    for (int c = 0; c < m_grid->cols(); ++c) {
        const int width = m_grid->colWidthTwips(c);
        if (width >= 0)
            setColumnWidth(c, pixelsFromTwips(width));
    }
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
