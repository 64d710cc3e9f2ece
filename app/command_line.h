#pragma once

#include "export/calendar_file.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace quorvane {

// What the program's arguments ask for. Without --export, --schedule or
// --weeks, arguments that are none of the program's own go to Qt, as they
// always have; with them, every argument must be the program's own.
struct CommandLine
{
    enum class Action { Window, Help, Version, Export, BadArguments };
    Action action = Action::Window;
    // --export FILE [--schedule NAME] [--weeks N]
    QString exportFile;
    std::optional<QString> schedule;
    int weeks = kDefaultCalendarWeeks;
    // Why the arguments are bad.
    QString error;
};

// `arguments` without the program's name.
CommandLine parseCommandLine(const QStringList& arguments);

QString usageText();
QString versionText();

} // namespace quorvane
