#pragma once

#include <QString>

namespace quorvane {

class TimetableGrid;

// Writes the timetable (timetable_picture.h) to fileName in the format its
// name asks for (".png" and ".pdf" in any case; a Windows bitmap for any
// other name), atomically (replaceFileAtomically). The title heads a PDF page.
void saveTimetablePicture(const TimetableGrid& grid, const QString& title, const QString& fileName);

} // namespace quorvane
