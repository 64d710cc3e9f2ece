#include "store/backups.h"

#include "base/atomic_file.h"
#include "base/failure.h"
#include "store/engine.h"
#include "store/schema.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QUrl>
#include <QUuid>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvane {

namespace {

constexpr int kDaysKept = 14;
constexpr int kMostFiles = 30;
constexpr int kPagesPerStep = 256;

QByteArray nativeName(const QString& path)
{
    return QFile::encodeName(path);
}

// Opens a file only to read it, leaving nothing beside it. A file in WAL
// mode gets an empty log and its index from any connection, which one that
// may only read cannot take away again; without a log of its own the file
// holds every row in itself, and is opened as one that never changes.
std::unique_ptr<Engine> openToRead(const QString& path)
{
    QFile file(path);
    const QByteArray header = file.open(QIODevice::ReadOnly) ? file.read(20) : QByteArray();
    const bool walMode = header.size() == 20 && header.startsWith("SQLite format 3") && header.at(18) == 2;
    if (!walMode || QFileInfo::exists(path + QStringLiteral("-wal")))
        return std::make_unique<Engine>(path, SQLITE_OPEN_READONLY);
    QUrl uri = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
    uri.setQuery(QStringLiteral("mode=ro&immutable=1"));
    return std::make_unique<Engine>(uri.toString(QUrl::FullyEncoded), SQLITE_OPEN_READONLY | SQLITE_OPEN_URI);
}

// A database file made for its owner only, never over one that is there;
// removed with its journal unless it is kept.
class NewFile
{
public:
    explicit NewFile(const QString& target) : m_name(nativeName(target))
    {
        const int fd = ::open(m_name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0)
            throw Failure(QStringLiteral("Cannot create %1: %2").arg(target, systemReason(errno)));
        ::close(fd);
    }
    ~NewFile()
    {
        if (m_kept)
            return;
        ::unlink(m_name.constData());
        ::unlink((m_name + "-journal").constData());
    }
    NewFile(const NewFile&) = delete;
    NewFile& operator=(const NewFile&) = delete;
    void keep() { m_kept = true; }

private:
    QByteArray m_name;
    bool m_kept = false;
};

// Copies the database at `source` into a new file at `target`, readable by
// its owner only, through the engine's online backup: a consistent copy even
// while a window writes. A failure leaves no file at `target`.
void copyDatabase(const QString& source, const QString& target, int sourceFlags = SQLITE_OPEN_READONLY)
{
    NewFile made(target);
    {
        const Engine from(source, sourceFlags);
        const Engine to(target, SQLITE_OPEN_READWRITE);
        sqlite3_backup* backup = sqlite3_backup_init(to.get(), "main", from.get(), "main");
        if (!backup)
            throw Failure(to.message(SQLITE_ERROR));
        // A few pages at a time: the read lock on the source is held only
        // for a step, so a window that writes meanwhile never waits long;
        // a write between steps makes the engine start the copy afresh.
        int stepped = SQLITE_OK;
        int waits = 0;
        while (stepped == SQLITE_OK || ((stepped == SQLITE_BUSY || stepped == SQLITE_LOCKED) && ++waits < 100)) {
            stepped = sqlite3_backup_step(backup, kPagesPerStep);
            if (stepped == SQLITE_BUSY || stepped == SQLITE_LOCKED)
                sqlite3_sleep(50);
        }
        const int finished = sqlite3_backup_finish(backup);
        if (stepped != SQLITE_DONE)
            throw Failure(stepped == SQLITE_BUSY || stepped == SQLITE_LOCKED ? from.message(stepped)
                                                                             : to.message(stepped));
        if (finished != SQLITE_OK)
            throw Failure(to.message(finished));
    }
    made.keep();
}

// Gives `temporary` the name `wanted`, or, when that is taken, `wanted` with
// -2, -3 ... before the extension: a backup is never replaced.
QString linkIntoPlace(const QString& temporary, const QString& wanted)
{
    const QByteArray from = nativeName(temporary);
    const auto removeTemporary = qScopeGuard([&] { ::unlink(from.constData()); });
    const QString stem = wanted.chopped(4); // without ".mdb"
    for (int n = 1; n < 100; ++n) {
        const QString name = n == 1 ? wanted : QStringLiteral("%1-%2.mdb").arg(stem).arg(n);
        if (::link(from.constData(), nativeName(name).constData()) == 0)
            return name;
        if (errno != EEXIST)
            throw Failure(QStringLiteral("Cannot create %1: %2").arg(name, systemReason(errno)));
    }
    throw Failure(QStringLiteral("Cannot create %1: %2").arg(wanted, systemReason(EEXIST)));
}

// Whether the backup folder is there: a folder of the user's, not a link.
// Anything else there is refused before anything in it is touched, since
// what a link or another user's folder holds is not the program's to delete.
bool ownFolder(const QString& folder)
{
    struct stat info
    {};
    if (::lstat(nativeName(folder).constData(), &info) != 0) {
        if (errno == ENOENT)
            return false;
        throw Failure(QStringLiteral("Cannot read %1: %2").arg(folder, systemReason(errno)));
    }
    if (!S_ISDIR(info.st_mode))
        throw Failure(QStringLiteral("%1 is not a folder").arg(folder));
    if (info.st_uid != ::geteuid())
        throw Failure(QStringLiteral("%1 is not owned by you").arg(folder));
    return true;
}

// The backup folder, made the user's alone when missing; one that is not
// the user's (a link, another owner) is refused.
QString readyFolder(const QString& databasePath)
{
    const QString folder = backupFolder(databasePath);
    const QByteArray name = nativeName(folder);
    if (::mkdir(name.constData(), 0700) != 0 && errno != EEXIST)
        throw Failure(QStringLiteral("Cannot create %1: %2").arg(folder, systemReason(errno)));
    if (!ownFolder(folder))
        throw Failure(QStringLiteral("Cannot read %1: %2").arg(folder, systemReason(ENOENT)));
    // The user's own folder, opened up by hand, is closed again.
    struct stat info
    {};
    if (::lstat(name.constData(), &info) == 0 && (info.st_mode & (S_IRWXG | S_IRWXO)) != 0 &&
        ::chmod(name.constData(), 0700) != 0)
        throw Failure(QStringLiteral("%1 can be read by other users: %2").arg(folder, systemReason(errno)));
    return folder;
}

// Copies the database into the backup folder under the name for `now`.
QString writeBackup(const QString& databasePath, const QDateTime& now, bool beforeRestore,
                    int sourceFlags = SQLITE_OPEN_READONLY)
{
    const QString folder = readyFolder(databasePath);
    const QString temporary =
        folder + QStringLiteral("/.new-") + QUuid::createUuid().toString(QUuid::Id128) + QStringLiteral(".mdb");
    copyDatabase(databasePath, temporary, sourceFlags);
    const QString name = folder + QStringLiteral("/dbSchedules-") + now.toString(QStringLiteral("yyyy-MM-dd-HHmm")) +
                         (beforeRestore ? QStringLiteral("-before-restore") : QString()) + QStringLiteral(".mdb");
    return linkIntoPlace(temporary, name);
}

// One prepared statement of an engine connection, finalized on every way out.
class Prepared
{
public:
    Prepared(const Engine& db, const QString& text) : m_db(db)
    {
        if (sqlite3_prepare_v2(db.get(), text.toUtf8().constData(), -1, &m_statement, nullptr) != SQLITE_OK)
            fail(SQLITE_ERROR);
    }
    ~Prepared() { sqlite3_finalize(m_statement); }
    Prepared(const Prepared&) = delete;
    Prepared& operator=(const Prepared&) = delete;
    sqlite3_stmt* get() const { return m_statement; }
    [[noreturn]] void fail(int result) const { throw Failure(m_db.message(result)); }

private:
    const Engine& m_db;
    sqlite3_stmt* m_statement = nullptr;
};

QString quotedName(const QString& name)
{
    return QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"');
}

// Copies the rows of `table`: the columns the program's table has that the
// file's has too, each value with its type and bytes as the file holds it.
void copyRows(const Engine& from, const Engine& to, const QString& table)
{
    const QStringList theirs = tableColumns(from, table);
    QStringList columns;
    QStringList places;
    for (const QString& column : tableColumns(to, table)) {
        if (theirs.contains(column, Qt::CaseInsensitive)) {
            columns << quotedName(column);
            places << QStringLiteral("?");
        }
    }
    const QString list = columns.join(QLatin1String(", "));
    const Prepared read(from, QStringLiteral("select %1 from %2 order by id").arg(list, table));
    const Prepared write(
        to, QStringLiteral("insert into %1 (%2) values (%3)").arg(table, list, places.join(QLatin1String(", "))));
    int stepped;
    while ((stepped = sqlite3_step(read.get())) == SQLITE_ROW) {
        for (int i = 0; i < int(columns.size()); ++i)
            sqlite3_bind_value(write.get(), i + 1, sqlite3_column_value(read.get(), i));
        const int written = sqlite3_step(write.get());
        if (written != SQLITE_DONE)
            write.fail(written);
        sqlite3_reset(write.get());
    }
    if (stepped != SQLITE_DONE)
        read.fail(stepped);
}

// The ids the file's tables have handed out, so that the restored database
// never hands one out again; a number too large to count on from is left
// for the engine to work out.
void carrySequence(const Engine& from, const Engine& to, const QString& table)
{
    if (from.column("select name from sqlite_master where name = 'sqlite_sequence'").isEmpty())
        return;
    const QStringList seq = from.column(QStringLiteral("select seq from sqlite_sequence where name = '%1' and "
                                                       "typeof(seq) = 'integer' and seq between 0 and %2")
                                            .arg(table)
                                            .arg(Q_INT64_C(1) << 62));
    if (seq.size() != 1)
        return;
    to.execute(QStringLiteral("update sqlite_sequence set seq = max(seq, %2) where name = '%1'; "
                              "insert into sqlite_sequence (name, seq) select '%1', %2 "
                              "where not exists (select 1 from sqlite_sequence where name = '%1')")
                   .arg(table, seq.first()));
}

// What of the file a restore leaves out: whatever the program does not make,
// triggers and indexes with its names but not its text included, as
// "trigger evil", "view v_evil", "table bigblob".
QStringList foreignObjects(const Engine& from, const Engine& to)
{
    const QString own = QStringLiteral("select name || char(10) || coalesce(sql, '') from sqlite_master where "
                                       "type = '%1' and name not like 'sqlite\\_%' escape '\\' order by rowid");
    QStringList left;
    for (const char* kind : {"trigger", "view", "index", "table"}) {
        const QString type = QLatin1String(kind);
        const QStringList ours = to.column(own.arg(type));
        for (const QString& theirs : from.column(own.arg(type))) {
            const QString name = theirs.section(QLatin1Char('\n'), 0, 0);
            // The program's tables are known by name: an older one has
            // columns added since.
            const bool known =
                type == QLatin1String("table")
                    ? std::any_of(ours.begin(), ours.end(),
                                  [&](const QString& o) {
                                      return o.section(QLatin1Char('\n'), 0, 0).compare(name, Qt::CaseInsensitive) == 0;
                                  })
                    : ours.contains(theirs);
            if (!known)
                left << type + QLatin1Char(' ') + name;
        }
    }
    return left;
}

// Makes a new database at `target` with the program's own schema and copies
// into it the rows of the two tables of `source`, which checkTimetableDatabase
// has passed. Nothing else of the file is carried over; what was left out is
// returned. A failure leaves no file at `target`.
QStringList copyTimetable(const QString& source, const QString& target)
{
    NewFile made(target);
    QStringList left;
    {
        const std::unique_ptr<Engine> reading = openToRead(source);
        const Engine& from = *reading;
        const Engine to(target, SQLITE_OPEN_READWRITE);
        to.execute(QStringLiteral("BEGIN"));
        // The tables, their rows, then the indexes and the guard, which would
        // refuse a course whose schedule the file had lost already: the rows
        // are kept as the file has them.
        const QStringList schema = schemaStatements();
        const auto isTable = [](const QString& statement) {
            return statement.startsWith(QLatin1String("CREATE TABLE"));
        };
        for (const QString& statement : schema)
            if (isTable(statement))
                to.execute(statement);
        for (const TimetableTable& table : timetableTables()) {
            copyRows(from, to, table.name);
            carrySequence(from, to, table.name);
        }
        for (const QString& statement : schema)
            if (!isTable(statement))
                to.execute(statement);
        to.execute(QStringLiteral("COMMIT"));
        left = foreignObjects(from, to);
    }
    made.keep();
    return left;
}

QDateTime modified(const QString& path)
{
    return QFileInfo(path).fileTime(QFileDevice::FileModificationTime);
}

// The temporary files of a run that was killed while it copied: a backup's
// in the backup folder, a restore's or a new database's beside the database,
// each with its journal. One younger than an hour may be another running
// program's. Only files by the program's own temporary names are removed,
// and nothing in a backup folder that is not the user's own.
void removeLeftovers(const QString& databasePath)
{
    static const QRegularExpression temporaryCopy(QStringLiteral("^\\.new-[0-9a-f]{32}\\.mdb(-journal)?$"));
    const QString database = QFileInfo(databasePath).fileName();
    const QRegularExpression temporaryDatabase(
        QStringLiteral("^%1\\.new-[0-9a-f]{32}(-journal|-wal|-shm)?$").arg(QRegularExpression::escape(database)));
    const QDateTime hourAgo = QDateTime::currentDateTime().addSecs(-3600);
    const auto removeOld = [&](const QDir& folder, const QRegularExpression& pattern) {
        for (const QFileInfo& file : folder.entryInfoList(QDir::Files | QDir::Hidden | QDir::NoSymLinks))
            if (pattern.match(file.fileName()).hasMatch() && file.lastModified() < hourAgo)
                QFile::remove(file.filePath());
    };
    removeOld(QFileInfo(databasePath).absoluteDir(), temporaryDatabase);
    try {
        if (ownFolder(backupFolder(databasePath)))
            removeOld(QDir(backupFolder(databasePath)), temporaryCopy);
    } catch (const Failure&) {
        // Not the user's folder: nothing in it is touched.
    }
}

} // namespace

QString backupFolder(const QString& databasePath)
{
    return QFileInfo(databasePath).absolutePath() + QStringLiteral("/backups");
}

QList<Backup> listBackups(const QString& databasePath, const QDateTime& now)
{
    static const QRegularExpression pattern(
        QStringLiteral("^dbSchedules-(\\d{4}-\\d{2}-\\d{2}-\\d{4})(-before-restore)?(-\\d+)?\\.mdb$"));
    QList<Backup> backups;
    const QDir folder(backupFolder(databasePath));
    for (const QString& name : folder.entryList(QDir::Files | QDir::Hidden | QDir::NoSymLinks)) {
        const QRegularExpressionMatch match = pattern.match(name);
        if (!match.hasMatch())
            continue;
        const QDateTime made = QDateTime::fromString(match.captured(1), QStringLiteral("yyyy-MM-dd-HHmm"));
        // A name later than now is no backup the program has made yet: a
        // clock that was ahead once, or a file put there.
        if (!made.isValid() || made > now)
            continue;
        backups.append({folder.filePath(name), made, match.capturedLength(2) > 0});
    }
    // Newest first; within one minute, the one written last first.
    std::sort(backups.begin(), backups.end(), [](const Backup& a, const Backup& b) {
        if (a.made != b.made)
            return a.made > b.made;
        const QDateTime writtenA = modified(a.path);
        const QDateTime writtenB = modified(b.path);
        if (writtenA != writtenB)
            return writtenA > writtenB;
        return a.path > b.path;
    });
    return backups;
}

QString makeDailyBackup(const QString& databasePath, const QDateTime& now)
{
    if (!QFileInfo(databasePath).isFile())
        return QString();
    readyFolder(databasePath);
    removeLeftovers(databasePath);
    // Up to date when a backup was written after the database's last change,
    // whatever its name says; a time still to come proves nothing.
    const QDateTime changed = modified(databasePath);
    const QDateTime clock = QDateTime::currentDateTime();
    const QList<Backup> backups = listBackups(databasePath, now);
    if (std::any_of(backups.begin(), backups.end(), [&](const Backup& b) {
            const QDateTime written = modified(b.path);
            return !b.beforeRestore && written >= changed && written <= clock;
        }))
        return QString();
    const QString made = writeBackup(databasePath, now, false);
    pruneBackups(databasePath, now, made);
    return made;
}

void pruneBackups(const QString& databasePath, const QDateTime& now, const QString& keep)
{
    if (!ownFolder(backupFolder(databasePath)))
        return;
    const QList<Backup> backups = listBackups(databasePath, now);
    QList<QDate> days;
    QStringList kept;
    for (const Backup& backup : backups) {
        const QDate day = backup.made.date();
        if (backup.beforeRestore) {
            // Kept on a day that is kept, or one newer than the oldest kept.
            if (days.size() < kDaysKept || day >= days.last())
                kept << backup.path;
        } else if (!days.contains(day) && days.size() < kDaysKept) {
            days << day;
            kept << backup.path;
        }
    }
    kept = kept.mid(0, kMostFiles);
    for (const Backup& backup : backups)
        if (!kept.contains(backup.path) && backup.path != keep)
            QFile::remove(backup.path);
}

TimetableCounts checkTimetableDatabase(const QString& path)
{
    if (!QFileInfo(path).isFile())
        throw Failure(QStringLiteral("%1 is not a file").arg(path));
    try {
        const std::unique_ptr<Engine> reading = openToRead(path);
        const Engine& db = *reading;
        const QStringList integrity = db.column("PRAGMA integrity_check");
        if (integrity != QStringList{QStringLiteral("ok")})
            throw Failure(QStringLiteral("the integrity check fails: ") + integrity.join(QLatin1String("; ")));
        for (const TimetableTable& table : timetableTables())
            if (const QString why = unusableTable(db, table); !why.isEmpty())
                throw Failure(why);
        TimetableCounts counts;
        counts.schedules =
            db.column("select count(id) from (select id, Description from tblSchedules)").value(0).toLongLong();
        counts.courses = db.column("select count(id) from (select id, ScheduleID, CourseName, Notes, Days, "
                                   "TimeFrom, TimeTo from tblCourse)")
                             .value(0)
                             .toLongLong();
        return counts;
    } catch (const Failure& failure) {
        throw Failure(QStringLiteral("%1 is not a timetable database: %2").arg(path, failure.description()));
    }
}

namespace {

// The descriptor of the lock file, locked as asked, or -1 with the reason
// in `why`: empty when another holds the lock.
int lockFile(const QString& databasePath, int operation, QString* why = nullptr)
{
    const QString path = databasePath + QStringLiteral(".lock");
    const int fd = ::open(nativeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        if (why)
            *why = QStringLiteral("Cannot open %1: %2").arg(path, systemReason(errno));
        return -1;
    }
    if (::flock(fd, operation | LOCK_NB) != 0) {
        const int error = errno;
        ::close(fd);
        if (error != EWOULDBLOCK && why)
            *why = QStringLiteral("Cannot lock %1: %2").arg(path, systemReason(error));
        return -1;
    }
    return fd;
}

} // namespace

std::unique_ptr<DatabaseLock> DatabaseLock::forWindow(const QString& databasePath)
{
    QString why;
    const int fd = lockFile(databasePath, LOCK_SH, &why);
    if (fd < 0 && why.isEmpty())
        throw Failure(QStringLiteral("A restore is replacing %1 just now: start Quorvane again when it is done.")
                          .arg(databasePath));
    return fd >= 0 ? std::unique_ptr<DatabaseLock>(new DatabaseLock(fd)) : nullptr;
}

std::unique_ptr<DatabaseLock> DatabaseLock::forRestore(const QString& databasePath)
{
    QString why;
    const int fd = lockFile(databasePath, LOCK_EX, &why);
    if (!why.isEmpty())
        throw Failure(why);
    return fd >= 0 ? std::unique_ptr<DatabaseLock>(new DatabaseLock(fd)) : nullptr;
}

DatabaseLock::~DatabaseLock()
{
    ::close(m_fd);
}

RestoredDatabase restoreDatabase(const QString& databasePath, const QString& file, const QDateTime& now)
{
    const auto lock = DatabaseLock::forRestore(databasePath);
    if (!lock)
        throw Failure(QStringLiteral("Quorvane has %1 open: close its window first").arg(databasePath));
    removeLeftovers(databasePath);
    const TimetableCounts counts = checkTimetableDatabase(file);
    const QString temporary = databasePath + QStringLiteral(".new-") + QUuid::createUuid().toString(QUuid::Id128);
    const auto removeTemporary = qScopeGuard([&] { QFile::remove(temporary); });
    RestoredDatabase restored;
    restored.leftOut = copyTimetable(file, temporary);
    const TimetableCounts copied = checkTimetableDatabase(temporary);
    if (copied.schedules != counts.schedules || copied.courses != counts.courses)
        throw Failure(QStringLiteral("%1 changed while it was read: try again").arg(file));
    if (QFileInfo::exists(databasePath)) {
        // Read and written, so a transaction a crash left half done is rolled
        // back into the database before it is saved and replaced.
        restored.saved = writeBackup(databasePath, now, true, SQLITE_OPEN_READWRITE);
        for (const char* leftover : {"-journal", "-wal"})
            if (QFileInfo::exists(databasePath + QLatin1String(leftover)))
                throw Failure(QStringLiteral("%1 is in use: close every program using it first").arg(databasePath));
    }
    if (::rename(nativeName(temporary).constData(), nativeName(databasePath).constData()) != 0)
        throw Failure(QStringLiteral("Cannot replace %1: %2").arg(databasePath, systemReason(errno)));
    syncFolderOf(databasePath);
    return restored;
}

} // namespace quorvane
