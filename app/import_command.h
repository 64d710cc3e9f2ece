#pragma once

#include "app/command_line.h"

#include <QString>

namespace quorvane {

// The report goes to standard output.
// Makes a new schedule from the calendar file line.importFile, named
// line.schedule or after the calendar, in the database the window uses
// (made as the window makes it when there is none). Exit status 1, with the
// reason and nothing written: the file cannot be read, no course can be made
// from it, or the database cannot be opened or written. Builds no widget.
CommandOutcome runImport(const CommandLine& line, const QString& programFolder);

} // namespace quorvane
