#include "export/save_file.h"

#include "base/failure.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvane {

void saveFileAtomically(const QString& path, const QByteArray& bytes)
{
    // Replacing a link would put the file in the link's place: write to its target.
    const QFileInfo info(path);
    QString target = path;
    if (info.isSymLink())
        target = info.exists() ? info.canonicalFilePath() : info.symLinkTarget();
    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly))
        throw Failure(file.errorString());
    // Written here rather than through the file's buffer, whose failure a
    // commit would not see, so that every refusal of the disk surfaces with
    // the system's words. A disk may also take the bytes and refuse them
    // only when they are synced.
    const auto systemFailure = [] { return Failure(QString::fromLocal8Bit(std::strerror(errno))); };
    const char* data = bytes.constData();
    qint64 left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(file.handle(), data, size_t(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            throw systemFailure();
        data += written;
        left -= written;
    }
    if (::fsync(file.handle()) != 0)
        throw systemFailure();
    if (!file.commit())
        throw Failure(file.errorString());
}

bool sameFile(const QString& a, const QString& b)
{
    struct stat first
    {};
    struct stat second
    {};
    return ::stat(QFile::encodeName(a).constData(), &first) == 0 &&
           ::stat(QFile::encodeName(b).constData(), &second) == 0 && first.st_dev == second.st_dev &&
           first.st_ino == second.st_ino;
}

QString exportRefusal(const QString& target, const QString& databasePath)
{
    if (sameFile(target, databasePath))
        return QStringLiteral("it is the program's own database");
    const QFileInfo chosen(target);
    if (chosen.exists() && !chosen.isFile())
        return QStringLiteral("it is not a regular file");
    return QString();
}

std::optional<ExportKind> exportKindOf(const QString& fileName)
{
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    if (suffix == QLatin1String("bmp") || suffix == QLatin1String("png") || suffix == QLatin1String("pdf"))
        return ExportKind::Picture;
    if (suffix == QLatin1String("xls") || suffix == QLatin1String("xlsx") || suffix == QLatin1String("csv"))
        return ExportKind::Workbook;
    if (suffix == QLatin1String("ics"))
        return ExportKind::Calendar;
    return std::nullopt;
}

} // namespace quorvane
