#pragma once

#include "domain/ids.h"
#include "export/calendar_file.h"
#include "export/save_file.h"

#include <QString>

namespace quorvane {

class Repository;
class TimetableGrid;
class Workbook;

// Where a calendar's courses come from: a schedule of the database, over a term.
struct CalendarSource
{
    const Repository* courses = nullptr;
    ScheduleId schedule;
    CalendarTerm term;
};

// Writes a schedule to `file` as `kind` asks, the one way the window and the
// command line both write: a picture of the grid headed by `title`, the
// workbook whose first sheet the caller has filled with the grid (set up
// here for printing and saved in the format of the file's extension), or the
// calendar of `calendar`'s schedule named `title`. Failures are raised.
void saveTimetable(ExportKind kind, const QString& file, const TimetableGrid& grid, const QString& title,
                   Workbook* workbook, const CalendarSource& calendar);

} // namespace quorvane
