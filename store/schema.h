#pragma once

#include <QString>
#include <QStringList>

namespace quorvane {

// Creates the empty database the program is delivered with: tblSchedules and
// tblCourse, ids assigned on insert and never reused. The file is written
// under a temporary name beside `path` and then renamed into place, so an
// interrupted run never leaves half a database under the name. A file that
// is already at `path` is never replaced: it may hold a user's timetables.
// Returns false, changing nothing, when one is there. The program itself never
// calls this; the build and the tests do.
bool createDeliveredDatabase(const QString& path);

// The statements that create the two tables, in order; the fuzz targets build
// their in-memory databases from the same texts.
QStringList schemaStatements();

} // namespace quorvane
