#pragma once

#include <QString>
#include <QTemporaryDir>

namespace quorvane::testing {

// A folder on which writing runs out of room. Where the test may mount one
// (as root), a small tmpfs that fills as a real disk does ("No space left on
// device"); elsewhere an ordinary folder, with the process's file size limit
// lowered while full() holds, so that writes fail as they would ("File too
// large"). Unmounted when it goes.
class SmallDisk
{
public:
    SmallDisk();
    ~SmallDisk();
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    QString file(const QString& name) const { return m_folder.path() + QLatin1Char('/') + name; }
    // Takes what room is left (a tmpfs), or lowers the file size limit to
    // what is written already; the reason writes now fail with.
    QString fill();
    // Lets writes succeed again.
    void release();
    // True for a real small disk, false for a lowered file size limit,
    // which holds for every file the process writes, temporary ones too.
    bool isDisk() const { return m_mounted; }

private:
    QTemporaryDir m_folder;
    bool m_mounted = false;
    bool m_limited = false;
};

} // namespace quorvane::testing
