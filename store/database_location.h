#pragma once

#include <QString>

namespace quorvane {

// Where the program keeps dbSchedules.mdb.
//
// - When the program's own folder holds one, that file is used: the built
//   tree, or a portable copy.
// - Otherwise, when the program finds the empty template an installation
//   lays out beside it (<program folder>/../../share/quorvane/template/),
//   each user has a database of their own in $XDG_DATA_HOME/quorvane/
//   (~/.local/share/quorvane/ by default), made from the template the first
//   time. An existing user database is never replaced. That folder and the
//   database in it must be the user's own and writable by nobody else, and
//   a link to the folder must be the user's own: otherwise they are refused,
//   and nothing is read or made there.
// - Otherwise the database is looked for in the program's folder, where the
//   program then finds none.
struct DatabaseLocation
{
    QString folder;  // the folder to look for dbSchedules.mdb in; empty when the user's folder is refused
    QString failure; // why the user's database cannot be used or made; empty when all is well

    // The database file in `folder`.
    QString file() const;
};

enum class MakeUserDatabase { IfMissing, Never };

DatabaseLocation locateDatabase(const QString& programFolder, MakeUserDatabase make = MakeUserDatabase::IfMissing);

// The database a command without a window works on, which must be there:
// its path in `path`, or why not in `failure` ("... not found").
struct ExistingDatabase
{
    QString path;
    QString failure;
};
ExistingDatabase existingDatabase(const QString& programFolder, MakeUserDatabase make = MakeUserDatabase::IfMissing);

// The empty database an installation lays out for the program in `programFolder`.
QString installedTemplatePath(const QString& programFolder);

// $XDG_DATA_HOME, or ~/.local/share where it is unset, empty or not absolute.
QString userDataHome();

} // namespace quorvane
