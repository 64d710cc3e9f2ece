#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

namespace quorvane {

class TimetableGrid;

// The longest a cell's text wraps in a picture; what is left after the last
// line is elided.
constexpr int kMaxPictureLines = 4;
// The widest a column may grow for a long text, in pixels.
constexpr int kMaxPictureColumnWidth = 400;

// The timetable drawn for paper from the grid's texts, whatever the desktop's
// colours: a white background, black Arial (Liberation Sans) text, thin grey
// lines around every cell, the header row and the time column bold on light
// grey, clashing cells in TimetableGrid::clashColour(); no current cell, no
// selection. Columns are as wide as on screen, wider for a longer text up to
// the width that prints the grid largest on an A4 landscape page; a text that
// still does not fit wraps, and its row grows. Each cell shows the beginning
// of its text (shownText), at most kMaxPictureLines lines of it. At 96 dots
// per inch.
QImage timetableImage(const TimetableGrid& grid);

// The timetable as a PDF document of one A4 landscape page: title above the
// grid, the grid drawn as timetableImage draws it but as vector text and
// lines, scaled to fill the page.
QByteArray timetablePdf(const TimetableGrid& grid, const QString& title);

} // namespace quorvane
