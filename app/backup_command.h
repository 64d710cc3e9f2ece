#pragma once

#include "app/command_line.h"

#include <QString>

namespace quorvane {

// Lists the backups of the database the window would open, newest first, or
// restores one (any timetable database file) over it. Needs no display.
CommandOutcome runBackupCommand(const CommandLine& line, const QString& programFolder);

// The start-up backup of the window's database, for a thread of its own; it
// never fails aloud: a full disk or a read-only folder skips it for this run.
void backUpQuietly(const QString& databasePath);

} // namespace quorvane
