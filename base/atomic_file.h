#pragma once

// Files that appear whole or not at all: the content goes to a temporary file
// beside the target, is written and synced to the disk, and only then takes
// the target's name. On any failure (a full disk, a folder that cannot be
// written) no temporary file is left, and whatever was at the target stays
// byte for byte. Failures are thrown as quorvane::Failure with the system's
// reason ("No space left on device").

#include <QByteArray>
#include <QString>

#include <functional>

namespace quorvane {

// Puts `bytes` in the place of the file `path`, or makes it. A symbolic link
// is written through to the file it points to; an existing file keeps its
// permissions.
void replaceFileAtomically(const QString& path, const QByteArray& bytes);

// Makes the file `path` only where there is none: returns false, changing
// nothing, when a file is there already or appears there meanwhile. `fill`
// writes the content into the temporary file, given its name (it exists,
// empty, with `mode` less the umask); the file is synced before it is moved.
bool createFileAtomically(const QString& path, const std::function<void(const QString& temporary)>& fill,
                          unsigned mode = 0666);
bool createFileAtomically(const QString& path, const QByteArray& bytes, unsigned mode = 0666);

// Syncs the folder holding `path`, so that a name just given there lasts.
void syncFolderOf(const QString& path);

} // namespace quorvane
