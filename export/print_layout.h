#pragma once

// How a timetable sheet prints: the widths of its columns and the heights of
// its rows on a landscape page of the locale's paper (localePaper), estimated
// from its texts.

#include <QString>

#include <map>
#include <utility>
#include <vector>

namespace quorvane {

// A sheet set up for printing (Worksheet::setUpForPrinting).
struct PrintLayout
{
    // The print area: A1 to this cell. The page is landscape, of the
    // locale's paper, the area fitted to one page wide and one tall and
    // centred horizontally.
    int lastRow = 0;
    int lastColumn = 0;
    // In characters of the default font, for columns 1 to lastColumn.
    std::vector<double> columnWidths;
    // The title row's height in points: the title wraps within the merged
    // cells of row 1, which no reader makes taller by itself.
    double titleHeight = 0;
    // The rows whose wrapped texts are estimated to need more than one line,
    // and how many.
    std::map<int, int> rowLines;

    // A row's height in points: the title's, or as many lines as it needs.
    double rowHeight(int row) const;
};

// Estimated widths and heights on paper, in characters of the default font
// (Arial 10, Excel's column width unit) and in points.
constexpr double kDefaultColumnWidth = 8.43;
constexpr double kMaxColumnWidth = 50;
constexpr double kLineHeight = 12.75;      // one line of the default font
constexpr double kTitleLineHeight = 18.75; // one line of the title
// The workbook title's font size.
constexpr double kWorkbookTitlePoints = 14;
constexpr double kMaxRowHeight = 409.5; // Excel's limit

// The width of text in characters of the default font, generously estimated
// (capitals and East Asian wide characters take more room, combining marks
// none); a text with line breaks is as wide as its widest line.
double estimatedTextWidth(const QString& text);

// The layout that prints the cells (keyed by 1-based row and column) of rows
// 1 to lastRow and columns 1 to lastColumn largest on their page: row 1 the
// title, row 2 the headings (bold), the rows after it the grid. Each column
// is as wide as its longest heading or grid text, at least
// kDefaultColumnWidth; texts longer than the widest a column may grow wrap,
// their rows made as tall as they need.
PrintLayout layOutForPrinting(const std::map<std::pair<int, int>, QString>& cells, int lastRow, int lastColumn);

} // namespace quorvane
