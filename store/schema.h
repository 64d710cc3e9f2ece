#pragma once

#include <QString>

namespace quorvane {

// Creates the empty database the program is delivered with: tblSchedules and
// tblCourse, ids assigned on insert and never reused. The program itself never
// calls this; the build and the tests do.
void createDeliveredDatabase(const QString& path);

} // namespace quorvane
