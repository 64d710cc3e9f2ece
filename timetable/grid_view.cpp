#include "timetable/grid_view.h"

#include "app/twips.h"
#include "timetable/grid.h"

#include <QHeaderView>
#include <QScrollBar>

namespace quorvane {

TimetableView::TimetableView(TimetableGrid* grid, QWidget* parent) : QTableView(parent), m_grid(grid)
{
    setModel(grid);
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
            setColumnWidth(c, twips(width));
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

QImage TimetableView::renderWhole() const
{
    TimetableView whole(m_grid);
    whole.setAttribute(Qt::WA_DontShowOnScreen);
    whole.setFont(font());
    whole.setPalette(palette());
    whole.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    whole.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    whole.verticalHeader()->setDefaultSectionSize(verticalHeader()->defaultSectionSize());
    whole.horizontalHeader()->setFixedHeight(horizontalHeader()->height());
    whole.setCurrentIndex(currentIndex());
    int width = 2 * whole.frameWidth();
    for (int c = 0; c < m_grid->cols(); ++c)
        width += whole.columnWidth(c);
    int height = 2 * whole.frameWidth() + whole.horizontalHeader()->height();
    for (int r = 0; r < whole.model()->rowCount(); ++r)
        height += whole.rowHeight(r);
    whole.resize(width, height);
    whole.show();
    QImage image = whole.grab().toImage();
    whole.hide();
    return image;
}

} // namespace quorvane
