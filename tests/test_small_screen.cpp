// The main window and a course dialog on a laptop screen of 1366 x 768 at
// 125 % and at 200 % (run with a screen of that size and QT_SCALE_FACTOR):
// the window fits the screen. Where the screen holds the window's least size
// (125 %) every control is in sight and only the grid scrolls its rows;
// where it does not (200 %) the window scrolls and the grid shows all its
// rows: never a scroll bar inside a scroll bar.
#include "app/form1.h"
#include "base/twips.h"
#include "dialogs/form2.h"
#include "domain/repository.h"
#include "store/connection.h"
#include "tests/support/scripted_prompts.h"
#include "tests/support/test_db.h"
#include "timetable/grid_view.h"
#include "widgets/growing_form.h"

#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QtTest>

using namespace quorvane;
using namespace quorvane::testing;

class SmallScreenTest : public QObject
{
    Q_OBJECT
private slots:
    void mainWindowFitsWithoutAScrollBarInAScrollBar();
    void smallDialogIsUnchanged();
};

void SmallScreenTest::mainWindowFitsWithoutAScrollBarInAScrollBar()
{
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    QVERIFY2(available.height() < 664, "the test needs a screen lower than the window");
    const bool atTwice = qEnvironmentVariable("QT_SCALE_FACTOR").toDouble() >= 2;
    ProgramFolder folder;
    ScriptedPrompts prompts;
    Form1 form(folder.path(), prompts);
    QVERIFY(form.Form_Load());
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QCoreApplication::processEvents();
    QVERIFY(form.frameGeometry().width() <= available.width() && form.frameGeometry().height() <= available.height());
    GrowingForm& body = form.body();
    QCOMPARE(body.scrolls(), atTwice);
    QCOMPARE(body.verticalScrollBar()->isVisible(), atTwice);
    TimetableView& grid = form.gridView();
    if (!atTwice) {
        // Everything in sight; the grid shows more than its least rows.
        QVERIFY(!body.horizontalScrollBar()->isVisible());
        for (int number = 1; number <= 10; ++number)
            QVERIFY2(body.viewport()->rect().contains(form.pushButton(number)->geometry()),
                     qPrintable(form.pushButton(number)->text()));
        QVERIFY(grid.height() >= grid.minimumSizeHint().height());
        QVERIFY(grid.verticalScrollBar()->isVisible());
        return;
    }
    QVERIFY(!grid.verticalScrollBar()->isVisible());
    QVERIFY(!grid.horizontalScrollBar()->isVisible());
    // Each button can be scrolled to, by the focus, and stays at its place.
    QScrollBar* vertical = body.verticalScrollBar();
    QApplication::setActiveWindow(&form);
    for (int number : {8, 1, 10, 2}) {
        QPushButton* button = form.pushButton(number);
        const QPoint place = button->pos();
        button->setFocus();
        const QRect shown(body.area()->mapFrom(body.viewport(), QPoint(0, 0)), body.viewport()->size());
        QVERIFY2(shown.contains(button->geometry()), qPrintable(button->text()));
        QCOMPARE(button->pos(), place);
    }
    QCOMPARE(form.pushButton(1)->pos(), QPoint(pixelsFromTwips(120), pixelsFromTwips(1780)));
    vertical->setValue(0);
    QWheelEvent wheel(QPointF(5, 5), body.viewport()->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, -120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(body.viewport(), &wheel);
    QVERIFY(vertical->value() > 0);
}

void SmallScreenTest::smallDialogIsUnchanged()
{
    ProgramFolder folder;
    ScriptedPrompts prompts;
    Connection db;
    db.open(folder.databasePath());
    Repository courses(db);
    Form2 add(courses, prompts, folder.path());
    const QSize size = add.size();
    add.show();
    QCOMPARE(add.size(), size);
    QVERIFY(!add.findChild<QScrollBar*>("WindowScrollV", Qt::FindDirectChildrenOnly));
}

QTEST_MAIN(SmallScreenTest)
#include "test_small_screen.moc"
