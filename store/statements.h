#pragma once

#include <QList>
#include <QString>
#include <QStringList>

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

// The course list of the Edit and Delete dialogs, read a window at a time:
// statement 3 lists every course in id order, so a position in that list is
// the number of ids before the course's own. Names come back as their shown
// beginning (`shownText` of it equals `shownText` of the whole name).
QString countCourses();
QString countCoursesBefore(qint64 courseId);                // ids below
QString countCoursesFrom(qint64 courseId);                  // ids from this one up
QString countCoursesBetween(qint64 fromId, qint64 belowId); // ids from one up to below the other
QString selectCourseIds();                                  // every id, in order
QString selectCourseIdRange();                              // min(id), max(id)
// `limit` rows from position `offset`, counted from the first id or, when
// `fromLast`, from the last one down.
QString selectCourseNamesAt(int offset, int limit, bool fromLast);
// `limit` rows from course `courseId`'s position plus `offset` on.
QString selectCourseNamesFrom(qint64 courseId, qint64 offset, int limit);
// `limit` rows after `courseId` upwards, or before it downwards.
QString selectCourseNamesAfter(qint64 courseId, int limit);
QString selectCourseNamesBefore(qint64 courseId, int limit);
// In id order, the rows from `courseId` up (or, when `below`, those below
// it) whose name may begin with `prefix` in any case: a superset for the
// caller to confirm with its own comparison.
QString selectCourseNamesMaybeStarting(const QString& prefix, qint64 courseId, bool below);
// The lowest id of a course named `name` (an empty name also matches a
// course without one), of schedule `scheduleId` when one is given.
QString selectFirstCourseNamed(const QString& name, const QString& scheduleId);
QString selectCourseName(qint64 courseId);

// The columns of tblCourse, one row each ("name" among the fields).
QString selectCourseColumns();
// Copies the rows `courseIds` of tblCourse, in id order, into schedule
// `scheduleId`: every column in `columns` (all but id and ScheduleID) as
// stored, byte for byte.
QString copyCourses(const QStringList& columns, const QString& scheduleId, const QList<qint64>& courseIds);

} // namespace quorvane::sql
