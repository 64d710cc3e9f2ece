#pragma once

#include <QString>

class QImage;

namespace quorvane {

// Writes a picture as a Windows bitmap file, atomically (saveFileAtomically).
void saveBitmap(const QImage& picture, const QString& fileName);

} // namespace quorvane
