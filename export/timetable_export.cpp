#include "export/timetable_export.h"

#include "base/failure.h"
#include "export/picture_file.h"
#include "export/timetable_sheet.h"
#include "export/workbook.h"

namespace quorvane {

void saveTimetable(ExportKind kind, const QString& file, const TimetableGrid& grid, const QString& title,
                   Workbook* workbook, const CalendarSource& calendar)
{
    switch (kind) {
    case ExportKind::Picture:
        saveTimetablePicture(grid, title, file);
        return;
    case ExportKind::Workbook:
        if (!workbook)
            throw Failure(QStringLiteral("No workbook to save"));
        // An .xlsx workbook shows every clashing name, as the window does;
        // the .xls and .csv files keep the one the grid places.
        setUpTimetableSheet(workbook->sheets(1), grid,
                            exportFormatOf(file) == ExportFormat::Xlsx ? ClashNames::All : ClashNames::Placed);
        workbook->saveAs(file, FileFormat::WorkbookNormal);
        return;
    case ExportKind::Calendar:
        if (!calendar.courses)
            throw Failure(QStringLiteral("No schedule to write as a calendar"));
        saveScheduleCalendar(*calendar.courses, calendar.schedule, title, calendar.term, file);
        return;
    }
}

} // namespace quorvane
