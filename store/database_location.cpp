#include "store/database_location.h"

#include "base/atomic_file.h"
#include "base/failure.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvane {

namespace {

const QString kDatabaseName = QStringLiteral("dbSchedules.mdb");

// Creates `folder` and any missing parent, each readable by its owner only,
// as the XDG rules ask of a data folder. Empty when it is there, else why not.
QString makeFolder(const QString& folder)
{
    const QFileInfo info(folder);
    if (info.isDir())
        return QString();
    if (info.exists() || info.isSymLink())
        return systemReason(ENOTDIR);
    const QString parent = info.absolutePath();
    if (parent != folder) {
        const QString why = makeFolder(parent);
        if (!why.isEmpty())
            return why;
    }
    if (::mkdir(QFile::encodeName(folder).constData(), 0700) != 0 && errno != EEXIST)
        return systemReason(errno);
    return QFileInfo(folder).isDir() ? QString() : systemReason(ENOTDIR);
}

// Copies the template to `target`, readable by its owner only, so that an
// interrupted copy never leaves half a database under the name. A file that
// appeared at `target` meanwhile is kept. Empty when done, else why not.
QString copyTemplate(const QString& templatePath, const QString& target)
{
    QFile source(templatePath);
    if (!source.open(QIODevice::ReadOnly))
        return source.errorString();
    const QByteArray bytes = source.readAll();
    if (source.error() != QFileDevice::NoError)
        return source.errorString();
    try {
        createFileAtomically(target, bytes, 0600);
    } catch (const Failure& failure) {
        return failure.description();
    }
    return QString();
}

// Why `path`, as `info` describes it, is not the user's alone; empty when it is.
QString notUsersAlone(const QString& path, const struct stat& info)
{
    if (info.st_uid != ::geteuid())
        return QStringLiteral("%1 is not owned by you").arg(path);
    if ((info.st_mode & (S_IWGRP | S_IWOTH)) != 0)
        return QStringLiteral("%1 can be changed by other users").arg(path);
    return QString();
}

// Why the user's data folder, or the database in it, is not the user's
// alone: in a folder others may write to, as /tmp, another user could have
// put a database of theirs there, or a link to a folder of theirs. Empty
// when both are the user's alone, or are not there yet. Only looks.
QString refusal(const QString& folder, const QString& database)
{
    const QByteArray folderName = QFile::encodeName(folder);
    struct stat info
    {};
    if (::lstat(folderName.constData(), &info) != 0)
        return QString();
    // A link the user made is followed; one someone else made is not.
    if (S_ISLNK(info.st_mode) && info.st_uid != ::geteuid())
        return QStringLiteral("%1 is not owned by you").arg(folder);
    // A link that leads nowhere is left to the making of the folder to report.
    if (::stat(folderName.constData(), &info) != 0)
        return QString();
    const QString why = notUsersAlone(folder, info);
    if (!why.isEmpty() || ::stat(QFile::encodeName(database).constData(), &info) != 0)
        return why;
    return notUsersAlone(database, info);
}

} // namespace

QString installedTemplatePath(const QString& programFolder)
{
    return QDir::cleanPath(programFolder + QStringLiteral("/../../share/quorvane/template/") + kDatabaseName);
}

QString userDataHome()
{
    // The XDG rules ignore a relative XDG_DATA_HOME as they ignore an empty one.
    if (QDir::isAbsolutePath(qEnvironmentVariable("XDG_DATA_HOME")))
        return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return QDir::homePath() + QStringLiteral("/.local/share");
}

QString DatabaseLocation::file() const
{
    return folder + QLatin1Char('/') + kDatabaseName;
}

DatabaseLocation locateDatabase(const QString& programFolder, MakeUserDatabase make)
{
    if (QFileInfo(programFolder + QLatin1Char('/') + kDatabaseName).isFile())
        return {programFolder, QString()};
    const QString templatePath = installedTemplatePath(programFolder);
    if (!QFileInfo(templatePath).isFile())
        return {programFolder, QString()};
    const QString folder = userDataHome() + QStringLiteral("/quorvane");
    const QString database = folder + QLatin1Char('/') + kDatabaseName;
    // A refused folder is not handed out, so nothing is read from it even by
    // a caller that overlooks the failure.
    QString why = refusal(folder, database);
    if (!why.isEmpty())
        return {QString(), why};
    if (QFileInfo::exists(database) || make == MakeUserDatabase::Never)
        return {folder, QString()};
    why = makeFolder(folder);
    if (why.isEmpty()) {
        // Someone else may have made the folder first.
        const QString refused = refusal(folder, database);
        if (!refused.isEmpty())
            return {QString(), refused};
        why = copyTemplate(templatePath, database);
    }
    if (!why.isEmpty())
        return {folder, QStringLiteral("Cannot create %1: %2").arg(database, why)};
    return {folder, QString()};
}

ExistingDatabase existingDatabase(const QString& programFolder, MakeUserDatabase make)
{
    const DatabaseLocation location = locateDatabase(programFolder, make);
    if (!location.failure.isEmpty())
        return {QString(), location.failure};
    const QString database = location.file();
    if (!QFileInfo(database).isFile())
        return {QString(), database + QStringLiteral(" not found")};
    return {database, QString()};
}

} // namespace quorvane
