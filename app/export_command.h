#pragma once

#include "app/command_line.h"

#include <QString>

namespace quorvane {

// An export writes nothing to standard output.
// Writes the schedule line.schedule names (the first one in list order when
// it names none) to line.exportFile in the format of its extension, as the
// window would draw and export it, through the same grid model and writers,
// without a window or any box. The database is looked for as the window
// looks for it and is never created or changed. Exit status 1, with the
// reason: the database is missing or unreadable, the window would have
// reported a failure while drawing the schedule, no schedule has that name,
// or the file cannot be written (nothing is then left of it). Needs a
// QGuiApplication, for the pictures' fonts; builds no widget.
CommandOutcome runExport(const CommandLine& line, const QString& programFolder);

} // namespace quorvane
