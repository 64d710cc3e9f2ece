#include "domain/repository.h"

#include "base/failure.h"
#include "base/time_of_day.h"
#include "store/connection.h"
#include "store/schema.h"
#include "store/statements.h"

#include <QSet>

namespace quorvane {

namespace {

QString timeText(const QTime& time, NewCourse::TimeForm form)
{
    return form == NewCourse::TimeForm::Short ? time.toString(QStringLiteral("HH:mm")) : timeofday::formatLong(time);
}

QList<qint64> numbers(const QList<CourseId>& ids)
{
    QList<qint64> result;
    result.reserve(ids.size());
    for (CourseId id : ids)
        result << id.value;
    return result;
}

} // namespace

CourseWalk::CourseWalk(const QString& statement, const Connection& db) : m_rs(std::make_unique<Recordset>())
{
    m_rs->open(statement, db);
    m_row = std::make_unique<CourseRowReader>(*m_rs);
}

CourseWalk::~CourseWalk() = default;
CourseWalk::CourseWalk(CourseWalk&&) noexcept = default;

bool CourseWalk::atEnd() const
{
    return m_rs->eof();
}

void CourseWalk::next()
{
    m_rs->moveNext();
}

void CourseWalk::close()
{
    if (m_rs->isOpen())
        m_rs->close();
}

QVector<Schedule> Repository::schedules() const
{
    QVector<Schedule> result;
    Recordset rs;
    rs.open(sql::selectSchedules(), m_db);
    if (rs.eof())
        return result;
    const int id = rs.column(QStringLiteral("id"));
    const int description = rs.column(QStringLiteral("Description"));
    for (; !rs.eof(); rs.moveNext())
        result.append({ScheduleId(rs.integer(id)), rs.text(description)});
    return result;
}

std::optional<Schedule> Repository::findSchedule(const std::optional<QString>& name) const
{
    for (const Schedule& schedule : schedules())
        if (!name || schedule.name == *name)
            return schedule;
    return std::nullopt;
}

QString Repository::unusedScheduleName(const QString& wanted) const
{
    QSet<QString> taken;
    for (const Schedule& schedule : schedules())
        taken.insert(schedule.name);
    QString name = wanted;
    for (int n = 2; taken.contains(name); ++n)
        name = QStringLiteral("%1 (%2)").arg(wanted).arg(n);
    return name;
}

ScheduleId Repository::addSchedule(const QString& name)
{
    m_db.execute(sql::insertSchedule(name));
    return ScheduleId(m_db.lastInsertId());
}

void Repository::renameSchedule(ScheduleId schedule, const QString& name)
{
    if (m_db.execute(sql::updateSchedule(name, schedule.value)) == 0)
        throw Failure(scheduleGone());
}

void Repository::deleteCoursesOf(ScheduleId schedule)
{
    m_db.execute(sql::deleteCoursesOfSchedule(schedule.value));
}

void Repository::deleteSchedule(ScheduleId schedule)
{
    if (m_db.execute(sql::deleteSchedule(schedule.value)) == 0)
        throw Failure(scheduleGone());
}

CourseWalk Repository::walkCourses(ScheduleId schedule) const
{
    return CourseWalk(sql::selectCoursesOfSchedule(schedule.value), m_db);
}

CourseWalk Repository::walkCourse(CourseId course) const
{
    return CourseWalk(sql::selectCourse(course.value), m_db);
}

QVector<Course> Repository::courses(ScheduleId schedule) const
{
    QVector<Course> result;
    CourseWalk walk = walkCourses(schedule);
    for (; !walk.atEnd(); walk.next()) {
        try {
            if (std::optional<Course> course = walk.row().course())
                result.append(std::move(*course));
        } catch (const Failure&) {
            // A course the timetable would report is left out; a column the
            // table lacks fails every course alike.
            if (walk.row().lacksColumn())
                throw;
        }
    }
    return result;
}

std::optional<Course> Repository::course(CourseId course) const
{
    CourseWalk walk = walkCourse(course);
    if (walk.atEnd())
        return std::nullopt;
    try {
        return walk.row().course();
    } catch (const Failure&) {
        if (walk.row().lacksColumn())
            throw;
        return std::nullopt;
    }
}

bool Repository::hasExactTimes() const
{
    // A database opened without them (read-only then) may have been given
    // them since; once there, they stay.
    if (!m_hasExactTimes) {
        const QStringList columns = copiedColumns();
        m_hasExactTimes = columns.contains(QStringLiteral("ExactFrom")) && columns.contains(QStringLiteral("ExactTo"));
    }
    return m_hasExactTimes;
}

QStringList Repository::copiedColumns() const
{
    QStringList columns;
    Recordset rs;
    rs.open(sql::selectCourseColumns(), m_db);
    for (; !rs.eof(); rs.moveNext()) {
        const QString column = rs.text(0);
        if (column != QLatin1String("id") && column != QLatin1String("ScheduleID"))
            columns << column;
    }
    return columns;
}

void Repository::writeExactTimes(CourseId course, const QTime& from, const QTime& to, const QTime& exactFrom,
                                 const QTime& exactTo)
{
    const QTime start = exactFrom.isValid() ? exactFrom : from;
    const QTime end = exactTo.isValid() ? exactTo : to;
    // Both or neither: NULL in both is "the grid's times".
    const bool same = start == from && end == to;
    m_db.execute(sql::updateExactTimes(same ? QString() : timeofday::formatLong(start),
                                       same ? QString() : timeofday::formatLong(end), course.value));
}

CourseId Repository::addCourse(ScheduleId schedule, const NewCourse& course)
{
    const bool exact = (course.exactFrom.isValid() && course.exactFrom != course.from) ||
                       (course.exactTo.isValid() && course.exactTo != course.to);
    const sql::CourseValues values{schedule.value,
                                   course.name,
                                   course.notes,
                                   dayset::build(course.days),
                                   timeText(course.from, course.form),
                                   timeText(course.to, course.form)};
    if (!exact || !hasExactTimes()) {
        m_db.execute(sql::insertCourse(values));
        return CourseId(m_db.lastInsertId());
    }
    Transaction both(m_db);
    m_db.execute(sql::insertCourse(values));
    const CourseId id(m_db.lastInsertId());
    writeExactTimes(id, course.from, course.to, course.exactFrom, course.exactTo);
    both.commit();
    return id;
}

void Repository::updateCourse(CourseId course, const CourseChange& change)
{
    const QString from = timeofday::formatLong(change.from);
    const QString to = timeofday::formatLong(change.to);
    const bool exact = change.hadExactTimes || (change.exactFrom.isValid() && change.exactFrom != change.from) ||
                       (change.exactTo.isValid() && change.exactTo != change.to);
    const QString statement = sql::updateCourse(change.notes, dayset::build(change.days), from, to, course.value);
    if (!exact || !hasExactTimes()) {
        if (m_db.execute(statement) == 0)
            throw Failure(courseGone());
        return;
    }
    Transaction both(m_db);
    if (m_db.execute(statement) == 0)
        throw Failure(courseGone());
    writeExactTimes(course, change.from, change.to, change.exactFrom, change.exactTo);
    both.commit();
}

void Repository::deleteCourse(CourseId course)
{
    if (m_db.execute(sql::deleteCourse(course.value)) == 0)
        throw Failure(courseGone());
}

Schedule Repository::importSchedule(const QString& wanted, const QVector<NewCourse>& courses)
{
    Transaction all(m_db);
    const QString name = unusedScheduleName(wanted);
    const ScheduleId id = addSchedule(name);
    for (const NewCourse& course : courses)
        addCourse(id, course);
    all.commit();
    return {id, name};
}

Schedule Repository::duplicateSchedule(ScheduleId schedule)
{
    Transaction all(m_db);
    std::optional<QString> original;
    for (const Schedule& known : schedules())
        if (known.id == schedule)
            original = known.name;
    if (!original)
        throw Failure(scheduleGone());
    const QString name = unusedScheduleName(*original + QStringLiteral(" (copy)"));
    const ScheduleId id = addSchedule(name);
    m_db.execute(sql::copyCoursesOfSchedule(copiedColumns(), schedule.value, id.value));
    all.commit();
    return {id, name};
}

CourseId Repository::copyCourse(CourseId course, ScheduleId to)
{
    Transaction all(m_db);
    if (m_db.execute(sql::copyCourses(copiedColumns(), {course.value}, to.value)) == 0)
        throw Failure(courseGone());
    const CourseId id(m_db.lastInsertId());
    all.commit();
    return id;
}

Schedule Repository::copyIntoNewSchedule(const QString& wanted, const QList<CourseId>& courses)
{
    Transaction all(m_db);
    const QString name = unusedScheduleName(wanted);
    const ScheduleId id = addSchedule(name);
    if (m_db.execute(sql::copyCourses(copiedColumns(), numbers(courses), id.value)) != courses.size())
        throw Failure(courseGone());
    all.commit();
    return {id, name};
}

} // namespace quorvane
