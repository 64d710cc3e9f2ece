#pragma once

#include <QString>

namespace quorvane {

class Connection;
class Procedure;
class TimetableGrid;

// Lays the grid out as a week: the header row, the column widths, and a row
// for every half hour from 6:00 AM to 9:30 PM with its label. Its statements
// are steps 150 to 200 of the window's start-up, reported through p; 154 and
// 156 (one fixed row and column, which the view keeps out of the course
// cells itself) cannot fail and carry no statement of their own.
void setUpTimetable(TimetableGrid& grid, Procedure& p);

// Draws the courses of schedule scheduleId into the grid's course cells, as
// ListCourses does, reporting through p with its step numbers: 108 the query
// (which, failing, ends the drawing), 110 the end of the walk, 112 the times,
// 120 the day set, 126 the name, the id and the days, 134 the move to the next
// course. A course that cannot be read is reported once and skipped; a column
// the table lacks, reported once, ends the drawing. The cells are not
// emptied first.
void fillTimetable(TimetableGrid& grid, const Connection& db, const QString& scheduleId, Procedure& p);

} // namespace quorvane
