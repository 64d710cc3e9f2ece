// The main window's menu bar: every command with its key, each entry running
// what its button or menu entry runs; the Help menu's boxes.
#include "app/form1.h"
#include "app/undo_history.h"
#include "tests/support/scripted_prompts.h"
#include "tests/support/test_db.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QUndoStack>
#include <QtTest>

using namespace quorvane;
using namespace quorvane::testing;

namespace {

QMenu* menuNamed(Form1& form, const QString& name)
{
    return form.menuBar()->findChild<QMenu*>(name);
}

QAction* entry(Form1& form, const QString& menu, const QString& text)
{
    for (QAction* action : menuNamed(form, menu)->actions())
        if (action->text() == text)
            return action;
    return nullptr;
}

} // namespace

class MenuBarTest : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void menusListEveryCommandWithItsKey();
    void entriesRunWhatTheButtonsRun_data();
    void entriesRunWhatTheButtonsRun();
    void quitEndsTheProgramByMenuAndByKey();
    void helpSaysTheKeysTheVersionAndTheLicence();

private:
    std::unique_ptr<ProgramFolder> m_folder;
    std::unique_ptr<ScriptedPrompts> m_prompts;
    std::unique_ptr<Form1> m_form;
};

void MenuBarTest::init()
{
    m_folder = std::make_unique<ProgramFolder>();
    execSql(m_folder->databasePath(), "insert into tblSchedules (Description) values ('Fall')");
    m_prompts = std::make_unique<ScriptedPrompts>();
    m_form = std::make_unique<Form1>(m_folder->path(), *m_prompts);
    QVERIFY(m_form->Form_Load());
}

void MenuBarTest::cleanup()
{
    m_form.reset();
    m_prompts.reset();
    m_folder.reset();
}

void MenuBarTest::menusListEveryCommandWithItsKey()
{
    QStringList menus;
    for (QAction* title : m_form->menuBar()->actions()) {
        QStringList entries;
        for (QAction* action : title->menu()->actions())
            entries << (action->isSeparator()
                            ? QString("-")
                            : action->text() + '|' + action->shortcut().toString(QKeySequence::PortableText));
        menus << title->text() + ": " + entries.join(", ");
    }
    QCOMPARE(
        menus,
        QStringList({QString::fromUtf8("&File: Import Calendar…|Ctrl+I, Export Calendar…|, -, Save Schedule "
                                       "As Image…|, Export Schedule To Excel…|, Print…|Ctrl+P, -, Quit|Ctrl+Q"),
                     QString::fromUtf8("&Edit: Undo|Ctrl+Z, Redo|Ctrl+Shift+Z, -, Add Course|Ctrl+N, Edit Course|F2, "
                                       "Delete Course|Del, Copy Course To…|, -, Delete All Courses|"),
                     QString::fromUtf8("&Schedule: Add Schedule|, Edit Schedule|, Duplicate Schedule|Ctrl+D, "
                                       "Delete Schedule|, Load Sample/Example Schedule|, Plan Schedules…|Ctrl+G"),
                     "&Help: Keyboard Shortcuts|, About Quorvane|"}));
    // The same undo as the context menus'.
    QCOMPARE(menuNamed(*m_form, "EditMenu")->actions().value(0), m_form->history().undoAction());
}

// What the entry asked the user first, and the step it left in the history.
void MenuBarTest::entriesRunWhatTheButtonsRun_data()
{
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("asked");
    QTest::addColumn<QString>("undo");
    QTest::newRow("add schedule") << "ScheduleMenu"
                                  << "Add Schedule"
                                  << "Enter schedule: "
                                  << "Undo Add Schedule";
    QTest::newRow("load sample") << "ScheduleMenu"
                                 << "Load Sample/Example Schedule"
                                 << ""
                                 << "Undo Load Sample";
    QTest::newRow("add course") << "EditMenu"
                                << "Add Course"
                                << "Form2"
                                << "Undo";
    QTest::newRow("save image") << "FileMenu" << QString::fromUtf8("Save Schedule As Image…") << "Schedule.bmp"
                                << "Undo";
    QTest::newRow("export workbook") << "FileMenu" << QString::fromUtf8("Export Schedule To Excel…") << "Schedule.xls"
                                     << "Undo";
}

void MenuBarTest::entriesRunWhatTheButtonsRun()
{
    QFETCH(QString, menu);
    QFETCH(QString, text);
    QFETCH(QString, asked);
    m_prompts->type("Term");
    entry(*m_form, menu, text)->trigger();
    if (!asked.isEmpty()) {
        const ScriptedPrompts::Shown first = m_prompts->shown.value(0);
        QCOMPARE(first.input.prompt + first.dialogName + first.save.fileName, asked);
    }
    QTEST(m_form->history().undoAction()->text(), "undo");
}

void MenuBarTest::quitEndsTheProgramByMenuAndByKey()
{
    QSignalSpy unloaded(m_form.get(), &Form1::unloaded);
    m_form->show();
    entry(*m_form, "FileMenu", "Quit")->trigger();
    QCOMPARE(unloaded.count(), 1);
    Form1 again(m_folder->path(), *m_prompts);
    QVERIFY(again.Form_Load());
    QSignalSpy ended(&again, &Form1::unloaded);
    again.show();
    QApplication::setActiveWindow(&again);
    QVERIFY(QTest::qWaitForWindowActive(&again));
    QTest::keyClick(&again, Qt::Key_Q, Qt::ControlModifier);
    QCOMPARE(ended.count(), 1);
}

void MenuBarTest::helpSaysTheKeysTheVersionAndTheLicence()
{
    entry(*m_form, "HelpMenu", "Keyboard Shortcuts")->trigger();
    entry(*m_form, "HelpMenu", "About Quorvane")->trigger();
    const QList<MessageBoxRequest> boxes = m_prompts->messages();
    QCOMPARE(boxes.size(), 2);
    QCOMPARE(boxes[0].title, QString("Keyboard Shortcuts"));
    QCOMPARE(boxes[0].text, QString::fromUtf8("Import Calendar…: Ctrl+I\nPrint…: Ctrl+P\nQuit: Ctrl+Q\nUndo: Ctrl+Z\n"
                                              "Redo: Ctrl+Shift+Z, Ctrl+Y\nAdd Course: Ctrl+N\n"
                                              "Edit Course: F2 (in the grid)\nDelete Course: Del (in the grid)\n"
                                              "Duplicate Schedule: Ctrl+D\nPlan Schedules…: Ctrl+G\n"
                                              "The grid's menu: Menu key\n"
                                              "Save, Update or Delete in a course dialog: Ctrl+Return\n"
                                              "The menus: Alt+F, Alt+E, Alt+S, Alt+H"));
    QCOMPARE(boxes[1].title, QString("About Quorvane"));
    QCOMPARE(boxes[1].text, QString("Quorvane " QUORVANE_VERSION "\nWeekly college timetables.\n\nFree software under "
                                    "the GNU General Public License, version 3 or (at your option) any later version "
                                    "(GPL-3.0-or-later)."));
}

QTEST_MAIN(MenuBarTest)
#include "test_menu_bar.moc"
