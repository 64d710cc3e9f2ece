// The main window's start-up, layout, pointer convention and closing.
#include "app/form1.h"
#include "base/app_info.h"
#include "base/twips.h"
#include "export/timetable_picture.h"
#include "store/connection.h"
#include "tests/support/expected_texts.h"
#include "tests/support/list_rows.h"
#include "tests/support/scripted_prompts.h"
#include "tests/support/test_db.h"
#include "timetable/grid.h"
#include "timetable/grid_view.h"
#include "widgets/appearance.h"
#include "widgets/growing_form.h"
#include "widgets/qt_prompts.h"

#include <QAbstractItemModelTester>
#include <QDir>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeView>
#include <QtTest>

using namespace quorvane;
using namespace quorvane::testing;

namespace {
void moveOver(QWidget* widget)
{
    const QPointF at(5, 5);
    QMouseEvent move(QEvent::MouseMove, at, widget->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}
} // namespace

class MainWindowTest : public QObject
{
    Q_OBJECT
private slots:
    void withoutDatabaseOneBoxAndNoWindow();
    void emptyDatabaseShowsHeadersAndNoRows();
    void firstScheduleIsSelectedAndDrawn();
    void firstLayoutIsAsPlacedBelowTheMenuBar_data();
    void firstLayoutIsAsPlacedBelowTheMenuBar();
    void largerWindowGivesTheGridAndTheListTheRoom();
    void currentScheduleIsOutlinedWhileTheListHasTheFocus();
    void changesMadeElsewhereAppear();
    void captionTitleAndFonts();
    void handOverButtonsNormalElsewhereBusyStays();
    void cursorFileIsOptional();
    void unreadableCursorFileIsReportedAt116();
    void skinFileGivesButtonFaceBackground();
    void notADatabaseIsReportedAtOpenAndAtTheListAndStillShows_data();
    void notADatabaseIsReportedAtOpenAndAtTheListAndStillShows();
    void closingClosesTheConnection();
    void pointerIsNormalAfterAFailedRead();
    void realPromptsShowTextsAsWrittenAndSaveWhereTheFilesAre();
    void realBoxesAreAsWideAsTheirTitles();
};

void MainWindowTest::withoutDatabaseOneBoxAndNoWindow()
{
    ProgramFolder folder(false);
    ScriptedPrompts prompts;
    Form1 form(folder.path(), prompts);
    QVERIFY(!form.Form_Load());
    QCOMPARE(prompts.shown.size(), 1);
    const MessageBoxRequest box = prompts.messages().first();
    QCOMPARE(box.text, folder.path() + "/dbSchedules.mdb not found.");
    QCOMPARE(box.title, QString("Quorvane"));
    QCOMPARE(box.buttons, Buttons::Ok);
    QCOMPARE(box.icon, Icon::None);
    QVERIFY(!form.isVisible());
    QVERIFY(!form.hasScheduleDb());
    QVERIFY(!QFile::exists(folder.databasePath()));
}

void MainWindowTest::emptyDatabaseShowsHeadersAndNoRows()
{
    ProgramFolder folder;
    ScriptedPrompts prompts;
    Form1 form(folder.path(), prompts);
    QVERIFY(form.Form_Load());
    QVERIFY(prompts.shown.isEmpty());
    const ScheduleList& schedules = form.scheduleList();
    QCOMPARE(schedules.columnCount(), 2);
    QCOMPARE(schedules.headerData(0, Qt::Horizontal).toString(), QString(" Schedule ID"));
    QCOMPARE(schedules.headerData(1, Qt::Horizontal).toString(), QString(" Schedule(s)"));
    QCOMPARE(schedules.rowCount(), 0);
    // The view shows the names alone.
    const QTreeView& list = form.listView();
    QCOMPARE(list.model()->columnCount(), 1);
    QCOMPARE(list.model()->headerData(0, Qt::Horizontal).toString(), QString(" Schedule(s)"));
    QCOMPARE(list.columnWidth(0), pixelsFromTwips(11000));
    QCOMPARE(form.grid().text(0, 0), QString("Time"));
    QCOMPARE(form.grid().text(1, 0), QString("6:00 AM"));
    QCOMPARE(form.mousePointer(), 0);
}

void MainWindowTest::firstScheduleIsSelectedAndDrawn()
{
    ProgramFolder folder;
    execSql(folder.databasePath(), "insert into tblSchedules (Description) values ('Fall')");
    execSql(folder.databasePath(), "insert into tblSchedules (Description) values ('Spring')");
    execSql(folder.databasePath(), "insert into tblSchedules (Description) values (NULL)");
    execSql(folder.databasePath(), "insert into tblCourse (ScheduleID,CourseName,Notes,Days,TimeFrom,TimeTo) "
                                   "values (1,'Physics','','0','06:00','06:30')");
    execSql(folder.databasePath(), "insert into tblCourse (ScheduleID,CourseName,Notes,Days,TimeFrom,TimeTo) "
                                   "values (2,'Chemistry','','1','06:00','06:30')");
    // A database from before the schedule guard gains it when it is opened.
    execSql(folder.databasePath(), "drop trigger tblCourse_ScheduleExists");
    ScriptedPrompts prompts;
    Form1 form(folder.path(), prompts);
    QAbstractItemModelTester tester(form.listView().model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    QVERIFY(form.Form_Load());
    QCOMPARE(
        scalarSql(folder.databasePath(), "select count(*) from sqlite_master where name='tblCourse_ScheduleExists'"),
        QString("1"));
    QCOMPARE(form.scheduleCount(), 3);
    QCOMPARE(listColumn(form, 0), (QStringList{"1", "2", "3"}));
    QCOMPARE(listColumn(form, 1), (QStringList{"Fall", "Spring", ""}));
    QCOMPARE(form.selectedScheduleId(), ScheduleId(1));
    QCOMPARE(selectedRow(form), 1);
    QCOMPARE(form.grid().text(1, 1), QString("Physics"));
    QCOMPARE(form.grid().text(2, 1), QString("Physics"));
    QCOMPARE(form.grid().text(1, 2), QString());
    QVERIFY(prompts.shown.isEmpty());
    // The names start at the list's left edge and fit it.
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(form.listView().header()->sectionViewportPosition(0), 0);
    QVERIFY(!form.listView().horizontalScrollBar()->isVisible());
}

void MainWindowTest::firstLayoutIsAsPlacedBelowTheMenuBar_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QRect>("twipsRect");
    QTest::newRow("list") << "ListView1"
                          << "" << QRect(120, 120, 12120, 1575);
    QTest::newRow("grid") << "MSHFlexGrid1"
                          << "" << QRect(120, 2800, 12120, 5535);
    QTest::newRow("1") << "PushButton1"
                       << "Add Schedule" << QRect(120, 1780, 6000, 405);
    QTest::newRow("5") << "PushButton5"
                       << "Edit Schedule" << QRect(6240, 1780, 6000, 405);
    QTest::newRow("2") << "PushButton2"
                       << "Delete Schedule" << QRect(120, 2290, 6000, 405);
    QTest::newRow("9") << "PushButton9"
                       << "Load Sample/Example Schedule" << QRect(6240, 2290, 6000, 405);
    QTest::newRow("3") << "PushButton3"
                       << "Add Course" << QRect(120, 8430, 6000, 405);
    QTest::newRow("6") << "PushButton6"
                       << "Edit Course" << QRect(6240, 8430, 6000, 405);
    QTest::newRow("4") << "PushButton4"
                       << "Delete Course" << QRect(120, 8940, 6000, 405);
    QTest::newRow("10") << "PushButton10"
                        << "Delete All Courses" << QRect(6240, 8940, 6000, 405);
    QTest::newRow("7") << "PushButton7"
                       << "Save Schedule As Image For Printing" << QRect(120, 9450, 6000, 405);
    QTest::newRow("8") << "PushButton8"
                       << "Export Schedule To Excel For Printing" << QRect(6240, 9450, 6000, 405);
}

// The window grows by its menu bar; below it every control is where it was.
void MainWindowTest::firstLayoutIsAsPlacedBelowTheMenuBar()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QRect, twipsRect);
    ProgramFolder folder;
    ScriptedPrompts prompts;
    Form1 form(folder.path(), prompts);
    QVERIFY(form.Form_Load());
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    const int menuBar = form.menuBar()->height();
    QVERIFY(menuBar > 0);
    QCOMPARE(form.size(), QSize(824, 664 + menuBar));
    QCOMPARE(form.body().area()->size(), QSize(824, 664));
    QVERIFY(!form.body().scrolls());
    // Resizable and maximisable.
    QCOMPARE(form.maximumSize(), QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
    auto* widget = form.findChild<QWidget*>(name);
    QVERIFY(widget);
    const QRect place(pixelsFromTwips(twipsRect.x()), pixelsFromTwips(twipsRect.y()),
                      pixelsFromTwips(twipsRect.width()), pixelsFromTwips(twipsRect.height()));
    QCOMPARE(widget->geometry(), place);
    QCOMPARE(widget->mapTo(&form, QPoint(0, 0)), place.topLeft() + QPoint(0, menuBar));
    if (auto* button = qobject_cast<QPushButton*>(widget)) {
        QCOMPARE(button->text(), caption);
        QCOMPARE(button->font().pointSizeF(), 11.25);
        QVERIFY(button->font().bold());
    }
}

// A larger window, as maximised on a 1920 x 1080 screen: the extra width to
// the grid's days and the list, half to each column of buttons, the extra
// height to the grid, every row in sight. The pictures keep their sizes.
void MainWindowTest::largerWindowGivesTheGridAndTheListTheRoom()
{
    ProgramFolder folder;
    ScriptedPrompts prompts;
    Form1 form(folder.path(), prompts);
    QVERIFY(form.Form_Load());
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    const QSize picture = timetableImage(form.grid()).size();
    form.resize(1920, 1080 - 40);
    QCoreApplication::processEvents();
    const QSize extra = form.body().area()->size() - QSize(824, 664);
    QCOMPARE(extra, QSize(1920 - 824, 1080 - 40 - form.menuBar()->height() - 664));
    const auto place = [&](const char* name) { return form.findChild<QWidget*>(name)->geometry(); };
    const int half = extra.width() / 2;
    QCOMPARE(place("ListView1"), QRect(8, 8, 808 + extra.width(), 105));
    QCOMPARE(place("MSHFlexGrid1"), QRect(8, 187, 808 + extra.width(), 369 + extra.height()));
    QCOMPARE(place("PushButton1"), QRect(8, 119, 400 + half, 27));
    QCOMPARE(place("PushButton8"), QRect(416 + half, 630 + extra.height(), 400 + extra.width() - half, 27));
    QCOMPARE(form.listView().columnWidth(0), pixelsFromTwips(11000) + extra.width());
    const TimetableView& grid = form.gridView();
    QCOMPARE(grid.columnWidth(0), 80);
    QVERIFY(grid.fontMetrics().horizontalAdvance("MATH 2210 Linear Algebra") < grid.columnWidth(7));
    QVERIFY(grid.rowViewportPosition(31) + grid.rowHeight(31) <= grid.viewport()->height());
    QCOMPARE(timetableImage(form.grid()).size(), picture);
}

void MainWindowTest::currentScheduleIsOutlinedWhileTheListHasTheFocus()
{
    ProgramFolder folder;
    execSql(folder.databasePath(), "insert into tblSchedules (Description) values ('Fall')");
    ScriptedPrompts prompts;
    Form1 form(folder.path(), prompts);
    QVERIFY(form.Form_Load());
    form.show();
    QApplication::setActiveWindow(&form);
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QTreeView& list = form.listView();
    const QRect row = list.visualRect(list.currentIndex());
    const QColor ink = contrastingInk(list.palette().color(QPalette::Active, QPalette::Highlight));
    const auto outlined = [&] { return QColor(list.viewport()->grab().toImage().pixel(row.topLeft())) == ink; };
    list.setFocus();
    QVERIFY(outlined());
    form.gridView().setFocus();
    QVERIFY(!outlined());
}

// Another program's change shows at the clock's tick or at the next focus,
// the selected schedule still selected; nothing changed, nothing is drawn.
void MainWindowTest::changesMadeElsewhereAppear()
{
    ProgramFolder folder;
    const QString db = folder.databasePath();
    execSql(db, "insert into tblSchedules (Description) values ('Fall'), ('Spring')");
    ScriptedPrompts prompts;
    Form1 form(folder.path(), prompts);
    QVERIFY(form.Form_Load());
    auto* clock = form.findChild<QTimer*>("ChangesElsewhereTimer");
    QVERIFY(!clock->isActive());
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QVERIFY(clock->isActive() && clock->interval() <= 1000);
    clock->stop(); // asked by hand below
    form.selectSchedule(2);
    execSql(db, "insert into tblSchedules (Description) values ('Summer')");
    execSql(db, "insert into tblCourse (ScheduleID,CourseName,Notes,Days,TimeFrom,TimeTo) "
                "values (2,'Physics','','0','06:00','06:30')");
    QVERIFY(form.ShowChangesMadeElsewhere());
    QCOMPARE(listColumn(form, 1), (QStringList{"Fall", "Spring", "Summer"}));
    QCOMPARE(form.selectedScheduleName(), QString("Spring"));
    QCOMPARE(form.grid().text(1, 1), QString("Physics"));
    QSignalSpy redrawn(&form.grid(), &QAbstractItemModel::dataChanged);
    QVERIFY(!form.ShowChangesMadeElsewhere());
    QCOMPARE(redrawn.count(), 0);
    // Gone, at the next focus: the first is selected.
    execSql(db, "delete from tblCourse");
    execSql(db, "delete from tblSchedules where Description='Spring'");
    QWidget elsewhere;
    elsewhere.show();
    QApplication::setActiveWindow(&elsewhere);
    QVERIFY(QTest::qWaitForWindowActive(&elsewhere));
    QCOMPARE(form.scheduleCount(), 3);
    QApplication::setActiveWindow(&form);
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QCOMPARE(listColumn(form, 1), (QStringList{"Fall", "Summer"}));
    QCOMPARE(form.selectedScheduleName(), QString("Fall"));
}

void MainWindowTest::captionTitleAndFonts()
{
    ProgramFolder folder;
    ScriptedPrompts prompts;
    Form1 form(folder.path(), prompts);
    QVERIFY(form.Form_Load());
    QCOMPARE(form.windowTitle(), QString("Quorvane"));
    QCOMPARE(applicationTitle(), QString("Quorvane"));
    QVERIFY(!form.windowIcon().isNull());
    QCOMPARE(form.font().family(), QString("Arial"));
    QCOMPARE(form.font().pointSizeF(), 9.0);
    QVERIFY(form.font().bold());
    QCOMPARE(form.gridView().font().pointSizeF(), 9.0);
    QCOMPARE(form.palette().color(QPalette::Window), QColor(Qt::white));
}

void MainWindowTest::handOverButtonsNormalElsewhereBusyStays()
{
    ProgramFolder folder;
    ScriptedPrompts prompts;
    Form1 form(folder.path(), prompts);
    QVERIFY(form.Form_Load());
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    moveOver(form.pushButton(3));
    QCOMPARE(form.mousePointer(), 99);
    QCOMPARE(form.cursor().shape(), Qt::PointingHandCursor);
    moveOver(form.gridView().viewport());
    QCOMPARE(form.mousePointer(), 0);
    moveOver(form.pushButton(8));
    QCOMPARE(form.mousePointer(), 99);
    moveOver(form.listView().viewport());
    QCOMPARE(form.mousePointer(), 0);
    form.pointer().set(11);
    moveOver(form.pushButton(1));
    QCOMPARE(form.mousePointer(), 11);
    QCOMPARE(form.cursor().shape(), Qt::WaitCursor);
    moveOver(&form);
    QCOMPARE(form.mousePointer(), 11);
}

void MainWindowTest::cursorFileIsOptional()
{
    ProgramFolder folder;
    {
        QImage picture(32, 32, QImage::Format_ARGB32);
        picture.fill(Qt::red);
        QVERIFY(picture.save(folder.file("HAND-M.CUR"), "CUR"));
    }
    ScriptedPrompts prompts;
    Form1 form(folder.path(), prompts);
    QVERIFY(form.Form_Load());
    QVERIFY(prompts.shown.isEmpty());
    QVERIFY(form.pointer().hasMouseIcon());
    form.pointer().set(99);
    QCOMPARE(form.cursor().shape(), Qt::BitmapCursor);

    ProgramFolder without;
    Form1 plain(without.path(), prompts);
    QVERIFY(plain.Form_Load());
    QVERIFY(prompts.shown.isEmpty());
    QVERIFY(!plain.pointer().hasMouseIcon());
}

void MainWindowTest::unreadableCursorFileIsReportedAt116()
{
    ProgramFolder folder;
    QFile bad(folder.file("HAND-M.CUR"));
    QVERIFY(bad.open(QIODevice::WriteOnly));
    bad.write("not a cursor");
    bad.close();
    ScriptedPrompts prompts;
    Form1 form(folder.path(), prompts);
    QVERIFY(form.Form_Load());
    QCOMPARE(prompts.errors().size(), 1);
    QVERIFY(prompts.errors().first().text.contains("in Tindrel2021/08/31.Form1.Form_Load at line 116\r\r"));
    QCOMPARE(form.windowTitle(), QString("Quorvane")); // start-up went on
}

void MainWindowTest::skinFileGivesButtonFaceBackground()
{
    ProgramFolder folder;
    QVERIFY(QDir(folder.path()).mkdir("x"));
    QFile skin(folder.file("x/o.cjs"));
    QVERIFY(skin.open(QIODevice::WriteOnly));
    skin.write("QPushButton { color: rgb(10, 20, 30); }");
    skin.close();
    ScriptedPrompts prompts;
    Form1 form(folder.path(), prompts);
    QVERIFY(form.Form_Load());
    QVERIFY(prompts.shown.isEmpty());
    QCOMPARE(form.palette().color(QPalette::Window), QApplication::palette().color(QPalette::Button));
    QVERIFY(form.styleSheet().contains("rgb(10, 20, 30)"));
}

void MainWindowTest::notADatabaseIsReportedAtOpenAndAtTheListAndStillShows_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("message");
    QTest::newRow("garbage") << QByteArray(8192, 'z') << "file is not a database";
    QTest::newRow("empty") << QByteArray()
                           << "file is not a timetable database: it has no tables tblSchedules and tblCourse";
}

void MainWindowTest::notADatabaseIsReportedAtOpenAndAtTheListAndStillShows()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, message);
    ProgramFolder folder;
    QFile file(folder.databasePath());
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
    file.close();
    ScriptedPrompts prompts;
    Form1 form(folder.path(), prompts);
    QVERIFY(form.Form_Load());
    QCOMPARE(prompts.errors().size(), 2);
    QCOMPARE(prompts.errors().first().text, message + errorBoxTail("Form1", "Form_Load", 108));
    QCOMPARE(prompts.errors().last().text,
             "Operation is not allowed when the object is closed." + errorBoxTail("Form1", "Form_Load", 146));
    QCOMPARE(form.scheduleCount(), 0);
    QCOMPARE(form.grid().text(1, 0), QString("6:00 AM"));
    QCOMPARE(form.mousePointer(), 0);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.close();
    QCOMPARE(fileBytes(folder.databasePath()), content);
}

void MainWindowTest::closingClosesTheConnection()
{
    ProgramFolder folder;
    ScriptedPrompts prompts;
    Form1 form(folder.path(), prompts);
    QVERIFY(form.Form_Load());
    QSignalSpy unloaded(&form, &Form1::unloaded);
    form.show();
    QVERIFY(form.scheduleDb().isOpen());
    QVERIFY(form.close());
    QVERIFY(!form.scheduleDb().isOpen());
    QCOMPARE(unloaded.count(), 1);
    QVERIFY(prompts.shown.isEmpty());
    QCOMPARE(scalarSql(folder.databasePath(), "PRAGMA integrity_check"), QString("ok"));
}

void MainWindowTest::pointerIsNormalAfterAFailedRead()
{
    ProgramFolder folder;
    execSql(folder.databasePath(), "drop table tblSchedules");
    ScriptedPrompts prompts;
    Form1 form(folder.path(), prompts);
    QVERIFY(form.Form_Load());
    QCOMPARE(prompts.errors().size(), 1);
    QVERIFY(prompts.errors().first().text.startsWith("no such table: tblSchedules\r\n"));
    QCOMPARE(form.mousePointer(), 0);
    QCOMPARE(form.cursor().shape(), Qt::ArrowCursor);
}

// Through the real Qt boxes: a text that looks like HTML is shown as
// written, and the save dialog opens where the user's files are.
void MainWindowTest::realPromptsShowTextsAsWrittenAndSaveWhereTheFilesAre()
{
    QtPrompts prompts;
    const QString question = "Are you sure you want to delete [<B>LAB</B> & <I>TUTOR</I>] schedule?\r\n"
                             "Note: All courses in this schedule will be also deleted.";
    QString shown;
    bool plain = false;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY(box);
        shown = box->text();
        const auto* label = box->findChild<QLabel*>("qt_msgbox_label");
        plain = box->textFormat() == Qt::PlainText && label && label->textFormat() == Qt::PlainText;
        box->done(QMessageBox::No);
    });
    QCOMPARE(askYesNo(prompts, nullptr, question, "Delete Schedule"), false);
    QCOMPARE(shown, question);
    QVERIFY(plain);

    QTemporaryDir home;
    const QByteArray realHome = qgetenv("HOME");
    const auto restoreHome = qScopeGuard([&] { qputenv("HOME", realHome); });
    qputenv("HOME", QFile::encodeName(home.path()));
    QVERIFY(QDir(home.path()).mkpath("work/term"));
    QStringList openedIn;
    const auto choose = [&](const QString& file) {
        QTimer::singleShot(0, [&, file] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            openedIn << dialog->directory().absolutePath();
            dialog->selectFile(file);
            QMetaObject::invokeMethod(dialog, "accept");
        });
        return prompts.saveFileName(nullptr, {"Schedule.xls", 2621953, "Excel files (*.xls)|*.xls|"});
    };
    const QString first = home.path() + "/work/term/week.xls";
    QCOMPARE(choose(first), first);
    choose(home.path() + "/again.xls");
    // No Documents folder here: home first, then where the last file went.
    QCOMPARE(openedIn, (QStringList{home.path(), home.path() + "/work/term"}));
}

// A window manager cuts a title wider than its window.
void MainWindowTest::realBoxesAreAsWideAsTheirTitles()
{
    QtPrompts prompts;
    const QString title = "Export Schedule To Excel For Printing";
    int boxWidth = 0;
    QTimer::singleShot(0, [&] {
        QWidget* box = QApplication::activeModalWidget();
        QVERIFY(box);
        boxWidth = box->width();
        QMetaObject::invokeMethod(box, "reject");
    });
    prompts.messageBox(nullptr, {"Done.", title});
    QVERIFY2(boxWidth >= QtPrompts::titleWidth(title), qPrintable(QString::number(boxWidth)));

    QTimer::singleShot(0, [&] {
        QWidget* box = QApplication::activeModalWidget();
        QVERIFY(box);
        boxWidth = box->width();
        QMetaObject::invokeMethod(box, "reject");
    });
    QVERIFY(!prompts.inputBox(nullptr, {"Enter:", title, ""}));
    QVERIFY2(boxWidth >= QtPrompts::titleWidth(title), qPrintable(QString::number(boxWidth)));
}

QTEST_MAIN(MainWindowTest)
#include "test_main_window.moc"
