#pragma once

// A workbook of one sheet, saved as the file name's extension asks:
//   * "*.xlsx" (any case): an Office Open XML workbook (written with
//     libxlsxwriter);
//   * "*.csv" (any case): the cells as comma-separated values (RFC 4180),
//     UTF-8 with a byte order mark, CRLF line ends;
//   * any other name (".xls", no extension, ...): an Excel 97-2003 binary
//     workbook (BIFF8 records inside an OLE2 compound file).
// Every value is stored as a text cell.

#include "export/worksheet.h"

#include <QByteArray>
#include <QString>

namespace quorvane {

class SpreadsheetApplication;

// The file format code of Workbook::saveAs: the normal workbook, whose kind
// follows the file name's extension.
namespace FileFormat {
constexpr int WorkbookNormal = -4143;
} // namespace FileFormat

// The bytes Workbook::saveAs writes for sheet under fileName, by its
// extension.
QByteArray workbookFileBytes(const Worksheet& sheet, const QString& fileName);

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
    // values, anything else -> Excel 97-2003); other codes throw. An
    // existing file is replaced without asking, and atomically: when writing
    // fails the old file is left as it was, and the failure carries the
    // system's error text.
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

} // namespace quorvane
