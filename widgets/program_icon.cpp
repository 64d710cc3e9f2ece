#include "widgets/program_icon.h"

#include <QPainter>
#include <QPixmap>

namespace quorvane {

namespace {
// Paints the icon on a 32-unit square. An outline covers the unit to the
// right of and below its coordinates, as a one-pixel pen does without
// antialiasing; with antialiasing it is moved by half a unit to do the same,
// and its corners are mitred to stay square when scaled up.
void paintProgramIcon(QPainter& painter)
{
    const qreal half = painter.testRenderHint(QPainter::Antialiasing) ? 0.5 : 0.0;
    QPen pen(QColor(0x1f, 0x3a, 0x5f));
    pen.setJoinStyle(Qt::MiterJoin);
    painter.setPen(pen);
    painter.setBrush(Qt::white);
    painter.drawRect(QRectF(2 + half, 3 + half, 27, 26));
    painter.fillRect(3, 4, 26, 6, QColor(0x1f, 0x3a, 0x5f));
    painter.fillRect(8, 13, 7, 5, QColor(0xe0, 0x8a, 0x1e));
    painter.fillRect(17, 19, 7, 7, QColor(0x3c, 0x9d, 0x5d));
    for (int x = 9; x < 29; x += 7)
        painter.drawLine(QPointF(x + half, 10 + half), QPointF(x + half, 28 + half));
}
} // namespace

QIcon programIcon()
{
    static const QIcon icon = [] {
        QPixmap picture(32, 32);
        picture.fill(Qt::transparent);
        QPainter painter(&picture);
        paintProgramIcon(painter);
        return QIcon(picture);
    }();
    return icon;
}

QImage programIconImage(int size)
{
    QImage picture(size, size, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    // At its own size the picture is the window's icon pixel for pixel.
    painter.setRenderHint(QPainter::Antialiasing, size != 32);
    painter.scale(size / 32.0, size / 32.0);
    paintProgramIcon(painter);
    return picture;
}

} // namespace quorvane
