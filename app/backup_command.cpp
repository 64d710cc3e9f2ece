// `quorvane --backups` and `quorvane --restore FILE`.
#include "app/backup_command.h"

#include "app/command_line.h"
#include "base/failure.h"
#include "store/backups.h"
#include "store/database_location.h"

#include <QFileInfo>

namespace quorvane {

namespace {

QString listing(const QString& databasePath)
{
    const QList<Backup> backups = listBackups(databasePath);
    if (backups.isEmpty())
        return QStringLiteral("No backups of %1 yet.\n").arg(databasePath);
    QString text = QStringLiteral("Backups of %1, newest first:\n").arg(databasePath);
    for (const Backup& backup : backups) {
        QString counts;
        try {
            const TimetableCounts c = checkTimetableDatabase(backup.path);
            counts = QStringLiteral("%1 schedules, %2 courses").arg(c.schedules).arg(c.courses);
        } catch (const Failure&) {
            counts = QStringLiteral("unreadable");
        }
        text += QStringLiteral("%1  %2 bytes  %3%4  %5\n")
                    .arg(backup.made.toString(QStringLiteral("yyyy-MM-dd HH:mm")))
                    .arg(QFileInfo(backup.path).size(), 10)
                    .arg(counts, backup.beforeRestore ? QStringLiteral(" (before a restore)") : QString(), backup.path);
    }
    return text;
}

} // namespace

CommandOutcome runBackupCommand(const CommandLine& line, const QString& programFolder)
{
    const bool restoring = line.action == CommandLine::Action::Restore;
    const DatabaseLocation location =
        locateDatabase(programFolder, restoring ? MakeUserDatabase::IfMissing : MakeUserDatabase::Never);
    if (!location.failure.isEmpty())
        return commandFailure(location.failure);
    const QString databasePath = location.file();
    if (!restoring)
        return {0, listing(databasePath), QString()};
    try {
        const RestoredDatabase restored = restoreDatabase(databasePath, line.restoreFile, QDateTime::currentDateTime());
        QString output = QStringLiteral("Restored %1 from %2.\n").arg(databasePath, line.restoreFile);
        if (!restored.leftOut.isEmpty())
            output += QStringLiteral("Left out: %1\n").arg(restored.leftOut.join(QLatin1String(", ")));
        if (!restored.saved.isEmpty())
            output += QStringLiteral("The database as it was is saved as %1.\n").arg(restored.saved);
        return {0, output, QString()};
    } catch (const Failure& failure) {
        return commandFailure(failure.description());
    }
}

void backUpQuietly(const QString& databasePath)
{
    try {
        makeDailyBackup(databasePath, QDateTime::currentDateTime());
    } catch (const Failure&) {
        // Skipped for this run; the next start-up tries again.
    }
}

} // namespace quorvane
