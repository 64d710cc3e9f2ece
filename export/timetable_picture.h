#pragma once

#include "timetable/grid.h"

#include <QByteArray>
#include <QImage>
#include <QString>

class QPageLayout;
class QPagedPaintDevice;

namespace quorvane {

// The longest a cell's text wraps in a picture; what is left after the last
// line is elided.
constexpr int kMaxPictureLines = 4;
// The widest a column may grow for a long text, in pixels.
constexpr int kMaxPictureColumnWidth = 400;

// The resolution pictures and pages are drawn at.
constexpr int kPageDotsPerInch = 96;

// The timetable drawn for paper from the grid's texts, whatever the desktop's
// colours: a white background, black Arial (Liberation Sans) text, thin grey
// lines around every cell, the header row and the time column bold on light
// grey, each course's cells in its colour (TimetableGrid::courseColour),
// clashing cells framed (paintClashFrame); no current cell, no selection.
// Columns are as wide as on screen, wider for a longer text up to the width
// that prints the grid largest on a landscape page of the locale's paper
// (localePaper); a text that
// still does not fit wraps, and its row grows. Each cell shows the beginning
// of its text (shownText), at most kMaxPictureLines lines of it. At 96 dots
// per inch.
QImage timetableImage(const TimetableGrid& grid, ClashNames names = ClashNames::All);

// The timetable as a PDF document of one landscape page of the locale's
// paper, or of `layout` (a printer's), drawn by drawTimetablePage.
QByteArray timetablePdf(const TimetableGrid& grid, const QString& title);
QByteArray timetablePdf(const TimetableGrid& grid, const QString& title, const QPageLayout& layout);

// Draws the timetable as one page onto a paged device (a PDF writer, a
// printer) at kPageDotsPerInch, with its page layout set: the title above
// the grid, the grid drawn as timetableImage draws it but as vector text and
// lines, scaled to fill the page within its margins, every clashing name in
// its cell. False when the device
// cannot be drawn on or finished.
bool drawTimetablePage(QPagedPaintDevice& device, const TimetableGrid& grid, const QString& title);

} // namespace quorvane
