// The domain's own rules: when two meetings clash, and how a course's exact
// times are kept beside the grid's.
#include "domain/course.h"
#include "domain/repository.h"
#include "store/connection.h"
#include "tests/support/test_db.h"

#include <QtTest>

using namespace quorvane;
using namespace quorvane::testing;

class DomainTest : public QObject
{
    Q_OBJECT
private slots:
    void meetingsClashWhenEachStartsBeforeTheOtherEnds_data()
    {
        QTest::addColumn<Meeting>("a");
        QTest::addColumn<Meeting>("b");
        QTest::addColumn<bool>("clash");
        const auto at = [](int day, int from, int to) { return Meeting{day, from * 60, to * 60}; };
        QTest::newRow("overlap") << at(0, 540, 590) << at(0, 570, 645) << true;
        QTest::newRow("inside") << at(2, 480, 720) << at(2, 600, 610) << true;
        QTest::newRow("back to back") << at(0, 540, 600) << at(0, 600, 660) << false;
        QTest::newRow("another day") << at(0, 540, 600) << at(1, 540, 600) << false;
        QTest::newRow("an instant inside") << at(4, 600, 600) << at(4, 540, 660) << true;
        QTest::newRow("an instant at the start") << at(4, 540, 540) << at(4, 540, 660) << false;
        QTest::newRow("two instants") << at(4, 540, 540) << at(4, 540, 540) << false;
    }
    void meetingsClashWhenEachStartsBeforeTheOtherEnds()
    {
        QFETCH(Meeting, a);
        QFETCH(Meeting, b);
        QFETCH(bool, clash);
        QCOMPARE(quorvane::clash(a, b), clash);
        QCOMPARE(quorvane::clash(b, a), clash);
    }

    // Written only where they differ from the grid's; read back as typed,
    // and cleared when an edit puts them back on the grid's times.
    void exactTimesAreKeptBesideTheGrids()
    {
        ProgramFolder folder;
        execSql(folder.databasePath(), "insert into tblSchedules (id, Description) values (1, 'Week')");
        Connection db;
        db.open(folder.databasePath());
        Repository courses(db);
        NewCourse typed;
        typed.name = QStringLiteral("MATH 2210");
        typed.days[0] = typed.days[2] = true;
        typed.from = QTime(9, 0);
        typed.to = QTime(9, 30);
        typed.exactFrom = QTime(9, 0);
        typed.exactTo = QTime(9, 50);
        const CourseId id = courses.addCourse(ScheduleId(1), typed);
        const std::optional<Course> read = courses.course(id);
        QVERIFY(read);
        QCOMPARE(read->grid.to, QTime(9, 30));
        QCOMPARE(read->exact.to, QTime(9, 50));
        QCOMPARE(read->meetings().size(), 2);
        QCOMPARE(read->meetings().at(1).day, 2);
        const QString exact = "select ifnull(ExactFrom, '-') || ' ' || ifnull(ExactTo, '-') from tblCourse";
        QCOMPARE(scalarSql(folder.databasePath(), exact), "9:00:00 AM 9:50:00 AM");
        CourseChange edit{QString(), typed.days, QTime(9, 0), QTime(10, 0), QTime(9, 0), QTime(10, 0), true};
        courses.updateCourse(id, edit);
        QCOMPARE(scalarSql(folder.databasePath(), exact), "- -");
        QCOMPARE(courses.course(id)->exact.to, QTime(10, 0));
    }
};

QTEST_GUILESS_MAIN(DomainTest)
#include "test_domain.moc"
