#pragma once

// A spreadsheet's sheet: texts in cells, numbered from 1 like a spreadsheet's,
// and how the sheet is set up for printing. A cell set to the empty text is
// empty: it is not written to a file at all (no BLANK record, no <c>
// element), so reading the file back gives an empty cell.
//
// Limits: rows 1..1048576 and columns 1..16384 in memory and in .xlsx files;
// an .xls file holds rows 1..65536 and columns 1..256, and saving a sheet
// with cells beyond that as .xls throws. Texts are cut when saved
// (cell_text.h).

#include "base/failure.h"
#include "export/print_layout.h"

#include <QColor>
#include <QString>

#include <map>
#include <optional>
#include <utility>

namespace quorvane {

// What every operation on a sheet, a workbook or the spreadsheet application
// throws; a quorvane::Failure, so callers that report failures of the program
// catch these as well.
class SpreadsheetFailure : public Failure
{
public:
    explicit SpreadsheetFailure(const QString& message);
};

constexpr int kMaxRows = 1048576;
constexpr int kMaxColumns = 16384;
constexpr int kMaxXlsRows = 65536;
constexpr int kMaxXlsColumns = 256;

// How a cell looks on paper once its sheet is set up for printing.
enum class CellStyle {
    Plain,   // the workbook's default font, no borders
    Title,   // bold and larger, wrapped across the columns of the print area
    Heading, // bold, thin borders
    Framed,  // thin borders, long texts wrapped
};

// A cell's fill on paper: a solid colour (0xRRGGBB), and the colour of a
// medium frame that marks it, if any.
struct CellFill
{
    QRgb colour = 0;
    std::optional<QRgb> frame;

    bool operator<(const CellFill& other) const
    {
        return colour != other.colour ? colour < other.colour : frame < other.frame;
    }
};

class Worksheet
{
public:
    // Cells in row-major order, keyed by (row, column), 1-based.
    using Cells = std::map<std::pair<int, int>, QString>;

    explicit Worksheet(const QString& name = QStringLiteral("Sheet1"));

    QString name() const { return m_name; }

    // 1-based like a spreadsheet; row or column below 1 (or beyond
    // kMaxRows/kMaxColumns) throws. The empty text empties the cell.
    void setCellValue(int row, int column, const QString& value);

    // Highest row / column holding a non-empty cell; 0 for an empty sheet.
    int maxRow() const;
    int maxColumn() const;

    // The non-empty cells.
    const Cells& cells() const { return m_cells; }

    // Lays the filled sheet out for printing as a timetable of lastRow rows
    // and lastColumn columns: A1 the title (CellStyle::Title, merged across
    // the columns), row 2 the headings, the rows after it the grid
    // (CellStyle::Framed), every cell of the headings and the grid framed
    // whether it holds a text or not. Each column is made as wide as its
    // longest heading or grid text, at least kDefaultColumnWidth; texts
    // longer than the widest a column may grow wrap, their rows made as tall
    // as they need. That widest (up to kMaxColumnWidth) is the one that
    // prints the sheet largest on its page. Call it after the cells are set;
    // the print area must lie within kMaxXlsRows and kMaxXlsColumns.
    void setUpForPrinting(int lastRow, int lastColumn);
    const std::optional<PrintLayout>& printLayout() const { return m_layout; }
    // The style of a cell: CellStyle::Plain on a sheet not set up for printing
    // and outside its print area.
    CellStyle cellStyle(int row, int column) const;

    // Fills a cell with a solid colour, framed in frame when that is valid;
    // an invalid colour takes the fill away. Saved in .xls and .xlsx
    // workbooks, not in CSV.
    void setCellFill(int row, int column, const QColor& colour, const QColor& frame = QColor());
    using Fills = std::map<std::pair<int, int>, CellFill>;
    std::optional<CellFill> cellFill(int row, int column) const;

private:
    friend class Workbook;
    void checkOpen() const;

    QString m_name;
    Cells m_cells;
    Fills m_fills;
    std::optional<PrintLayout> m_layout;
    bool m_closed = false;
};

} // namespace quorvane
