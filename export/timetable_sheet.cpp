#include "export/timetable_sheet.h"

#include "base/reporting.h"
#include "export/worksheet.h"
#include "timetable/course_colours.h"
#include "timetable/grid.h"

namespace quorvane {

void fillTimetableSheet(Worksheet& sheet, const QString& title, const TimetableGrid& grid, Procedure& p)
{
    p.step(130, [&] { sheet.setCellValue(1, 1, title); });
    const int rows = grid.rows();
    for (int r = 0; r < rows; ++r) {
        const int cols = grid.cols();
        for (int c = 0; c < cols; ++c)
            p.step(136, [&] { sheet.setCellValue(r + 2, c + 1, grid.text(r, c)); });
    }
}

void setUpTimetableSheet(Worksheet& sheet, const TimetableGrid& grid, ClashNames names)
{
    // Before the layout, which measures the texts.
    if (names == ClashNames::All)
        for (int r = 1; r < grid.rows(); ++r)
            for (int c = 1; c < grid.cols(); ++c)
                if (grid.isClash(r, c))
                    sheet.setCellValue(r + 2, c + 1, grid.displayText(r, c));
    sheet.setUpForPrinting(grid.rows() + 1, grid.cols());
    for (int r = 1; r < grid.rows(); ++r)
        for (int c = 1; c < grid.cols(); ++c)
            if (const QColor colour = grid.courseColour(r, c); colour.isValid())
                sheet.setCellFill(r + 2, c + 1, colour, grid.isClash(r, c) ? clashFrameColour() : QColor());
}

} // namespace quorvane
