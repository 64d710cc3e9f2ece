#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// Every statement text the program sends, built in one place. Values the user
// typed are quoted (each ' doubled); ids and generated texts go in as they are.
namespace quorvane::sql {

// Each ' doubled; a lone UTF-16 surrogate, and every code point that XML 1.0
// forbids (U+0000 and the other C0 controls but tab, line feed and carriage
// return, the noncharacters), become U+FFFD.
QString quoted(const QString& typed);

QString selectSchedules();                                      // 1
QString selectCoursesOfSchedule(qint64 scheduleId);             // 2
QString selectCourses();                                        // 3
QString selectCourse(qint64 courseId);                          // 4
QString insertSchedule(const QString& name);                    // 5
QString updateSchedule(const QString& name, qint64 scheduleId); // 6
QString deleteCoursesOfSchedule(qint64 scheduleId);             // 8
QString deleteSchedule(qint64 scheduleId);                      // 9

struct CourseValues
{
    qint64 scheduleId = 0;
    QString courseName;
    QString notes;
    QString daySet;
    QString timeFrom;
    QString timeTo;
};
QString insertCourse(const CourseValues& course); // 10
QString updateCourse(const QString& notes, const QString& daySet, const QString& timeFrom, const QString& timeTo,
                     qint64 courseId); // 11
QString deleteCourse(qint64 courseId); // 12

// A course's times as typed or imported, beside the grid's half hours; an
// empty text writes NULL, "the same as the grid's".
QString updateExactTimes(const QString& exactFrom, const QString& exactTo, qint64 courseId);
// The columns tblCourse has, in order (the exact times are missing from a
// database made before them that could not be changed).
QString selectCourseColumns();
// Copies, byte for byte, every course of schedule `fromSchedule` (or, with
// `courseIds`, those courses) into schedule `toSchedule`, in id order, with
// new ids: `columns` are every column but id and ScheduleID.
QString copyCoursesOfSchedule(const QStringList& columns, qint64 fromSchedule, qint64 toSchedule);
QString copyCourses(const QStringList& columns, const QList<qint64>& courseIds, qint64 toSchedule);

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
QString selectFirstCourseNamed(const QString& name, std::optional<qint64> scheduleId);
QString selectCourseName(qint64 courseId);

} // namespace quorvane::sql
