// The spreadsheet application's objects and the atomic saving of workbooks.
#include "export/spreadsheet.h"

#include "export/page_fit.h"
#include "export/save_file.h"
#include "export/workbook_files.h"

#include <QByteArray>
#include <QFileInfo>

#include <algorithm>
#include <cmath>

namespace quorvane {

SpreadsheetFailure::SpreadsheetFailure(const QString& message) : Failure(message) {}

QString storedCellText(const QString& value)
{
    if (value.size() <= kMaxCellTextLength)
        return value;
    int length = kMaxCellTextLength;
    if (value.at(length - 1).isHighSurrogate() && value.at(length).isLowSurrogate())
        --length;
    return value.left(length);
}

// ------------------------------------------------------- sizes on paper

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

// The area of an A4 landscape page within the margins readers give a sheet
// that sets none (3/4 inch beside, 1 inch above and below), in points.
const QSizeF kPrintedPage(842 - 108, 595 - 144);

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
    const int titleLines = estimatedLines(title, areaWidth, kBoldWidth * kTitlePoints / 10);
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

// ---------------------------------------------------------------- Worksheet

namespace {

void checkAddress(int row, int column)
{
    if (row < 1 || column < 1 || row > kMaxRows || column > kMaxColumns)
        throw SpreadsheetFailure(QStringLiteral("There is no cell at row %1, column %2: rows are numbered 1 to %3 "
                                                "and columns 1 to %4.")
                                     .arg(row)
                                     .arg(column)
                                     .arg(kMaxRows)
                                     .arg(kMaxColumns));
}

} // namespace

Worksheet::Worksheet(const QString& name) : m_name(name) {}

void Worksheet::checkOpen() const
{
    if (m_closed)
        throw SpreadsheetFailure(QStringLiteral("The workbook holding sheet \"%1\" has been closed.").arg(m_name));
}

void Worksheet::setCellValue(int row, int column, const QString& value)
{
    checkOpen();
    checkAddress(row, column);
    if (value.isEmpty())
        m_cells.erase({row, column});
    else
        m_cells[{row, column}] = value;
}

void Worksheet::setUpForPrinting(int lastRow, int lastColumn)
{
    checkOpen();
    if (lastRow < 2 || lastColumn < 1 || lastRow > kMaxXlsRows || lastColumn > kMaxXlsColumns)
        throw SpreadsheetFailure(QStringLiteral("Cannot print rows 1 to %1 and columns 1 to %2: a printed sheet has "
                                                "2 to %3 rows and 1 to %4 columns.")
                                     .arg(lastRow)
                                     .arg(lastColumn)
                                     .arg(kMaxXlsRows)
                                     .arg(kMaxXlsColumns));
    // The headings and the grid's texts, each measured once.
    std::vector<MeasuredCell> measured;
    for (auto cell = m_cells.lower_bound({2, 1}); cell != m_cells.end() && cell->first.first <= lastRow; ++cell)
        if (cell->first.second <= lastColumn)
            measured.push_back({cell->first.first, cell->first.second, lineWidths(storedCellText(cell->second)),
                                cell->first.first == 2 ? kBoldWidth : 1.0});
    const auto title = m_cells.find({1, 1});
    const std::vector<double> titleWidths =
        lineWidths(title == m_cells.end() ? QString() : storedCellText(title->second));
    const auto layoutWithin = [&](double cap) { return layOut(lastRow, lastColumn, measured, titleWidths, cap); };
    const double cap = bestColumnCap(kDefaultColumnWidth, kMaxColumnWidth, 1, kPrintedPage,
                                     [&](double candidate) { return printedSize(layoutWithin(candidate)); });
    m_layout = layoutWithin(cap);
}

CellStyle Worksheet::cellStyle(int row, int column) const
{
    if (!m_layout || row > m_layout->lastRow || column > m_layout->lastColumn)
        return CellStyle::Plain;
    if (row == 1)
        return CellStyle::Title;
    return row == 2 ? CellStyle::Heading : CellStyle::Framed;
}

int Worksheet::maxRow() const
{
    return m_cells.empty() ? 0 : m_cells.rbegin()->first.first;
}

int Worksheet::maxColumn() const
{
    int column = 0;
    for (const auto& cell : m_cells)
        column = std::max(column, cell.first.second);
    return column;
}

// ----------------------------------------------------------------- Workbook

QByteArray workbookFileBytes(const Worksheet& sheet, const QString& fileName)
{
    if (fileName.endsWith(QLatin1String(".xlsx"), Qt::CaseInsensitive))
        return xlsxWorkbookBytes(sheet);
    if (fileName.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive))
        return csvBytes(sheet);
    return xlsWorkbookBytes(sheet);
}

void Workbook::checkOpen() const
{
    if (m_closed)
        throw SpreadsheetFailure(QStringLiteral("The workbook has been closed."));
}

Worksheet& Workbook::sheets(int index)
{
    checkOpen();
    if (index != 1)
        throw SpreadsheetFailure(
            QStringLiteral("Subscript out of range: the workbook has no sheet %1, only sheet 1 (\"%2\").")
                .arg(index)
                .arg(m_sheet.name()));
    return m_sheet;
}

namespace {

// Replaces fileName with bytes, or leaves it untouched when that fails.
void replaceFile(const QString& fileName, const QByteArray& bytes)
{
    try {
        saveFileAtomically(fileName, bytes);
    } catch (const Failure& failure) {
        throw SpreadsheetFailure(
            QStringLiteral("Cannot save the workbook as \"%1\": %2").arg(fileName, failure.description()));
    }
}

} // namespace

void Workbook::saveAs(const QString& fileName, int fileFormat)
{
    checkOpen();
    if (fileName.trimmed().isEmpty())
        throw SpreadsheetFailure(QStringLiteral("Cannot save the workbook: the file name is empty."));
    if (fileFormat != FileFormat::WorkbookNormal)
        throw SpreadsheetFailure(QStringLiteral("Cannot save the workbook as \"%1\": file format %2 is not supported "
                                                "(use %3 for a normal workbook).")
                                     .arg(fileName)
                                     .arg(fileFormat)
                                     .arg(FileFormat::WorkbookNormal));
    const QString target = QFileInfo(fileName).absoluteFilePath();
    QByteArray bytes;
    try {
        bytes = workbookFileBytes(m_sheet, fileName);
    } catch (const std::exception& e) {
        throw SpreadsheetFailure(QStringLiteral("Cannot save the workbook as \"%1\": %2").arg(target, describe(e)));
    }
    replaceFile(target, bytes);
}

void Workbook::close()
{
    m_closed = true;
    m_sheet.m_closed = true;
}

// --------------------------------------------------- SpreadsheetApplication

std::unique_ptr<SpreadsheetApplication> SpreadsheetApplication::create(const QString& programmaticId)
{
    if (programmaticId.trimmed().compare(QLatin1String("excel.application"), Qt::CaseInsensitive) != 0)
        throw SpreadsheetFailure(QStringLiteral("ActiveX component can't create object \"%1\".").arg(programmaticId));
    return std::unique_ptr<SpreadsheetApplication>(new SpreadsheetApplication());
}

SpreadsheetApplication::~SpreadsheetApplication() = default;

void SpreadsheetApplication::checkRunning() const
{
    if (m_quit)
        throw SpreadsheetFailure(QStringLiteral("The spreadsheet application has quit."));
}

void SpreadsheetApplication::setVisible(bool)
{
    checkRunning();
}

void SpreadsheetApplication::setDisplayAlerts(bool)
{
    checkRunning();
}

Workbook& SpreadsheetApplication::addWorkbook()
{
    checkRunning();
    m_workbooks.push_back(std::make_unique<Workbook>());
    return *m_workbooks.back();
}

void SpreadsheetApplication::quit()
{
    for (const auto& workbook : m_workbooks)
        workbook->close();
    m_quit = true;
}

} // namespace quorvane
