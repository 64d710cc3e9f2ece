// The pictures installed for the desktop: the hand pointer is a cursor file
// that Qt loads, with its hot spot on the drawing, and the icon theme's
// 32-pixel picture is the window's icon.
#include "widgets/pointer.h"
#include "widgets/program_icon.h"

#include <QFile>
#include <QPixmap>
#include <QtTest>

class CheckPictures : public QObject
{
    Q_OBJECT
private slots:
    void handCursorLoads()
    {
        QFile file(QStringLiteral(QUORVANE_CURSOR_FILE));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.read(14);
        QCOMPARE(bytes.left(6), QByteArray("\0\0\2\0\1\0", 6)); // one cursor picture
        const QPixmap picture(QStringLiteral(QUORVANE_CURSOR_FILE));
        QVERIFY(!picture.isNull());
        QCOMPARE(picture.size(), QSize(32, 32));
        const int hotX = quint8(bytes[10]) | quint8(bytes[11]) << 8;
        const int hotY = quint8(bytes[12]) | quint8(bytes[13]) << 8;
        const QImage image = picture.toImage();
        QCOMPARE(image.pixelColor(hotX, hotY).alpha(), 255);
        QCOMPARE(image.pixelColor(31, 31).alpha(), 0);
        // The program clicks where the file says.
        QWidget window;
        quorvane::PointerConvention pointer(&window);
        pointer.loadMouseIcon(QStringLiteral(QUORVANE_CURSOR_FILE));
        pointer.set(quorvane::kPointerHand);
        QCOMPARE(window.cursor().hotSpot(), QPoint(hotX, hotY));
    }

    void themeIconIsTheWindowIcon()
    {
        const QImage theme(QStringLiteral(QUORVANE_ICON_32));
        QCOMPARE(theme.convertToFormat(QImage::Format_ARGB32),
                 quorvane::programIcon().pixmap(32).toImage().convertToFormat(QImage::Format_ARGB32));
    }
};

QTEST_MAIN(CheckPictures)
#include "check_pictures.moc"
