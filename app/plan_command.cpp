// `quorvane --plan`: the best plans of a pool of sections, without a window.
#include "app/plan_command.h"

#include "base/failure.h"
#include "domain/plan_pool.h"
#include "domain/planner.h"
#include "store/connection.h"
#include "store/course_copy.h"
#include "store/course_row.h"
#include "store/database_location.h"
#include "store/schema.h"
#include "store/statements.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>

namespace quorvane {

namespace {

// The id of the first schedule in list order named exactly `name`.
std::optional<QString> scheduleNamed(const Connection& db, const QString& name)
{
    Recordset rs;
    rs.open(sql::selectSchedules(), db);
    const int id = rs.eof() ? 0 : rs.column(QStringLiteral("id"));
    const int description = rs.eof() ? 0 : rs.column(QStringLiteral("Description"));
    for (; !rs.eof(); rs.moveNext())
        if (rs.text(description) == name)
            return rs.text(id);
    return std::nullopt;
}

int secondsOf(const QTime& time)
{
    return time.msecsSinceStartOfDay() / 1000;
}

// The rows of a schedule as the planner takes them: the times as typed,
// ExactFrom and ExactTo, where the table has them and they are set, else
// TimeFrom and TimeTo. A start that carries a calendar date lies on no
// weekday; an end that does lies after every time of the day.
std::vector<PlanRow> readPlanRows(const Connection& db, const QString& scheduleId)
{
    using Column = CourseRowReader::Column;
    Recordset rs;
    rs.open(sql::selectCoursesOfSchedule(scheduleId), db);
    CourseRowReader reader(rs);
    std::optional<int> exactFrom;
    std::optional<int> exactTo;
    if (!rs.eof()) {
        try {
            exactFrom = rs.column(QStringLiteral("ExactFrom"));
            exactTo = rs.column(QStringLiteral("ExactTo"));
        } catch (const Failure&) {
            exactFrom.reset(); // an older database: the grid's times are the only ones
            exactTo.reset();
        }
    }
    const auto timeOf = [&](const std::optional<int>& exact, Column column) {
        QByteArrayView field = exact ? rs.bytes(*exact) : QByteArrayView();
        QString name = column == Column::TimeFrom ? QStringLiteral("ExactFrom") : QStringLiteral("ExactTo");
        if (field.isEmpty()) {
            field = reader.bytes(column);
            name = column == Column::TimeFrom ? QStringLiteral("TimeFrom") : QStringLiteral("TimeTo");
        }
        const std::optional<timeofday::StoredTime> time = storedTime(field);
        if (!time)
            throw Failure(
                QStringLiteral("Type mismatch: '%1' to '%2' is not a time of day").arg(textFromEngine(field), name));
        return *time;
    };
    std::vector<PlanRow> rows;
    for (; !rs.eof(); rs.moveNext()) {
        PlanRow row;
        row.id = reader.integer(Column::Id);
        row.name = reader.text(Column::CourseName);
        row.notes = reader.text(Column::Notes);
        const timeofday::StoredTime from = timeOf(exactFrom, Column::TimeFrom);
        const timeofday::StoredTime to = timeOf(exactTo, Column::TimeTo);
        if (!from.dated) {
            const WeekDays days = reader.days();
            std::copy(days.begin(), days.end(), row.days.begin());
        }
        row.start = secondsOf(from.time);
        row.end = to.dated ? 24 * 3600 : secondsOf(to.time);
        rows.push_back(row);
    }
    return rows;
}

QString jsonText(const QString& text)
{
    const QByteArray array = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(array.mid(1, array.size() - 2));
}

QString jsonNames(const QStringList& names)
{
    QStringList texts;
    for (const QString& name : names)
        texts << jsonText(name);
    return QLatin1Char('[') + texts.join(QLatin1Char(',')) + QLatin1Char(']');
}

QString counted(quint64 n, const QString& one, const QString& many)
{
    return QStringLiteral("%1 %2").arg(n).arg(n == 1 ? one : many);
}

const Criterion kShownCriteria[] = {Criterion::Days, Criterion::Idle, Criterion::Early, Criterion::Late,
                                    Criterion::Lunch};

// One plan as a line: its costs, then its rows.
QString planLine(int rank, const Plan& plan)
{
    QStringList costs;
    for (Criterion c : kShownCriteria)
        costs << QStringLiteral("%1 %2").arg(criterionName(c)).arg(shownCost(plan.costs, c));
    QStringList ids;
    for (qint64 id : plan.ids)
        ids << QString::number(id);
    return QStringLiteral("%1. %2: rows %3\n")
        .arg(rank)
        .arg(costs.join(QStringLiteral(", ")), ids.join(QStringLiteral(", ")));
}

QString planJson(int rank, const Plan& plan)
{
    QStringList ids;
    for (qint64 id : plan.ids)
        ids << QString::number(id);
    QString json = QStringLiteral("{\"rank\":%1,\"ids\":[%2]").arg(rank).arg(ids.join(QLatin1Char(',')));
    for (Criterion c : kShownCriteria)
        json += QStringLiteral(",\"%1\":%2").arg(criterionName(c)).arg(shownCost(plan.costs, c));
    return json + QLatin1Char('}');
}

} // namespace

CommandOutcome runPlan(const CommandLine& line, const QString& programFolder)
{
    const PlanArguments& args = line.plan;
    const DatabaseLocation location = locateDatabase(programFolder, MakeUserDatabase::Never);
    if (!location.failure.isEmpty())
        return commandFailure(location.failure);
    const QString database = location.file();
    if (!QFileInfo(database).isFile())
        return commandFailure(database + QStringLiteral(" not found"));
    try {
        Connection db;
        db.open(database);
        requireTimetableTables(db);
        const std::optional<QString> poolId = scheduleNamed(db, args.pool);
        if (!poolId)
            return commandFailure(QStringLiteral("no schedule is named \"%1\"").arg(args.pool));
        const PlanPool pool = makePlanPool(readPlanRows(db, *poolId));

        PlanRequest request;
        PlanFilters& filters = request.filters;
        filters.freeDays = args.freeDays;
        if (args.after)
            filters.notBefore = secondsOf(*args.after);
        if (args.before)
            filters.notAfter = secondsOf(*args.before);
        if (args.busy) {
            const std::optional<QString> busyId = scheduleNamed(db, *args.busy);
            if (!busyId)
                return commandFailure(QStringLiteral("no schedule is named \"%1\"").arg(*args.busy));
            for (const PlanRow& row : readPlanRows(db, *busyId))
                for (const Meeting& meeting : meetingsOf(row))
                    filters.busy.push_back(meeting);
            filters.busyName = *args.busy;
        }
        filters.pinned.assign(pool.courses.size(), -1);
        filters.leftOut.assign(pool.courses.size(), false);
        const auto courseIn = [&](const QString& name) {
            const std::optional<int> course = courseNamed(pool, name);
            if (!course)
                throw Failure(QStringLiteral("no course of \"%1\" is named \"%2\"").arg(args.pool, name));
            return static_cast<size_t>(*course);
        };
        for (const auto& [name, id] : args.pins) {
            const size_t course = courseIn(name);
            const std::optional<int> option = optionWithRow(pool.courses[course], id);
            if (!option)
                return commandFailure(QStringLiteral("no option of \"%1\" holds row %2").arg(name).arg(id));
            filters.pinned[course] = *option;
        }
        for (const QString& name : args.without)
            filters.leftOut[courseIn(name)] = true;
        request.rank = args.rank;
        request.top = std::max(args.top, args.keep.value_or(0));

        QStringList courses;
        for (size_t c = 0; c < pool.courses.size(); ++c)
            if (!filters.leftOut[c])
                courses << pool.courses[c].name;
        if (courses.isEmpty())
            return commandFailure(QStringLiteral("\"%1\" has no course to plan").arg(args.pool));
        const PlanResult result = findPlans(pool, request);
        const size_t shown = std::min(result.plans.size(), static_cast<size_t>(args.top));
        QString output;
        if (args.json) {
            output = QStringLiteral("{\"schedule\":%1,\"courses\":%2,\"combinations\":%3,\"%4\":%5,\"plans\":[")
                         .arg(jsonText(args.pool), jsonNames(courses), result.combinations,
                              result.clashFreeExact ? QStringLiteral("clashFree") : QStringLiteral("clashFreeAtLeast"),
                              QString::number(result.clashFree));
            for (size_t i = 0; i < shown; ++i)
                output += (i ? QStringLiteral(",") : QString()) + planJson(int(i) + 1, result.plans[i]);
            output += QLatin1Char(']');
            if (result.impossible) {
                QStringList names;
                for (int c : result.impossible->courses)
                    names << pool.courses[static_cast<size_t>(c)].name;
                output += QStringLiteral(",\"impossible\":{\"courses\":%1,\"reason\":%2}")
                              .arg(jsonNames(names), jsonText(result.impossible->reason));
            }
        } else {
            for (size_t i = 0; i < shown; ++i)
                output += planLine(int(i) + 1, result.plans[i]);
            const QString plans = result.clashFree == 0
                                      ? QStringLiteral("no clash-free plan")
                                      : (result.clashFreeExact ? QString() : QStringLiteral("at least ")) +
                                            counted(result.clashFree, QStringLiteral("clash-free plan"),
                                                    QStringLiteral("clash-free plans"));
            output += QStringLiteral("%1: %2, %3 %4, %5.\n")
                          .arg(args.pool,
                               counted(quint64(courses.size()), QStringLiteral("course"), QStringLiteral("courses")),
                               result.combinations,
                               result.combinations == QLatin1String("1") ? QStringLiteral("combination")
                                                                         : QStringLiteral("combinations"),
                               plans);
        }
        const auto finished = [&](const QString& more = QString()) {
            return args.json ? output + more + QStringLiteral("}\n") : output + more;
        };
        if (result.plans.empty())
            return {1, finished(),
                    QStringLiteral("quorvane: ") + (result.impossible
                                                        ? result.impossible->reason
                                                        : QStringLiteral("the search for a plan was stopped"))};
        if (!args.keep)
            return {0, finished(), QString()};
        const size_t kept = static_cast<size_t>(*args.keep);
        if (kept > result.plans.size())
            return commandFailure(QStringLiteral("there is no plan %1: %2")
                                      .arg(kept)
                                      .arg(counted(result.plans.size(), QStringLiteral("plan was found"),
                                                   QStringLiteral("plans were found"))),
                                  finished());
        const std::vector<qint64>& ids = result.plans[kept - 1].ids;
        const StoredSchedule stored = storeCoursesAsSchedule(db, QStringLiteral("%1 plan %2").arg(args.pool).arg(kept),
                                                             QList<qint64>(ids.begin(), ids.end()));
        return {0,
                finished(args.json
                             ? QStringLiteral(",\"kept\":%1").arg(jsonText(stored.name))
                             : QStringLiteral("Plan %1 kept as the schedule \"%2\".\n").arg(kept).arg(stored.name)),
                QString()};
    } catch (const std::exception& e) {
        return commandFailure(describe(e).simplified());
    }
}

} // namespace quorvane
