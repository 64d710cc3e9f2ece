// Another process adds courses with the program's own insert statement and
// is killed (SIGKILL) at random moments: the database stays whole and every
// course whose statement had completed is there.
#include "tests/support/test_db.h"

#include <QCoreApplication>
#include <QProcess>
#include <QRandomGenerator>
#include <QtTest>

#include <algorithm>

using namespace quorvane::testing;

class KilledWhileWritingTest : public QObject
{
    Q_OBJECT
private slots:
    void everyCompletedCourseSurvivesAKill();
};

void KilledWhileWritingTest::everyCompletedCourseSurvivesAKill()
{
    ProgramFolder folder;
    execSql(folder.databasePath(), "insert into tblSchedules (Description) values ('Fall')");
    execSql(folder.databasePath(), "insert into tblCourse (ScheduleID,CourseName,Notes,Days,TimeFrom,TimeTo) "
                                   "values (1,'Physics','','0','08:30','10:00')");
    const quint32 seed = QRandomGenerator::global()->generate();
    qInfo("seed %u", seed);
    QRandomGenerator random(seed);
    const QString helper = QCoreApplication::applicationDirPath() + QStringLiteral("/quorvane_db_helper");

    QList<long> completed;
    long next = 1;
    constexpr int kRounds = 8;
    for (int round = 0; round < kRounds; ++round) {
        QProcess writer;
        writer.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        writer.start(helper, {QStringLiteral("write-courses"), folder.databasePath(), QStringLiteral("1"),
                              QString::number(next)});
        QVERIFY2(writer.waitForStarted(10000), qPrintable(helper));
        // Kill it after a random number of completed statements, wherever it
        // then is: inside a statement, between two, or printing.
        const int before = random.bounded(1, 40);
        QByteArray out;
        while (out.count('\n') < before && writer.waitForReadyRead(10000))
            out += writer.readAllStandardOutput();
        QVERIFY2(out.count('\n') >= before, out.constData());
        writer.kill();
        QVERIFY(writer.waitForFinished(10000));
        QCOMPARE(writer.exitStatus(), QProcess::CrashExit);
        out += writer.readAllStandardOutput();

        // Only whole lines count: a number is printed after its statement completed.
        const QList<QByteArray> lines = out.left(out.lastIndexOf('\n') + 1).split('\n');
        for (const QByteArray& line : lines) {
            if (line.isEmpty())
                continue;
            bool ok = false;
            const long n = line.toLong(&ok);
            QVERIFY2(ok, line.constData());
            completed << n;
        }

        QCOMPARE(scalarSql(folder.databasePath(), "PRAGMA integrity_check"), QString("ok"));
        const QList<QStringList> rows =
            querySql(folder.databasePath(), "select CourseName from tblCourse where CourseName like 'Course %'");
        QSet<long> present;
        for (const QStringList& row : rows)
            present.insert(row.first().mid(7).toLong());
        for (long n : completed)
            QVERIFY2(present.contains(n), qPrintable(QStringLiteral("course %1 lost in round %2").arg(n).arg(round)));
        // At most the statement that was under way when the kill came is there
        // besides those reported.
        QVERIFY(present.size() <= completed.size() + round + 1);
        next = *std::max_element(present.begin(), present.end()) + 1;
    }
    QCOMPARE(querySql(folder.databasePath(), "select CourseName from tblCourse where id=1"),
             QList<QStringList>({{"Physics"}}));
}

QTEST_GUILESS_MAIN(KilledWhileWritingTest)
#include "test_killed_while_writing.moc"
