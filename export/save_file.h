#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace quorvane {

// Puts `bytes` in the place of the file `path`, or makes it. The bytes go to
// a temporary file beside it, are written and synced to the disk, and only
// then take the file's place, so on any failure (a full disk, a folder that
// cannot be written) the old file stays byte for byte and no temporary file
// is left. A symbolic link is written through to the file it points to. The
// failure carries the system's reason ("No space left on device").
void saveFileAtomically(const QString& path, const QByteArray& bytes);

// True when both paths name one existing file, through links or not.
bool sameFile(const QString& a, const QString& b);

// Why an export must not replace target, or an empty text: the program's own
// database ("it is the program's own database"), and what is no regular file
// (a pipe, a device, a folder: "it is not a regular file").
QString exportRefusal(const QString& target, const QString& databasePath);

// What a file's extension (any case) asks an export for: a picture (.bmp,
// .png, .pdf), the workbook's cells (.xls, .xlsx, .csv) or a calendar (.ics);
// nothing for any other name.
enum class ExportKind { Picture, Workbook, Calendar };
std::optional<ExportKind> exportKindOf(const QString& fileName);

} // namespace quorvane
