// The course list of the Edit and Delete Course dialogs over many courses: it
// reads only the rows shown, yet stands for every course in id order, and
// the course picked anywhere in it is the one written.
#include "dialogs/form3.h"
#include "dialogs/form4.h"
#include "domain/repository.h"
#include "store/connection.h"
#include "store/course_positions.h"
#include "tests/support/scripted_prompts.h"
#include "tests/support/test_db.h"

#include <QAbstractItemModelTester>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <memory>

using namespace quorvane;
using namespace quorvane::testing;

class CourseListTest : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void modelStandsForEveryCourseInIdOrder();
    void coursePickedFarDownIsTheOneWritten_data();
    void coursePickedFarDownIsTheOneWritten();
    void preselectsTheSelectedSchedulesCourseAmongAHundredThousand();
    void typeAheadFindsTheNextNameWithThatBeginning_data();
    void typeAheadFindsTheNextNameWithThatBeginning();
    void positionsCountFromMilestonesUntilTheCoursesChange();

private:
    QString db() const { return m_folder->databasePath(); }
    // `courses` courses over ten schedules, then every seventh deleted, so
    // that a position is not an id.
    void fill(int courses);
    qint64 idAt(int position) const;

    std::unique_ptr<ProgramFolder> m_folder;
    std::unique_ptr<ScriptedPrompts> m_prompts;
    std::unique_ptr<Connection> m_db;
    std::unique_ptr<Repository> m_repository;
};

void CourseListTest::init()
{
    m_folder = std::make_unique<ProgramFolder>();
    m_prompts = std::make_unique<ScriptedPrompts>();
    execSql(db(), "with recursive n(i) as (select 1 union all select i + 1 from n where i < 10) "
                  "insert into tblSchedules (id, Description) select i, 'Term ' || i from n");
    m_db = std::make_unique<Connection>();
    m_db->open(db());
    m_repository = std::make_unique<Repository>(*m_db);
}

void CourseListTest::cleanup()
{
    m_repository.reset();
    m_db.reset();
    m_prompts.reset();
    m_folder.reset();
}

void CourseListTest::fill(int courses)
{
    execSql(db(), QStringLiteral("with recursive n(i) as (select 1 union all select i + 1 from n where i < %1) "
                                 "insert into tblCourse (ScheduleID,CourseName,Notes,Days,TimeFrom,TimeTo) "
                                 "select 1 + i % 10, 'Course ' || i, 'Room ' || i, '1', '08:00', '09:00' from n")
                      .arg(courses));
    execSql(db(), "delete from tblCourse where id % 7 = 0");
}

qint64 CourseListTest::idAt(int position) const
{
    return scalarSql(db(), QStringLiteral("select id from tblCourse order by id limit 1 offset %1").arg(position))
        .toLongLong();
}

void CourseListTest::modelStandsForEveryCourseInIdOrder()
{
    fill(3000);
    const QList<QStringList> rows = querySql(db(), "select id, CourseName from tblCourse order by id");
    const auto form = std::make_unique<Form4>(*m_repository, *m_prompts, m_folder->path(), std::nullopt);
    const CourseList& list = form->courseList();
    QAbstractItemModelTester tester(form->Combo1()->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    QCOMPARE(list.count(), rows.size());
    QCOMPARE(form->Combo1()->count(), rows.size());
    QVERIFY(list.rowsHeld() <= CourseList::kPageRows);
    // Far from anything read, either end first; then pages read from their
    // neighbours, upwards and downwards, while older pages are let go.
    std::vector<int> order{int(rows.size()) - 1, 0, 1500, 1499, 1563, 1564};
    for (int i = int(rows.size()) - 1; i >= 0; i -= 5)
        order.push_back(i);
    for (int i = 0; i < rows.size(); i += 3)
        order.push_back(i);
    for (const int i : order) {
        QCOMPARE(form->Combo1()->itemText(i), rows[i][1]);
        QCOMPARE(list.courseId(i), CourseId(rows[i][0].toLongLong()));
        QVERIFY(list.rowsHeld() <= CourseList::kKeptPages * CourseList::kPageRows);
    }
    QCOMPARE(list.name(2000), rows[2000][1]);
    QVERIFY(m_prompts->shown.isEmpty());
}

void CourseListTest::coursePickedFarDownIsTheOneWritten_data()
{
    QTest::addColumn<int>("form");
    QTest::addColumn<bool>("typed");
    for (int form = 3; form <= 4; ++form) {
        QTest::addRow("Form%d scrolled to", form) << form << false;
        QTest::addRow("Form%d found by type-ahead", form) << form << true;
    }
}

void CourseListTest::coursePickedFarDownIsTheOneWritten()
{
    QFETCH(int, form);
    QFETCH(bool, typed);
    fill(20000);
    const int position = int(scalarSql(db(), "select count(*) from tblCourse").toInt()) - 40;
    const qint64 id = idAt(position);
    execSql(db(), QStringLiteral("update tblCourse set CourseName='Zebra Studies' where id=%1").arg(id));
    std::unique_ptr<CourseListDialog> dialog;
    if (form == 3)
        dialog = std::make_unique<Form3>(*m_repository, *m_prompts, m_folder->path(), ScheduleId(1));
    else
        dialog = std::make_unique<Form4>(*m_repository, *m_prompts, m_folder->path(), ScheduleId(1));
    dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
    QComboBox* combo = dialog->Combo1();
    combo->showPopup();
    QAbstractItemView* view = combo->view();
    QTRY_VERIFY(view->isVisible());
    if (typed) {
        QTest::keyClicks(view, QStringLiteral("zeb"));
        QTest::keyClick(view, Qt::Key_Return);
    } else {
        // To the end of the list, back up to the course, and picked there.
        QTest::keyClick(view, Qt::Key_End);
        QCOMPARE(view->currentIndex().row(), combo->count() - 1);
        for (int up = 0; up < 39; ++up)
            QTest::keyClick(view, Qt::Key_Up);
        const QModelIndex row = view->currentIndex();
        QCOMPARE(row.row(), position);
        QCOMPARE(row.data().toString(), QStringLiteral("Zebra Studies"));
        QVERIFY(view->viewport()->rect().intersects(view->visualRect(row)));
        QTest::keyClick(view, Qt::Key_Return);
    }
    QTRY_VERIFY(!view->isVisible());
    QCOMPARE(combo->currentIndex(), position);
    QCOMPARE(combo->currentText(), QStringLiteral("Zebra Studies"));
    const int before = scalarSql(db(), "select count(*) from tblCourse").toInt();
    if (auto* edit = qobject_cast<Form3*>(dialog.get())) {
        QCOMPARE(edit->Text2()->text(), QStringLiteral("Room %1").arg(id));
        edit->Text2()->setText(QStringLiteral("picked"));
    } else {
        m_prompts->answer(Answer::Yes);
    }
    dialog->PushButton1()->click();
    QVERIFY(m_prompts->errors().isEmpty());
    if (form == 3) {
        QCOMPARE(querySql(db(), "select id from tblCourse where Notes='picked'"),
                 QList<QStringList>{QStringList{QString::number(id)}});
    } else {
        QCOMPARE(m_prompts->messageTexts(), QStringList{"Are you sure you want to delete [Zebra Studies] course?"});
        QCOMPARE(scalarSql(db(), QStringLiteral("select count(*) from tblCourse where id=%1").arg(id)),
                 QStringLiteral("0"));
        QCOMPARE(scalarSql(db(), "select count(*) from tblCourse").toInt(), before - 1);
    }
    QVERIFY(!dialog->isVisible());
}

void CourseListTest::preselectsTheSelectedSchedulesCourseAmongAHundredThousand()
{
    fill(100000);
    // The same name in schedules 4 and 8, both far down; 8's course later.
    execSql(db(), "update tblCourse set CourseName='Shared Seminar', Notes='of 4' where id=40003");
    execSql(db(), "update tblCourse set CourseName='Shared Seminar', Notes='of 8' where id=94007");
    QCOMPARE(scalarSql(db(), "select group_concat(ScheduleID) from tblCourse where CourseName='Shared Seminar'"),
             QStringLiteral("4,8"));
    for (const auto& [schedule, id, notes] : {std::tuple{8, 94007, "of 8"}, std::tuple{5, 40003, "of 4"}}) {
        const auto form = std::make_unique<Form3>(*m_repository, *m_prompts, m_folder->path(), ScheduleId(schedule));
        form->setCombo1Text(QStringLiteral("Shared Seminar"));
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        const int position =
            scalarSql(db(), QStringLiteral("select count(*) from tblCourse where id<%1").arg(id)).toInt();
        QCOMPARE(form->Combo1()->currentIndex(), position);
        QCOMPARE(form->courseList().courseId(position), CourseId(id));
        QCOMPARE(form->Text2()->text(), QString::fromLatin1(notes));
        // What was read is the page of the entry shown (and the first one,
        // which the box measures), not the list.
        QVERIFY(form->courseList().rowsHeld() <= 2 * CourseList::kPageRows);
        // The list opens on it.
        form->Combo1()->showPopup();
        QAbstractItemView* view = form->Combo1()->view();
        QVERIFY(view->viewport()->rect().contains(view->visualRect(view->currentIndex())));
        QCOMPARE(view->currentIndex().row(), position);
        form->Combo1()->hidePopup();
        // That page, read from the course's id both ways, holds the courses
        // round it at their positions, across the gaps of deleted ids.
        const int first = position / CourseList::kPageRows * CourseList::kPageRows;
        for (const int at : {first, position - 1, position + 1, first + CourseList::kPageRows - 1})
            QCOMPARE(form->courseList().courseId(at), CourseId(idAt(at)));
    }
    QVERIFY(m_prompts->shown.isEmpty());
}

void CourseListTest::typeAheadFindsTheNextNameWithThatBeginning_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("found");
    // Positions: 0 "500 Years", 1 "50% off", 2 "AxB", 3 "A_B", 4 "O'Neil",
    // 5 "Études", 6 "a\\b", 7 "Kelvin", 8 "O'Neil".
    QTest::newRow("a per cent sign is itself") << "50%" << 0 << 1;
    QTest::newRow("an underscore is itself") << "a_" << 0 << 3;
    QTest::newRow("a backslash is itself") << "A\\" << 0 << 6;
    QTest::newRow("a quote") << "o'n" << 0 << 4;
    QTest::newRow("from the start row on") << "o'n" << 5 << 8;
    QTest::newRow("round to the beginning") << "500" << 3 << 0;
    QTest::newRow("case of a letter beyond ASCII") << "éT" << 0 << 5;
    QTest::newRow("no such beginning") << "Zoo" << 0 << -1;
}

void CourseListTest::typeAheadFindsTheNextNameWithThatBeginning()
{
    QFETCH(QString, typed);
    QFETCH(int, from);
    QFETCH(int, found);
    const QStringList names{"500 Years", "50% off", "AxB", "A_B", "O'Neil", "Études", "a\\b", "Kelvin", "O'Neil"};
    for (const QString& name : names)
        execSql(db(), QStringLiteral("insert into tblCourse (ScheduleID,CourseName) values (1,'%1')")
                          .arg(QString(name).replace(QLatin1String("'"), QLatin1String("''"))));
    const auto form = std::make_unique<Form4>(*m_repository, *m_prompts, m_folder->path(), std::nullopt);
    QAbstractItemModel* model = form->Combo1()->model();
    const QModelIndexList hits =
        model->match(model->index(from, 0), Qt::DisplayRole, typed, 1, Qt::MatchStartsWith | Qt::MatchWrap);
    QCOMPARE(hits.isEmpty() ? -1 : hits.first().row(), found);
    // What was read is what the search started from, not the list.
    QVERIFY(form->courseList().rowsHeld() <= CourseList::kPageRows);
}

void CourseListTest::positionsCountFromMilestonesUntilTheCoursesChange()
{
    fill(20000);
    CoursePositions positions(*m_db);
    QSignalSpy refreshed(&positions, &CoursePositions::refreshed);
    const auto courses = [&] { return scalarSql(db(), "select count(*) from tblCourse").toLongLong(); };
    const auto walk = [&] {
        positions.refresh();
        QVERIFY(refreshed.wait());
        QVERIFY(positions.current(courses()));
    };
    walk();
    constexpr int kStep = CoursePositions::kStep;
    for (const int at : {0, 1, kStep - 1, kStep, 9000, int(courses()) - 1}) {
        QCOMPARE(positions.countBefore(idAt(at)), at);
        QCOMPARE(positions.milestoneAtOrBefore(at), std::pair(idAt(at / kStep * kStep), qint64(at / kStep * kStep)));
    }
    // A change through the connection, and one by another program, each
    // leaves them unused until walked again.
    m_db->execute(QStringLiteral("delete from tblCourse where id=5"));
    QVERIFY(!positions.current(courses()));
    walk();
    QCOMPARE(positions.countBefore(idAt(9000)), 9000);
    execSql(db(), QStringLiteral("update tblCourse set CourseName='Zebra Studies' where id=%1").arg(idAt(9000)));
    QVERIFY(!positions.current(courses()));
    walk();
    // A dialog's list preselects from them, and reads a page far from both
    // ends from the milestone below it.
    const auto form = std::make_unique<Form4>(*m_repository, *m_prompts, m_folder->path(), std::nullopt);
    form->usePositions(&positions);
    form->setCombo1Text(QStringLiteral("Zebra Studies"));
    QCOMPARE(form->Combo1()->currentIndex(), 9000);
    for (const int at : {4321, 4321 / CourseList::kPageRows * CourseList::kPageRows, 12345})
        QCOMPARE(form->courseList().courseId(at), CourseId(idAt(at)));
}

QTEST_MAIN(CourseListTest)
#include "test_course_list.moc"
