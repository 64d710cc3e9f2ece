#pragma once

#include <QTableView>

namespace quorvane {

class TimetableGrid;

// The timetable on screen: the header row and the time column stay in view
// while the time rows scroll. The current cell is the user's; the program
// never moves it; it is outlined while the view has the focus. Each column is
// as wide as the grid says and each row as high as setRowHeight says, until
// the view grows: wider than its first width, the day columns share the
// width beyond the columns' own; taller than every row needs, the rows share
// the height beyond theirs. What the grid's model holds never changes with
// the view's size.
class TimetableView : public QTableView
{
    Q_OBJECT
public:
    explicit TimetableView(TimetableGrid* grid, QWidget* parent = nullptr);

    TimetableGrid* grid() const { return m_grid; }
    // The current cell in grid coordinates (header row and time column count).
    int currentGridRow() const;
    int currentGridCol() const;
    void setCurrentGridCell(int row, int col);

    // The width at and below which every column keeps the grid's width.
    void setFirstWidth(int width);
    // The rows' own height.
    void setRowHeight(int height);
    // Rows and the header row as high as the view's font needs.
    void fitRowsToFont();

    // Every row and column in sight, without scroll bars.
    QSize sizeHint() const override;
    // The time column and two days, the header and four rows.
    QSize minimumSizeHint() const override;

protected:
    bool viewportEvent(QEvent* event) override;

private:
    void fitToViewport();
    // The columns' own widths, in pixels; -1 where the grid sets none.
    QVector<int> ownWidths() const;

    TimetableGrid* m_grid;
    int m_firstWidth = 0;
    int m_rowHeight = 0;
};

} // namespace quorvane
