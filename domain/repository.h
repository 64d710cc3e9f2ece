#pragma once

#include "domain/course.h"
#include "domain/course_catalog.h"
#include "domain/course_row.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVector>
#include <memory>
#include <optional>

namespace quorvane {

class Connection;
class Recordset;

// What Edit Course changes of a course: everything but its name and schedule.
struct CourseChange
{
    QString notes;
    WeekDays days{};
    QTime from; // on the grid's half hours
    QTime to;
    QTime exactFrom; // as typed; not valid: the same as `from`
    QTime exactTo;
    // The course had exact times of its own: they are written again, or
    // cleared, even when the new ones are the grid's.
    bool hadExactTimes = false;
};

// The walk over the rows of statement 2 (the courses of one schedule) or 4
// (one course), for a reader that takes each field in turn and reports each
// failure where it happens. The rows come in the order the database gives them.
class CourseWalk
{
public:
    ~CourseWalk();
    CourseWalk(CourseWalk&&) noexcept;
    CourseWalk(const CourseWalk&) = delete;
    CourseWalk& operator=(const CourseWalk&) = delete;

    bool atEnd() const;
    void next();
    CourseRowReader& row() { return *m_row; }
    void close();

private:
    friend class Repository;
    CourseWalk(const QString& statement, const Connection& db);

    std::unique_ptr<Recordset> m_rs;
    std::unique_ptr<CourseRowReader> m_row;
};

// Every read and write of schedules and courses goes through here; the
// statement texts are built from the typed ids alone. A write whose schedule
// or course another copy of the program removed meanwhile raises a failure
// rather than changing nothing. Each method that writes more than one
// statement does so in one transaction.
class Repository
{
public:
    explicit Repository(Connection& db) : m_db(db) {}

    Connection& connection() const { return m_db; }
    // Every course of every schedule, as the course dialogs list them.
    CourseCatalog catalog() const { return CourseCatalog(m_db); }

    // Statement 1: every schedule, in list order.
    QVector<Schedule> schedules() const;
    // The first in list order named exactly `name`; without a name, the
    // first of all. Nothing when there is none.
    std::optional<Schedule> findSchedule(const std::optional<QString>& name) const;
    // `wanted`, or the first of "wanted (2)", "wanted (3)" ... no schedule has.
    QString unusedScheduleName(const QString& wanted) const;

    ScheduleId addSchedule(const QString& name);                   // 5
    void renameSchedule(ScheduleId schedule, const QString& name); // 6
    void deleteCoursesOf(ScheduleId schedule);                     // 8
    void deleteSchedule(ScheduleId schedule);                      // 9

    CourseWalk walkCourses(ScheduleId schedule) const; // 2
    CourseWalk walkCourse(CourseId course) const;      // 4
    // The courses of a schedule that read as courses (statement 2), in the
    // order the database gives them; a column the table lacks raises a failure.
    QVector<Course> courses(ScheduleId schedule) const;
    // One course; nothing when it is gone or does not read.
    std::optional<Course> course(CourseId course) const;

    CourseId addCourse(ScheduleId schedule, const NewCourse& course); // 10
    void updateCourse(CourseId course, const CourseChange& change);   // 11
    void deleteCourse(CourseId course);                               // 12

    // A new schedule named `wanted` (unusedScheduleName's name when that is
    // taken) with the courses.
    Schedule importSchedule(const QString& wanted, const QVector<NewCourse>& courses);
    // A new schedule "<name> (copy)" (" (2)" ... when taken) holding a copy of
    // every course, byte for byte (exact times included), in id order.
    Schedule duplicateSchedule(ScheduleId schedule);
    // A copy of the course, byte for byte, in another schedule.
    CourseId copyCourse(CourseId course, ScheduleId to);
    // A new schedule named `wanted` (or as unusedScheduleName names it)
    // holding copies of the courses, byte for byte, in id order.
    Schedule copyIntoNewSchedule(const QString& wanted, const QList<CourseId>& courses);

private:
    // Every column of tblCourse but id and ScheduleID: what a copy takes.
    QStringList copiedColumns() const;
    bool hasExactTimes() const;
    void writeExactTimes(CourseId course, const QTime& from, const QTime& to, const QTime& exactFrom,
                         const QTime& exactTo);

    Connection& m_db;
    mutable bool m_hasExactTimes = false;
};

} // namespace quorvane
