#pragma once

// The colour of each course: on screen, in the pictures, the workbooks and
// the calendar alike.

#include <QColor>
#include <QHash>
#include <QString>
#include <QVector>

#include <utility>

class QPainter;
class QRect;

namespace quorvane {

// The light colours a course cell is filled with, each giving black text a
// contrast of at least 4.5:1 and told apart also with the common kinds of
// colour blindness.
const QVector<QColor>& coursePalette();

// The mark of a cell where courses clash: a dark red frame inside its
// rectangle, a shape no fill colour can be mistaken for, drawn alike on
// screen and on paper.
QColor clashFrameColour();
void paintClashFrame(QPainter& painter, const QRect& cell);

// The palette entry of every course name of a schedule, from its courses as
// (id, name). A name takes the entry its hash picks; when an earlier name
// (by its lowest id) has taken it, the next free one. So up to the
// palette's size the names all differ, the same courses give the same
// colours every time, and adding or deleting a course moves no other name
// unless the palette runs out. Past its size, names share entries.
QHash<QString, int> courseColourIndexes(QVector<std::pair<qint64, QString>> courses);

// The CSS colour name (as RFC 7986's COLOR takes it) nearest to a palette
// entry.
QString cssColourName(int paletteIndex);

} // namespace quorvane
