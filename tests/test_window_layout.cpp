// A window whose controls were placed for one size, at any other: the
// growing body below its menu bar, and the keeping of its size and place.
#include "widgets/growing_form.h"
#include "widgets/window_place.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <QtTest>

using namespace quorvane;

namespace {

// Laid out as the main window is: a strip on top that widens, a view that
// takes the extra width and height, and under it two buttons that share the
// width and go down with the view's bottom.
struct Window
{
    QWidget window;
    GrowingForm* body;
    QWidget* strip;
    QTableWidget* view;
    QPushButton* left;
    QPushButton* right;

    Window()
    {
        body = new GrowingForm(QSize(400, 300), &window);
        auto* layout = new QVBoxLayout(&window);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(body);
        strip = new QWidget(body->area());
        body->place(strip, QRect(10, 10, 380, 50), {0, 1, 0, 0});
        view = new QTableWidget(40, 3, body->area());
        view->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
        view->setMinimumSize(100, 80);
        body->place(view, QRect(10, 70, 380, 180), {0, 1, 0, 1});
        left = new QPushButton(QStringLiteral("Left"), body->area());
        body->place(left, QRect(10, 260, 185, 30), {0, 0.5, 1, 0});
        right = new QPushButton(QStringLiteral("Right"), body->area());
        body->place(right, QRect(205, 260, 185, 30), {0.5, 0.5, 1, 0});
        window.resize(400, 300);
    }

    // Shown, then made `size`; below its least size only when told, as on
    // a screen that cannot hold it.
    void showAt(const QSize& size, bool belowLeast = false)
    {
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        if (belowLeast)
            window.setMinimumSize(0, 0);
        window.resize(size);
        // The scroll bars come and go through posted events.
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    }
};

} // namespace

class WindowLayoutTest : public QObject
{
    Q_OBJECT
private slots:
    void eachControlTakesItsShares_data();
    void eachControlTakesItsShares();
    void belowTheLeastSizeTheBodyScrollsAndNothingInsideIt();
    void placeIsKeptAndWhatCannotBeReadIgnored_data();
    void placeIsKeptAndWhatCannotBeReadIgnored();
};

void WindowLayoutTest::eachControlTakesItsShares_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QRect>("strip");
    QTest::addColumn<QRect>("view");
    QTest::addColumn<QRect>("left");
    QTest::addColumn<QRect>("right");
    QTest::newRow("first") << QSize(400, 300) << QRect(10, 10, 380, 50) << QRect(10, 70, 380, 180)
                           << QRect(10, 260, 185, 30) << QRect(205, 260, 185, 30);
    // 201 wider: the left button's right edge and the right button's left
    // edge move by the same 101 pixels, the gap stays 10.
    QTest::newRow("larger") << QSize(601, 451) << QRect(10, 10, 581, 50) << QRect(10, 70, 581, 331)
                            << QRect(10, 411, 286, 30) << QRect(306, 411, 285, 30);
    QTest::newRow("smaller") << QSize(300, 250) << QRect(10, 10, 280, 50) << QRect(10, 70, 280, 130)
                             << QRect(10, 210, 135, 30) << QRect(155, 210, 135, 30);
}

void WindowLayoutTest::eachControlTakesItsShares()
{
    QFETCH(QSize, size);
    Window w;
    w.showAt(size);
    QCOMPARE(w.window.minimumSize(), w.body->leastSize());
    QVERIFY(!w.body->scrolls());
    QTEST(w.strip->geometry(), "strip");
    QTEST(w.view->geometry(), "view");
    QTEST(w.left->geometry(), "left");
    QTEST(w.right->geometry(), "right");
}

// The least size keeps the view's minimum height and the buttons' widths;
// below it the body scrolls, the view as large as its rows, and a control
// that gets the focus comes into sight.
void WindowLayoutTest::belowTheLeastSizeTheBodyScrollsAndNothingInsideIt()
{
    Window w;
    const QSize least = w.body->leastSize();
    QCOMPARE(least.height(), 300 - (180 - 80));
    QCOMPARE(least.width(), std::max(400 - 2 * (185 - w.left->sizeHint().width()), 400 - (380 - 100)));
    w.showAt(QSize(450, least.height() - 20), true);
    QVERIFY(w.body->scrolls() && w.body->verticalScrollBar()->isVisible());
    QVERIFY(w.view->height() >= w.view->sizeHint().height());
    QVERIFY(!w.view->verticalScrollBar()->isVisible());
    QApplication::setActiveWindow(&w.window);
    QVERIFY(QTest::qWaitForWindowActive(&w.window));
    w.right->setFocus();
    const QRect shown(w.body->area()->mapFrom(w.body->viewport(), QPoint(0, 0)), w.body->viewport()->size());
    QVERIFY(shown.contains(w.right->geometry()));
    w.window.resize(w.body->leastSize());
    QCoreApplication::processEvents();
    QVERIFY(!w.body->scrolls());
}

void WindowLayoutTest::placeIsKeptAndWhatCannotBeReadIgnored_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("kept") << QByteArray("kept");
    QTest::newRow("no file") << QByteArray();
    QTest::newRow("not a settings file") << QByteArray("\x00\xff\xfe garbage [[[", 16);
    QTest::newRow("not a place") << QByteArray("[MainWindow]\ngeometry=@ByteArray(not a geometry)\n");
}

void WindowLayoutTest::placeIsKeptAndWhatCannotBeReadIgnored()
{
    QFETCH(QByteArray, content);
    QTemporaryDir folder;
    const QString file = folder.filePath("config/quorvane/quorvane.conf");
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect kept(screen.left() + 40, screen.top() + 50, 500, 350);
    if (content == "kept") {
        QWidget window;
        new WindowPlace(&window, file);
        window.setGeometry(kept);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.close();
    } else if (!content.isEmpty()) {
        QVERIFY(QDir().mkpath(QFileInfo(file).path()));
        QFile written(file);
        QVERIFY(written.open(QIODevice::WriteOnly));
        written.write(content);
    }
    QWidget window;
    window.resize(321, 123);
    new WindowPlace(&window, file);
    QCOMPARE(window.geometry().size(), content == "kept" ? kept.size() : QSize(321, 123));
    if (content == "kept")
        QCOMPARE(window.geometry(), kept);
    // By default in the user's configuration folder.
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(folder.path()));
    QCOMPARE(WindowPlace::userSettingsFile(), folder.path() + "/quorvane/quorvane.conf");
    qunsetenv("XDG_CONFIG_HOME");
}

QTEST_MAIN(WindowLayoutTest)
#include "test_window_layout.moc"
