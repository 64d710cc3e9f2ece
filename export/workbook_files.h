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

} // namespace quorvane
