#include "export/picture_file.h"

#include "base/atomic_file.h"
#include "base/failure.h"
#include "export/save_file.h"
#include "export/timetable_picture.h"

#include <QBuffer>
#include <QImageWriter>

namespace quorvane {

namespace {

QByteArray imageBytes(const QImage& picture, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (!writer.write(picture))
        throw Failure(writer.errorString());
    return bytes;
}

} // namespace

void saveTimetablePicture(const TimetableGrid& grid, const QString& title, const QString& fileName)
{
    const ExportFormat format = exportFormatOf(fileName).value_or(ExportFormat::Bmp);
    const bool png = format == ExportFormat::Png;
    // A bitmap keeps the one name the grid places in a cell; a PNG shows
    // every clashing name, as the window does.
    const QByteArray bytes =
        format == ExportFormat::Pdf
            ? timetablePdf(grid, title)
            : imageBytes(timetableImage(grid, png ? ClashNames::All : ClashNames::Placed), png ? "png" : "bmp");
    replaceFileAtomically(fileName, bytes);
}

} // namespace quorvane
