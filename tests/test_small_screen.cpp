// The main window and a course dialog on a laptop screen of 1366 x 768 at
// 125 % (run with a screen of that size and QT_SCALE_FACTOR=1.25): the
// window fits the screen and every control can be scrolled to.
#include "app/form1.h"
#include "base/twips.h"
#include "dialogs/form2.h"
#include "domain/repository.h"
#include "store/connection.h"
#include "tests/support/scripted_prompts.h"
#include "tests/support/test_db.h"

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
    void mainWindowFitsAndScrollsToEveryButton();
    void smallDialogIsUnchanged();
};

void SmallScreenTest::mainWindowFitsAndScrollsToEveryButton()
{
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    QVERIFY2(available.height() < 664, "the test needs a screen lower than the window");
    ProgramFolder folder;
    ScriptedPrompts prompts;
    Form1 form(folder.path(), prompts);
    QVERIFY(form.Form_Load());
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QVERIFY(form.width() <= available.width() && form.height() <= available.height());
    auto* vertical = form.findChild<QScrollBar*>("WindowScrollV", Qt::FindDirectChildrenOnly);
    QVERIFY(vertical && vertical->isVisible());
    const QRect view(0, 0, vertical->x(), form.height());
    // Each button can be scrolled to, by the scroll bar and by the focus,
    // and stays a direct child at its place in the layout.
    for (int number = 1; number <= 10; ++number) {
        QPushButton* button = form.pushButton(number);
        QVERIFY(button);
        const QRect atTop = button->geometry().translated(0, vertical->value());
        vertical->setValue(vertical->minimum());
        if (!view.contains(button->geometry()))
            vertical->setValue(vertical->maximum());
        QVERIFY2(view.contains(button->geometry()), qPrintable(button->text()));
        QCOMPARE(button->geometry().translated(0, vertical->value()), atTop);
    }
    vertical->setValue(0);
    QWheelEvent wheel(QPointF(5, 5), form.mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&form, &wheel);
    QVERIFY(vertical->value() > 0);
    vertical->setValue(0);
    form.pushButton(8)->setFocus();
    QVERIFY(view.contains(form.pushButton(8)->geometry()));
    form.pushButton(1)->setFocus();
    QVERIFY(view.contains(form.pushButton(1)->geometry()));
    QCOMPARE(form.pushButton(1)->pos(), QPoint(pixelsFromTwips(120), pixelsFromTwips(1780) - vertical->value()));
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
