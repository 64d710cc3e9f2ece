#include "app/program_icon.h"

#include <QPainter>
#include <QPixmap>

namespace quorvane {

QIcon programIcon()
{
    static const QIcon icon = [] {
        QPixmap picture(32, 32);
        picture.fill(Qt::transparent);
        QPainter painter(&picture);
        painter.setPen(QColor(0x1f, 0x3a, 0x5f));
        painter.setBrush(Qt::white);
        painter.drawRect(2, 3, 27, 26);
        painter.fillRect(3, 4, 26, 6, QColor(0x1f, 0x3a, 0x5f));
        painter.fillRect(8, 13, 7, 5, QColor(0xe0, 0x8a, 0x1e));
        painter.fillRect(17, 19, 7, 7, QColor(0x3c, 0x9d, 0x5d));
        for (int x = 9; x < 29; x += 7)
            painter.drawLine(x, 10, x, 28);
        return QIcon(picture);
    }();
    return icon;
}

} // namespace quorvane
