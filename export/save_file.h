#pragma once

#include <QString>

#include <optional>

namespace quorvane {

// True when both paths name one existing file, through links or not.
bool sameFile(const QString& a, const QString& b);

// Why an export must not replace target, or an empty text: the program's own
// database ("it is the program's own database"), and what is no regular file
// (a pipe, a device, a folder: "it is not a regular file").
QString exportRefusal(const QString& target, const QString& databasePath);

// The formats an export writes, each named by its file's extension (any
// case); nothing for any other name.
enum class ExportFormat { Bmp, Png, Pdf, Xls, Xlsx, Csv, Ics };
std::optional<ExportFormat> exportFormatOf(const QString& fileName);

// What a format holds: a picture (.bmp, .png, .pdf), the workbook's cells
// (.xls, .xlsx, .csv) or a calendar (.ics).
enum class ExportKind { Picture, Workbook, Calendar };
ExportKind kindOf(ExportFormat format);
std::optional<ExportKind> exportKindOf(const QString& fileName);

} // namespace quorvane
