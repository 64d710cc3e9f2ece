#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <memory>

namespace quorvane {

// Copies of dbSchedules.mdb in backups/ beside it, made with the engine's
// online backup: dbSchedules-2026-12-08-1530.mdb, and the database as it was
// before a restore, dbSchedules-2026-12-08-1530-before-restore.mdb. The folder
// is the user's alone (0700), every file too (0600). A copy is written under a
// temporary name and then linked into place, so no half-written file ever
// bears a backup's name, and no backup is ever replaced.
struct Backup
{
    QString path;
    QDateTime made; // local time, to the minute, from the name
    bool beforeRestore = false;
};

QString backupFolder(const QString& databasePath);

// The program's backups of the database, newest first by the time in their
// names; other files, links, and names later than `now` are not listed.
QList<Backup> listBackups(const QString& databasePath, const QDateTime& now = QDateTime::currentDateTime());

// The start-up backup: copies the database, named for `now`, unless a backup
// was written (by the file's time, not its name, and not in the future)
// since the database last changed, then prunes. The new backup's path, or an
// empty text when none was needed. First removes what a killed backup or
// restore left (temporary names older than an hour). Raises a Failure when
// it could not be made (a full disk, a read-only folder, a backup folder that
// is a link or not the user's), leaving no file behind.
QString makeDailyBackup(const QString& databasePath, const QDateTime& now);

// Keeps the newest backup of each of the last 14 days that have one, and the
// saves made before a restore on those days; never more than 30 files, the
// newest; and `keep` (the backup just made) whatever else there is. Removes
// the rest of the program's backups (listBackups) and nothing else; nothing
// in a backup folder that is not the user's own.
void pruneBackups(const QString& databasePath, const QDateTime& now = QDateTime::currentDateTime(),
                  const QString& keep = QString());

struct TimetableCounts
{
    qint64 schedules = 0;
    qint64 courses = 0;
};

// Reads a database file without changing it: it must pass the engine's
// integrity check and hold both tables with their columns and integer
// primary keys (unusableTable). Raises a Failure saying why not.
TimetableCounts checkTimetableDatabase(const QString& path);

// While a window has the database open it holds a shared lock on
// dbSchedules.mdb.lock beside it; a restore takes it exclusively.
class DatabaseLock
{
public:
    // A Failure while a restore holds the lock: the window must not open
    // the file it replaces. Null when the lock file cannot be opened (a
    // read-only folder): the lock is then just not held.
    static std::unique_ptr<DatabaseLock> forWindow(const QString& databasePath);
    // Null while a window holds the lock; a Failure when the lock file
    // cannot be opened.
    static std::unique_ptr<DatabaseLock> forRestore(const QString& databasePath);
    ~DatabaseLock();
    DatabaseLock(const DatabaseLock&) = delete;
    DatabaseLock& operator=(const DatabaseLock&) = delete;

private:
    explicit DatabaseLock(int fd) : m_fd(fd) {}
    int m_fd;
};

// Replaces the database with the rows of `file` after checking it and saving
// the database as it is as one more backup. Only the rows of the two tables
// are taken, ids and values as the file holds them, into a database made with
// the program's own schema (and so in its own journal mode): the file's
// triggers, views, indexes and other tables are left out. Refuses, changing
// nothing, a file that is not a timetable database (checkTimetableDatabase)
// and a database a window has open.
struct RestoredDatabase
{
    QString saved;       // the backup of the database as it was; empty when there was none
    QStringList leftOut; // what of the file was not taken: "trigger evil", "view v_evil", "table bigblob"
};
RestoredDatabase restoreDatabase(const QString& databasePath, const QString& file, const QDateTime& now);

} // namespace quorvane
