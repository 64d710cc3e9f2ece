#include "app/command_line.h"

#include "export/save_file.h"

#include <algorithm>

namespace quorvane {

namespace {

const QString kExport = QStringLiteral("--export");
const QString kSchedule = QStringLiteral("--schedule");
const QString kWeeks = QStringLiteral("--weeks");

CommandLine bad(const QString& error)
{
    CommandLine line;
    line.action = CommandLine::Action::BadArguments;
    line.error = error;
    return line;
}

CommandLine parseExport(const QStringList& arguments)
{
    CommandLine line;
    line.action = CommandLine::Action::Export;
    QStringList seen;
    for (qsizetype i = 0; i < arguments.size(); i += 2) {
        const QString& option = arguments[i];
        if (option != kExport && option != kSchedule && option != kWeeks)
            return bad(QStringLiteral("unknown argument \"%1\"").arg(option));
        if (seen.contains(option))
            return bad(QStringLiteral("%1 is given twice").arg(option));
        seen << option;
        if (i + 1 >= arguments.size())
            return bad(QStringLiteral("%1 needs a value").arg(option));
        const QString& value = arguments[i + 1];
        if (option == kExport) {
            line.exportFile = value;
        } else if (option == kSchedule) {
            line.schedule = value;
        } else {
            bool number = false;
            line.weeks = value.toInt(&number);
            if (!number || line.weeks < 1 || line.weeks > kMaxCalendarWeeks)
                return bad(QStringLiteral("--weeks takes a whole number from 1 to %1, not \"%2\"")
                               .arg(kMaxCalendarWeeks)
                               .arg(value));
        }
    }
    if (!seen.contains(kExport))
        return bad(QStringLiteral("%1 and %2 go with %3 FILE").arg(kSchedule, kWeeks, kExport));
    if (!exportKindOf(line.exportFile))
        return bad(QStringLiteral("cannot tell the format of \"%1\" from its extension: use .bmp, .png, .pdf, .xls, "
                                  ".xlsx, .csv or .ics")
                       .arg(line.exportFile));
    return line;
}

// Qt's own options, which the window passes on to Qt: those that take a value,
// then those that do not. Qt reads them with one dash or two.
const QStringList kQtOptionsWithValue = {
    QStringLiteral("platform"),
    QStringLiteral("platformpluginpath"),
    QStringLiteral("platformtheme"),
    QStringLiteral("plugin"),
    QStringLiteral("qmljsdebugger"),
    QStringLiteral("qwindowgeometry"),
    QStringLiteral("geometry"),
    QStringLiteral("qwindowicon"),
    QStringLiteral("icon"),
    QStringLiteral("qwindowtitle"),
    QStringLiteral("title"),
    QStringLiteral("session"),
    QStringLiteral("style"),
    QStringLiteral("stylesheet"),
    QStringLiteral("display"),
    QStringLiteral("name"),
    QStringLiteral("dialogs"),
    QStringLiteral("visual"),
    QStringLiteral("fn"),
    QStringLiteral("font"),
    QStringLiteral("bg"),
    QStringLiteral("background"),
    QStringLiteral("fg"),
    QStringLiteral("foreground"),
    QStringLiteral("btn"),
    QStringLiteral("button"),
    QStringLiteral("im"),
    QStringLiteral("inputstyle"),
    QStringLiteral("ncols"),
};
const QStringList kQtFlags = {
    QStringLiteral("reverse"), QStringLiteral("widgetcount"), QStringLiteral("nograb"),      QStringLiteral("dograb"),
    QStringLiteral("sync"),    QStringLiteral("cmap"),        QStringLiteral("testability"),
};

bool isExportOption(const QString& argument)
{
    return argument == kExport || argument == kSchedule || argument == kWeeks;
}

// "--export=FILE" as "--export" "FILE", for the program's own options.
QStringList splitValues(const QStringList& arguments)
{
    QStringList split;
    for (const QString& argument : arguments) {
        const qsizetype equals = argument.indexOf(QLatin1Char('='));
        if (argument.startsWith(QLatin1String("--")) && equals > 0 && isExportOption(argument.left(equals)))
            split << argument.left(equals) << argument.mid(equals + 1);
        else
            split << argument;
    }
    return split;
}

// Without an export every option must be Qt's; anything else is a mistake
// better told than ignored.
CommandLine parseWindow(const QStringList& arguments)
{
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (!argument.startsWith(QLatin1Char('-')) || argument.size() < 2)
            continue;
        const QString name = argument.mid(argument.startsWith(QLatin1String("--")) ? 2 : 1);
        if (kQtOptionsWithValue.contains(name))
            ++i;
        else if (!kQtFlags.contains(name))
            return bad(QStringLiteral("unknown option \"%1\"").arg(argument));
    }
    return CommandLine();
}

} // namespace

CommandLine parseCommandLine(const QStringList& arguments)
{
    // --help or --version anywhere answers, whatever else the line says.
    for (const QString& argument : arguments) {
        CommandLine line;
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h"))
            line.action = CommandLine::Action::Help;
        else if (argument == QLatin1String("--version"))
            line.action = CommandLine::Action::Version;
        else
            continue;
        return line;
    }
    const QStringList split = splitValues(arguments);
    if (std::any_of(split.begin(), split.end(), isExportOption))
        return parseExport(split);
    return parseWindow(split);
}

QString windowUnavailable(const QStringList& arguments)
{
    // A platform other than a display server (offscreen, vnc) needs none.
    QString platform = qEnvironmentVariable("QT_QPA_PLATFORM");
    for (qsizetype i = 0; i + 1 < arguments.size(); ++i)
        if (arguments[i] == QLatin1String("-platform") || arguments[i] == QLatin1String("--platform"))
            platform = arguments[i + 1];
    if (!platform.isEmpty() && !platform.startsWith(QLatin1String("xcb")) &&
        !platform.startsWith(QLatin1String("wayland")))
        return QString();
    if (!qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return QString();
    return QStringLiteral("cannot open a window: no display; use --export to write a file without one");
}

QString usageText()
{
    return QStringLiteral("Usage: quorvane [-h | --help | --version]\n"
                          "       quorvane --export FILE [--schedule NAME] [--weeks N]\n"
                          "Builds weekly college timetables. Without options, opens the main window.\n"
                          "\n"
                          "  -h, --help       show this text and exit\n"
                          "  --version        show the version and exit\n"
                          "  --export FILE    write a schedule to FILE and exit, without a window or a\n"
                          "                   display, in the format of FILE's extension: .bmp, .png or\n"
                          "                   .pdf for a picture, .xls or .xlsx for a workbook, .csv for\n"
                          "                   comma-separated values, .ics for a calendar of the courses\n"
                          "  --schedule NAME  the schedule named exactly NAME (by default the first one)\n"
                          "  --weeks N        how many weeks a calendar repeats each course (16)\n"
                          "\n"
                          "Options take their value after a blank or an equals sign (--export=FILE).\n"
                          "Qt's own options (-style, -reverse, -platform ...) open the window as given.\n"
                          "\n"
                          "Keys in the window: Ctrl+P print preview, Ctrl+N Add Course; in the grid,\n"
                          "F2 Edit Course, Delete Delete Course, and the Menu key (or a right click) for\n"
                          "the grid's menu of the course, print and export commands.\n"
                          "\n"
                          "Exit status: 0 done; 1 the database or the schedule could not be read, or the\n"
                          "file not written (the reason on standard error); 2 bad arguments.\n"
                          "\n"
                          "The timetables live in dbSchedules.mdb: beside the program when it is there,\n"
                          "otherwise in $XDG_DATA_HOME/quorvane/ (by default ~/.local/share/quorvane/).\n");
}

QString versionText()
{
    return QStringLiteral("Quorvane " QUORVANE_VERSION "\n");
}

} // namespace quorvane
