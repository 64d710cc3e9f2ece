#pragma once

#include "store/calendar_import.h"

#include <QList>
#include <QString>

namespace quorvane {

class Connection;

// Stores a new schedule holding copies of the course rows `courseIds`, every
// column as stored (exact times included), in id order, in one transaction:
// all or nothing. Its name is `wanted`, or the first of "wanted (2)",
// "wanted (3)" ... that no schedule has. A row that is gone fails it with
// courseGone().
StoredSchedule storeCoursesAsSchedule(Connection& db, const QString& wanted, const QList<qint64>& courseIds);

} // namespace quorvane
