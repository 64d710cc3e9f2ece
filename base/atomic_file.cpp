#include "base/atomic_file.h"

#include "base/failure.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QScopeGuard>
#include <QUuid>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace quorvane {

namespace {

Failure systemFailure(int error)
{
    return Failure(systemReason(error));
}

// Written with plain write() rather than through a file's buffer, whose
// failure a later commit would not see, so that every refusal of the disk
// surfaces with the system's words. A disk may also take the bytes and
// refuse them only when they are synced, which the caller does.
void writeAll(int fd, const QByteArray& bytes)
{
    const char* data = bytes.constData();
    qint64 left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, size_t(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            throw systemFailure(written < 0 ? errno : ENOSPC);
        data += written;
        left -= written;
    }
}

} // namespace

void syncFolderOf(const QString& path)
{
    const int folder = ::open(QFile::encodeName(QFileInfo(path).absolutePath()).constData(), O_RDONLY | O_DIRECTORY);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
}

void replaceFileAtomically(const QString& path, const QByteArray& bytes)
{
    // Replacing a link would put the file in the link's place: write to its target.
    const QFileInfo info(path);
    QString target = path;
    if (info.isSymLink())
        target = info.exists() ? info.canonicalFilePath() : info.symLinkTarget();
    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly))
        throw Failure(file.errorString());
    writeAll(file.handle(), bytes);
    if (::fsync(file.handle()) != 0)
        throw systemFailure(errno);
    if (!file.commit())
        throw Failure(file.errorString());
}

bool createFileAtomically(const QString& path, const std::function<void(const QString& temporary)>& fill, unsigned mode)
{
    if (QFileInfo::exists(path))
        return false;
    const QString temporary = path + QStringLiteral(".new-") + QUuid::createUuid().toString(QUuid::Id128);
    const QByteArray temporaryName = QFile::encodeName(temporary);
    const int fd = ::open(temporaryName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd < 0)
        throw systemFailure(errno);
    const auto removeTemporary = qScopeGuard([&] { ::unlink(temporaryName.constData()); });
    ::close(fd);
    fill(temporary);
    const int synced = ::open(temporaryName.constData(), O_RDONLY | O_CLOEXEC);
    if (synced < 0)
        throw systemFailure(errno);
    const int syncResult = ::fsync(synced);
    const int syncError = errno;
    ::close(synced);
    if (syncResult != 0)
        throw systemFailure(syncError);
    // Never replaces a file that appeared meanwhile.
    QFile placed(temporary);
    if (!placed.rename(path)) {
        if (QFileInfo::exists(path))
            return false;
        throw Failure(placed.errorString());
    }
    syncFolderOf(path);
    return true;
}

bool createFileAtomically(const QString& path, const QByteArray& bytes, unsigned mode)
{
    return createFileAtomically(
        path,
        [&](const QString& temporary) {
            const int fd = ::open(QFile::encodeName(temporary).constData(), O_WRONLY | O_CLOEXEC);
            if (fd < 0)
                throw systemFailure(errno);
            const auto closeFile = qScopeGuard([fd] { ::close(fd); });
            writeAll(fd, bytes); // synced by the caller
        },
        mode);
}

} // namespace quorvane
