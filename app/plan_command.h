#pragma once

#include "app/command_line.h"

#include <QString>

namespace quorvane {

// `quorvane --plan NAME`: the best plans of the schedule named NAME taken as
// a pool of sections, under the filters and criteria of line.plan, one line
// each and a summary line (or one JSON object with --json) on standard
// output. The database is looked for as the window looks for it and is
// never created; it is changed only by --keep K, which stores plan K as a new
// schedule "NAME plan K" and names it. Exit status 1, with the reason: the
// database is missing or unreadable, no schedule has the name, a course or
// row named is not in the pool, no plan passes the filters (the reason then
// names the courses that cannot be taken together), or plan K is not there.
// Builds no widget.
CommandOutcome runPlan(const CommandLine& line, const QString& programFolder);

} // namespace quorvane
