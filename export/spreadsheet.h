#pragma once

// In-process spreadsheet application.
//
// The timetable is exported "to Excel" by driving a spreadsheet application
// through a handful of automation operations: create the application, hide
// it, switch its alerts off, add a workbook, put texts into the cells of its
// first sheet, save the workbook under a file name and quit. This header
// offers exactly those operations; the workbook is written by the program
// itself, so no spreadsheet application has to be installed.
//
// Saved files:
//   * "*.xlsx" (any case): an Office Open XML workbook (written with
//     libxlsxwriter).
//   * "*.csv" (any case): the cells as comma-separated values (RFC 4180),
//     UTF-8 with a byte order mark, CRLF line ends.
//   * any other name (".xls", no extension, ...): an Excel 97-2003 binary
//     workbook (BIFF8 records inside an OLE2 compound file).
// Every value is stored as a text cell. A cell set to the empty text is
// empty: it is not written to the file at all (no BLANK record, no <c>
// element), so reading the file back gives an empty cell.
//
// Limits:
//   * rows 1..1048576 and columns 1..16384 in memory and in .xlsx files;
//     an .xls file holds rows 1..65536 and columns 1..256, saving a sheet
//     with cells beyond that as .xls throws;
//   * a cell keeps its whole text in memory, but a file stores at most
//     32767 UTF-16 code units per cell (Excel's own limit); longer texts are
//     cut there, never in the middle of a surrogate pair (see storedCellText).
//
// Failures are thrown as exceptions whose what() is a readable description
// in UTF-8.

#include <QByteArray>
#include <QString>

#include <map>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "base/failure.h"

namespace quorvane {

// What every operation here throws; a quorvane::Failure, so callers that
// report failures of the program catch these as well.
class SpreadsheetFailure : public Failure
{
public:
    explicit SpreadsheetFailure(const QString& message);
};

// The file format code of Workbook::saveAs: the normal workbook, whose kind
// follows the file name's extension.
namespace FileFormat {
constexpr int WorkbookNormal = -4143;
} // namespace FileFormat

constexpr int kMaxRows = 1048576;
constexpr int kMaxColumns = 16384;
constexpr int kMaxXlsRows = 65536;
constexpr int kMaxXlsColumns = 256;
constexpr int kMaxCellTextLength = 32767; // UTF-16 code units

// The text a saved file holds for a cell value: the value cut to
// kMaxCellTextLength UTF-16 code units. A surrogate pair that would be cut
// in half is left out entirely, so the stored text stays valid UTF-16.
QString storedCellText(const QString& value);

// How a cell looks on paper once its sheet is set up for printing.
enum class CellStyle {
    Plain,   // the workbook's default font, no borders
    Title,   // bold and larger, wrapped across the columns of the print area
    Heading, // bold, thin borders
    Framed,  // thin borders, long texts wrapped
};

// A sheet set up for printing (Worksheet::setUpForPrinting).
struct PrintLayout
{
    // The print area: A1 to this cell. The page is A4 landscape, the area
    // fitted to one page wide and one tall and centred horizontally.
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

class Worksheet;

// The bytes Workbook::saveAs writes for sheet under fileName, by its
// extension.
QByteArray workbookFileBytes(const Worksheet& sheet, const QString& fileName);

// Estimated widths and heights on paper, in characters of the default font
// (Arial 10, Excel's column width unit) and in points.
constexpr double kDefaultColumnWidth = 8.43;
constexpr double kMaxColumnWidth = 50;
constexpr double kLineHeight = 12.75;      // one line of the default font
constexpr double kTitleLineHeight = 18.75; // one line of the title
constexpr double kTitlePoints = 14;
constexpr double kMaxRowHeight = 409.5; // Excel's limit

// The width of text in characters of the default font, generously estimated
// (capitals and East Asian wide characters take more room, combining marks
// none); a text with line breaks is as wide as its widest line.
double estimatedTextWidth(const QString& text);

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

private:
    friend class Workbook;
    void checkOpen() const;

    QString m_name;
    Cells m_cells;
    std::optional<PrintLayout> m_layout;
    bool m_closed = false;
};

class Workbook
{
public:
    Workbook() = default;
    Workbook(const Workbook&) = delete;
    Workbook& operator=(const Workbook&) = delete;

    // 1-based; a new workbook has one sheet, "Sheet1". Any other index
    // throws.
    Worksheet& sheets(int index);

    // Writes the workbook to fileName (relative names are taken relative to
    // the current directory). FileFormat::WorkbookNormal picks the kind by
    // the extension (".xlsx" -> Office Open XML, ".csv" -> comma-separated
    // values, anything else -> Excel 97-2003); other codes throw. An existing file is replaced without
    // asking, and atomically: when writing fails the old file is left as it
    // was, and the failure carries the system's error text.
    void saveAs(const QString& fileName, int fileFormat = FileFormat::WorkbookNormal);

private:
    friend class SpreadsheetApplication;
    // Discards the workbook without saving; afterwards every operation on
    // it or its sheet throws.
    void close();
    void checkOpen() const;

    Worksheet m_sheet;
    bool m_closed = false;
};

class SpreadsheetApplication
{
public:
    // Only "Excel.Application" (in any case) can be created; any other
    // programmatic id throws "ActiveX component can't create object".
    static std::unique_ptr<SpreadsheetApplication> create(const QString& programmaticId);

    SpreadsheetApplication(const SpreadsheetApplication&) = delete;
    SpreadsheetApplication& operator=(const SpreadsheetApplication&) = delete;
    ~SpreadsheetApplication();

    // The stand-in never shows a window or asks a question, whatever these
    // are set to; like the other operations they fail once it has quit.
    void setVisible(bool visible);
    void setDisplayAlerts(bool displayAlerts);

    // Workbooks.Add. The workbook stays owned by the application; the
    // reference is valid until the application is destroyed.
    Workbook& addWorkbook();

    // Closes every workbook without saving and ends the application; the
    // operations above throw afterwards. Calling it again does nothing.
    void quit();

private:
    SpreadsheetApplication() = default;
    void checkRunning() const;

    std::vector<std::unique_ptr<Workbook>> m_workbooks;
    bool m_quit = false;
};

} // namespace quorvane
