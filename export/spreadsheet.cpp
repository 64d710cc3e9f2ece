// The spreadsheet application's objects and the atomic saving of workbooks.
#include "export/spreadsheet.h"

#include "export/save_file.h"
#include "export/workbook_files.h"

#include <QByteArray>
#include <QFileInfo>

#include <algorithm>

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
    const bool openXml = fileName.endsWith(QLatin1String(".xlsx"), Qt::CaseInsensitive);

    const QString target = QFileInfo(fileName).absoluteFilePath();
    QByteArray bytes;
    try {
        bytes = openXml ? xlsxWorkbookBytes(m_sheet) : xlsWorkbookBytes(m_sheet);
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
