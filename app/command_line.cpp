#include "app/command_line.h"

#include "export/save_file.h"

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

} // namespace

CommandLine parseCommandLine(const QStringList& arguments)
{
    CommandLine line;
    if (arguments.value(0) == QLatin1String("--help"))
        line.action = CommandLine::Action::Help;
    else if (arguments.value(0) == QLatin1String("--version"))
        line.action = CommandLine::Action::Version;
    else if (arguments.contains(kExport) || arguments.contains(kSchedule) || arguments.contains(kWeeks))
        return parseExport(arguments);
    return line;
}

QString usageText()
{
    return QStringLiteral("Usage: quorvane [--help | --version]\n"
                          "       quorvane --export FILE [--schedule NAME] [--weeks N]\n"
                          "Builds weekly college timetables. Without options, opens the main window.\n"
                          "\n"
                          "  --help           show this text and exit\n"
                          "  --version        show the version and exit\n"
                          "  --export FILE    write a schedule to FILE and exit, without a window or a\n"
                          "                   display, in the format of FILE's extension: .bmp, .png or\n"
                          "                   .pdf for a picture, .xls or .xlsx for a workbook, .csv for\n"
                          "                   comma-separated values, .ics for a calendar of the courses\n"
                          "  --schedule NAME  the schedule named exactly NAME (by default the first one)\n"
                          "  --weeks N        how many weeks a calendar repeats each course (16)\n"
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
