#pragma once

#include "base/day_set.h"
#include "domain/ids.h"
#include "domain/meeting.h"

#include <QString>
#include <QTime>
#include <QVector>

namespace quorvane {

struct Schedule
{
    ScheduleId id;
    QString name;
};

// A course's daily time range as its row stores it.
struct CourseTimes
{
    QTime from;
    QTime to; // the end's time of day as stored
    // The end carries a calendar date: it lies after every time of the
    // course's day.
    bool endsOnADate = false;

    // The last moment the course takes on each of its days.
    QTime until() const { return endsOnADate ? QTime(23, 59, 59, 999) : to; }
};

// A course as the student knows it, kept twice over:
//
// `grid` (TimeFrom, TimeTo) places it in the timetable, which has a row for
// every half hour from 6:00 AM to 9:30 PM and fills those a whole number of
// half hours after the start (forEachCourseRow): the course dialogs snap
// what is typed to the half hour for it. A course starting at 9:45 PM, at
// 8:30:15 AM, or ending before it starts fills no cell there.
//
// `exact` (ExactFrom, ExactTo) is when it really meets, as typed or
// imported; a row without them meets at the grid's times. Everything but the
// grid's rows takes these: the clash rule, the tooltips and what a screen
// reader reads, the calendar, the planner.
struct Course
{
    CourseId id;
    ScheduleId schedule;
    QString name;
    QString notes;
    WeekDays days{};
    CourseTimes grid;
    CourseTimes exact;

    // One meeting on each of its days, at its exact times; none for an exact
    // end before the start.
    QVector<Meeting> meetings() const;
};

// Two courses clash when they share a weekday and, on their exact times,
// each starts before the other ends (clash of two meetings).
bool clash(const Course& a, const Course& b);

// Seconds from midnight, as meetings count them.
int secondsOf(const QTime& time);

// A course to store. Its grid times are written in the form the course
// dialogs write ("8:30:00 AM") or, for the sample schedule, in the short
// 24-hour one ("08:30"); its exact times only where they differ from them.
struct NewCourse
{
    enum class TimeForm { Long, Short };

    QString name;
    QString notes;
    WeekDays days{};
    QTime from;
    QTime to;
    QTime exactFrom; // not valid: the same as `from`
    QTime exactTo;   // not valid: the same as `to`
    TimeForm form = TimeForm::Long;
};

} // namespace quorvane
