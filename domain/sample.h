#pragma once

#include "domain/course.h"

#include <QString>
#include <QVector>

namespace quorvane {

// The one-click sample schedule: its name, and its three courses in the
// order they are inserted, with their times in the short 24-hour form.
QString sampleScheduleName();
QVector<NewCourse> sampleCourses();

} // namespace quorvane
