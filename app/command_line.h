#pragma once

#include "export/calendar_file.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace quorvane {

// What the program's arguments ask for. --help (-h) or --version anywhere
// answers. Without --export, --schedule or --weeks, Qt's own options and
// plain arguments go to Qt, as they always have, and any other option is
// refused; with them, every argument must be the program's own.
struct CommandLine
{
    enum class Action { Window, Help, Version, Export, ListBackups, Restore, BadArguments };
    Action action = Action::Window;
    // --export FILE [--schedule NAME] [--weeks N]
    QString exportFile;
    std::optional<QString> schedule;
    int weeks = kDefaultCalendarWeeks;
    // --backups, or --restore FILE, each alone.
    QString restoreFile;
    // Why the arguments are bad.
    QString error;
};

// `arguments` without the program's name.
CommandLine parseCommandLine(const QStringList& arguments);

// Why the window cannot open here (no display to show it on), or an empty text.
QString windowUnavailable(const QStringList& arguments);

QString usageText();
QString versionText();

} // namespace quorvane
