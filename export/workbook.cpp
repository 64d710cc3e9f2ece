// Workbooks and their saving, in the format the file name asks for.
#include "export/workbook.h"

#include "base/atomic_file.h"
#include "export/save_file.h"
#include "export/workbook_files.h"

#include <QByteArray>
#include <QFileInfo>

namespace quorvane {

QByteArray workbookFileBytes(const Worksheet& sheet, const QString& fileName)
{
    switch (exportFormatOf(fileName).value_or(ExportFormat::Xls)) {
    case ExportFormat::Xlsx:
        return xlsxWorkbookBytes(sheet);
    case ExportFormat::Csv:
        return csvBytes(sheet);
    default:
        return xlsWorkbookBytes(sheet);
    }
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
            QStringLiteral("The workbook has no sheet %1, only sheet 1 (\"%2\").").arg(index).arg(m_sheet.name()));
    return m_sheet;
}

namespace {

// Replaces fileName with bytes, or leaves it untouched when that fails.
void replaceFile(const QString& fileName, const QByteArray& bytes)
{
    try {
        replaceFileAtomically(fileName, bytes);
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

} // namespace quorvane
