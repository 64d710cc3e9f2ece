#pragma once

#include <QString>

// Every statement text the program sends, built in one place. Values the user
// typed are quoted (each ' doubled); ids and generated texts go in as they are.
namespace quorvane::sql {

// Each ' doubled; a lone UTF-16 surrogate, and every code point that XML 1.0
// forbids (U+0000 and the other C0 controls but tab, line feed and carriage
// return, the noncharacters), become U+FFFD.
QString quoted(const QString& typed);

QString selectSchedules();                                              // 1
QString selectCoursesOfSchedule(const QString& scheduleId);             // 2
QString selectCourses();                                                // 3
QString selectCourse(const QString& courseId);                          // 4
QString insertSchedule(const QString& name);                            // 5
QString updateSchedule(const QString& name, const QString& scheduleId); // 6
QString deleteCoursesOfSchedule(const QString& scheduleId);             // 8
QString deleteSchedule(const QString& scheduleId);                      // 9

struct CourseValues
{
    QString scheduleId;
    QString courseName;
    QString notes;
    QString daySet;
    QString timeFrom;
    QString timeTo;
};
QString insertCourse(const CourseValues& course); // 10
QString updateCourse(const QString& notes, const QString& daySet, const QString& timeFrom, const QString& timeTo,
                     const QString& courseId); // 11
QString deleteCourse(const QString& courseId); // 12

} // namespace quorvane::sql
