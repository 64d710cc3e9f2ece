// How large a sheet's texts print, estimated without a font or a printer.
#include "export/print_layout.h"

#include "export/cell_text.h"
#include "export/page_fit.h"

#include <QSizeF>

#include <algorithm>
#include <cmath>

namespace quorvane {

namespace {

// Room a cell keeps beside its text, and the space word wrapping wastes.
constexpr double kCellPadding = 1.5;
constexpr double kWrapWaste = 1.15;
// Bold text is wider than regular text.
constexpr double kBoldWidth = 1.1;

bool isWide(char32_t c)
{
    return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) || (c >= 0xAC00 && c <= 0xD7A3) ||
           (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
           (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x1F300 && c <= 0x1FAFF) || (c >= 0x20000 && c <= 0x3FFFD);
}

// The estimated width of each line of text.
std::vector<double> lineWidths(const QString& text)
{
    std::vector<double> widths{0};
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t c = text.at(i).unicode();
        if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text.at(i), text.at(i + 1));
            ++i;
        }
        if (c == '\n') {
            widths.push_back(0);
            continue;
        }
        const QChar::Category category = QChar::category(c);
        if (c == '\r' || category == QChar::Mark_NonSpacing || category == QChar::Mark_Enclosing ||
            category == QChar::Other_Format)
            continue;
        widths.back() += isWide(c) ? 2.0 : category == QChar::Letter_Uppercase ? 1.3 : 1.0;
    }
    return widths;
}

// The lines text takes in a column `width` characters wide.
int estimatedLines(const std::vector<double>& widths, double width, double scale)
{
    const double usable = std::max(1.0, width - kCellPadding);
    double lines = 0;
    for (const double line : widths)
        lines += line * scale <= usable + 1e-9 ? 1 : std::ceil(line * scale * kWrapWaste / usable);
    return int(std::min(lines, std::ceil(kMaxRowHeight / kLineHeight)));
}

// A text of a printed sheet: each of its lines' width, and how much wider its
// font makes them.
struct MeasuredCell
{
    int row;
    int column;
    std::vector<double> widths;
    double scale;
};

// The area of a landscape page of the locale's paper within the margins
// readers give a sheet that sets none (3/4 inch beside, 1 inch above and
// below), in points.
QSizeF printedPage()
{
    const QSizeF paper = QPageSize(localePaper()).size(QPageSize::Point).transposed();
    return QSizeF(paper.width() - 108, paper.height() - 144);
}

// The sheet's layout when no column grows wider than cap.
PrintLayout layOut(int lastRow, int lastColumn, const std::vector<MeasuredCell>& cells,
                   const std::vector<double>& title, double cap)
{
    PrintLayout layout;
    layout.lastRow = lastRow;
    layout.lastColumn = lastColumn;
    layout.columnWidths.assign(size_t(lastColumn), kDefaultColumnWidth);
    for (const MeasuredCell& cell : cells) {
        const double width = *std::max_element(cell.widths.begin(), cell.widths.end()) * cell.scale + kCellPadding;
        double& columnWidth = layout.columnWidths[size_t(cell.column - 1)];
        columnWidth = std::max(columnWidth, std::min(width, cap));
    }
    for (const MeasuredCell& cell : cells) {
        const int lines = estimatedLines(cell.widths, layout.columnWidths[size_t(cell.column - 1)], cell.scale);
        if (lines > 1)
            layout.rowLines[cell.row] = std::max(layout.rowLines[cell.row], lines);
    }
    double areaWidth = 0;
    for (const double width : layout.columnWidths)
        areaWidth += width;
    const int titleLines = estimatedLines(title, areaWidth, kBoldWidth * kWorkbookTitlePoints / 10);
    layout.titleHeight = std::min(titleLines * kTitleLineHeight, kMaxRowHeight);
    return layout;
}

// The printed size of a layout's area, in points: a column is 7 pixels for
// each character and 5 more, at 96 pixels an inch.
QSizeF printedSize(const PrintLayout& layout)
{
    double width = 0;
    for (const double characters : layout.columnWidths)
        width += (characters * 7 + 5) * 0.75;
    double height = 0;
    for (int row = 1; row <= layout.lastRow; ++row)
        height += layout.rowHeight(row);
    return QSizeF(width, height);
}

} // namespace

PrintLayout layOutForPrinting(const std::map<std::pair<int, int>, QString>& cells, int lastRow, int lastColumn)
{
    // The headings and the grid's texts, each measured once.
    std::vector<MeasuredCell> measured;
    for (auto cell = cells.lower_bound({2, 1}); cell != cells.end() && cell->first.first <= lastRow; ++cell)
        if (cell->first.second <= lastColumn)
            measured.push_back({cell->first.first, cell->first.second, lineWidths(storedCellText(cell->second)),
                                cell->first.first == 2 ? kBoldWidth : 1.0});
    const auto title = cells.find({1, 1});
    const std::vector<double> titleWidths =
        lineWidths(title == cells.end() ? QString() : storedCellText(title->second));
    const auto layoutWithin = [&](double cap) { return layOut(lastRow, lastColumn, measured, titleWidths, cap); };
    const double cap = bestColumnCap(kDefaultColumnWidth, kMaxColumnWidth, 1, printedPage(),
                                     [&](double candidate) { return printedSize(layoutWithin(candidate)); });
    return layoutWithin(cap);
}

double PrintLayout::rowHeight(int row) const
{
    if (row == 1)
        return titleHeight;
    const auto lines = rowLines.find(row);
    return lines == rowLines.end() ? kLineHeight : std::min(lines->second * kLineHeight, kMaxRowHeight);
}

double estimatedTextWidth(const QString& text)
{
    const std::vector<double> widths = lineWidths(text);
    return *std::max_element(widths.begin(), widths.end());
}

} // namespace quorvane
