// Add, Edit and Delete Schedule, Delete All Courses and the three public
// procedures behind them, driven on a real main window.
#include "app/form1.h"
#include "app/undo_history.h"
#include "base/failure.h"
#include "tests/support/expected_texts.h"
#include "tests/support/list_rows.h"
#include "tests/support/scripted_prompts.h"
#include "tests/support/test_db.h"
#include "timetable/grid.h"
#include "timetable/grid_view.h"

#include <QAction>
#include <QPushButton>
#include <QTreeView>
#include <QtTest>

using namespace quorvane;
using namespace quorvane::testing;

namespace {

// Every cell of the grid, header row and time column included.
QStringList listNames(const Form1& form)
{
    QStringList names;
    for (int row = 1; row <= form.scheduleCount(); ++row)
        names << form.scheduleName(row);
    return names;
}

QString quotedForSeed(QString text)
{
    return text.replace(QLatin1Char('\''), QLatin1String("''"));
}

} // namespace

class ScheduleCommandsTest : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void addAsksWithTheInputBox();
    void addStoresTheNameAsTyped_data();
    void addStoresTheNameAsTyped();
    void addCancelOrBlanksChangesNothing_data();
    void addCancelOrBlanksChangesNothing();
    void addRejectedIsReportedAt106AndTheListIsStillReloaded();
    void addAllowsTwoSchedulesWithOneName();

    void editOffersTheSelectedNameAndRenamesOnlyThatSchedule_data();
    void editOffersTheSelectedNameAndRenamesOnlyThatSchedule();
    void editCancelOrBlanksChangesNothing_data();
    void editCancelOrBlanksChangesNothing();
    void editWritesAnUnchangedName();
    void editRejectedIsReportedAt108WithTheHandlersLocation();

    void emptyListCommandsShowAndChangeNothing_data();
    void emptyListCommandsShowAndChangeNothing();

    void deleteScheduleAsksWithTheNameInCapitals_data();
    void deleteScheduleAsksWithTheNameInCapitals();
    void deleteScheduleNoChangesNothing();
    void deleteScheduleRemovesCoursesBeforeTheScheduleRow();
    void deleteScheduleThatFailsMidwayChangesNothing_data();
    void deleteScheduleThatFailsMidwayChangesNothing();

    void deleteAllCoursesAsks();
    void deleteAllCoursesNoChangesNothing();
    void deleteAllCoursesEmptiesOnlyTheSelectedScheduleAndRedraws();
    void deleteAllCoursesRejectedIsReportedAt104AndTheGridRedrawn();

    void publicProceduresActOnTheSelectedSchedule();
    void gridFollowsTheSelectionHoweverItMoves();
    void publicProceduresReportNothingThemselves();

    void duplicateAndCopyCopyEveryColumnAsOneStep();

private:
    QString db() const { return m_folder->databasePath(); }
    void load();
    QList<QStringList> schedules() const
    {
        return querySql(db(), QStringLiteral("select id, Description from tblSchedules order by id"));
    }
    QList<QStringList> courses() const
    {
        return querySql(db(), QStringLiteral("select id, ScheduleID, CourseName, Notes, Days, TimeFrom, TimeTo "
                                             "from tblCourse order by id"));
    }
    // Shows the second schedule (Lab) in the grid, as after a click on its row.
    void showSecondSchedule();

    std::unique_ptr<ProgramFolder> m_folder;
    std::unique_ptr<ScriptedPrompts> m_prompts;
    std::unique_ptr<Form1> m_form;
};

void ScheduleCommandsTest::init()
{
    m_folder = std::make_unique<ProgramFolder>();
    m_prompts = std::make_unique<ScriptedPrompts>();
    execSql(db(), "insert into tblSchedules (id, Description) values (1, 'Term 1')");
    execSql(db(), "insert into tblSchedules (id, Description) values (2, 'Lab')");
    execSql(db(), "insert into tblSchedules (id, Description) values (3, 'Evening')");
    const char* courses[] = {
        "(1,'Physics','','0,2','08:00','09:00')",
        "(2,'Chemistry','wet lab','1','10:00','11:00')",
        "(2,'Biology','','3,4','13:00','13:30')",
        "(3,'Art','','6','19:00','20:00')",
    };
    for (const char* values : courses)
        execSql(db(), QStringLiteral("insert into tblCourse (ScheduleID,CourseName,Notes,Days,TimeFrom,TimeTo) "
                                     "values ") +
                          QLatin1String(values));
}

void ScheduleCommandsTest::cleanup()
{
    m_form.reset();
    m_prompts.reset();
    m_folder.reset();
}

void ScheduleCommandsTest::load()
{
    m_form = std::make_unique<Form1>(m_folder->path(), *m_prompts);
    QVERIFY(m_form->Form_Load());
    QVERIFY(m_prompts->shown.isEmpty());
}

void ScheduleCommandsTest::showSecondSchedule()
{
    m_form->selectSchedule(2);
    m_form->ListView1_Click();
    QCOMPARE(m_form->grid().text(10, 2), QStringLiteral("Chemistry")); // 10:30 AM, Tuesday
}

// ---------------------------------------------------------------- Add Schedule

void ScheduleCommandsTest::addAsksWithTheInputBox()
{
    load();
    m_prompts->type(QStringLiteral("Term 2"));
    m_form->pushButton(1)->click();
    QCOMPARE(m_prompts->shown.size(), 1);
    const auto& shown = m_prompts->shown.first();
    QCOMPARE(shown.kind, QStringLiteral("input"));
    QCOMPARE(shown.input.prompt, QStringLiteral("Enter schedule: "));
    QCOMPARE(shown.input.title, QStringLiteral("Input Schedule"));
    QCOMPARE(shown.input.preset, QString());
    QCOMPARE(schedules().last(), (QStringList{"4", "Term 2"}));
}

namespace {

void badNames()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("plain") << QStringLiteral("Term 2");
    QTest::newRow("blanks around are kept") << QStringLiteral("  Term 2   ");
    QTest::newRow("apostrophe") << QStringLiteral("O'Brien's week");
    QTest::newRow("only quotes") << QStringLiteral("''");
    QTest::newRow("statement text") << QStringLiteral("x'); delete from tblCourse; --");
    QTest::newRow("update text") << QStringLiteral("y' where 1=1; update tblSchedules set Description='z");
    QTest::newRow("line breaks") << QStringLiteral("first\r\nsecond\nthird\r");
    QTest::newRow("tab only is not a blank") << QStringLiteral("\t");
    QTest::newRow("non-Latin letters") << QStringLiteral("Расписание 時間割 جدول Ωμέγα");
    QTest::newRow("emoji") << QStringLiteral("📅 Week 🎓👩‍🔬");
    QTest::newRow("100000 characters") << QStringLiteral("O'").repeated(25000) + QStringLiteral("x").repeated(50000);
}

} // namespace

void ScheduleCommandsTest::addStoresTheNameAsTyped_data()
{
    badNames();
}

void ScheduleCommandsTest::addStoresTheNameAsTyped()
{
    QFETCH(QString, name);
    load();
    const QStringList gridOfFirst = gridTexts(*m_form);
    showSecondSchedule();
    const auto schedulesBefore = schedules();
    const auto coursesBefore = courses();

    m_prompts->type(name);
    m_form->PushButton1_Click();

    QCOMPARE(m_prompts->shown.size(), 1); // the input box only
    auto expected = schedulesBefore;
    expected << QStringList{"4", name};
    QCOMPARE(schedules(), expected);
    QCOMPARE(courses(), coursesBefore);
    QCOMPARE(listNames(*m_form), (QStringList{"Term 1", "Lab", "Evening", name}));
    // The list is reloaded with its first row selected, and the grid shows it.
    QCOMPARE(selectedRow(*m_form), 1);
    QCOMPARE(m_form->selectedScheduleId(), ScheduleId(1));
    QCOMPARE(gridTexts(*m_form), gridOfFirst);
}

void ScheduleCommandsTest::addCancelOrBlanksChangesNothing_data()
{
    QTest::addColumn<bool>("cancel");
    QTest::addColumn<QString>("entry");
    QTest::newRow("cancel") << true << QString();
    QTest::newRow("empty") << false << QString();
    QTest::newRow("one blank") << false << QStringLiteral(" ");
    QTest::newRow("many blanks") << false << QStringLiteral("       ");
}

void ScheduleCommandsTest::addCancelOrBlanksChangesNothing()
{
    QFETCH(bool, cancel);
    QFETCH(QString, entry);
    load();
    showSecondSchedule();
    const QStringList gridBefore = gridTexts(*m_form);
    const auto schedulesBefore = schedules();
    const auto coursesBefore = courses();

    if (cancel)
        m_prompts->cancelInput();
    else
        m_prompts->type(entry);
    m_form->pushButton(1)->click();

    QCOMPARE(m_prompts->shown.size(), 1);
    QCOMPARE(m_prompts->shown.first().kind, QStringLiteral("input"));
    QCOMPARE(schedules(), schedulesBefore);
    QCOMPARE(courses(), coursesBefore);
    // Not reloaded: the second row is still the selected one.
    QCOMPARE(selectedRow(*m_form), 2);
    QCOMPARE(gridTexts(*m_form), gridBefore);
}

void ScheduleCommandsTest::addRejectedIsReportedAt106AndTheListIsStillReloaded()
{
    execSql(db(), "CREATE TRIGGER refuse BEFORE INSERT ON tblSchedules BEGIN SELECT RAISE(ABORT,'read-only'); END");
    load();
    showSecondSchedule();
    const auto schedulesBefore = schedules();
    const auto coursesBefore = courses();

    m_prompts->type(QStringLiteral("Term 2"));
    m_form->PushButton1_Click();

    const auto errors = m_prompts->errors();
    QCOMPARE(errors.size(), 1);
    QVERIFY2(errors.first().text.contains(QStringLiteral("read-only")), qPrintable(errors.first().text));
    QVERIFY(errors.first().text.endsWith(errorBoxTail("Form1", "PushButton1_Click", 106)));
    QCOMPARE(errors.first().icon, Icon::Warning);
    QCOMPARE(errors.first().buttons, Buttons::Ok);
    QCOMPARE(schedules(), schedulesBefore);
    QCOMPARE(courses(), coursesBefore);
    // 108 still ran: the reload selects the first row.
    QCOMPARE(selectedRow(*m_form), 1);
    QCOMPARE(listNames(*m_form), (QStringList{"Term 1", "Lab", "Evening"}));
}

void ScheduleCommandsTest::addAllowsTwoSchedulesWithOneName()
{
    load();
    m_prompts->type(QStringLiteral("Lab"));
    m_form->PushButton1_Click();
    QCOMPARE(listNames(*m_form), (QStringList{"Term 1", "Lab", "Evening", "Lab"}));
    QVERIFY(m_prompts->errors().isEmpty());
}

// ---------------------------------------------------------------- Edit Schedule

void ScheduleCommandsTest::editOffersTheSelectedNameAndRenamesOnlyThatSchedule_data()
{
    badNames();
}

void ScheduleCommandsTest::editOffersTheSelectedNameAndRenamesOnlyThatSchedule()
{
    QFETCH(QString, name);
    load();
    const QStringList gridOfFirst = gridTexts(*m_form);
    showSecondSchedule();
    const auto coursesBefore = courses();

    m_prompts->type(name);
    m_form->pushButton(5)->click();

    QCOMPARE(m_prompts->shown.size(), 1);
    const auto& shown = m_prompts->shown.first();
    QCOMPARE(shown.kind, QStringLiteral("input"));
    QCOMPARE(shown.input.prompt, QStringLiteral("Enter schedule: "));
    QCOMPARE(shown.input.title, QStringLiteral("Input Schedule"));
    QCOMPARE(shown.input.preset, QStringLiteral("Lab"));
    QCOMPARE(schedules(), (QList<QStringList>{{"1", "Term 1"}, {"2", name}, {"3", "Evening"}}));
    QCOMPARE(courses(), coursesBefore);
    QCOMPARE(listNames(*m_form), (QStringList{"Term 1", name, "Evening"}));
    // The reloaded list selects its first row, and the grid follows it.
    QCOMPARE(selectedRow(*m_form), 1);
    QCOMPARE(gridTexts(*m_form), gridOfFirst);
}

void ScheduleCommandsTest::editCancelOrBlanksChangesNothing_data()
{
    addCancelOrBlanksChangesNothing_data();
}

void ScheduleCommandsTest::editCancelOrBlanksChangesNothing()
{
    QFETCH(bool, cancel);
    QFETCH(QString, entry);
    load();
    showSecondSchedule();
    const auto schedulesBefore = schedules();

    if (cancel)
        m_prompts->cancelInput();
    else
        m_prompts->type(entry);
    m_form->PushButton5_Click();

    QCOMPARE(m_prompts->shown.size(), 1);
    QCOMPARE(m_prompts->shown.first().kind, QStringLiteral("input"));
    QCOMPARE(schedules(), schedulesBefore);
    QCOMPARE(selectedRow(*m_form), 2);
}

void ScheduleCommandsTest::editWritesAnUnchangedName()
{
    execSql(db(), "CREATE TABLE writes (what TEXT)");
    execSql(db(), "CREATE TRIGGER logUpdate AFTER UPDATE ON tblSchedules BEGIN "
                  "INSERT INTO writes VALUES (new.id || '=' || hex(new.Description)); END");
    // A leading U+FEFF is part of the name, byte for byte.
    execSql(db(), "update tblSchedules set Description=char(65279) || ' O''Neil ' where id=3");
    execSql(db(), "delete from writes");
    const QString bytes = scalarSql(db(), "select hex(Description) from tblSchedules where id=3");
    load();
    m_form->selectSchedule(3);

    const QString name = QChar(0xFEFF) + QStringLiteral(" O'Neil ");
    m_prompts->type(name);
    m_form->PushButton5_Click();

    QCOMPARE(m_prompts->shown.first().input.preset, name);
    QCOMPARE(querySql(db(), "select what from writes"), (QList<QStringList>{{"3=" + bytes}}));
    QCOMPARE(scalarSql(db(), "select hex(Description) from tblSchedules where id=3"), bytes);
}

void ScheduleCommandsTest::editRejectedIsReportedAt108WithTheHandlersLocation()
{
    execSql(db(), "CREATE TRIGGER refuse BEFORE UPDATE ON tblSchedules BEGIN SELECT RAISE(ABORT,'read-only'); END");
    load();
    showSecondSchedule();
    const auto schedulesBefore = schedules();

    m_prompts->type(QStringLiteral("Lab 2"));
    m_form->PushButton5_Click();

    const auto errors = m_prompts->errors();
    QCOMPARE(errors.size(), 1);
    QVERIFY(errors.first().text.contains(QStringLiteral("read-only")));
    QVERIFY2(errors.first().text.endsWith(errorBoxTail("Form1", "PushButton5_Click", 108)),
             qPrintable(errors.first().text));
    QCOMPARE(schedules(), schedulesBefore);
    QCOMPARE(selectedRow(*m_form), 1); // 110 still reloads
}

// ---------------------------------------------------------------- empty list

void ScheduleCommandsTest::emptyListCommandsShowAndChangeNothing_data()
{
    QTest::addColumn<int>("button");
    QTest::newRow("Edit Schedule") << 5;
    QTest::newRow("Delete Schedule") << 2;
    QTest::newRow("Delete All Courses") << 10;
}

void ScheduleCommandsTest::emptyListCommandsShowAndChangeNothing()
{
    QFETCH(int, button);
    execSql(db(), "delete from tblSchedules");
    // A course left without a schedule must survive the command.
    const auto coursesBefore = courses();
    load();
    QCOMPARE(m_form->scheduleCount(), 0);

    m_prompts->answer(Answer::Yes);
    m_prompts->type(QStringLiteral("Anything"));
    m_form->pushButton(button)->click();

    QVERIFY(m_prompts->shown.isEmpty());
    QVERIFY(schedules().isEmpty());
    QCOMPARE(courses(), coursesBefore);
}

// ---------------------------------------------------------------- Delete Schedule

void ScheduleCommandsTest::deleteScheduleAsksWithTheNameInCapitals_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("shownAs");
    QTest::newRow("lower case") << QStringLiteral("physics week") << QStringLiteral("PHYSICS WEEK");
    QTest::newRow("mixed with quote") << QStringLiteral("O'Brien's Lab") << QStringLiteral("O'BRIEN'S LAB");
    QTest::newRow("accents") << QStringLiteral("café ñandú") << QStringLiteral("CAFÉ ÑANDÚ");
    QTest::newRow("blanks kept") << QStringLiteral(" a b ") << QStringLiteral(" A B ");
    QTest::newRow("empty name") << QString() << QString();
}

void ScheduleCommandsTest::deleteScheduleAsksWithTheNameInCapitals()
{
    QFETCH(QString, name);
    QFETCH(QString, shownAs);
    execSql(db(), QStringLiteral("update tblSchedules set Description='%1' where id=2").arg(quotedForSeed(name)));
    load();
    m_form->selectSchedule(2);

    m_prompts->answer(Answer::No);
    m_form->pushButton(2)->click();

    QCOMPARE(m_prompts->shown.size(), 1);
    const MessageBoxRequest question = m_prompts->messages().first();
    QCOMPARE(question.text, QStringLiteral("Are you sure you want to delete [") + shownAs +
                                QStringLiteral("] schedule?\r\nNote: All courses in this schedule will be also "
                                               "deleted."));
    QCOMPARE(question.title, QStringLiteral("Delete Schedule"));
    QCOMPARE(question.buttons, Buttons::YesNo);
    QCOMPARE(question.icon, Icon::None);
    QCOMPARE(question.defaultButton, Answer::Yes);
}

void ScheduleCommandsTest::deleteScheduleNoChangesNothing()
{
    load();
    showSecondSchedule();
    const auto schedulesBefore = schedules();
    const auto coursesBefore = courses();
    const QStringList gridBefore = gridTexts(*m_form);

    m_prompts->answer(Answer::No);
    m_form->PushButton2_Click();

    QCOMPARE(schedules(), schedulesBefore);
    QCOMPARE(courses(), coursesBefore);
    QCOMPARE(selectedRow(*m_form), 2);
    QCOMPARE(gridTexts(*m_form), gridBefore);
}

void ScheduleCommandsTest::deleteScheduleRemovesCoursesBeforeTheScheduleRow()
{
    // The schedule row refuses to go while it still has courses.
    execSql(db(), "CREATE TRIGGER coursesFirst BEFORE DELETE ON tblSchedules "
                  "WHEN EXISTS (SELECT 1 FROM tblCourse WHERE ScheduleID=old.id) "
                  "BEGIN SELECT RAISE(ABORT,'courses are still there'); END");
    load();
    const QStringList gridOfFirst = gridTexts(*m_form);
    showSecondSchedule();

    m_prompts->answer(Answer::Yes);
    m_form->pushButton(2)->click();

    QVERIFY2(m_prompts->errors().isEmpty(), qPrintable(m_prompts->messageTexts().join('|')));
    QCOMPARE(schedules(), (QList<QStringList>{{"1", "Term 1"}, {"3", "Evening"}}));
    QCOMPARE(querySql(db(), "select ScheduleID, CourseName from tblCourse order by id"),
             (QList<QStringList>{{"1", "Physics"}, {"3", "Art"}}));
    QCOMPARE(listNames(*m_form), (QStringList{"Term 1", "Evening"}));
    QCOMPARE(selectedRow(*m_form), 1);
    // The grid follows the selection, never showing a deleted schedule.
    QCOMPARE(gridTexts(*m_form), gridOfFirst);
}

void ScheduleCommandsTest::deleteScheduleThatFailsMidwayChangesNothing_data()
{
    QTest::addColumn<QString>("refusedTable");
    QTest::addColumn<int>("statement");
    QTest::newRow("courses refused") << "tblCourse" << 104;
    QTest::newRow("schedule row refused") << "tblSchedules" << 106;
}

// Both rows go, or neither: never a schedule without its courses, nor
// courses of a schedule that is gone.
void ScheduleCommandsTest::deleteScheduleThatFailsMidwayChangesNothing()
{
    QFETCH(QString, refusedTable);
    QFETCH(int, statement);
    execSql(db(), "CREATE TRIGGER refuse BEFORE DELETE ON " + refusedTable + " BEGIN SELECT RAISE(ABORT,'busy'); END");
    const QString courses = scalarSql(db(), "select count(*) from tblCourse where ScheduleID=2");
    load();
    showSecondSchedule();

    m_prompts->answer(Answer::Yes);
    m_form->PushButton2_Click();

    const auto errors = m_prompts->errors();
    QCOMPARE(errors.size(), 1);
    QCOMPARE(errors.first().text, "busy" + errorBoxTail("Form1", "PushButton2_Click", statement));
    QCOMPARE(schedules().size(), 3);
    QCOMPARE(scalarSql(db(), "select count(*) from tblCourse where ScheduleID=2"), courses);
    QCOMPARE(selectedRow(*m_form), 1); // 108 still reloads
}

// ---------------------------------------------------------------- Delete All Courses

void ScheduleCommandsTest::deleteAllCoursesAsks()
{
    load();
    m_form->selectSchedule(2);
    m_prompts->answer(Answer::No);
    m_form->pushButton(10)->click();

    QCOMPARE(m_prompts->shown.size(), 1);
    const MessageBoxRequest question = m_prompts->messages().first();
    QCOMPARE(question.text, QStringLiteral("Are you sure you want to delete all courses in this schedule?"));
    QCOMPARE(question.title, QStringLiteral("Delete Courses"));
    QCOMPARE(question.buttons, Buttons::YesNo);
    QCOMPARE(question.icon, Icon::None);
    QCOMPARE(question.defaultButton, Answer::Yes);
}

void ScheduleCommandsTest::deleteAllCoursesNoChangesNothing()
{
    load();
    showSecondSchedule();
    const auto coursesBefore = courses();
    const QStringList gridBefore = gridTexts(*m_form);

    m_prompts->answer(Answer::No);
    m_form->PushButton10_Click();

    QCOMPARE(courses(), coursesBefore);
    QCOMPARE(gridTexts(*m_form), gridBefore);
    QCOMPARE(selectedRow(*m_form), 2);
}

void ScheduleCommandsTest::deleteAllCoursesEmptiesOnlyTheSelectedScheduleAndRedraws()
{
    load();
    showSecondSchedule();

    m_prompts->answer(Answer::Yes);
    m_form->pushButton(10)->click();

    QCOMPARE(m_prompts->shown.size(), 1);
    QCOMPARE(querySql(db(), "select ScheduleID, CourseName from tblCourse order by id"),
             (QList<QStringList>{{"1", "Physics"}, {"3", "Art"}}));
    QCOMPARE(schedules().size(), 3);
    // The list is left as it was; the grid shows Lab without courses.
    QCOMPARE(selectedRow(*m_form), 2);
    for (int r = 1; r < m_form->grid().rows(); ++r)
        for (int c = 1; c < m_form->grid().cols(); ++c)
            QCOMPARE(m_form->grid().text(r, c), QString());
    QCOMPARE(m_form->grid().text(1, 0), QStringLiteral("6:00 AM"));
}

void ScheduleCommandsTest::deleteAllCoursesRejectedIsReportedAt104AndTheGridRedrawn()
{
    execSql(db(), "CREATE TRIGGER refuse BEFORE DELETE ON tblCourse BEGIN SELECT RAISE(ABORT,'read-only'); END");
    load();
    m_form->selectSchedule(2);
    // The grid follows the selection; 106 redraws it, with Lab's courses all kept.
    QCOMPARE(m_form->grid().text(10, 2), QStringLiteral("Chemistry"));
    execSql(db(), "update tblCourse set CourseName='Chemistry II' where CourseName='Chemistry'");
    const auto coursesBefore = courses();

    m_prompts->answer(Answer::Yes);
    m_form->PushButton10_Click();

    const auto errors = m_prompts->errors();
    QCOMPARE(errors.size(), 1);
    QVERIFY2(errors.first().text.endsWith(errorBoxTail("Form1", "PushButton10_Click", 104)),
             qPrintable(errors.first().text));
    QCOMPARE(courses(), coursesBefore);
    QCOMPARE(m_form->grid().text(5, 1), QString());
    QCOMPARE(m_form->grid().text(10, 2), QStringLiteral("Chemistry II"));
}

// ---------------------------------------------------------------- public procedures

void ScheduleCommandsTest::publicProceduresActOnTheSelectedSchedule()
{
    load();
    m_form->selectSchedule(3);
    m_form->UpdateSchedule(QStringLiteral("it's late"));
    QCOMPARE(schedules(), (QList<QStringList>{{"1", "Term 1"}, {"2", "Lab"}, {"3", "it's late"}}));

    m_form->selectSchedule(2);
    m_form->DeleteCourse();
    QCOMPARE(querySql(db(), "select ScheduleID from tblCourse order by id"), (QList<QStringList>{{"1"}, {"3"}}));
    m_form->DeleteSchedules();
    QCOMPARE(schedules(), (QList<QStringList>{{"1", "Term 1"}, {"3", "it's late"}}));
    // None of them touches the list.
    QCOMPARE(listNames(*m_form), (QStringList{"Term 1", "Lab", "Evening"}));
    QVERIFY(m_prompts->shown.isEmpty());
}

void ScheduleCommandsTest::publicProceduresReportNothingThemselves()
{
    execSql(db(), "delete from tblSchedules");
    load();
    QVERIFY_THROWS_EXCEPTION(Failure, m_form->DeleteCourse());
    QVERIFY_THROWS_EXCEPTION(Failure, m_form->DeleteSchedules());
    QVERIFY_THROWS_EXCEPTION(Failure, m_form->UpdateSchedule(QStringLiteral("x")));
    QVERIFY(m_prompts->shown.isEmpty());
    QCOMPARE(courses().size(), 4);
}

// Whatever moves the selected row, the grid shows that schedule, so every
// command acts on the schedule the user sees.
void ScheduleCommandsTest::gridFollowsTheSelectionHoweverItMoves()
{
    const auto shows = [&](const char* course) { return gridTexts(*m_form).contains(QLatin1String(course)); };
    load();
    m_form->show();
    m_form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    QTreeView& list = m_form->listView();
    list.setFocus();
    QTest::keyClick(&list, Qt::Key_Down);
    QVERIFY(shows("Chemistry"));
    QTest::keyClick(&list, Qt::Key_End);
    QVERIFY(shows("Art"));
    QTest::keyClick(&list, Qt::Key_Home);
    QVERIFY(shows("Physics"));
    // Tab leaves the grid; the arrow keys move within it.
    m_form->gridView().setFocus();
    QTest::keyClick(&m_form->gridView(), Qt::Key_Right);
    QCOMPARE(m_form->gridView().currentGridCol(), 2);
    QTest::keyClick(&m_form->gridView(), Qt::Key_Tab);
    QVERIFY(!m_form->gridView().hasFocus());
    QCOMPARE(m_form->gridView().currentGridCol(), 2);
    // Return on a focused button presses it.
    m_form->pushButton(9)->setFocus();
    QTest::keyClick(m_form->pushButton(9), Qt::Key_Return);
    QTRY_COMPARE(m_form->selectedScheduleName(), QStringLiteral("Sample Schedule"));
    QVERIFY(shows("Mathematics"));
    // Each reload selects the first row, and the grid shows it; an empty list clears it.
    const auto drawnCourses = [&] {
        QStringList names;
        for (int r = 1; r < m_form->grid().rows(); ++r)
            for (int c = 1; c < m_form->grid().cols(); ++c)
                if (!m_form->grid().text(r, c).isEmpty() && !names.contains(m_form->grid().text(r, c)))
                    names << m_form->grid().text(r, c);
        names.sort();
        return names;
    };
    while (m_form->scheduleCount() > 0) {
        m_prompts->answer(Answer::Yes);
        m_form->PushButton2_Click();
        QStringList expected;
        if (m_form->scheduleCount() > 0)
            for (const QStringList& row :
                 querySql(db(), "select distinct CourseName from tblCourse where ScheduleID=" +
                                    QString::number(m_form->selectedScheduleId().value) + " order by CourseName"))
                expected << row.first();
        QCOMPARE(drawnCourses(), expected);
    }
}

QTEST_MAIN(ScheduleCommandsTest)
// ---------------------------------------------------------------- Copies

void ScheduleCommandsTest::duplicateAndCopyCopyEveryColumnAsOneStep()
{
    execSql(db(), "update tblCourse set ExactFrom='10:05:00 AM', ExactTo='10:50:00 AM' where CourseName='Chemistry'");
    const auto rowsOf = [&](int schedule) {
        return querySql(db(), QStringLiteral("select CourseName, Notes, Days, TimeFrom, TimeTo, ExactFrom, ExactTo "
                                             "from tblCourse where ScheduleID=%1 order by id")
                                  .arg(schedule));
    };
    load();
    showSecondSchedule();
    const auto trigger = [&](const char* name) { m_form->findChild<QAction*>(QLatin1String(name))->trigger(); };
    trigger("DuplicateSchedule");
    m_form->selectSchedule(2);
    trigger("DuplicateSchedule");
    QCOMPARE(listNames(*m_form), QStringList({"Term 1", "Lab", "Evening", "Lab (copy)", "Lab (copy) (2)"}));
    QCOMPARE(m_form->selectedScheduleId(), ScheduleId(5));
    QCOMPARE(m_form->grid().text(10, 2), QStringLiteral("Chemistry"));
    QCOMPARE(rowsOf(5), rowsOf(2));
    QCOMPARE(rowsOf(5).size(), 2);
    m_form->history().undoAction()->trigger();
    QCOMPARE(rowsOf(5), QList<QStringList>());
    QCOMPARE(listNames(*m_form).size(), 4);

    // Physics, at 8:00 AM on Monday in Term 1, into Evening: the choice
    // lists the other schedules.
    m_form->selectSchedule(1);
    m_form->ListView1_Click();
    m_form->gridView().setCurrentGridCell(5, 1);
    m_prompts->pick(1);
    trigger("CopyCourseTo");
    QCOMPARE(m_prompts->shown.last().choice.prompt, QStringLiteral("Copy Physics to the schedule:"));
    QCOMPARE(m_prompts->shown.last().choice.items, QStringList({"Lab", "Evening", "Lab (copy)"}));
    QCOMPARE(rowsOf(3), QList<QStringList>({rowsOf(3).first(), rowsOf(1).first()}));
    QCOMPARE(m_form->selectedScheduleId(), ScheduleId(3));
    m_form->history().undoAction()->trigger();
    QCOMPARE(rowsOf(3).size(), 1);
}

#include "test_schedule_commands.moc"
