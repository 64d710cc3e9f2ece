// What assistive technology reads from the windows: QAccessible, as the
// AT-SPI bridge passes it on to a screen reader.
#include "app/form1.h"
#include "dialogs/form2.h"
#include "dialogs/form3.h"
#include "dialogs/form4.h"
#include "domain/repository.h"
#include "store/connection.h"
#include "tests/support/scripted_prompts.h"
#include "tests/support/test_db.h"
#include "timetable/grid_view.h"
#include "widgets/time_picker.h"

#include <QAccessible>
#include <QAccessibleTableInterface>
#include <QComboBox>
#include <QScopeGuard>
#include <QTreeView>
#include <QtTest>

using namespace quorvane;
using namespace quorvane::testing;

namespace {

QString roleName(QAccessible::Role role)
{
    return QString::fromLatin1(QMetaEnum::fromType<QAccessible::Role>().valueToKey(role));
}

// The tree below `iface`, one line per node: role, name, value; a table's
// rows after the first `rows` are left out. Set QUORVANE_SHOW_ACCESSIBLE=1
// to print it.
void dump(QAccessibleInterface* iface, QStringList& lines, int depth = 0, int rows = 3)
{
    QString line = QString(depth * 2, ' ') + roleName(iface->role()) + " \"" + iface->text(QAccessible::Name) + "\"";
    if (QAccessibleValueInterface* value = iface->valueInterface())
        line += " value=" + value->currentValue().toString();
    const QString valueText = iface->text(QAccessible::Value);
    if (!valueText.isEmpty())
        line += " valueText=\"" + valueText + "\"";
    if (iface->state().focused)
        line += " [focused]";
    lines << line;
    const int count = iface->childCount();
    const QAccessibleTableInterface* table = iface->tableInterface();
    const int shown = table ? std::min(count, (rows + 1) * (table->columnCount() + 1)) : count;
    for (int i = 0; i < shown; ++i)
        if (QAccessibleInterface* child = iface->child(i))
            dump(child, lines, depth + 1, rows);
    if (shown < count)
        lines << QString((depth + 1) * 2, ' ') + QString("... %1 more").arg(count - shown);
}

void show(QObject* object)
{
    QStringList lines;
    dump(QAccessible::queryAccessibleInterface(object), lines);
    if (qEnvironmentVariableIntValue("QUORVANE_SHOW_ACCESSIBLE"))
        qInfo().noquote() << "\n" + lines.join('\n');
}

} // namespace

class AccessibilityTest : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void mainWindowIsAWindow();
    void schedulesReadAsTheirNames();
    void gridRowsAndFreeCellsSayTheirTimes();
    void timePickersReportTheShownTime();
    void courseListsSayTheSelectedCourse_data();
    void courseListsSayTheSelectedCourse();

private:
    std::unique_ptr<ProgramFolder> m_folder;
    ScriptedPrompts m_prompts;
};

void AccessibilityTest::init()
{
    m_folder = std::make_unique<ProgramFolder>();
    execSql(m_folder->databasePath(), "insert into tblSchedules (id, Description) values (1, 'Fall term')");
    execSql(m_folder->databasePath(), "insert into tblSchedules (id, Description) values (2, 'Spring term')");
    execSql(m_folder->databasePath(), "insert into tblCourse (ScheduleID, CourseName, Notes, Days, TimeFrom, TimeTo) "
                                      "values (1, 'Biology', '', '0', '8:00:00 AM', '9:00:00 AM')");
}

void AccessibilityTest::cleanup()
{
    m_folder.reset();
}

void AccessibilityTest::mainWindowIsAWindow()
{
    Form1 form(m_folder->path(), m_prompts);
    QVERIFY(form.Form_Load());
    form.show();
    show(&form);
    QAccessibleInterface* window = QAccessible::queryAccessibleInterface(&form);
    QCOMPARE(window->role(), QAccessible::Window);
    QCOMPARE(window->text(QAccessible::Name), QString("Quorvane"));
}

// The id column is not read at all: each row is one cell, its name.
void AccessibilityTest::schedulesReadAsTheirNames()
{
    Form1 form(m_folder->path(), m_prompts);
    QVERIFY(form.Form_Load());
    form.show();
    form.listView().setFocus();
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(&form.listView());
    QStringList items;
    QStringList focused;
    for (int i = 0; i < list->childCount(); ++i) {
        QAccessibleInterface* child = list->child(i);
        if (child->role() != QAccessible::TreeItem)
            continue;
        items << child->text(QAccessible::Name);
        if (child->state().focused)
            focused << child->text(QAccessible::Name);
    }
    QCOMPARE(items, QStringList({"Fall term", "Spring term"}));
    QCOMPARE(focused, QStringList{"Fall term"});
    form.selectSchedule(2);
    QCOMPARE(form.selectedScheduleId(), ScheduleId(2));
}

void AccessibilityTest::gridRowsAndFreeCellsSayTheirTimes()
{
    Form1 form(m_folder->path(), m_prompts);
    QVERIFY(form.Form_Load());
    form.show();
    QAccessibleInterface* grid = QAccessible::queryAccessibleInterface(&form.gridView());
    QAccessibleTableInterface* table = grid->tableInterface();
    QVERIFY(table);
    const int row830 = 5; // 6:00, 6:30, ... 8:30 AM
    QAccessibleInterface* monday = table->cellAt(row830, 1);
    QAccessibleInterface* tuesday = table->cellAt(row830, 2);
    QVERIFY(monday && tuesday);
    QCOMPARE(monday->text(QAccessible::Name), QString("Biology, Monday 8:00\u20139:00 AM"));
    QCOMPARE(tuesday->text(QAccessible::Name), QString("Tuesday 8:30 AM, free"));
    QCOMPARE(table->cellAt(row830, 3)->text(QAccessible::Name), QString("Wednesday 8:30 AM, free"));
    // Qt hands the row header cells to the caller, who has them deleted.
    const QList<QAccessibleInterface*> headers = tuesday->tableCellInterface()->rowHeaderCells();
    const QList<QAccessibleInterface*> firstHeaders = table->cellAt(0, 0)->tableCellInterface()->rowHeaderCells();
    const auto deleteHeaders = qScopeGuard([&] {
        for (QAccessibleInterface* header : headers + firstHeaders)
            QAccessible::deleteAccessibleInterface(QAccessible::registerAccessibleInterface(header));
    });
    QCOMPARE(headers.size(), 1);
    QCOMPARE(headers.first()->text(QAccessible::Name), QString("8:30 AM"));
    QCOMPARE(firstHeaders.first()->text(QAccessible::Name), QString("6:00 AM"));
}

void AccessibilityTest::timePickersReportTheShownTime()
{
    Connection db;
    db.open(m_folder->databasePath());
    Repository courses(db);
    Form2 add(courses, m_prompts, m_folder->path());
    add.dtpFrom()->setValueText("6:00 AM");
    add.dtpTo()->setValueText("9:30 PM");
    add.show();
    show(&add);
    QAccessibleInterface* from = QAccessible::queryAccessibleInterface(add.dtpFrom());
    QCOMPARE(from->text(QAccessible::Name), QString("Time From"));
    QCOMPARE(from->text(QAccessible::Value), QString("06:00 AM"));
    QCOMPARE(from->valueInterface()->currentValue().toInt(), 6 * 60);
    QAccessibleInterface* to = QAccessible::queryAccessibleInterface(add.dtpTo());
    QCOMPARE(to->text(QAccessible::Value), QString("09:30 PM"));
    QCOMPARE(to->valueInterface()->currentValue().toDouble(), 21.5 * 60);
    QCOMPARE(to->valueInterface()->maximumValue().toInt(), 24 * 60 - 1);
}

void AccessibilityTest::courseListsSayTheSelectedCourse_data()
{
    QTest::addColumn<int>("form");
    QTest::newRow("Edit Course") << 3;
    QTest::newRow("Delete Course") << 4;
}

// The list's name and value are the course it selects, preselected or
// chosen with the keys; "Select Course" while it selects none.
void AccessibilityTest::courseListsSayTheSelectedCourse()
{
    QFETCH(int, form);
    execSql(m_folder->databasePath(), "insert into tblCourse (ScheduleID, CourseName, Notes, Days, TimeFrom, TimeTo) "
                                      "values (1, 'Chemistry', '', '1', '8:00:00 AM', '9:00:00 AM')");
    Connection db;
    db.open(m_folder->databasePath());
    Repository courses(db);
    std::unique_ptr<CourseListDialog> dialog;
    if (form == 3)
        dialog = std::make_unique<Form3>(courses, m_prompts, m_folder->path(), ScheduleId(1));
    else
        dialog = std::make_unique<Form4>(courses, m_prompts, m_folder->path(), ScheduleId(1));
    dialog->show();
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(dialog->Combo1());
    QCOMPARE(list->text(QAccessible::Name), QString("Select Course"));
    dialog->setCombo1Text("Biology");
    QCOMPARE(list->text(QAccessible::Name), QString("Biology"));
    QCOMPARE(list->text(QAccessible::Value), QString("Biology"));
    QTest::keyClick(dialog->Combo1(), Qt::Key_Down);
    QCOMPARE(list->text(QAccessible::Value), QString("Chemistry"));
}

QTEST_MAIN(AccessibilityTest)
#include "test_accessibility.moc"
