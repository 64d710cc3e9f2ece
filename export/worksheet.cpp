// A sheet's cells and how it prints.
#include "export/worksheet.h"

#include <algorithm>

namespace quorvane {

SpreadsheetFailure::SpreadsheetFailure(const QString& message) : Failure(message) {}

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
    m_layout = layOutForPrinting(m_cells, lastRow, lastColumn);
}

CellStyle Worksheet::cellStyle(int row, int column) const
{
    if (!m_layout || row > m_layout->lastRow || column > m_layout->lastColumn)
        return CellStyle::Plain;
    if (row == 1)
        return CellStyle::Title;
    return row == 2 ? CellStyle::Heading : CellStyle::Framed;
}

void Worksheet::setCellFill(int row, int column, const QColor& colour, const QColor& frame)
{
    checkOpen();
    checkAddress(row, column);
    if (colour.isValid())
        m_fills[{row, column}] = CellFill{colour.rgb() & 0xFFFFFF,
                                          frame.isValid() ? std::optional<QRgb>(frame.rgb() & 0xFFFFFF) : std::nullopt};
    else
        m_fills.erase({row, column});
}

std::optional<CellFill> Worksheet::cellFill(int row, int column) const
{
    const auto found = m_fills.find({row, column});
    if (found == m_fills.end())
        return std::nullopt;
    return found->second;
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

} // namespace quorvane
