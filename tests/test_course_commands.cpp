// Add Course, Edit Course and Delete Course from the main window: what each
// hands its dialog, and that the grid is redrawn and focused afterwards.
#include "app/form1.h"
#include "base/time_of_day.h"
#include "dialogs/form2.h"
#include "dialogs/form3.h"
#include "dialogs/form4.h"
#include "store/connection.h"
#include "tests/support/scripted_prompts.h"
#include "tests/support/statement_log.h"
#include "tests/support/test_db.h"
#include "timetable/grid.h"
#include "timetable/grid_view.h"
#include "widgets/time_picker.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>
#include <QtTest>
#include <memory>

using namespace quorvane;
using namespace quorvane::testing;

namespace {

// The grid row whose label is the given time: 6:00 AM is row 1.
int rowOf(const QTime& time)
{
    return 1 + (time.hour() * 60 + time.minute() - 6 * 60) / 30;
}

// The cells of one day column that show a course, as "row:text".
QStringList column(const Form1& form, int col)
{
    QStringList cells;
    for (int r = 1; r < form.grid().rows(); ++r)
        if (!form.grid().text(r, col).isEmpty())
            cells << QStringLiteral("%1:%2").arg(r).arg(form.grid().text(r, col));
    return cells;
}

} // namespace

class CourseCommandsTest : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void emptyListRefusesEveryCourseCommand_data();
    void emptyListRefusesEveryCourseCommand();
    void addPresetsTheScheduleAndBothPickersFromTheCurrentRow_data();
    void addPresetsTheScheduleAndBothPickersFromTheCurrentRow();
    void wholeEditingCycleShowsInTheGrid();
    void editAndDeleteFromAnEmptyCellPreselectNothing_data();
    void editAndDeleteFromAnEmptyCellPreselectNothing();
    void editAndDeleteActOnTheSelectedSchedulesCourse_data();
    void editAndDeleteActOnTheSelectedSchedulesCourse();
    void cancelAndCloseBoxStillRedrawAndFocusTheGrid_data();
    void cancelAndCloseBoxStillRedrawAndFocusTheGrid();
    void longNamesAreStoredWholeAndDrawnCut();

private:
    QString db() const { return m_folder->databasePath(); }
    void load();
    // Shows schedule `row` of the list, as after a click on it.
    void showSchedule(int row);
    QList<QStringList> courses() const
    {
        return querySql(db(), QStringLiteral("select id, ScheduleID, CourseName, Notes, Days, TimeFrom, TimeTo "
                                             "from tblCourse order by id"));
    }

    std::unique_ptr<ProgramFolder> m_folder;
    std::unique_ptr<ScriptedPrompts> m_prompts;
    std::unique_ptr<Form1> m_form;
};

void CourseCommandsTest::init()
{
    m_folder = std::make_unique<ProgramFolder>();
    m_prompts = std::make_unique<ScriptedPrompts>();
}

void CourseCommandsTest::cleanup()
{
    m_form.reset();
    m_prompts.reset();
    m_folder.reset();
}

void CourseCommandsTest::load()
{
    m_form = std::make_unique<Form1>(m_folder->path(), *m_prompts);
    QVERIFY(m_form->Form_Load());
    m_form->show();
    m_form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    QVERIFY(m_prompts->shown.isEmpty());
}

void CourseCommandsTest::showSchedule(int row)
{
    m_form->selectSchedule(row);
    m_form->ListView1_Click();
}

void CourseCommandsTest::emptyListRefusesEveryCourseCommand_data()
{
    QTest::addColumn<int>("button");
    QTest::newRow("Add Course") << 3;
    QTest::newRow("Edit Course") << 6;
    QTest::newRow("Delete Course") << 4;
}

void CourseCommandsTest::emptyListRefusesEveryCourseCommand()
{
    QFETCH(int, button);
    load();
    m_form->pushButton(button)->click();
    QCOMPARE(m_prompts->shown.size(), 1);
    QCOMPARE(m_prompts->shown.first().kind, QStringLiteral("message"));
    const MessageBoxRequest box = m_prompts->messages().first();
    QCOMPARE(box.text, QStringLiteral("You must add a schedule first."));
    QCOMPARE(box.title, QStringLiteral("Quorvane"));
    QCOMPARE(box.buttons, Buttons::Ok);
    QCOMPARE(box.icon, Icon::None);
    QVERIFY(courses().isEmpty());
}

void CourseCommandsTest::addPresetsTheScheduleAndBothPickersFromTheCurrentRow_data()
{
    QTest::addColumn<QTime>("time");
    QTest::addColumn<int>("col");
    QTest::newRow("ten in the morning") << QTime(10, 0) << 3;
    QTest::newRow("first row") << QTime(6, 0) << 1;
    QTest::newRow("half past noon") << QTime(12, 30) << 7;
    QTest::newRow("last row") << QTime(21, 30) << 5;
}

void CourseCommandsTest::addPresetsTheScheduleAndBothPickersFromTheCurrentRow()
{
    QFETCH(QTime, time);
    QFETCH(int, col);
    execSql(db(), "insert into tblSchedules (id, Description) values (4, 'Term A')");
    execSql(db(), "insert into tblSchedules (id, Description) values (9, 'Term B')");
    load();
    showSchedule(2);
    m_form->gridView().setCurrentGridCell(rowOf(time), col);
    QCOMPARE(m_form->grid().text(rowOf(time), 0), timeofday::formatLabel(time));

    bool seen = false;
    m_prompts->onDialog([&](QDialog& dialog) {
        auto* add = qobject_cast<Form2*>(&dialog);
        QVERIFY(add);
        QVERIFY(add->isVisible());
        seen = true;
        QCOMPARE(add->m_ScheduleID, ScheduleId(9));
        QCOMPARE(add->dtpFrom()->value(), time);
        QCOMPARE(add->dtpTo()->value(), time);
        QVERIFY(add->Text1()->text().isEmpty());
    });
    m_form->pushButton(3)->click();
    QVERIFY(seen);
    QCOMPARE(m_prompts->shown.size(), 1);
    QCOMPARE(m_prompts->shown.first().dialogName, QStringLiteral("Form2"));
    QVERIFY(courses().isEmpty());
}

void CourseCommandsTest::wholeEditingCycleShowsInTheGrid()
{
    execSql(db(), "insert into tblSchedules (id, Description) values (1, 'Term A')");
    execSql(db(), "insert into tblSchedules (id, Description) values (2, 'Term B')");
    load();
    showSchedule(2);
    StatementLog log(m_form->scheduleDb());
    m_form->gridView().setCurrentGridCell(rowOf(QTime(10, 0)), 1);

    // Add: Chemistry on Monday, 10:00 to 11:00.
    m_prompts->onDialog([](QDialog& dialog) {
        auto& add = static_cast<Form2&>(dialog);
        add.Text1()->setText(QStringLiteral("Chemistry"));
        add.Text2()->setText(QStringLiteral("Room 4"));
        add.Check1(0)->setChecked(true);
        add.dtpTo()->setValue(QTime(11, 0));
        add.PushButton1()->click();
    });
    m_form->pushButton(1)->setFocus();
    m_form->pushButton(3)->click();
    QCOMPARE(column(*m_form, 1), (QStringList{"9:Chemistry", "10:Chemistry", "11:Chemistry"}));
    QCOMPARE(m_form->focusWidget(), &m_form->gridView());
    QCOMPARE(courses(), (QList<QStringList>{{"1", "2", "Chemistry", "Room 4", "0", "10:00:00 AM", "11:00:00 AM"}}));

    // Edit from the Monday cell: Tuesday instead, until 10:30.
    m_form->gridView().setCurrentGridCell(rowOf(QTime(10, 30)), 1);
    m_prompts->onDialog([](QDialog& dialog) {
        auto& edit = static_cast<Form3&>(dialog);
        QCOMPARE(edit.Combo1()->currentText(), QStringLiteral("Chemistry"));
        QCOMPARE(edit.Text2()->text(), QStringLiteral("Room 4"));
        edit.Check1(0)->setChecked(false);
        edit.Check1(1)->setChecked(true);
        edit.dtpTo()->setValue(QTime(10, 30));
        edit.PushButton1()->click();
    });
    m_form->pushButton(1)->setFocus();
    m_form->pushButton(6)->click();
    QCOMPARE(column(*m_form, 1), QStringList());
    QCOMPARE(column(*m_form, 2), (QStringList{"9:Chemistry", "10:Chemistry"}));
    QCOMPARE(m_form->focusWidget(), &m_form->gridView());

    // Delete from the Tuesday cell.
    m_form->gridView().setCurrentGridCell(rowOf(QTime(10, 0)), 2);
    m_prompts->onDialog([this](QDialog& dialog) {
        auto& remove = static_cast<Form4&>(dialog);
        QCOMPARE(remove.Combo1()->currentText(), QStringLiteral("Chemistry"));
        m_prompts->answer(Answer::Yes);
        remove.PushButton1()->click();
    });
    m_form->pushButton(1)->setFocus();
    m_form->pushButton(4)->click();
    QCOMPARE(column(*m_form, 2), QStringList());
    QCOMPARE(m_form->focusWidget(), &m_form->gridView());
    QVERIFY(courses().isEmpty());

    QCOMPARE(m_prompts->messageTexts(), QStringList{"Are you sure you want to delete [Chemistry] course?"});
    if (!log.available())
        QSKIP("the engine offers no statement tracing");
    QCOMPARE(log.writes(),
             (QStringList{"insert into tblCourse (ScheduleID,CourseName,Notes,Days,TimeFrom,TimeTo) values "
                          "(2,'Chemistry','Room 4','0','10:00:00 AM','11:00:00 AM')",
                          "update tblCourse set Notes='Room 4',Days='1',TimeFrom='10:00:00 AM',"
                          "TimeTo='10:30:00 AM' where id=1",
                          "delete from tblCourse where id=1"}));
}

void CourseCommandsTest::editAndDeleteFromAnEmptyCellPreselectNothing_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<QString>("dialogName");
    QTest::newRow("Edit Course") << 6 << "Form3";
    QTest::newRow("Delete Course") << 4 << "Form4";
}

void CourseCommandsTest::editAndDeleteFromAnEmptyCellPreselectNothing()
{
    QFETCH(int, button);
    QFETCH(QString, dialogName);
    execSql(db(), "insert into tblSchedules (id, Description) values (1, 'Term A')");
    execSql(db(), "insert into tblCourse (ScheduleID,CourseName,Notes,Days,TimeFrom,TimeTo) "
                  "values (1,'Physics','','0','08:00','09:00')");
    load();
    m_form->gridView().setCurrentGridCell(rowOf(QTime(8, 0)), 2);
    QVERIFY(m_form->grid().text(rowOf(QTime(8, 0)), 2).isEmpty());
    int selected = 99;
    int listed = 0;
    m_prompts->onDialog([&](QDialog& dialog) {
        auto* list = qobject_cast<CourseListDialog*>(&dialog);
        QVERIFY(list);
        selected = list->Combo1()->currentIndex();
        listed = list->Combo1()->count();
        list->PushButton1()->click();
    });
    m_form->pushButton(button)->click();
    QCOMPARE(m_prompts->shown.first().dialogName, dialogName);
    QCOMPARE(selected, -1);
    QCOMPARE(listed, 1);
    QCOMPARE(m_prompts->messageTexts().size(), 1);
    QVERIFY(m_prompts->messageTexts().first().startsWith(QStringLiteral("You forgot to select course")));
    QCOMPARE(courses().size(), 1);
}

void CourseCommandsTest::editAndDeleteActOnTheSelectedSchedulesCourse_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<int>("scheduleRow");
    QTest::newRow("Edit in Term B") << 6 << 2;
    QTest::newRow("Edit in Term A") << 6 << 1;
    QTest::newRow("Delete in Term B") << 4 << 2;
    QTest::newRow("Delete in Term A") << 4 << 1;
}

void CourseCommandsTest::editAndDeleteActOnTheSelectedSchedulesCourse()
{
    QFETCH(int, button);
    QFETCH(int, scheduleRow);
    execSql(db(), "insert into tblSchedules (id, Description) values (1, 'Term A')");
    execSql(db(), "insert into tblSchedules (id, Description) values (2, 'Term B')");
    execSql(db(), "insert into tblCourse (id,ScheduleID,CourseName,Notes,Days,TimeFrom,TimeTo) "
                  "values (1,1,'Biology','A','0','08:00','09:00')");
    execSql(db(), "insert into tblCourse (id,ScheduleID,CourseName,Notes,Days,TimeFrom,TimeTo) "
                  "values (2,2,'Biology','B','0','08:00','09:00')");
    load();
    showSchedule(scheduleRow);
    m_form->gridView().setCurrentGridCell(rowOf(QTime(8, 30)), 1);
    QCOMPARE(m_form->grid().text(rowOf(QTime(8, 30)), 1), QStringLiteral("Biology"));
    const QString chosen = QString::number(scheduleRow);
    const QString other = QString::number(3 - scheduleRow);

    int selected = -1;
    m_prompts->onDialog([&](QDialog& dialog) {
        auto& list = static_cast<CourseListDialog&>(dialog);
        selected = list.Combo1()->currentIndex();
        if (auto* edit = qobject_cast<Form3*>(&dialog)) {
            QCOMPARE(edit->Text2()->text(), chosen == QLatin1String("1") ? QStringLiteral("A") : QStringLiteral("B"));
            edit->Text2()->setText(QStringLiteral("edited"));
        } else {
            m_prompts->answer(Answer::Yes);
        }
        list.PushButton1()->click();
    });
    m_form->pushButton(button)->click();
    QCOMPARE(selected, scheduleRow - 1);
    QVERIFY(m_prompts->errors().isEmpty());
    const QList<QStringList> rows = querySql(db(), "select ScheduleID, Notes from tblCourse order by id");
    if (button == 6) {
        QCOMPARE(rows.size(), 2);
        QCOMPARE(querySql(db(), QStringLiteral("select Notes from tblCourse where ScheduleID=%1").arg(chosen)),
                 QList<QStringList>{QStringList{"edited"}});
    } else {
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows.first().first(), other);
        QCOMPARE(m_form->grid().text(rowOf(QTime(8, 30)), 1), QString());
    }
    QCOMPARE(scalarSql(db(), QStringLiteral("select Notes from tblCourse where ScheduleID=%1").arg(other)),
             other == QLatin1String("1") ? QStringLiteral("A") : QStringLiteral("B"));
}

void CourseCommandsTest::cancelAndCloseBoxStillRedrawAndFocusTheGrid_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<bool>("closeBox");
    for (const int button : {3, 6, 4}) {
        QTest::addRow("PushButton%d Cancel", button) << button << false;
        QTest::addRow("PushButton%d close box", button) << button << true;
    }
}

void CourseCommandsTest::cancelAndCloseBoxStillRedrawAndFocusTheGrid()
{
    QFETCH(int, button);
    QFETCH(bool, closeBox);
    execSql(db(), "insert into tblSchedules (id, Description) values (1, 'Term A')");
    execSql(db(), "insert into tblCourse (ScheduleID,CourseName,Notes,Days,TimeFrom,TimeTo) "
                  "values (1,'Physics','','0','08:00','09:00')");
    load();
    m_form->gridView().setCurrentGridCell(rowOf(QTime(8, 0)), 1);
    m_prompts->onDialog([&](QDialog& dialog) {
        // Someone else's course arrives while the dialog is open: it shows
        // only if the grid is drawn again after the dialog.
        execSql(db(), "insert into tblCourse (ScheduleID,CourseName,Notes,Days,TimeFrom,TimeTo) "
                      "values (1,'Latin','','4','12:00','12:00')");
        if (closeBox)
            dialog.close();
        else
            dialog.findChild<QPushButton*>(QStringLiteral("PushButton2"))->click();
        QVERIFY(!dialog.isVisible());
    });
    m_form->pushButton(1)->setFocus();
    m_form->pushButton(button)->click();
    QCOMPARE(m_prompts->shown.size(), 1);
    QCOMPARE(m_prompts->shown.first().kind, QStringLiteral("dialog"));
    QCOMPARE(column(*m_form, 5), QStringList{QStringLiteral("%1:Latin").arg(rowOf(QTime(12, 0)))});
    QCOMPARE(column(*m_form, 1), (QStringList{"5:Physics", "6:Physics", "7:Physics"}));
    QCOMPARE(m_form->focusWidget(), &m_form->gridView());
    QCOMPARE(courses().size(), 2);
}

// A pasted name of a million characters: every view draws its beginning
// only, so a redraw stays quick, while the commands work on the whole name.
void CourseCommandsTest::longNamesAreStoredWholeAndDrawnCut()
{
    const QString name = QString(1000000, QChar('n')) + "end";
    execSql(db(), "insert into tblSchedules (id, Description) values (1, '" + name + "')");
    execSql(db(), "insert into tblCourse (ScheduleID,CourseName,Notes,Days,TimeFrom,TimeTo) "
                  "values (1,'" +
                      name + "','','0,1,2,3,4,5,6','06:00','21:30')");
    load();
    const auto drawn = [](const QAbstractItemModel* model, int row, int column) {
        return model->index(row, column).data().toString().size();
    };
    const TimetableGrid& grid = m_form->grid();
    for (int r = 1; r < grid.rows(); ++r)
        for (int c = 1; c < grid.cols(); ++c) {
            QCOMPARE(grid.text(r, c), name);
            QVERIFY(drawn(&grid, r - 1, c) <= 257);
        }
    QCOMPARE(m_form->selectedScheduleName(), name);
    QVERIFY(drawn(m_form->listView().model(), 0, 0) <= 257);
    int listed = 0;
    QString preselected;
    m_prompts->onDialog([&](QDialog& dialog) {
        auto& list = static_cast<CourseListDialog&>(dialog);
        listed = drawn(list.Combo1()->model(), 0, 0);
        preselected = list.courseList().name(list.Combo1()->currentIndex());
    });
    m_form->pushButton(6)->click();
    QVERIFY(listed > 0 && listed <= 257);
    QCOMPARE(preselected, name);
}

QTEST_MAIN(CourseCommandsTest)
#include "test_course_commands.moc"
