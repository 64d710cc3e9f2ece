#pragma once

#include <QString>
#include <QStringList>

namespace quorvane {

// Creates the empty database the program is delivered with: tblSchedules and
// tblCourse, ids assigned on insert and never reused. The program itself never
// calls this; the build and the tests do.
void createDeliveredDatabase(const QString& path);

// The statements that create the two tables, in order; the fuzz targets build
// their in-memory databases from the same texts.
QStringList schemaStatements();

} // namespace quorvane
