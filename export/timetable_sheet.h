#pragma once

#include "timetable/grid.h"

#include <QString>

namespace quorvane {

class Procedure;
class Worksheet;

// The grid in a sheet as the workbook export lays it out: the title in A1,
// the grid's cell (row r, column c) in row r + 2, column c + 1. Its
// statements are steps 130 (the title) and 136 (each cell) of the export,
// reported through p; the grid's bounds (132 to 140) are read once, as the
// loops start.
void fillTimetableSheet(Worksheet& sheet, const QString& title, const TimetableGrid& grid, Procedure& p);

// Sets a filled sheet up for printing: the title and the grid, each course's
// cells filled with its colour, a clash marked, and with ClashNames::All
// every clashing name in its cell.
void setUpTimetableSheet(Worksheet& sheet, const TimetableGrid& grid, ClashNames names);

} // namespace quorvane
