#pragma once

#include <QString>

class QImage;

namespace quorvane {

// Writes a picture as a Windows bitmap file. It goes through a temporary file
// beside the target, so a failed write leaves the file it was to replace whole.
void saveBitmap(const QImage& picture, const QString& fileName);

} // namespace quorvane
