// Undo and redo of every change made from the main window, checked in the
// database row by row: ids, types and bytes.
#include "app/form1.h"
#include "app/undo_history.h"
#include "dialogs/form2.h"
#include "dialogs/form3.h"
#include "dialogs/form4.h"
#include "tests/support/list_rows.h"
#include "tests/support/scripted_prompts.h"
#include "tests/support/test_db.h"
#include "timetable/grid.h"
#include "timetable/grid_view.h"
#include "widgets/time_picker.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTreeView>
#include <QUndoStack>
#include <QtTest>
#include <cstdio>
#include <memory>

using namespace quorvane;
using namespace quorvane::testing;

namespace {

enum class Command {
    AddSchedule,
    EditSchedule,
    DeleteSchedule,
    LoadNewSample,
    LoadSampleOverOld,
    AddCourse,
    EditCourse,
    DeleteCourse,
    DeleteAllCourses
};

} // namespace

Q_DECLARE_METATYPE(Command)

class UndoHistoryTest : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void undoAndRedoPutBackTheVeryRows_data();
    void undoAndRedoPutBackTheVeryRows();
    void everyStepIsUndoneAndRedoneInTurn();
    void commandThatChangesNothingIsNoStep();
    void stepOverRowsChangedMeanwhileIsRefusedAndDropped_data();
    void stepOverRowsChangedMeanwhileIsRefusedAndDropped();
    void shortcutsWorkWhereverTheFocusIs();
    void shortcutsDoNothingWhileADialogIsOpen();
    void contextMenusOfferUndoAndRedo();

private:
    QString db() const { return m_folder->databasePath(); }
    void load();
    // Every row of both tables with the type and the bytes of every value.
    QList<QStringList> rows() const
    {
        return querySql(db(), QStringLiteral("select 's', id, typeof(Description), hex(Description), '', '', '', '', "
                                             "'' from tblSchedules union all select 'c', id, ScheduleID, "
                                             "typeof(ScheduleID), hex(CourseName), typeof(Notes), hex(Notes), "
                                             "hex(Days), hex(TimeFrom) || '-' || hex(TimeTo) from tblCourse "
                                             "order by 1 desc, 2"));
    }
    void run(Command command);
    QString selectedId() const
    {
        const std::optional<ScheduleId> id = m_form->selectedScheduleIdOrNone();
        return id ? QString::number(id->value) : QStringLiteral("none");
    }
    // The grid shows the selected schedule as it is now in the database.
    void verifyGridIsCurrent();

    std::unique_ptr<ProgramFolder> m_folder;
    std::unique_ptr<ScriptedPrompts> m_prompts;
    std::unique_ptr<Form1> m_form;
};

void UndoHistoryTest::init()
{
    m_folder = std::make_unique<ProgramFolder>();
    m_prompts = std::make_unique<ScriptedPrompts>();
    execSql(db(), "insert into tblSchedules (id, Description) values (1, 'Term 1')");
    execSql(db(), "insert into tblSchedules (id, Description) values (2, 'O''Brien ' || char(128197) || "
                  "char(13, 10) || 'week  ')");
    execSql(db(), "insert into tblCourse (ScheduleID,CourseName,Notes,Days,TimeFrom,TimeTo) "
                  "values (1,'Physics','','0,2','08:00','09:00')");
    execSql(db(), "insert into tblCourse (ScheduleID,CourseName,Notes,Days,TimeFrom,TimeTo) values "
                  "(2,'Chemistry','wet lab''s' || char(9) || char(233),'1','10:00:00 AM','11:00:00 AM')");
    execSql(db(), "insert into tblCourse (ScheduleID,CourseName,Notes,Days,TimeFrom,TimeTo) values "
                  "(2,'Biology',NULL,'3,4','1:00:00 PM','1:30:00 PM')");
}

void UndoHistoryTest::cleanup()
{
    m_form.reset();
    m_prompts.reset();
    m_folder.reset();
}

void UndoHistoryTest::load()
{
    m_form = std::make_unique<Form1>(m_folder->path(), *m_prompts);
    QVERIFY(m_form->Form_Load());
}

void UndoHistoryTest::verifyGridIsCurrent()
{
    const QStringList shown = gridTexts(*m_form);
    m_form->ListCourses();
    QCOMPARE(shown, gridTexts(*m_form));
}

// Runs one command as the user does, on the second schedule where it acts on
// the selected one.
void UndoHistoryTest::run(Command command)
{
    const auto onSecond = [this] {
        m_form->selectSchedule(2);
        m_form->gridView().setCurrentGridCell(9, 2); // Chemistry, Tuesday 10:00 AM
    };
    switch (command) {
    case Command::AddSchedule:
        m_prompts->type(QStringLiteral("New 'one' \U0001F393"));
        m_form->pushButton(1)->click();
        break;
    case Command::EditSchedule:
        onSecond();
        m_prompts->type(QStringLiteral("Renamed"));
        m_form->pushButton(5)->click();
        break;
    case Command::DeleteSchedule:
        onSecond();
        m_prompts->answer(Answer::Yes);
        m_form->pushButton(2)->click();
        break;
    case Command::LoadNewSample:
    case Command::LoadSampleOverOld:
        m_form->pushButton(9)->click();
        break;
    case Command::AddCourse:
        onSecond();
        m_prompts->onDialog([](QDialog& dialog) {
            auto& add = static_cast<Form2&>(dialog);
            add.Text1()->setText(QStringLiteral("Art"));
            add.Text2()->setText(QStringLiteral("Room 4"));
            add.Check1(4)->setChecked(true);
            add.dtpTo()->setValue(QTime(11, 0));
            add.PushButton1()->click();
        });
        m_form->pushButton(3)->click();
        break;
    case Command::EditCourse:
        onSecond();
        m_prompts->onDialog([](QDialog& dialog) {
            auto& edit = static_cast<Form3&>(dialog);
            QCOMPARE(edit.Combo1()->currentText(), QStringLiteral("Chemistry"));
            edit.Text2()->setText(QStringLiteral("dry lab"));
            edit.Check1(5)->setChecked(true);
            edit.PushButton1()->click();
        });
        m_form->pushButton(6)->click();
        break;
    case Command::DeleteCourse:
        onSecond();
        m_prompts->onDialog([this](QDialog& dialog) {
            auto& remove = static_cast<Form4&>(dialog);
            QCOMPARE(remove.Combo1()->currentText(), QStringLiteral("Chemistry"));
            m_prompts->answer(Answer::Yes);
            remove.PushButton1()->click();
        });
        m_form->pushButton(4)->click();
        break;
    case Command::DeleteAllCourses:
        onSecond();
        m_prompts->answer(Answer::Yes);
        m_form->pushButton(10)->click();
        break;
    }
}

void UndoHistoryTest::undoAndRedoPutBackTheVeryRows_data()
{
    QTest::addColumn<Command>("command");
    QTest::addColumn<QString>("what");
    QTest::addColumn<QString>("shownAfterUndo");
    QTest::addColumn<QString>("shownAfterRedo");
    QTest::newRow("Add Schedule") << Command::AddSchedule << "Add Schedule"
                                  << "1"
                                  << "3";
    QTest::newRow("Edit Schedule") << Command::EditSchedule << "Edit Schedule"
                                   << "2"
                                   << "2";
    // Once deleted, the schedule cannot be shown: the list's first is.
    QTest::newRow("Delete Schedule") << Command::DeleteSchedule << "Delete Schedule"
                                     << "2"
                                     << "1";
    QTest::newRow("Load Sample, new") << Command::LoadNewSample << "Load Sample"
                                      << "1"
                                      << "3";
    QTest::newRow("Load Sample, over an old one") << Command::LoadSampleOverOld << "Load Sample"
                                                  << "3"
                                                  << "3";
    QTest::newRow("Add Course") << Command::AddCourse << "Add Course"
                                << "2"
                                << "2";
    QTest::newRow("Edit Course") << Command::EditCourse << "Edit Course"
                                 << "2"
                                 << "2";
    QTest::newRow("Delete Course") << Command::DeleteCourse << "Delete Course"
                                   << "2"
                                   << "2";
    QTest::newRow("Delete All Courses") << Command::DeleteAllCourses << "Delete All Courses"
                                        << "2"
                                        << "2";
}

void UndoHistoryTest::undoAndRedoPutBackTheVeryRows()
{
    QFETCH(Command, command);
    QFETCH(QString, what);
    QFETCH(QString, shownAfterUndo);
    QFETCH(QString, shownAfterRedo);
    if (command == Command::LoadSampleOverOld) {
        execSql(db(), "insert into tblSchedules (id, Description) values (3, 'Sample Schedule')");
        execSql(db(), "insert into tblCourse (ScheduleID,CourseName,Notes,Days,TimeFrom,TimeTo) "
                      "values (3,'Mine','my own','6','19:00','20:00')");
    }
    load();
    const auto before = rows();
    run(command);
    const auto after = rows();
    QVERIFY(after != before);
    QCOMPARE(m_prompts->errors().size(), 0);
    UndoHistory& history = m_form->history();
    QCOMPARE(history.stack().count(), 1);
    QCOMPARE(history.undoAction()->text(), QStringLiteral("Undo ") + what);
    QVERIFY(history.undoAction()->isEnabled());
    QCOMPARE(history.redoAction()->text(), QStringLiteral("Redo"));
    QVERIFY(!history.redoAction()->isEnabled());

    for (int round = 0; round < 2; ++round) {
        history.undoAction()->trigger();
        QCOMPARE(rows(), before);
        QCOMPARE(selectedId(), shownAfterUndo);
        verifyGridIsCurrent();
        QCOMPARE(history.redoAction()->text(), QStringLiteral("Redo ") + what);
        QCOMPARE(history.undoAction()->text(), QStringLiteral("Undo"));
        QVERIFY(!history.undoAction()->isEnabled());

        history.redoAction()->trigger();
        QCOMPARE(rows(), after);
        QCOMPARE(selectedId(), shownAfterRedo);
        verifyGridIsCurrent();
    }
    QCOMPARE(m_prompts->errors().size(), 0);
}

void UndoHistoryTest::everyStepIsUndoneAndRedoneInTurn()
{
    load();
    QList<QList<QStringList>> states{rows()};
    for (Command command : {Command::AddSchedule, Command::LoadNewSample, Command::EditCourse,
                            Command::DeleteAllCourses, Command::DeleteSchedule}) {
        run(command);
        states << rows();
    }
    QCOMPARE(m_form->history().stack().count(), 5);
    for (int i = states.size() - 2; i >= 0; --i) {
        m_form->history().undoAction()->trigger();
        QCOMPARE(rows(), states[i]);
    }
    QVERIFY(!m_form->history().undoAction()->isEnabled());
    for (int i = 1; i < states.size(); ++i) {
        m_form->history().redoAction()->trigger();
        QCOMPARE(rows(), states[i]);
    }
    QVERIFY(!m_form->history().redoAction()->isEnabled());
    // A new change after an undo ends the redo of what was undone.
    m_form->history().undoAction()->trigger();
    run(Command::AddSchedule);
    QVERIFY(!m_form->history().redoAction()->isEnabled());
    QCOMPARE(m_form->history().undoAction()->text(), QStringLiteral("Undo Add Schedule"));
    QCOMPARE(m_prompts->errors().size(), 0);
}

void UndoHistoryTest::commandThatChangesNothingIsNoStep()
{
    load();
    m_prompts->cancelInput();
    m_form->pushButton(1)->click(); // Add Schedule, cancelled
    m_prompts->answer(Answer::No);
    m_form->pushButton(2)->click(); // Delete Schedule, refused
    m_prompts->type(QStringLiteral("Term 1"));
    m_form->pushButton(5)->click(); // Edit Schedule to the same name
    // A write that fails midway is rolled back whole: nothing to undo either.
    execSql(db(), "create trigger refuse before delete on tblSchedules begin select raise(abort, 'refused'); end");
    m_prompts->answer(Answer::Yes);
    m_form->pushButton(2)->click();
    QCOMPARE(m_prompts->errors().size(), 1);
    QCOMPARE(m_form->history().stack().count(), 0);
    QVERIFY(!m_form->history().undoAction()->isEnabled());
    QCOMPARE(m_form->history().undoAction()->text(), QStringLiteral("Undo"));
}

void UndoHistoryTest::stepOverRowsChangedMeanwhileIsRefusedAndDropped_data()
{
    QTest::addColumn<Command>("command");
    QTest::addColumn<bool>("undoFirst");
    QTest::addColumn<QString>("otherCopy");
    QTest::addColumn<QString>("refusal");
    const QString meanwhile =
        QStringLiteral("The rows it touched were changed meanwhile, by another copy of the program or a restore.");
    QTest::newRow("undo an edit edited again")
        << Command::EditCourse << false << "update tblCourse set Notes='theirs' where id=2"
        << "Cannot undo Edit Course: " + meanwhile;
    // The edit changed the notes and days only; the row as a whole counts.
    QTest::newRow("undo an edit whose other column changed")
        << Command::EditCourse << false << "update tblCourse set CourseName='Chemistry II' where id=2"
        << "Cannot undo Edit Course: " + meanwhile;
    QTest::newRow("redo an edit whose other column changed")
        << Command::EditCourse << true << "update tblCourse set TimeTo='11:30:00 AM' where id=2"
        << "Cannot make again Edit Course: " + meanwhile;
    QTest::newRow("undo an added course whose schedule went")
        << Command::AddCourse << false
        << "delete from tblCourse where ScheduleID=2; delete from tblSchedules where id=2"
        << "Cannot undo Add Course: " + meanwhile;
    QTest::newRow("redo a delete of a course deleted meanwhile")
        << Command::DeleteCourse << true << "delete from tblCourse where id=2"
        << "Cannot make again Delete Course: " + meanwhile;
    QTest::newRow("redo a rename over a changed name")
        << Command::EditSchedule << true << "update tblSchedules set Description='theirs' where id=2"
        << "Cannot make again Edit Schedule: " + meanwhile;
    QTest::newRow("undo over a replaced file")
        << Command::EditCourse << false << "replace the file"
        << "Cannot undo Edit Course: The database file was moved or replaced while the window had it open; close "
           "the window and start the program again.";
}

void UndoHistoryTest::stepOverRowsChangedMeanwhileIsRefusedAndDropped()
{
    QFETCH(Command, command);
    QFETCH(bool, undoFirst);
    QFETCH(QString, otherCopy);
    QFETCH(QString, refusal);
    load();
    run(Command::AddSchedule); // an earlier step, which stays
    run(command);
    UndoHistory& history = m_form->history();
    if (undoFirst)
        history.undoAction()->trigger();
    if (otherCopy == "replace the file") {
        // As a restore does: a copy renamed into the file's place.
        QVERIFY(QFile::copy(db(), db() + ".new"));
        QCOMPARE(::rename(QFile::encodeName(db() + ".new"), QFile::encodeName(db())), 0);
    } else {
        for (const QString& statement : otherCopy.split(QLatin1String("; ")))
            execSql(db(), statement);
    }
    const auto theirs = rows();
    m_prompts->clear();

    (undoFirst ? history.redoAction() : history.undoAction())->trigger();

    QCOMPARE(rows(), theirs);
    const auto errors = m_prompts->errors();
    QCOMPARE(errors.size(), 1);
    QVERIFY2(errors.first().text.startsWith(
                 refusal + QStringLiteral(" Nothing was changed, and the step is taken off the list of changes.\r\n")),
             qPrintable(errors.first().text));
    QCOMPARE(history.stack().count(), 1);
    QVERIFY(!history.redoAction()->isEnabled());
    QCOMPARE(history.undoAction()->text(), QStringLiteral("Undo Add Schedule"));
}

void UndoHistoryTest::shortcutsWorkWhereverTheFocusIs()
{
    load();
    m_form->show();
    m_form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    const auto before = rows();
    run(Command::DeleteSchedule);
    const auto after = rows();

    m_form->listView().setFocus();
    QTest::keyClick(&m_form->listView(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(rows(), before);
    m_form->gridView().setFocus();
    QTest::keyClick(&m_form->gridView(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(rows(), after);
    m_form->pushButton(7)->setFocus();
    QTest::keyClick(m_form->pushButton(7), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(rows(), before);
    QTest::keyClick(m_form->pushButton(7), Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(rows(), after);
    QCOMPARE(m_prompts->errors().size(), 0);
}

void UndoHistoryTest::shortcutsDoNothingWhileADialogIsOpen()
{
    load();
    m_form->show();
    m_form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    run(Command::DeleteAllCourses);
    const auto after = rows();
    bool pressed = false;
    m_prompts->onDialog([&](QDialog& dialog) {
        dialog.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QTest::keyClick(&dialog, Qt::Key_Z, Qt::ControlModifier);
        pressed = true;
        dialog.reject();
    });
    m_form->pushButton(3)->click(); // Add Course, closed without a course
    QVERIFY(pressed);
    QCOMPARE(rows(), after);
    QCOMPARE(m_form->history().stack().count(), 1);
    QVERIFY(m_form->history().undoAction()->isEnabled());
}

void UndoHistoryTest::contextMenusOfferUndoAndRedo()
{
    load();
    QCOMPARE(m_form->listView().contextMenuPolicy(), Qt::ActionsContextMenu);
    for (const QList<QAction*>& actions : {m_form->listView().actions(), m_form->gridMenu()->actions()}) {
        QVERIFY(actions.size() >= 2);
        QCOMPARE(actions[0], m_form->history().undoAction());
        QCOMPARE(actions[1], m_form->history().redoAction());
    }
    run(Command::DeleteAllCourses);
    QCOMPARE(m_form->history().undoAction()->text(), QStringLiteral("Undo Delete All Courses"));
}

QTEST_MAIN(UndoHistoryTest)
#include "test_undo_history.moc"
