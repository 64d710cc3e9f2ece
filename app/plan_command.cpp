// `quorvane --plan`: the best plans of a pool of sections, without a window.
#include "app/plan_command.h"

#include "base/failure.h"
#include "domain/plan_pool.h"
#include "domain/planner.h"
#include "domain/repository.h"
#include "store/connection.h"
#include "store/database_location.h"
#include "store/schema.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace quorvane {

namespace {

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
    const ExistingDatabase database = existingDatabase(programFolder, MakeUserDatabase::Never);
    if (!database.failure.isEmpty())
        return commandFailure(database.failure);
    try {
        Connection db;
        db.open(database.path);
        requireTimetableTables(db);
        Repository repository(db);
        const std::optional<Schedule> poolSchedule = repository.findSchedule(args.pool);
        if (!poolSchedule)
            return commandFailure(QStringLiteral("no schedule is named \"%1\"").arg(args.pool));
        const PlanPool pool = makePlanPool(planRows(repository.courses(poolSchedule->id)));

        PlanRequest request;
        PlanFilters& filters = request.filters;
        filters.freeDays = args.freeDays;
        if (args.after)
            filters.notBefore = secondsOf(*args.after);
        if (args.before)
            filters.notAfter = secondsOf(*args.before);
        if (args.busy) {
            const std::optional<Schedule> busy = repository.findSchedule(*args.busy);
            if (!busy)
                return commandFailure(QStringLiteral("no schedule is named \"%1\"").arg(*args.busy));
            filters.busy = busyMeetings(repository.courses(busy->id));
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
            output += planSummary(args.pool, int(courses.size()), result) + QLatin1Char('\n');
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
                                      .arg(countedText(result.plans.size(), QStringLiteral("plan was found"),
                                                       QStringLiteral("plans were found"))),
                                  finished());
        const std::vector<qint64>& ids = result.plans[kept - 1].ids;
        QList<CourseId> rows;
        for (qint64 id : ids)
            rows << CourseId(id);
        const Schedule stored = repository.copyIntoNewSchedule(keptPlanName(args.pool, int(kept)), rows);
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
