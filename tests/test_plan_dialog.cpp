// Plan Schedules in the window: the plans of a pool listed best first, the
// first drawn, one kept as a schedule in one step of the undo history, and
// the reason shown when no plan exists.
#include "app/form1.h"
#include "app/undo_history.h"
#include "planner/plan_dialog.h"
#include "tests/support/scripted_prompts.h"
#include "tests/support/test_db.h"
#include "timetable/grid.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTableWidget>
#include <QtTest>

using namespace quorvane;
using namespace quorvane::testing;

namespace {

// Calculus meets Mondays and Wednesdays from 9:05 to 9:50 AM as typed (9:00
// to 9:30 on the grid) or Tuesdays and Thursdays; History on Monday morning,
// clashing with the first, or Friday afternoon. "Clash" holds two courses
// that meet at once.
void addPools(const QString& database)
{
    execSql(database, "insert into tblSchedules (Description) values ('Fall'), ('Clash')");
    execSql(database, "insert into tblCourse (ScheduleID,CourseName,Notes,Days,TimeFrom,TimeTo,ExactFrom,ExactTo) "
                      "values (1,'Calculus','','0,2','9:00:00 AM','9:30:00 AM','9:05:00 AM','9:50:00 AM'),"
                      "(1,'Calculus','','1,3','9:00:00 AM','10:00:00 AM',NULL,NULL),"
                      "(1,'History','','0','9:30:00 AM','10:30:00 AM',NULL,NULL),"
                      "(1,'History',' Notes '' ','4','1:00:00 PM','2:00:00 PM',NULL,NULL),"
                      "(2,'Art','','0','9:00:00 AM','10:00:00 AM',NULL,NULL),"
                      "(2,'Music','','0','9:30:00 AM','10:30:00 AM',NULL,NULL)");
}

QStringList rowTexts(const QTableWidget& table, int row)
{
    QStringList texts;
    for (int c = 0; c < table.columnCount(); ++c)
        texts << table.item(row, c)->text();
    return texts;
}

const char* const kColumns = "hex(CourseName), typeof(CourseName), hex(Notes), hex(Days), typeof(Days), "
                             "hex(TimeFrom), hex(TimeTo), hex(ExactFrom), typeof(ExactFrom), hex(ExactTo), "
                             "typeof(ExactTo)";

} // namespace

class PlanDialogTest : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void ctrlGListsThePlansAndKeepsOneInOneStep();
    void noPlanShowsWhy();
    void withoutAScheduleAsksForOne();
    void escStopsTheSearchThenCloses();

private:
    std::unique_ptr<ProgramFolder> m_folder;
    std::unique_ptr<ScriptedPrompts> m_prompts;
    std::unique_ptr<Form1> m_form;
};

void PlanDialogTest::init()
{
    m_folder = std::make_unique<ProgramFolder>();
    addPools(m_folder->databasePath());
    m_prompts = std::make_unique<ScriptedPrompts>();
    m_form = std::make_unique<Form1>(m_folder->path(), *m_prompts);
    QVERIFY(m_form->Form_Load());
}

void PlanDialogTest::cleanup()
{
    m_form.reset();
    m_prompts.reset();
    m_folder.reset();
}

void PlanDialogTest::ctrlGListsThePlansAndKeepsOneInOneStep()
{
    const QString db = m_folder->databasePath();
    m_form->selectSchedule(1);
    m_form->show();
    QApplication::setActiveWindow(m_form.get());
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    m_prompts->onDialog([](QDialog& dialog) {
        QCOMPARE(dialog.windowTitle(), QString("Plan Schedules"));
        auto* plans = dialog.findChild<QTableWidget*>("Plans");
        QTRY_COMPARE(plans->rowCount(), 3);
        QCOMPARE(rowTexts(*plans, 0), QStringList({"1", "3", QString::fromUtf8("9:05 AM–2:00 PM"), "0 h"}));
        // Each option by its days and exact times, and its rows.
        const auto* calculus = dialog.findChild<QTableWidget*>("Courses")->cellWidget(0, 2);
        QCOMPARE(calculus->property("currentText").toString(), QString("any option"));
        QCOMPARE(qobject_cast<const QComboBox*>(calculus)->itemText(1),
                 QString::fromUtf8("Mon Wed 9:05–9:50 AM (row 1)"));
        QCOMPARE(dialog.findChild<QLabel*>("PlanCount")->text(),
                 QString("Fall: 2 courses, 4 combinations, 3 clash-free plans."));
        // The first plan drawn as the main grid draws it: Calculus in the
        // rows of its grid times.
        const auto* grid = dialog.findChild<QTableView*>("PlanGrid");
        QCOMPARE(grid->model()->index(6, 1).data().toString(), QString("Calculus")); // 9:00 AM, Monday
        QCOMPARE(grid->model()->index(6, 2).data().toString(), QString(""));
        // Another schedule's times kept free: its courses are read once chosen.
        auto* busy = dialog.findChild<QComboBox*>("BusyTime");
        busy->setCurrentIndex(1);
        QTRY_COMPARE(dialog.findChild<QLabel*>("PlanCount")->text(),
                     QString("Fall: 2 courses, 4 combinations, 1 clash-free plan."));
        busy->setCurrentIndex(0);
        QTRY_COMPARE(plans->rowCount(), 3);
        dialog.findChild<QPushButton*>("KeepAsSchedule")->click();
    });
    QTest::keyClick(m_form.get(), Qt::Key_G, Qt::ControlModifier);

    QCOMPARE(m_prompts->shown.value(0).dialogName, QString("PlanSchedules"));
    QCOMPARE(m_form->selectedScheduleName(), QString("Fall plan 1"));
    QCOMPARE(m_form->grid().text(7, 1), QString("Calculus")); // drawn: 9:00 AM, Monday
    const QString kept = scalarSql(db, "select id from tblSchedules where Description='Fall plan 1'");
    QCOMPARE(querySql(db, QString("select %1 from tblCourse where ScheduleID=%2 order by id").arg(kColumns, kept)),
             querySql(db, QString("select %1 from tblCourse where id in (1,4) order by id").arg(kColumns)));
    QCOMPARE(m_form->history().undoAction()->text(), QString("Undo Keep as Schedule"));
    QApplication::setActiveWindow(m_form.get());
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    QTest::keyClick(m_form.get(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(scalarSql(db, "select count(*) from tblSchedules"), QString("2"));
    QCOMPARE(scalarSql(db, "select count(*) from tblCourse"), QString("6"));
}

void PlanDialogTest::noPlanShowsWhy()
{
    m_form->selectSchedule(2);
    m_prompts->onDialog([](QDialog& dialog) {
        auto* reason = dialog.findChild<QPlainTextEdit*>("NoPlanReason");
        QTRY_COMPARE(dialog.findChild<QStackedWidget*>()->currentWidget(), reason);
        QVERIFY2(reason->toPlainText().startsWith("Art and Music cannot both be taken"),
                 qPrintable(reason->toPlainText()));
        QCOMPARE(dialog.findChild<QTableWidget*>("Plans")->rowCount(), 0);
        QVERIFY(!dialog.findChild<QPushButton*>("KeepAsSchedule")->isEnabled());
    });
    m_form->findChild<QAction*>("PlanSchedules")->trigger();
    QCOMPARE(m_prompts->shown.size(), 1);
    QCOMPARE(m_form->history().undoAction()->isEnabled(), false);
}

void PlanDialogTest::withoutAScheduleAsksForOne()
{
    execSql(m_folder->databasePath(), "delete from tblSchedules");
    m_form->showSchedule({});
    m_form->findChild<QAction*>("PlanSchedules")->trigger();
    QCOMPARE(m_prompts->messageTexts(), QStringList({"You must add a schedule first."}));
}

// The search is under way until the window's thread hears of its end: Esc
// then stops it, and the dialog stays open with what it found; once it has
// ended, Esc closes the dialog. Closing it stops the search as well.
void PlanDialogTest::escStopsTheSearchThenCloses()
{
    // Fourteen courses of 24 sections crowded into 8 AM to 3 PM.
    QStringList rows;
    for (int c = 0; c < 14; ++c)
        for (int o = 0; o < 24; ++o) {
            const int start = 8 * 60 + (c * 7 + o * 5) % 14 * 30;
            rows << QString("(3,'C%1','','%2','%3','%4')")
                        .arg(c)
                        .arg(o % 2 ? "1,3" : "0,2,4")
                        .arg(QTime(0, 0).addSecs(start * 60).toString("HH:mm"))
                        .arg(QTime(0, 0).addSecs((start + 50) * 60).toString("HH:mm"));
        }
    execSql(m_folder->databasePath(), "insert into tblSchedules (Description) values ('Crowded')");
    execSql(m_folder->databasePath(),
            "insert into tblCourse (ScheduleID,CourseName,Notes,Days,TimeFrom,TimeTo) values " + rows.join(','));
    m_form->showSchedule({ScheduleId(3)});
    m_prompts->onDialog([](QDialog& shown) {
        auto& dialog = dynamic_cast<PlanDialog&>(shown);
        QVERIFY(dialog.searching());
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QVERIFY(dialog.isVisible());
        QTRY_VERIFY(!dialog.searching());
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QVERIFY(!dialog.isVisible());
    });
    // Closed while it searches, the dialog stops the search and waits for it.
    m_prompts->onDialog([](QDialog& shown) {
        auto& dialog = dynamic_cast<PlanDialog&>(shown);
        QVERIFY(dialog.searching());
        dialog.close();
        QVERIFY(!dialog.searching());
    });
    for (int opened = 0; opened < 2; ++opened)
        m_form->findChild<QAction*>("PlanSchedules")->trigger();
    QCOMPARE(m_prompts->shown.size(), 2);
}

QTEST_MAIN(PlanDialogTest)
#include "test_plan_dialog.moc"
