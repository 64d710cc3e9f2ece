#pragma once

#include <QString>

namespace quorvane {

class TimetableGrid;

// Writes the timetable (timetable_picture.h) to fileName in the format its
// name asks for (".png" and ".pdf" in any case; a Windows bitmap for any
// other name), atomically (replaceFileAtomically). The title heads a PDF page.
// Where courses clash, a bitmap shows the name the grid places, a PNG and a
// PDF every name (ClashNames).
void saveTimetablePicture(const TimetableGrid& grid, const QString& title, const QString& fileName);

} // namespace quorvane
