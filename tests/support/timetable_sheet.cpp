#include "tests/support/timetable_sheet.h"

#include "base/time_of_day.h"
#include "export/spreadsheet.h"

#include <QStringList>

namespace quorvane::testing {

void fillTimetableSheet(Worksheet& sheet)
{
    const QStringList days = {QStringLiteral("Time"),       QStringLiteral(" Monday"),   QStringLiteral(" Tuesday"),
                              QStringLiteral(" Wednesday"), QStringLiteral(" Thursday"), QStringLiteral(" Friday"),
                              QStringLiteral(" Saturday"),  QStringLiteral(" Sunday")};
    for (int column = 1; column <= 8; ++column)
        sheet.setCellValue(1, column, days.at(column - 1));
    for (int row = 2; row <= 33; ++row) {
        const int minutes = 6 * 60 + (row - 2) * 30;
        sheet.setCellValue(row, 1, timeofday::formatLabel(QTime(minutes / 60, minutes % 60)));
        for (int column = 2; column <= 8; ++column) {
            if ((row * column) % 3 == 0)
                sheet.setCellValue(row, column, QStringLiteral("CS%1 Room %2").arg(100 + row).arg(column));
            else
                sheet.setCellValue(row, column, QString());
        }
    }
}

} // namespace quorvane::testing
