#pragma once

namespace quorvane {
class Worksheet;
}

namespace quorvane::testing {

// A sheet shaped like the exported grid: a header row with the days, then
// the 32 half-hour rows from 6:00 AM, every third cell holding a course.
void fillTimetableSheet(Worksheet& sheet);

} // namespace quorvane::testing
