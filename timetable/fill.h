#pragma once

#include "domain/course.h"
#include "domain/ids.h"

#include <QVector>

namespace quorvane {

class Procedure;
class Repository;
class TimetableGrid;

// The numbers the calling procedure gives the steps of the laying out:
// emptying every cell, the column count, the header of column c (firstHeader
// + 2c), the width of column c (firstWidth + 2c), the row count, and the
// labels of the full and the half hours.
struct SetUpSteps
{
    int clear = 0;
    int cols = 0;
    int firstHeader = 0;
    int firstWidth = 0;
    int rows = 0;
    int hourLabel = 0;
    int halfHourLabel = 0;
};

// Lays the grid out as a week: the header row, the column widths, and a row
// for every half hour from 6:00 AM to 9:30 PM with its label, reporting
// through p. One fixed row and column, which the view keeps out of the
// course cells itself, cannot fail and carry no step.
void setUpTimetable(TimetableGrid& grid, Procedure& p, const SetUpSteps& steps);

// The numbers the calling procedure gives the steps of a drawing: the query
// (which, failing, ends the drawing), the end of the walk, a course's times,
// its day set, its name, id and days, and the move to the next course.
struct FillSteps
{
    int query = 0;
    int end = 0;
    int times = 0;
    int daySet = 0;
    int fields = 0;
    int next = 0;
};

// Draws the courses of `schedule` into the grid's course cells, at the rows
// of their grid times, reporting through p. A course that cannot be read is
// reported once and skipped; a column the table lacks, reported once, ends
// the drawing. The cells are not emptied first.
void fillTimetable(TimetableGrid& grid, const Repository& courses, ScheduleId schedule, Procedure& p,
                   const FillSteps& steps);
// The same for courses already read (a plan of a pool), drawn alike and in
// the same colours.
void drawCourses(TimetableGrid& grid, const QVector<Course>& courses);

} // namespace quorvane
