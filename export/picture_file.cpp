#include "export/picture_file.h"

#include "store/failure.h"

#include "export/save_file.h"

#include <QBuffer>
#include <QImage>
#include <QImageWriter>

namespace quorvane {

void saveBitmap(const QImage& picture, const QString& fileName)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "bmp");
    if (!writer.write(picture))
        throw Failure(writer.errorString());
    saveFileAtomically(fileName, bytes);
}

} // namespace quorvane
