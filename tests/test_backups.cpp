// The daily backup, its pruning, and `--backups` and `--restore FILE`.
#include "app/backup_command.h"
#include "app/command_line.h"
#include "base/failure.h"
#include "store/backups.h"
#include "store/engine.h"
#include "tests/support/small_disk.h"
#include "tests/support/test_db.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QtTest>
#include <sys/stat.h>

using namespace quorvane;
using namespace quorvane::testing;

namespace {

const QDateTime kNow(QDate(2026, 12, 8), QTime(15, 30));

QByteArray bytesOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

int modeOf(const QString& path)
{
    struct stat info
    {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? int(info.st_mode & 07777) : -1;
}

void touch(const QString& path, qint64 secondsAgo = 0)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(-secondsAgo), QFileDevice::FileModificationTime));
}

// A name of the program's temporary files: 32 hex digits.
QString uuidHex(char digit)
{
    return QString(32, QLatin1Char(digit));
}

// The database's file changed later than its newest backup.
void changeLater(const QString& database, const QString& newestBackup)
{
    QFile file(database);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(QFileInfo(newestBackup).lastModified().addSecs(2), QFileDevice::FileModificationTime));
}

// A copy of a fresh database with its rows, changed by `script`.
void makeAltered(const QString& from, const QString& file, const QString& script)
{
    QVERIFY(QFile::copy(from, file));
    const Engine db(file, SQLITE_OPEN_READWRITE);
    db.execute(script);
}

CommandLine restoreLine(const QString& file)
{
    CommandLine line;
    line.action = CommandLine::Action::Restore;
    line.restoreFile = file;
    return line;
}

} // namespace

class BackupsTest : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void argumentsAreParsed_data();
    void argumentsAreParsed();
    void startUpBackupHoldsTheRows();
    void backupIsMadeOnlyAfterAChange();
    void fullDiskSkipsTheBackupAndLeavesNoFile();
    void pruningKeepsOneADayForFourteenDays();
    void pruningKeepsThirtyFilesAtMost();
    void listingShowsNewestFirstWithCounts();
    void restoreBringsTheRowsBackAndSavesTheDatabase();
    void restoreIsRefusedWhileTheWindowRuns();
    void windowIsRefusedWhileARestoreRuns();
    void leftoversOfAKilledCopyAreRemoved_data();
    void leftoversOfAKilledCopyAreRemoved();
    void backupFolderThatIsALinkIsLeftAlone();
    void backupsFromTheFutureNeitherStopNorPruneTheDailyOne();
    void restoreKeepsTheRowsAndNothingElse();
    void restoreRefusesWhatIsNotATimetableDatabase_data();
    void restoreRefusesWhatIsNotATimetableDatabase();
    void realProgramBacksUpAtStartAndRefusesARestoreWhileOpen();

private:
    QString db() const { return m_folder->databasePath(); }
    QString backups() const { return m_folder->file(QStringLiteral("backups")); }
    QStringList backupNames() const { return QDir(backups()).entryList(QDir::Files | QDir::Hidden, QDir::Name); }
    QList<QStringList> rowsOf(const QString& path) const
    {
        return querySql(path, QStringLiteral("select 's', id, hex(Description), '' from tblSchedules union all "
                                             "select 'c', id, ScheduleID, hex(CourseName || Notes || Days || "
                                             "TimeFrom || TimeTo) from tblCourse order by 1, 2"));
    }

    std::unique_ptr<ProgramFolder> m_folder;
};

void BackupsTest::init()
{
    m_folder = std::make_unique<ProgramFolder>();
    execSql(db(), "insert into tblSchedules (Description) values ('Term ''1'' ' || char(128197))");
    execSql(db(), "insert into tblCourse (ScheduleID,CourseName,Notes,Days,TimeFrom,TimeTo) "
                  "values (1,'Physics','lab','0,2','8:00:00 AM','9:00:00 AM')");
}

void BackupsTest::cleanup()
{
    m_folder.reset();
}

void BackupsTest::argumentsAreParsed_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("found");
    QTest::newRow("backups") << QStringList{"--backups"} << "backups";
    QTest::newRow("restore") << QStringList{"--restore", "a b.mdb"} << "restore a b.mdb";
    QTest::newRow("restore with equals") << QStringList{"--restore=x=y.mdb"} << "restore x=y.mdb";
    QTest::newRow("restore without file") << QStringList{"--restore"} << "--restore FILE takes no other argument";
    QTest::newRow("restore and more") << QStringList{"--restore", "a", "--export", "b.pdf"}
                                      << "--restore FILE takes no other argument";
    QTest::newRow("backups and more") << QStringList{"--backups", "-style", "x"} << "--backups takes no other argument";
    QTest::newRow("help wins") << QStringList{"--backups", "--help"} << "help";
}

void BackupsTest::argumentsAreParsed()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, found);
    const CommandLine line = parseCommandLine(arguments);
    switch (line.action) {
    case CommandLine::Action::ListBackups:
        QCOMPARE(QStringLiteral("backups"), found);
        break;
    case CommandLine::Action::Restore:
        QCOMPARE(QStringLiteral("restore ") + line.restoreFile, found);
        break;
    case CommandLine::Action::Help:
        QCOMPARE(QStringLiteral("help"), found);
        break;
    default:
        QCOMPARE(line.error, found);
    }
}

void BackupsTest::startUpBackupHoldsTheRows()
{
    const QString made = makeDailyBackup(db(), kNow);
    QCOMPARE(made, backups() + QStringLiteral("/dbSchedules-2026-12-08-1530.mdb"));
    QCOMPARE(backupNames(), QStringList{"dbSchedules-2026-12-08-1530.mdb"}); // nothing half-written beside it
    QCOMPARE(rowsOf(made), rowsOf(db()));
    QCOMPARE(rowsOf(made).size(), 2);
    QCOMPARE(modeOf(backups()), 0700);
    QCOMPARE(modeOf(made), 0600);
    // What the window starts on its own thread never fails aloud.
    changeLater(db(), made);
    backUpQuietly(db());
    QCOMPARE(backupNames().size(), 2);
}

void BackupsTest::backupIsMadeOnlyAfterAChange()
{
    const QString first = makeDailyBackup(db(), kNow.addDays(-1));
    QVERIFY(!first.isEmpty());
    QCOMPARE(makeDailyBackup(db(), kNow), QString());
    execSql(db(), "insert into tblSchedules (Description) values ('Lab')");
    changeLater(db(), first);
    const QString second = makeDailyBackup(db(), kNow);
    QCOMPARE(second, backups() + QStringLiteral("/dbSchedules-2026-12-08-1530.mdb"));
    QCOMPARE(rowsOf(second), rowsOf(db()));
    QCOMPARE(rowsOf(first).size(), 2);
    // A later one the same day takes the day's place.
    execSql(db(), "insert into tblSchedules (Description) values ('Evening')");
    changeLater(db(), second);
    const QString third = makeDailyBackup(db(), kNow.addSecs(60));
    QCOMPARE(backupNames(), (QStringList{"dbSchedules-2026-12-07-1530.mdb", "dbSchedules-2026-12-08-1531.mdb"}));
    QCOMPARE(rowsOf(third), rowsOf(db()));
}

void BackupsTest::fullDiskSkipsTheBackupAndLeavesNoFile()
{
    SmallDisk disk;
    const QString database = disk.file(QStringLiteral("dbSchedules.mdb"));
    QVERIFY(QFile::copy(db(), database));
    execSql(database, "with recursive n(i) as (select 1 union all select i + 1 from n where i < 500) "
                      "insert into tblCourse (ScheduleID,CourseName,Notes,Days,TimeFrom,TimeTo) "
                      "select 1, 'Course ' || i, hex(randomblob(64)), '1', '8:00:00 AM', '9:00:00 AM' from n");
    QVERIFY(QDir().mkdir(backupFolder(database))); // open to others: closed by the backup
    const QString why = disk.fill();
    QVERIFY_THROWS_EXCEPTION(Failure, makeDailyBackup(database, kNow));
    const QStringList left = QDir(backupFolder(database)).entryList(QDir::Files | QDir::Hidden);
    QVERIFY2(left.isEmpty(), qPrintable(left.join(' ') + " after " + why));
    disk.release();
    const QString made = makeDailyBackup(database, kNow);
    QCOMPARE(rowsOf(made), rowsOf(database));
    QCOMPARE(modeOf(backupFolder(database)), 0700);
}

void BackupsTest::pruningKeepsOneADayForFourteenDays()
{
    QVERIFY(QDir().mkdir(backups()));
    for (int day = 1; day <= 20; ++day)
        for (const char* time : {"0900", "1200", "1800"})
            touch(backups() +
                  QStringLiteral("/dbSchedules-2026-11-%1-%2.mdb").arg(day, 2, 10, QLatin1Char('0')).arg(time));
    touch(backups() + QStringLiteral("/dbSchedules-2026-11-20-1000-before-restore.mdb"));
    touch(backups() + QStringLiteral("/dbSchedules-2026-11-02-1000-before-restore.mdb"));
    touch(backups() + QStringLiteral("/notes.txt"));
    pruneBackups(db());
    QStringList expected{"dbSchedules-2026-11-20-1000-before-restore.mdb", "notes.txt"};
    for (int day = 7; day <= 20; ++day)
        expected << QStringLiteral("dbSchedules-2026-11-%1-1800.mdb").arg(day, 2, 10, QLatin1Char('0'));
    expected.sort();
    QCOMPARE(backupNames(), expected);
}

void BackupsTest::pruningKeepsThirtyFilesAtMost()
{
    QVERIFY(QDir().mkdir(backups()));
    for (int minute = 0; minute < 40; ++minute)
        touch(backups() +
              QStringLiteral("/dbSchedules-2026-11-20-10%1-before-restore.mdb").arg(minute, 2, 10, QLatin1Char('0')));
    touch(backups() + QStringLiteral("/dbSchedules-2026-11-20-1100.mdb"));
    pruneBackups(db());
    const QStringList left = backupNames();
    QCOMPARE(left.size(), 30);
    QVERIFY(left.contains("dbSchedules-2026-11-20-1100.mdb"));
    QVERIFY(left.contains("dbSchedules-2026-11-20-1039-before-restore.mdb"));
    QVERIFY(!left.contains("dbSchedules-2026-11-20-1010-before-restore.mdb"));
}

void BackupsTest::listingShowsNewestFirstWithCounts()
{
    CommandLine line;
    line.action = CommandLine::Action::ListBackups;
    CommandOutcome outcome = runBackupCommand(line, m_folder->path());
    QCOMPARE(outcome.status, 0);
    QCOMPARE(outcome.output, QStringLiteral("No backups of %1 yet.\n").arg(db()));
    const QString older = makeDailyBackup(db(), kNow.addDays(-1));
    execSql(db(), "insert into tblSchedules (Description) values ('Lab')");
    changeLater(db(), older);
    const QString newer = makeDailyBackup(db(), kNow);
    outcome = runBackupCommand(line, m_folder->path());
    QCOMPARE(outcome.status, 0);
    const QStringList lines = outcome.output.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 3);
    QCOMPARE(lines[0], QStringLiteral("Backups of %1, newest first:").arg(db()));
    QCOMPARE(lines[1], QStringLiteral("2026-12-08 15:30  %1 bytes  2 schedules, 1 courses  %2")
                           .arg(QFileInfo(newer).size(), 10)
                           .arg(newer));
    QCOMPARE(lines[2], QStringLiteral("2026-12-07 15:30  %1 bytes  1 schedules, 1 courses  %2")
                           .arg(QFileInfo(older).size(), 10)
                           .arg(older));
}

void BackupsTest::restoreBringsTheRowsBackAndSavesTheDatabase()
{
    execSql(db(), "update tblCourse set ExactFrom='8:05:00 AM', ExactTo='8:50:00 AM'");
    const QString backup = makeDailyBackup(db(), kNow.addDays(-1));
    const auto kept = rowsOf(db());
    execSql(db(), "delete from tblCourse");
    execSql(db(), "update tblSchedules set Description='overwritten'");
    const auto current = rowsOf(db());

    const CommandOutcome outcome = runBackupCommand(restoreLine(backup), m_folder->path());
    QCOMPARE(outcome.status, 0);
    QCOMPARE(outcome.message, QString());
    QCOMPARE(rowsOf(db()), kept);
    QCOMPARE(querySql(db(), "select ExactFrom, ExactTo from tblCourse"),
             QList<QStringList>({{"8:05:00 AM", "8:50:00 AM"}}));
    QCOMPARE(modeOf(db()), 0600);
    const QList<Backup> all = listBackups(db());
    QCOMPARE(all.size(), 2);
    QVERIFY(all.first().beforeRestore);
    QCOMPARE(rowsOf(all.first().path), current);
    QCOMPARE(outcome.output, QStringLiteral("Restored %1 from %2.\nThe database as it was is saved as %3.\n")
                                 .arg(db(), backup, all.first().path));
    // Nothing is left of the copy beside the database.
    QCOMPARE(QDir(m_folder->path()).entryList(QDir::Files), (QStringList{"dbSchedules.mdb", "dbSchedules.mdb.lock"}));
}

void BackupsTest::restoreIsRefusedWhileTheWindowRuns()
{
    const QString backup = makeDailyBackup(db(), kNow);
    execSql(db(), "delete from tblCourse");
    const QByteArray before = bytesOf(db());
    {
        const auto window = DatabaseLock::forWindow(db());
        QVERIFY(window);
        const CommandOutcome outcome = runBackupCommand(restoreLine(backup), m_folder->path());
        QCOMPARE(outcome.status, 1);
        QCOMPARE(outcome.message, QStringLiteral("quorvane: Quorvane has %1 open: close its window first").arg(db()));
        QCOMPARE(bytesOf(db()), before);
        QCOMPARE(listBackups(db()).size(), 1);
    }
    QCOMPARE(runBackupCommand(restoreLine(backup), m_folder->path()).status, 0);
}

void BackupsTest::windowIsRefusedWhileARestoreRuns()
{
    const auto restore = DatabaseLock::forRestore(db());
    QVERIFY(restore);
    try {
        DatabaseLock::forWindow(db());
        QFAIL("the window took the lock of a restore");
    } catch (const Failure& failure) {
        QCOMPARE(failure.description(),
                 QStringLiteral("A restore is replacing %1 just now: start Quorvane again when it is done.").arg(db()));
    }
}

void BackupsTest::leftoversOfAKilledCopyAreRemoved_data()
{
    QTest::addColumn<bool>("restoring");
    QTest::newRow("at the next start") << false;
    QTest::newRow("at the next restore") << true;
}

void BackupsTest::leftoversOfAKilledCopyAreRemoved()
{
    QFETCH(bool, restoring);
    const QString backup = makeDailyBackup(db(), kNow);
    const QStringList old = {db() + ".new-" + uuidHex('a'), db() + ".new-" + uuidHex('a') + "-journal",
                             backups() + "/.new-" + uuidHex('b') + ".mdb"};
    // Another program's copy, younger than an hour; and a file not the program's.
    const QStringList kept = {db() + ".new-" + uuidHex('c'), db() + ".new-notes"};
    for (const QString& file : old + kept)
        touch(file, file == kept.first() ? 0 : 7200);
    if (restoring)
        QCOMPARE(runBackupCommand(restoreLine(backup), m_folder->path()).status, 0);
    else
        makeDailyBackup(db(), kNow.addDays(1));
    for (const QString& file : old)
        QVERIFY2(!QFileInfo::exists(file), qPrintable(file));
    for (const QString& file : kept)
        QVERIFY2(QFileInfo::exists(file), qPrintable(file));
}

void BackupsTest::backupFolderThatIsALinkIsLeftAlone()
{
    QTemporaryDir elsewhere;
    const QStringList theirs = {elsewhere.filePath(".new-" + uuidHex('a') + ".mdb"),
                                elsewhere.filePath("dbSchedules-2026-01-01-0900.mdb")};
    for (const QString& file : theirs)
        touch(file, 7200);
    QVERIFY(QFile::link(elsewhere.path(), backups()));
    QVERIFY_THROWS_EXCEPTION(Failure, makeDailyBackup(db(), kNow));
    QVERIFY_THROWS_EXCEPTION(Failure, pruneBackups(db(), kNow));
    QCOMPARE(QDir(elsewhere.path()).entryList(QDir::Files | QDir::Hidden).size(), theirs.size());
}

void BackupsTest::backupsFromTheFutureNeitherStopNorPruneTheDailyOne()
{
    QVERIFY(QDir().mkdir(backups()));
    // Written by a clock that was a year ahead; named for the minute after now.
    const QStringList ahead = {backups() + "/dbSchedules-2027-12-08-1530.mdb",
                               backups() + "/dbSchedules-2026-12-01-0900.mdb",
                               backups() + "/dbSchedules-2026-12-08-1531.mdb"};
    for (const QString& file : ahead)
        touch(file, file.contains("1531") ? 0 : -365 * 86400);
    const QString made = makeDailyBackup(db(), kNow);
    QCOMPARE(made, backups() + "/dbSchedules-2026-12-08-1530.mdb");
    QCOMPARE(backupNames(), (QStringList{"dbSchedules-2026-12-01-0900.mdb", "dbSchedules-2026-12-08-1530.mdb",
                                         "dbSchedules-2026-12-08-1531.mdb", "dbSchedules-2027-12-08-1530.mdb"}));
}

void BackupsTest::restoreKeepsTheRowsAndNothingElse()
{
    const QString file = m_folder->file(QStringLiteral("hostile.mdb"));
    execSql(db(), "insert into tblSchedules (id, Description) values (7, 'Other')");
    execSql(db(), "insert into tblCourse (id,ScheduleID,CourseName,Notes,Days,TimeFrom,TimeTo) "
                  "values (9,7,'Art',NULL,'4','13:00','14:00')");
    makeAltered(db(), file,
                "create table c (id INTEGER PRIMARY KEY AUTOINCREMENT, ScheduleID INTEGER, CourseName TEXT, "
                "Notes TEXT, Days TEXT, TimeFrom TEXT, TimeTo TEXT, Secret TEXT, CHECK(0)); "
                "PRAGMA ignore_check_constraints=1; insert into c select id, ScheduleID, CourseName, Notes, Days, "
                "TimeFrom, TimeTo, 'x' from tblCourse; "
                "drop table tblCourse; alter table c rename to tblCourse; "
                "create trigger evil after insert on tblCourse begin delete from tblCourse; "
                "delete from tblSchedules; end; "
                "create trigger tblCourse_ScheduleExists after update on tblSchedules begin delete from tblCourse; "
                "end; create view v_evil as select * from tblCourse; "
                "create table bigblob (b); insert into bigblob values (zeroblob(1048576)); "
                "PRAGMA journal_mode=WAL");
    const auto rows = rowsOf(file);
    QCOMPARE(rows.size(), 4);
    const ProgramFolder fresh;
    const QString schema = "select type, name, tbl_name, sql from sqlite_master order by name";
    execSql(db(), "delete from tblCourse");

    const CommandOutcome outcome = runBackupCommand(restoreLine(file), m_folder->path());
    QCOMPARE(outcome.status, 0);
    QCOMPARE(outcome.output, QStringLiteral("Restored %1 from %2.\nLeft out: trigger evil, trigger "
                                            "tblCourse_ScheduleExists, view v_evil, table bigblob\nThe database as "
                                            "it was is saved as %3.\n")
                                 .arg(db(), file, listBackups(db()).first().path));
    QCOMPARE(rowsOf(db()), rows);
    QCOMPARE(querySql(db(), schema), querySql(fresh.databasePath(), schema));
    QCOMPARE(scalarSql(db(), "PRAGMA journal_mode"), QString("delete"));
    QCOMPARE(QDir(m_folder->path()).entryList(QDir::Files),
             (QStringList{"dbSchedules.mdb", "dbSchedules.mdb.lock", "hostile.mdb"}));
}

void BackupsTest::restoreRefusesWhatIsNotATimetableDatabase_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("why");
    QTest::newRow("text") << "notes.mdb" << QByteArray("Monday: Physics\n") << ""
                          << "file is not a database";
    QTest::newRow("empty") << "empty.mdb" << QByteArray() << ""
                           << "no such table: tblSchedules";
    QTest::newRow("missing") << "missing.mdb" << QByteArray("-") << ""
                             << "is not a file";
    QTest::newRow("one table") << "one.mdb" << QByteArray() << "drop table tblCourse"
                               << "no such table: tblCourse";
    QTest::newRow("courses as a view") << "view.mdb" << QByteArray()
                                       << "alter table tblCourse rename to c; create view tblCourse as select * from c"
                                       << "tblCourse is not a table (view)";
    QTest::newRow("courses without a key")
        << "nokey.mdb" << QByteArray()
        << "create table c (id INTEGER, ScheduleID INTEGER, CourseName TEXT, Notes TEXT, Days TEXT, TimeFrom TEXT, "
           "TimeTo TEXT); drop table tblCourse; alter table c rename to tblCourse"
        << "the id of tblCourse is not its integer primary key";
    QTest::newRow("schedules without a name")
        << "noname.mdb" << QByteArray()
        << "drop trigger tblCourse_ScheduleExists; create table s (id INTEGER PRIMARY KEY); drop table tblSchedules; "
           "alter table s rename to tblSchedules"
        << "tblSchedules has no column Description";
}

void BackupsTest::restoreRefusesWhatIsNotATimetableDatabase()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(QString, script);
    QFETCH(QString, why);
    const QString file = m_folder->file(name);
    if (!script.isEmpty()) {
        makeAltered(db(), file, script);
    } else if (content != "-") {
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(content);
    }
    const QByteArray before = bytesOf(db());
    const CommandOutcome outcome = runBackupCommand(restoreLine(file), m_folder->path());
    QCOMPARE(outcome.status, 1);
    QVERIFY2(outcome.message.startsWith(QStringLiteral("quorvane: ") + file), qPrintable(outcome.message));
    QVERIFY2(outcome.message.endsWith(why), qPrintable(outcome.message));
    QCOMPARE(bytesOf(db()), before);
    QVERIFY(listBackups(db()).isEmpty());
}

// The shipped program beside its own database, its window offscreen.
void BackupsTest::realProgramBacksUpAtStartAndRefusesARestoreWhileOpen()
{
    const QString program = m_folder->file(QStringLiteral("quorvane"));
    QVERIFY(QFile::copy(qEnvironmentVariable("QUORVANE_BUILD_DIR") + "/quorvane", program));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    QProcess window;
    window.setProcessEnvironment(environment);
    window.start(program, {});
    QVERIFY(window.waitForStarted());
    QTRY_COMPARE_WITH_TIMEOUT(listBackups(db()).size(), 1, 30000);
    const QString backup = listBackups(db()).first().path;
    QTRY_VERIFY_WITH_TIMEOUT(!backupNames().join(' ').contains(".new-"), 30000);
    QCOMPARE(rowsOf(backup), rowsOf(db()));

    execSql(db(), "delete from tblCourse");
    const QByteArray before = bytesOf(db());
    QProcess restore;
    restore.start(program, {"--restore", backup});
    QVERIFY(restore.waitForFinished(60000));
    QCOMPARE(restore.exitCode(), 1);
    QCOMPARE(QString(restore.readAllStandardError()),
             QStringLiteral("quorvane: Quorvane has %1 open: close its window first\n").arg(db()));
    QCOMPARE(bytesOf(db()), before);

    window.kill();
    QVERIFY(window.waitForFinished());
    restore.start(program, {"--restore", backup});
    QVERIFY(restore.waitForFinished(60000));
    QCOMPARE(restore.exitCode(), 0);
    QCOMPARE(rowsOf(db()), rowsOf(backup));
    QCOMPARE(rowsOf(db()).size(), 2);
}

QTEST_GUILESS_MAIN(BackupsTest)
#include "test_backups.moc"
