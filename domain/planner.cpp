#include "domain/planner.h"

#include "base/time_of_day.h"
#include "domain/plan_search.h"

#include <algorithm>
#include <map>

namespace quorvane {

namespace {

using planning::Interval;

const char* const kCriterionNames[kCriteria] = {"days", "idle", "early", "late", "lunch"};

// The number of ways of taking one option of every included course, in
// decimal digits.
QString combinationsOf(const PlanPool& pool, const PlanFilters& filters)
{
    // Base 10^9 digits, least significant first.
    std::vector<quint32> digits{1};
    for (size_t c = 0; c < pool.courses.size(); ++c) {
        if (c < filters.leftOut.size() && filters.leftOut[c])
            continue;
        quint64 carry = 0;
        for (quint32& digit : digits) {
            const quint64 product = quint64(digit) * pool.courses[c].options.size() + carry;
            digit = quint32(product % 1000000000u);
            carry = product / 1000000000u;
        }
        while (carry) {
            digits.push_back(quint32(carry % 1000000000u));
            carry /= 1000000000u;
        }
    }
    while (digits.size() > 1 && digits.back() == 0)
        digits.pop_back();
    QString text = QString::number(digits.back());
    for (auto digit = digits.rbegin() + 1; digit != digits.rend(); ++digit)
        text += QStringLiteral("%1").arg(*digit, 9, 10, QLatin1Char('0'));
    return text;
}

Plan planOf(const planning::Problem& problem, const planning::Found& found, size_t poolCourses)
{
    Plan plan;
    plan.options.assign(poolCourses, -1);
    for (size_t c = 0; c < found.chosen.size(); ++c)
        plan.options[static_cast<size_t>(problem.poolCourse[c])] =
            problem.poolOption[static_cast<size_t>(found.chosen[c])];
    plan.ids = found.ids;
    plan.costs = found.costs;
    return plan;
}

// "A", "A and B", "A, B and C".
QString listed(const QStringList& items)
{
    if (items.size() < 2)
        return items.join(QString());
    return QStringList(items.mid(0, items.size() - 1)).join(QStringLiteral(", ")) + QStringLiteral(" and ") +
           items.last();
}

// Where the options of the courses collide most: the weekday and time that
// the most clashes between two of their meetings share, and the span of
// those meetings.
std::optional<Meeting> collisionOf(const planning::Problem& p, const std::vector<bool>& set)
{
    struct Overlap
    {
        Meeting both; // where the two meet at once
        Meeting span; // from the first start to the last end
    };
    std::vector<Overlap> overlaps;
    for (int a = 0; a < p.options; ++a) {
        const int courseA = p.courseOf[static_cast<size_t>(a)];
        if (!set[static_cast<size_t>(courseA)] || p.rules[static_cast<size_t>(a)])
            continue;
        for (int b = a + 1; b < p.options; ++b) {
            const int courseB = p.courseOf[static_cast<size_t>(b)];
            if (courseB == courseA || !set[static_cast<size_t>(courseB)] || p.rules[static_cast<size_t>(b)])
                continue;
            for (int i = p.meetingsFrom[static_cast<size_t>(a)]; i < p.meetingsFrom[static_cast<size_t>(a) + 1]; ++i)
                for (int j = p.meetingsFrom[static_cast<size_t>(b)]; j < p.meetingsFrom[static_cast<size_t>(b) + 1];
                     ++j) {
                    const Meeting& x = p.meetings[static_cast<size_t>(i)];
                    const Meeting& y = p.meetings[static_cast<size_t>(j)];
                    if (clash(x, y))
                        overlaps.push_back({{x.day, std::max(x.start, y.start), std::min(x.end, y.end)},
                                            {x.day, std::min(x.start, y.start), std::max(x.end, y.end)}});
                }
        }
    }
    if (overlaps.empty())
        return std::nullopt;
    // The point most overlaps hold, the earliest of them: one of their
    // starts, found by a sweep over each day's starts and ends (an end
    // before a start at the same time: the overlaps are half open).
    std::vector<std::pair<std::pair<int, int>, int>> events; // ((day, time), +1 or -1)
    events.reserve(overlaps.size() * 2);
    for (const Overlap& o : overlaps) {
        events.push_back({{o.both.day, o.both.start}, 1});
        events.push_back({{o.both.day, o.both.end}, -1});
    }
    std::sort(events.begin(), events.end());
    Meeting at{};
    int holding = 0;
    int most = 0;
    for (const auto& event : events) {
        holding += event.second;
        if (holding > most) {
            most = holding;
            at = {event.first.first, event.first.second, event.first.second};
        }
    }
    Meeting span{at.day, at.start, at.start};
    for (const Overlap& o : overlaps)
        if (o.both.day == at.day && o.both.start <= at.start && at.start < o.both.end) {
            span.start = std::min(span.start, o.span.start);
            span.end = std::max(span.end, o.span.end);
        }
    return span;
}

QString filterText(PlanFilter filter, const PlanFilters& filters)
{
    switch (filter) {
    case PlanFilter::FreeDays: {
        QStringList days;
        for (int d = 0; d < 7; ++d)
            if (filters.freeDays[static_cast<size_t>(d)])
                days << weekdayName(d);
        return QStringLiteral("by keeping %1 free").arg(listed(days));
    }
    case PlanFilter::NotBefore:
        return QStringLiteral("by starting at %1 or later").arg(clockText(filters.notBefore.value_or(0)));
    case PlanFilter::NotAfter:
        return QStringLiteral("by ending by %1").arg(clockText(filters.notAfter.value_or(0)));
    case PlanFilter::Busy:
        return QStringLiteral("by the busy times of %1").arg(filters.busyName);
    case PlanFilter::Pinned:
        return QStringLiteral("by the pinned options");
    }
    return QString();
}

// `plan` takes every course of `set` but `left`, which no plan of them all
// can add. When an option of `left` clashes with the option of one course
// alone, taking it in that course's place is a plan of every course but that
// one: that course is needed as well, and the same holds from there on.
void rotate(const planning::Problem& p, std::vector<int> plan, int left, const std::vector<bool>& set,
            std::vector<bool>& needed)
{
    const size_t words = static_cast<size_t>(p.words);
    const auto clashes = [&](int a, int b) {
        return p.clash[static_cast<size_t>(a) * words + static_cast<size_t>(b >> 6)] >> (b & 63) & 1;
    };
    for (int o = p.first[static_cast<size_t>(left)]; o < p.first[static_cast<size_t>(left) + 1]; ++o) {
        if (p.rules[static_cast<size_t>(o)])
            continue;
        int only = -1;
        int clashing = 0;
        for (int c = 0; c < p.courses && clashing < 2; ++c)
            if (c != left && set[static_cast<size_t>(c)] && clashes(o, plan[static_cast<size_t>(c)])) {
                only = c;
                ++clashing;
            }
        if (clashing != 1 || needed[static_cast<size_t>(only)])
            continue;
        needed[static_cast<size_t>(only)] = true;
        std::vector<int> turned = plan;
        turned[static_cast<size_t>(left)] = o;
        turned[static_cast<size_t>(only)] = -1;
        rotate(p, turned, only, set, needed);
    }
}

NoPlan explain(const PlanPool& pool, const PlanRequest& request, const planning::Problem& p, planning::Search& search,
               std::vector<bool> set)
{
    // Each course in turn is left out; when the rest still cannot be taken,
    // it goes, together with every course the proof did not need. When the
    // rest can be, the course is needed, and so is any other that the plan
    // found lets in its place (see rotate).
    std::vector<bool> needed(set.size(), false);
    for (int c = 0; c < p.courses; ++c) {
        if (!set[static_cast<size_t>(c)] || needed[static_cast<size_t>(c)] ||
            std::count(set.begin(), set.end(), true) < 2)
            continue;
        std::vector<bool> trial = set;
        trial[static_cast<size_t>(c)] = false;
        std::vector<bool> core;
        if (search.find(trial, &core)) {
            needed[static_cast<size_t>(c)] = true;
            rotate(p, search.lastFound(), c, set, needed);
            continue;
        }
        if (search.stopped())
            break; // the set so far cannot be taken either, if not the smallest
        set = core;
    }
    NoPlan why;
    QStringList names;
    for (int c = 0; c < p.courses; ++c)
        if (set[static_cast<size_t>(c)]) {
            why.courses.push_back(p.poolCourse[static_cast<size_t>(c)]);
            names << pool.courses[static_cast<size_t>(p.poolCourse[static_cast<size_t>(c)])].name;
        }
    const PlanFilters& filters = request.filters;
    const std::pair<PlanFilter, unsigned> rules[] = {{PlanFilter::FreeDays, planning::RuleFreeDays},
                                                     {PlanFilter::NotBefore, planning::RuleNotBefore},
                                                     {PlanFilter::NotAfter, planning::RuleNotAfter},
                                                     {PlanFilter::Busy, planning::RuleBusy},
                                                     {PlanFilter::Pinned, planning::RulePinned}};
    const bool given[] = {std::find(filters.freeDays.begin(), filters.freeDays.end(), true) != filters.freeDays.end(),
                          filters.notBefore.has_value(), filters.notAfter.has_value(), !filters.busy.empty(),
                          std::any_of(filters.pinned.begin(), filters.pinned.end(), [](int o) { return o >= 0; })};
    QStringList counts;
    for (size_t f = 0; f < std::size(rules); ++f) {
        if (!given[f])
            continue;
        int n = 0;
        for (int o = 0; o < p.options; ++o)
            n += set[static_cast<size_t>(p.courseOf[static_cast<size_t>(o)])] &&
                 (p.rules[static_cast<size_t>(o)] & rules[f].second);
        why.ruledOut.push_back({rules[f].first, n});
        counts << QStringLiteral("%1 %2").arg(n).arg(filterText(rules[f].first, filters));
    }
    int selfClashing = 0;
    for (int o = 0; o < p.options; ++o)
        selfClashing += set[static_cast<size_t>(p.courseOf[static_cast<size_t>(o)])] &&
                        (p.rules[static_cast<size_t>(o)] & planning::RuleSelfClash);
    if (selfClashing)
        counts << QStringLiteral("%1 by two of their own meetings at once").arg(selfClashing);

    if (names.size() == 1) {
        why.reason = QStringLiteral("%1 cannot be taken: every one of its options is ruled out.").arg(names.first());
    } else {
        why.collision = collisionOf(p, set);
        why.reason = QStringLiteral("%1 cannot %2 be taken: every choice of their options has a clash")
                         .arg(listed(names), names.size() == 2 ? QStringLiteral("both") : QStringLiteral("all"));
        if (why.collision)
            why.reason += QStringLiteral(", most often on %1 from %2 to %3")
                              .arg(weekdayName(why.collision->day), clockText(why.collision->start),
                                   clockText(why.collision->end));
        why.reason += QLatin1Char('.');
    }
    if (!counts.isEmpty())
        why.reason += QStringLiteral(" Options ruled out: %1.").arg(counts.join(QStringLiteral(", ")));
    return why;
}

} // namespace

QString criterionName(Criterion criterion)
{
    return QLatin1String(kCriterionNames[static_cast<size_t>(criterion)]);
}

std::optional<Criterion> criterionNamed(const QString& name)
{
    for (int c = 0; c < kCriteria; ++c)
        if (name == QLatin1String(kCriterionNames[c]))
            return Criterion(c);
    return std::nullopt;
}

std::vector<Criterion> defaultRank()
{
    return {Criterion::Days, Criterion::Idle, Criterion::Early};
}

PlanCosts planCosts(const std::vector<Meeting>& meetings)
{
    std::array<std::vector<Interval>, 7> days;
    PlanCosts costs{};
    for (const Meeting& m : meetings) {
        days[static_cast<size_t>(m.day)].push_back({m.start, m.end});
        costs[static_cast<size_t>(Criterion::Early)] += std::max(0, std::min(m.end, 10 * 3600) - m.start);
        costs[static_cast<size_t>(Criterion::Late)] += std::max(0, m.end - std::max(m.start, 16 * 3600));
    }
    for (std::vector<Interval>& day : days) {
        if (day.empty())
            continue;
        std::sort(day.begin(), day.end(), [](const Interval& a, const Interval& b) { return a.start < b.start; });
        const planning::DayCost cost = planning::dayCost(day.data(), day.data() + day.size());
        costs[static_cast<size_t>(Criterion::Days)] += 1;
        costs[static_cast<size_t>(Criterion::Idle)] += cost.idle;
        costs[static_cast<size_t>(Criterion::Lunch)] += cost.noLunch;
    }
    return costs;
}

qint64 shownCost(const PlanCosts& costs, Criterion criterion)
{
    const qint64 cost = costs[static_cast<size_t>(criterion)];
    return criterion == Criterion::Days || criterion == Criterion::Lunch ? cost : cost / 60;
}

QString clockText(int seconds)
{
    const QTime time = QTime(0, 0).addSecs(seconds); // the end of the day wraps to 12:00 AM
    return time.second() ? timeofday::formatLong(time) : timeofday::formatLabel(time);
}

QString weekdayName(int day)
{
    static const char* const names[] = {"Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday", "Sunday"};
    return QLatin1String(names[day]);
}

QString spanText(int start, int end)
{
    return timeofday::joinRange(clockText(start), clockText(end));
}

QString meetingsText(const std::vector<Meeting>& meetings)
{
    // The spans in the order of their first day, each with its days.
    std::vector<std::pair<std::pair<int, int>, std::array<bool, 7>>> spans;
    for (const Meeting& meeting : meetings) {
        const std::pair<int, int> span{meeting.start, meeting.end};
        auto found = std::find_if(spans.begin(), spans.end(), [&](const auto& s) { return s.first == span; });
        if (found == spans.end())
            found = spans.insert(spans.end(), {span, {}});
        found->second[static_cast<size_t>(meeting.day)] = true;
    }
    std::stable_sort(spans.begin(), spans.end(), [](const auto& a, const auto& b) {
        const auto first = [](const std::array<bool, 7>& days) { return std::find(days.begin(), days.end(), true); };
        return first(a.second) - a.second.begin() < first(b.second) - b.second.begin();
    });
    QStringList parts;
    for (const auto& [span, days] : spans) {
        QStringList names;
        for (int d = 0; d < 7; ++d)
            if (days[static_cast<size_t>(d)])
                names << weekdayName(d).left(3);
        parts << names.join(QLatin1Char(' ')) + QLatin1Char(' ') + spanText(span.first, span.second);
    }
    return parts.join(QStringLiteral(", "));
}

QString countedText(quint64 n, const QString& one, const QString& many)
{
    return QStringLiteral("%1 %2").arg(n).arg(n == 1 ? one : many);
}

QString planSummary(const QString& pool, int courses, const PlanResult& result)
{
    const QString plans = result.clashFree == 0 ? QStringLiteral("no clash-free plan")
                                                : (result.clashFreeExact ? QString() : QStringLiteral("at least ")) +
                                                      countedText(result.clashFree, QStringLiteral("clash-free plan"),
                                                                  QStringLiteral("clash-free plans"));
    return QStringLiteral("%1: %2, %3 %4, %5.")
        .arg(pool, countedText(quint64(courses), QStringLiteral("course"), QStringLiteral("courses")),
             result.combinations,
             result.combinations == QLatin1String("1") ? QStringLiteral("combination") : QStringLiteral("combinations"),
             plans);
}

QString keptPlanName(const QString& pool, int rank)
{
    return QStringLiteral("%1 plan %2").arg(pool).arg(rank);
}

PlanResult findPlans(const PlanPool& pool, const PlanRequest& request)
{
    PlanResult result;
    result.combinations = combinationsOf(pool, request.filters);
    const planning::Problem problem = planning::makeProblem(pool, request.filters);
    planning::Search search(problem, request);

    // Any plan first: the search for the best starts from it, and a pool
    // without one is explained instead.
    search.setProgressSpan(0, 0.1);
    std::vector<bool> core;
    const bool any = search.find(std::vector<bool>(static_cast<size_t>(problem.courses), true), &core);
    if (search.stopped()) {
        result.complete = false;
        result.clashFreeExact = false;
        return result;
    }
    if (!any) {
        search.setProgressSpan(0.1, 1);
        result.impossible = explain(pool, request, problem, search, core);
        result.complete = !search.stopped(); // else the courses named may be more than needed
        return result;
    }

    // Every plan, counted, the best kept; when there are too many to count,
    // the search for the best goes on from those found, bounded by them.
    search.setProgressSpan(0.1, 0.6);
    result.clashFree = search.enumerate(std::max<quint64>(1, request.countingSteps), &result.clashFreeExact);
    if (!result.clashFreeExact && !search.stopped()) {
        search.setProgressSpan(0.6, 1);
        search.best();
    }
    for (const planning::Found& found : search.plans())
        result.plans.push_back(planOf(problem, found, pool.courses.size()));
    result.complete = !search.stopped();
    result.clashFree = std::max<quint64>(result.clashFree, result.plans.size());
    return result;
}

} // namespace quorvane
