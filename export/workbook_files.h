#pragma once

// The bytes of workbook files, built in memory (internal to export/).

#include <QByteArray>

namespace quorvane {

class Worksheet;

// A complete Excel 97-2003 workbook file holding sheet.
QByteArray xlsWorkbookBytes(const Worksheet& sheet);

// The BIFF8 "Workbook" stream for sheet (without the compound file around it).
QByteArray biff8WorkbookStream(const Worksheet& sheet);

// An OLE2 compound file (version 3, 512-byte sectors) whose only stream is
// "Workbook" with the given content. Streams shorter than 4096 bytes are
// padded with zero bytes after their end to 4096, so that the stream lives in
// ordinary sectors and no mini stream is needed.
QByteArray compoundFileWithWorkbookStream(const QByteArray& workbookStream);

// A complete .xlsx workbook file holding sheet (written by libxlsxwriter
// into a temporary folder and read back).
QByteArray xlsxWorkbookBytes(const Worksheet& sheet);

// The cells of sheet as comma-separated values (RFC 4180): rows 1 to
// maxRow(), each with maxColumn() fields, CRLF after every row, a field
// quoted when it holds a quote, a comma, a line break or blanks at either
// end. UTF-8 with a byte order mark, so that spreadsheet programs read it as
// such. Texts are cut as in a workbook (storedCellText); U+0000 is left out.
QByteArray csvBytes(const Worksheet& sheet);

} // namespace quorvane
