#pragma once

#include <QString>
#include <QStringList>

namespace quorvane {

// What the program's arguments ask for. Arguments that are none of the
// program's own go to Qt, as they always have.
struct CommandLine
{
    enum class Action { Window, Help, Version };
    Action action = Action::Window;
};

// `arguments` without the program's name.
CommandLine parseCommandLine(const QStringList& arguments);

QString usageText();
QString versionText();

} // namespace quorvane
