#pragma once

#include <QStringList>

namespace quorvane {
class Form1;
}

namespace quorvane::testing {

// The row of the schedules list that is current and selected, counted from
// 1; 0 for none.
int selectedRow(const Form1& form);

// The texts one column of the schedules list shows, row by row.
QStringList listColumn(const Form1& form, int column);

// Every cell text of the main window's grid, headings included, row by row.
QStringList gridTexts(const Form1& form);

} // namespace quorvane::testing
