#include "export/picture_file.h"

#include "store/failure.h"

#include <QImage>
#include <QImageWriter>
#include <QSaveFile>

namespace quorvane {

void saveBitmap(const QImage& picture, const QString& fileName)
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        throw Failure(file.errorString());
    QImageWriter writer(&file, "bmp");
    if (!writer.write(picture))
        throw Failure(writer.errorString());
    if (!file.commit())
        throw Failure(file.errorString());
}

} // namespace quorvane
