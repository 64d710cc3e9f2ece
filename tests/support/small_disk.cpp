#include "tests/support/small_disk.h"

#include <QFile>
#include <QProcess>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/resource.h>

namespace quorvane::testing {

SmallDisk::SmallDisk()
{
    QProcess mount;
    mount.start(QStringLiteral("mount"), {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                                          QStringLiteral("size=512k"), QStringLiteral("tmpfs"), m_folder.path()});
    m_mounted = mount.waitForFinished(10000) && mount.exitStatus() == QProcess::NormalExit && mount.exitCode() == 0;
}

SmallDisk::~SmallDisk()
{
    release();
    if (m_mounted)
        QProcess::execute(QStringLiteral("umount"), {QStringLiteral("-l"), m_folder.path()});
}

QString SmallDisk::fill()
{
    if (m_mounted) {
        QFile filler(file(QStringLiteral("filler")));
        filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
        const QByteArray block(4096, 'f');
        while (filler.write(block) == block.size()) {
        }
        filler.write(QByteArray(1, 'f')); // the last bytes that fit
        return QString::fromLocal8Bit(std::strerror(ENOSPC));
    }
    // Past the limit a write fails with EFBIG, and the signal that would
    // end the process is ignored.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = 64;
    setrlimit(RLIMIT_FSIZE, &limit);
    m_limited = true;
    return QString::fromLocal8Bit(std::strerror(EFBIG));
}

void SmallDisk::release()
{
    if (m_mounted)
        QFile::remove(file(QStringLiteral("filler")));
    if (m_limited) {
        rlimit limit{};
        getrlimit(RLIMIT_FSIZE, &limit);
        limit.rlim_cur = limit.rlim_max;
        setrlimit(RLIMIT_FSIZE, &limit);
        m_limited = false;
    }
}

} // namespace quorvane::testing
