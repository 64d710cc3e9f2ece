#pragma once

#include "domain/planner.h"
#include "export/calendar_file.h"

#include <QString>
#include <QStringList>
#include <QTime>
#include <array>
#include <optional>
#include <vector>

namespace quorvane {

// What a command run without a window ends with: the exit status, what goes
// to standard output, and the one line for standard error (each may be empty).
struct CommandOutcome
{
    int status = 0;
    QString output;
    QString message;
};

// A command that failed: status 1 and the one line "quorvane: <why>".
inline CommandOutcome commandFailure(const QString& why, const QString& output = QString())
{
    return {1, output, QStringLiteral("quorvane: ") + why};
}

// What `--plan NAME` asks for: the options of the planning command.
struct PlanArguments
{
    QString pool;                                 // the schedule planned from
    int top = 10;                                 // --top N
    std::vector<Criterion> rank = defaultRank();  // --rank days,idle,...
    std::array<bool, 7> freeDays{};               // --free mon,fri
    std::optional<QTime> after;                   // --after T: no class starting before
    std::optional<QTime> before;                  // --before T: none ending after
    std::optional<QString> busy;                  // --busy SCHEDULE
    std::vector<std::pair<QString, qint64>> pins; // --pin COURSE=ID, in the order given
    QStringList without;                          // --without COURSE
    std::optional<int> keep;                      // --keep K
    bool json = false;                            // --json
};

// What the program's arguments ask for. --help (-h) or --version anywhere
// answers. Without the program's own options, Qt's own options go to Qt, as
// they always have, a plain argument is a calendar to import into the window,
// and any other option is refused; with them, every argument must be the
// program's own.
struct CommandLine
{
    enum class Action { Window, Help, Version, Export, Import, ListBackups, Restore, Plan, BadArguments };
    Action action = Action::Window;
    // --export FILE [--schedule NAME] [--weeks N | --until DAY] [--from DAY] [--skip DAY[..DAY]]...
    QString exportFile;
    std::optional<QString> schedule;
    int weeks = kDefaultCalendarWeeks;
    // --backups, or --restore FILE, each alone.
    QString restoreFile;
    std::optional<QDate> from;
    std::optional<QDate> until;
    QVector<DayRange> skip;
    // --import FILE [--schedule NAME], or the one plain argument of the window.
    QString importFile;
    // --plan NAME and its options.
    PlanArguments plan;
    // Why the arguments are bad.
    QString error;
};

// The term a calendar export covers: --from or the Monday of `today`'s
// week, to --until or the end of --weeks.
CalendarTerm exportTerm(const CommandLine& line, const QDate& today);

// `arguments` without the program's name.
CommandLine parseCommandLine(const QStringList& arguments);

// Why the window cannot open here (no display to show it on), or an empty text.
QString windowUnavailable(const QStringList& arguments);

QString usageText();
QString versionText();

} // namespace quorvane
