#include "app/command_line.h"

#include "base/app_info.h"
#include "base/time_of_day.h"
#include "export/save_file.h"

#include <algorithm>

namespace quorvane {

namespace {

const QString kExport = QStringLiteral("--export");
const QString kImport = QStringLiteral("--import");
const QString kSchedule = QStringLiteral("--schedule");
const QString kWeeks = QStringLiteral("--weeks");
const QString kBackups = QStringLiteral("--backups");
const QString kRestore = QStringLiteral("--restore");
const QString kFrom = QStringLiteral("--from");
const QString kUntil = QStringLiteral("--until");
const QString kSkip = QStringLiteral("--skip");
const QStringList kOwnOptions = {kExport, kImport, kSchedule, kWeeks, kFrom, kUntil, kSkip};
const QString kPlan = QStringLiteral("--plan");
const QString kTop = QStringLiteral("--top");
const QString kRank = QStringLiteral("--rank");
const QString kFree = QStringLiteral("--free");
const QString kAfter = QStringLiteral("--after");
const QString kBefore = QStringLiteral("--before");
const QString kBusy = QStringLiteral("--busy");
const QString kPin = QStringLiteral("--pin");
const QString kWithout = QStringLiteral("--without");
const QString kKeep = QStringLiteral("--keep");
const QString kJson = QStringLiteral("--json");
const QStringList kPlanOptions = {kPlan, kTop, kRank, kFree, kAfter, kBefore, kBusy, kPin, kWithout, kKeep, kJson};
// The most plans a search keeps.
constexpr int kMaxTop = 10000;

CommandLine bad(const QString& error)
{
    CommandLine line;
    line.action = CommandLine::Action::BadArguments;
    line.error = error;
    return line;
}

std::optional<QDate> day(const QString& text)
{
    const QDate date = QDate::fromString(text, QStringLiteral("yyyy-MM-dd"));
    return date.isValid() ? std::optional<QDate>(date) : std::nullopt;
}

CommandLine parseOwn(const QStringList& arguments)
{
    CommandLine line;
    QStringList seen;
    for (qsizetype i = 0; i < arguments.size(); i += 2) {
        const QString& option = arguments[i];
        if (!kOwnOptions.contains(option))
            return bad(QStringLiteral("unknown argument \"%1\"").arg(option));
        if (seen.contains(option) && option != kSkip)
            return bad(QStringLiteral("%1 is given twice").arg(option));
        seen << option;
        if (i + 1 >= arguments.size())
            return bad(QStringLiteral("%1 needs a value").arg(option));
        const QString& value = arguments[i + 1];
        const auto badDay = [&] {
            return bad(QStringLiteral("%1 takes a day as YYYY-MM-DD, not \"%2\"").arg(option, value));
        };
        if (option == kExport) {
            line.exportFile = value;
        } else if (option == kImport) {
            line.importFile = value;
        } else if (option == kSchedule) {
            line.schedule = value;
        } else if (option == kFrom || option == kUntil) {
            const std::optional<QDate> date = day(value);
            if (!date)
                return badDay();
            (option == kFrom ? line.from : line.until) = date;
        } else if (option == kSkip) {
            const QStringList ends = value.split(QStringLiteral(".."));
            const std::optional<QDate> first = ends.size() <= 2 ? day(ends.first()) : std::nullopt;
            const std::optional<QDate> last = first ? day(ends.last()) : std::nullopt;
            if (!last || *last < *first)
                return badDay();
            line.skip.append({*first, *last});
        } else {
            bool number = false;
            line.weeks = value.toInt(&number);
            if (!number || line.weeks < 1 || line.weeks > kMaxCalendarWeeks)
                return bad(QStringLiteral("--weeks takes a whole number from 1 to %1, not \"%2\"")
                               .arg(kMaxCalendarWeeks)
                               .arg(value));
        }
    }
    if (seen.contains(kImport)) {
        for (const QString& option : seen)
            if (option != kImport && option != kSchedule)
                return bad(QStringLiteral("%1 does not go with %2").arg(option, kImport));
        // A schedule needs a name the list can show.
        if (line.schedule && line.schedule->trimmed().isEmpty())
            return bad(QStringLiteral("%1 takes a name that is not blank").arg(kSchedule));
        line.action = CommandLine::Action::Import;
        return line;
    }
    if (!seen.contains(kExport))
        return bad(seen.first() == kSchedule
                       ? QStringLiteral("%1 goes with %2 FILE or %3 FILE").arg(kSchedule, kExport, kImport)
                       : QStringLiteral("%1 goes with %2 FILE").arg(seen.first(), kExport));
    if (seen.contains(kUntil) && seen.contains(kWeeks))
        return bad(QStringLiteral("%1 and %2 do not go together").arg(kUntil, kWeeks));
    const CalendarTerm term = exportTerm(line, QDate::currentDate());
    if (term.last < term.first)
        return bad(QStringLiteral("%1 is before %2").arg(kUntil, kFrom));
    if (term.first.daysTo(term.last) >= 7 * qint64(kMaxCalendarWeeks))
        return bad(QStringLiteral("a calendar covers at most %1 weeks").arg(kMaxCalendarWeeks));
    if (term.last > kLastCalendarDay)
        return bad(QStringLiteral("a calendar ends on %1 at the latest").arg(kLastCalendarDay.toString(Qt::ISODate)));
    if (!exportKindOf(line.exportFile))
        return bad(QStringLiteral("cannot tell the format of \"%1\" from its extension: use .bmp, .png, .pdf, .xls, "
                                  ".xlsx, .csv or .ics")
                       .arg(line.exportFile));
    line.action = CommandLine::Action::Export;
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

bool isOwnOption(const QString& argument)
{
    return kOwnOptions.contains(argument) || kPlanOptions.contains(argument);
}

bool isPlanOption(const QString& argument)
{
    return kPlanOptions.contains(argument);
}

// A list of names separated by commas, each one of `names` at most once,
// as their positions in `names`.
std::optional<std::vector<int>> namesOf(const QString& value, const QStringList& names)
{
    std::vector<int> found;
    for (const QString& entry : value.split(QLatin1Char(','))) {
        const qsizetype at = names.indexOf(entry.trimmed().toLower());
        if (at < 0 || std::find(found.begin(), found.end(), int(at)) != found.end())
            return std::nullopt;
        found.push_back(int(at));
    }
    return found;
}

std::optional<int> wholeNumber(const QString& value, int least, int most)
{
    bool number = false;
    const int n = value.toInt(&number);
    return number && n >= least && n <= most ? std::optional<int>(n) : std::nullopt;
}

// --plan NAME and the options that go with it; every argument must be one of them.
CommandLine parsePlan(const QStringList& arguments)
{
    CommandLine line;
    PlanArguments& plan = line.plan;
    QStringList seen;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& option = arguments[i];
        if (!isPlanOption(option))
            return bad(isOwnOption(option) ? QStringLiteral("%1 does not go with %2").arg(option, kPlan)
                                           : QStringLiteral("unknown argument \"%1\"").arg(option));
        if (seen.contains(option) && option != kPin && option != kWithout)
            return bad(QStringLiteral("%1 is given twice").arg(option));
        seen << option;
        if (option == kJson) {
            plan.json = true;
            continue;
        }
        if (++i >= arguments.size())
            return bad(QStringLiteral("%1 needs a value").arg(option));
        const QString& value = arguments[i];
        if (option == kPlan) {
            plan.pool = value;
        } else if (option == kTop || option == kKeep) {
            const std::optional<int> n = wholeNumber(value, 1, kMaxTop);
            if (!n)
                return bad(QStringLiteral("%1 takes a whole number from 1 to %2, not \"%3\"")
                               .arg(option)
                               .arg(kMaxTop)
                               .arg(value));
            if (option == kTop)
                plan.top = *n;
            else
                plan.keep = n;
        } else if (option == kRank) {
            QStringList names;
            for (int c = 0; c < kCriteria; ++c)
                names << criterionName(Criterion(c));
            const std::optional<std::vector<int>> ranked = namesOf(value, names);
            if (!ranked)
                return bad(QStringLiteral("%1 takes some of %2, each once, separated by commas, not \"%3\"")
                               .arg(option, names.join(QLatin1Char(',')), value));
            plan.rank.clear();
            for (int c : *ranked)
                plan.rank.push_back(Criterion(c));
        } else if (option == kFree) {
            const QStringList days = {QStringLiteral("mon"), QStringLiteral("tue"), QStringLiteral("wed"),
                                      QStringLiteral("thu"), QStringLiteral("fri"), QStringLiteral("sat"),
                                      QStringLiteral("sun")};
            const std::optional<std::vector<int>> free = namesOf(value, days);
            if (!free)
                return bad(QStringLiteral("%1 takes weekdays from %2, separated by commas, not \"%3\"")
                               .arg(option, days.join(QLatin1Char(',')), value));
            for (int d : *free)
                plan.freeDays[static_cast<size_t>(d)] = true;
        } else if (option == kAfter || option == kBefore) {
            const std::optional<QTime> time = timeofday::parse(value);
            if (!time)
                return bad(QStringLiteral("%1 takes a time of day such as 9:00AM, 9:00 AM or 09:00, not \"%2\"")
                               .arg(option, value));
            (option == kAfter ? plan.after : plan.before) = time;
        } else if (option == kBusy) {
            plan.busy = value;
        } else if (option == kPin) {
            const qsizetype equals = value.lastIndexOf(QLatin1Char('='));
            bool number = false;
            const qint64 id = equals > 0 ? value.mid(equals + 1).toLongLong(&number) : 0;
            if (!number || id < 1)
                return bad(QStringLiteral("%1 takes COURSE=ID, a course's name and the id of a row of the option "
                                          "to take, not \"%2\"")
                               .arg(option, value));
            const QString course = value.left(equals);
            for (const auto& pin : plan.pins)
                if (pin.first == course)
                    return bad(QStringLiteral("%1 pins \"%2\" twice").arg(option, course));
            plan.pins.push_back({course, id});
        } else {
            plan.without << value;
        }
    }
    if (!seen.contains(kPlan))
        return bad(QStringLiteral("%1 goes with %2 NAME").arg(seen.first(), kPlan));
    for (const auto& pin : plan.pins)
        if (plan.without.contains(pin.first))
            return bad(QStringLiteral("\"%1\" is both pinned and left out").arg(pin.first));
    line.action = CommandLine::Action::Plan;
    return line;
}

// "--export=FILE" as "--export" "FILE", for the program's own options.
QStringList splitValues(const QStringList& arguments)
{
    QStringList split;
    for (const QString& argument : arguments) {
        const qsizetype equals = argument.indexOf(QLatin1Char('='));
        if (argument.startsWith(QLatin1String("--")) && equals > 0 && isOwnOption(argument.left(equals)))
            split << argument.left(equals) << argument.mid(equals + 1);
        else
            split << argument;
    }
    return split;
}

// Without the program's own options every option must be Qt's; anything
// else is a mistake better told than ignored. A plain argument is a calendar
// to import, as a file manager's "Open with" passes it.
CommandLine parseWindow(const QStringList& arguments)
{
    CommandLine line;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (!argument.startsWith(QLatin1Char('-')) || argument.size() < 2) {
            if (!line.importFile.isEmpty())
                return bad(QStringLiteral("one calendar at a time: \"%1\" and \"%2\"").arg(line.importFile, argument));
            line.importFile = argument;
            continue;
        }
        const QString name = argument.mid(argument.startsWith(QLatin1String("--")) ? 2 : 1);
        if (kQtOptionsWithValue.contains(name))
            ++i;
        else if (!kQtFlags.contains(name))
            return bad(QStringLiteral("unknown option \"%1\"").arg(argument));
    }
    return line;
}

// --backups and --restore FILE stand alone.
std::optional<CommandLine> parseBackups(const QStringList& arguments)
{
    QStringList split;
    for (const QString& argument : arguments) {
        if (argument.startsWith(kRestore + QLatin1Char('=')))
            split << kRestore << argument.mid(kRestore.size() + 1);
        else
            split << argument;
    }
    CommandLine line;
    if (split.contains(kBackups)) {
        line.action = CommandLine::Action::ListBackups;
        return split.size() == 1 ? line : bad(QStringLiteral("%1 takes no other argument").arg(kBackups));
    }
    if (!split.contains(kRestore))
        return std::nullopt;
    if (split.size() != 2 || split.first() != kRestore)
        return bad(QStringLiteral("%1 FILE takes no other argument").arg(kRestore));
    line.action = CommandLine::Action::Restore;
    line.restoreFile = split.last();
    return line;
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
    if (const std::optional<CommandLine> line = parseBackups(arguments))
        return *line;
    const QStringList split = splitValues(arguments);
    if (std::any_of(split.begin(), split.end(), isPlanOption))
        return parsePlan(split);
    if (std::any_of(split.begin(), split.end(), isOwnOption))
        return parseOwn(split);
    return parseWindow(split);
}

CalendarTerm exportTerm(const CommandLine& line, const QDate& today)
{
    CalendarTerm term;
    term.first = line.from.value_or(today.addDays(1 - today.dayOfWeek()));
    term.last = line.until.value_or(term.first.addDays(7 * qint64(line.weeks) - 1));
    term.free = line.skip;
    return term;
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
    return QStringLiteral("Usage: quorvane [-h | --help | --version] [FILE.ics]\n"
                          "       quorvane --export FILE [--schedule NAME] [--weeks N | --until DAY]\n"
                          "                [--from DAY] [--skip DAY[..DAY]]...\n"
                          "       quorvane --import FILE.ics [--schedule NAME]\n"
                          "       quorvane --backups | --restore FILE\n"
                          "       quorvane --plan NAME [--top N] [--rank CRITERIA] [--free DAYS]\n"
                          "                [--after TIME] [--before TIME] [--busy SCHEDULE]\n"
                          "                [--pin COURSE=ID]... [--without COURSE]... [--keep K] [--json]\n"
                          "Builds weekly college timetables. Without options, opens the main window.\n"
                          "\n"
                          "  -h, --help       show this text and exit\n"
                          "  --version        show the version and exit\n"
                          "  --export FILE    write a schedule to FILE and exit, without a window or a\n"
                          "                   display, in the format of FILE's extension: .bmp, .png or\n"
                          "                   .pdf for a picture, .xls or .xlsx for a workbook, .csv for\n"
                          "                   comma-separated values, .ics for a calendar of the courses\n"
                          "  --schedule NAME  the schedule named exactly NAME (by default the first one);\n"
                          "                   with --import, the new schedule's name\n"
                          "  --weeks N        how many weeks a calendar repeats each course (16)\n"
                          "  --from DAY       a calendar's first day of classes, as YYYY-MM-DD (by\n"
                          "                   default the Monday of this week)\n"
                          "  --until DAY      a calendar's last day of classes, instead of --weeks\n"
                          "  --skip DAY[..DAY]\n"
                          "                   a day, or days from one to another, without classes;\n"
                          "                   may be given again\n"
                          "  --import FILE    make a new schedule from the weekly events of an iCalendar\n"
                          "                   file (named by its X-WR-CALNAME, else the file's name),\n"
                          "                   print what was made and skipped, and exit\n"
                          "  FILE.ics         open the window and import FILE.ics into it\n"
                          "  --backups        list the backups of the database, newest first, and exit\n"
                          "  --restore FILE   replace the database with FILE (a backup, or any timetable\n"
                          "                   database) and exit; the database as it was is saved as\n"
                          "                   one more backup; refused while the window is open\n"
                          "  --plan NAME      take the schedule NAME as the sections one could take:\n"
                          "                   each name one course, each row an option of it (rows of\n"
                          "                   a name with the same notes one option); print the best\n"
                          "                   plans taking one option of every course with no two\n"
                          "                   classes at once, and how many such plans there are\n"
                          "  --top N          how many of the best plans to print (10)\n"
                          "  --rank CRITERIA  what makes a plan better, most important first, from\n"
                          "                   days (weekdays with a class), idle (minutes between\n"
                          "                   classes), early (minutes of class before 10:00 AM), late\n"
                          "                   (minutes after 4:00 PM) and lunch (days without 30 free\n"
                          "                   minutes from 11:00 AM to 1:30 PM), separated by commas\n"
                          "                   (days,idle,early); ties go to the lower row ids\n"
                          "  --free DAYS      keep these weekdays free: mon,tue,wed,thu,fri,sat,sun\n"
                          "  --after TIME     no class starting before TIME (9:00AM, 9:00 AM, 09:00)\n"
                          "  --before TIME    no class ending after TIME\n"
                          "  --busy SCHEDULE  no class at the times of the courses of SCHEDULE\n"
                          "  --pin COURSE=ID  take the option of COURSE holding row ID; may be given again\n"
                          "  --without COURSE leave COURSE out; may be given again\n"
                          "  --keep K         store plan K as a new schedule \"NAME plan K\"\n"
                          "  --json           print one JSON object instead of one line per plan\n"
                          "\n"
                          "Options take their value after a blank or an equals sign (--export=FILE).\n"
                          "Qt's own options (-style, -reverse, -platform ...) open the window as given.\n"
                          "\n"
                          "Exit status: 0 done; 1 the database or the schedule could not be read, the\n"
                          "file not written, the calendar not imported, or no plan is possible (the\n"
                          "reason on standard error); 2 bad arguments.\n"
                          "\n"
                          "Keys in the window: Ctrl+P print preview, Ctrl+N Add Course, Ctrl+I import a\n"
                          "calendar; in the grid, F2 Edit Course, Delete Delete Course, and the Menu key\n"
                          "(or a right click) for the grid's menu of the course, print and export\n"
                          "commands. Ctrl+D duplicates the selected schedule, Ctrl+G plans a term from\n"
                          "it (Plan Schedules), Ctrl+Q quits; the menu bar lists every command.\n"
                          "Ctrl+Z undoes the last change made since the window opened, and Ctrl+Shift+Z\n"
                          "or Ctrl+Y makes it again; so do the context menus of the list and the grid.\n"
                          "At each start the database is copied into backups/ beside it when it has\n"
                          "changed since the newest copy; one copy a day is kept for 14 days.\n"
                          "\n"
                          "The timetables live in dbSchedules.mdb: beside the program when it is there,\n"
                          "otherwise in $XDG_DATA_HOME/quorvane/ (by default ~/.local/share/quorvane/).\n");
}

QString versionText()
{
    return kProductName + QLatin1Char(' ') + kVersion + QLatin1Char('\n');
}

} // namespace quorvane
