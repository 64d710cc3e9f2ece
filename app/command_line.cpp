#include "app/command_line.h"

namespace quorvane {

CommandLine parseCommandLine(const QStringList& arguments)
{
    CommandLine line;
    if (arguments.value(0) == QLatin1String("--help"))
        line.action = CommandLine::Action::Help;
    else if (arguments.value(0) == QLatin1String("--version"))
        line.action = CommandLine::Action::Version;
    return line;
}

QString usageText()
{
    return QStringLiteral("Usage: quorvane [--help | --version]\n"
                          "Builds weekly college timetables. Without options, opens the main window.\n"
                          "\n"
                          "  --help     show this text and exit\n"
                          "  --version  show the version and exit\n"
                          "\n"
                          "The timetables live in dbSchedules.mdb: beside the program when it is there,\n"
                          "otherwise in $XDG_DATA_HOME/quorvane/ (by default ~/.local/share/quorvane/).\n");
}

QString versionText()
{
    return QStringLiteral("Quorvane " QUORVANE_VERSION "\n");
}

} // namespace quorvane
