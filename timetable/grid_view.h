#pragma once

#include <QTableView>

namespace quorvane {

class TimetableGrid;

// The timetable on screen: the header row and the time column stay in view
// while the time rows scroll. The current cell is the user's; the program
// never moves it.
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

private:
    void applyWidths();

    TimetableGrid* m_grid;
};

} // namespace quorvane
