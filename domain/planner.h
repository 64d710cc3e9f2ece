#pragma once

#include "domain/plan_pool.h"

#include <QString>
#include <QStringList>
#include <array>
#include <atomic>
#include <functional>
#include <optional>
#include <vector>

// Planning a term: every clash-free choice of one option per course of a
// pool, under the student's filters, ranked by the criteria the student
// chose. One implementation for the window, the command line and the tests.
namespace quorvane {

// What a student may want of a week, each a cost, lower being better.
enum class Criterion {
    Days,  // weekdays with a meeting
    Idle,  // per day, last end minus first start minus the time in class, added over the week
    Early, // time in class before 10:00 AM
    Late,  // time in class after 4:00 PM
    Lunch, // class days without 30 free minutes between 11:00 AM and 1:30 PM
};
constexpr int kCriteria = 5;

// "days", "idle", "early", "late", "lunch".
QString criterionName(Criterion criterion);
std::optional<Criterion> criterionNamed(const QString& name);
// days, idle, early.
std::vector<Criterion> defaultRank();

// A plan's costs, indexed by Criterion: days as a count of days, idle, early
// and late in seconds, lunch as a count of days.
using PlanCosts = std::array<qint64, kCriteria>;

// The costs of the meetings of a plan (no two of which clash).
PlanCosts planCosts(const std::vector<Meeting>& meetings);
// A cost as shown: days and lunch days as counts, the others in whole minutes.
qint64 shownCost(const PlanCosts& costs, Criterion criterion);

// The hard filters. Courses are those of the pool, by index.
struct PlanFilters
{
    std::array<bool, 7> freeDays{}; // weekdays kept free
    std::optional<int> notBefore;   // no meeting starting before this time (seconds)
    std::optional<int> notAfter;    // none ending after this time
    std::vector<Meeting> busy;      // none clashing with these
    QString busyName;               // the schedule they come from, for the explanation
    std::vector<int> pinned;        // per course, its only option, or -1 (shorter: none pinned)
    std::vector<bool> leftOut;      // per course (shorter: the rest included)
};

// How far a search has gone, told now and then from the searching thread.
struct PlanProgress
{
    double done = 0; // an estimate from 0 to 1 of the share of the search behind it
    quint64 steps = 0;
    std::size_t plansFound = 0;
};

struct PlanRequest
{
    PlanFilters filters;
    std::vector<Criterion> rank = defaultRank(); // the criteria in the student's order
    int top = 10;                                // how many of the best plans
    // The steps the plans are counted in, each plan among them weighed; when
    // they run out, the count is a lower bound and the best are searched for
    // without counting.
    quint64 countingSteps = quint64(1) << 18;
    // Set from another thread to stop; the plans found so far are kept.
    const std::atomic<bool>* stop = nullptr;
    std::function<void(const PlanProgress&)> progress;
};

struct Plan
{
    std::vector<int> options; // per course of the pool, its option, or -1 when left out
    std::vector<qint64> ids;  // the rows of every chosen option, ascending
    PlanCosts costs{};
};

// The filters, as the explanation of an impossible pool counts them.
enum class PlanFilter { FreeDays, NotBefore, NotAfter, Busy, Pinned };

// Why no plan exists: a smallest set of included courses that cannot be taken
// together under the filters (leaving out any one of them makes a plan
// possible).
struct NoPlan
{
    std::vector<int> courses;                         // of the pool, in pool order
    std::optional<Meeting> collision;                 // where their options collide most: a weekday and a span
    std::vector<std::pair<PlanFilter, int>> ruledOut; // for each filter set, the options of those courses it rules out
    QString reason;                                   // all of it in words
};

struct PlanResult
{
    std::vector<Plan> plans; // best first
    // The search ran to its end: the plans are the best there are, and the
    // explanation of a pool without plans names a smallest set of courses.
    bool complete = true;
    // The ways of taking one option of every included course, filters and
    // clashes aside, in decimal digits: it may exceed 64 bits.
    QString combinations;
    quint64 clashFree = 0;            // the plans that pass the filters
    bool clashFreeExact = true;       // else a lower bound: the counting stopped
    std::optional<NoPlan> impossible; // when there is no plan, for certain
};

// The `top` best plans in the order of the request's criteria, each only
// breaking ties of those before, then of the ascending lists of row ids.
PlanResult findPlans(const PlanPool& pool, const PlanRequest& request);

// "9:00 AM", "12:05 PM" (seconds shown only when there are some).
QString clockText(int seconds);
// "Monday" .. "Sunday".
QString weekdayName(int day);
// "9:00–9:50 AM", "11:30 AM–1:00 PM": the designator once when both share it.
QString spanText(int start, int end);
// The meetings of an option as a student reads them, those at the same
// times together: "Mon Wed 9:00–9:50 AM, Fri 2:00–3:50 PM".
QString meetingsText(const std::vector<Meeting>& meetings);

// "1 course", "4 courses".
QString countedText(quint64 n, const QString& one, const QString& many);
// The summary of a search: "Fall choices: 4 courses, 24 combinations, 13
// clash-free plans." ("at least 13 …" when the counting stopped, "no
// clash-free plan" when there is none).
QString planSummary(const QString& pool, int courses, const PlanResult& result);
// The schedule a kept plan becomes: "<pool> plan N".
QString keptPlanName(const QString& pool, int rank);

} // namespace quorvane
