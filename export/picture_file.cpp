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

PictureFormat pictureFormatOf(const QString& fileName)
{
    switch (exportFormatOf(fileName).value_or(ExportFormat::Bmp)) {
    case ExportFormat::Png:
        return PictureFormat::Png;
    case ExportFormat::Pdf:
        return PictureFormat::Pdf;
    default:
        return PictureFormat::Bmp;
    }
}

void saveTimetablePicture(const TimetableGrid& grid, const QString& title, const QString& fileName)
{
    const PictureFormat format = pictureFormatOf(fileName);
    const QByteArray bytes = format == PictureFormat::Pdf
                                 ? timetablePdf(grid, title)
                                 : imageBytes(timetableImage(grid), format == PictureFormat::Png ? "png" : "bmp");
    replaceFileAtomically(fileName, bytes);
}

} // namespace quorvane
