#include "domain/plan_search.h"

#include <QtAlgorithms>
#include <algorithm>
#include <climits>
#include <cstdint>

namespace quorvane::planning {

namespace {

constexpr int kTenAm = 10 * 3600;
constexpr int kFourPm = 16 * 3600;
constexpr int kLunchFrom = 11 * 3600;
constexpr int kLunchTo = 13 * 3600 + 1800;
constexpr int kLunchBreak = 30 * 60;

// Without an instruction for it in the baseline of the processors the
// program is built for, the compiler's own count is a call.
inline int popcount(Word w)
{
    w = w - ((w >> 1) & 0x5555555555555555ull);
    w = (w & 0x3333333333333333ull) + ((w >> 2) & 0x3333333333333333ull);
    w = (w + (w >> 4)) & 0x0F0F0F0F0F0F0F0Full;
    return int((w * 0x0101010101010101ull) >> 56);
}

const Span& spanOf(const Problem& p, int course)
{
    return p.spans[static_cast<size_t>(course)];
}

Word maskAt(const Span& s, int word)
{
    return word == s.firstWord ? s.firstMask : word == s.lastWord ? s.lastMask : ~Word(0);
}

// Calls take(option) for each option of `course` whose bit is set in `set`.
template <class Take>
void forEachIn(const Problem& p, int course, const Word* set, Take&& take)
{
    const Span& s = spanOf(p, course);
    for (int w = s.firstWord; w <= s.lastWord; ++w) {
        Word bits = set[w] & maskAt(s, w);
        while (bits) {
            take(w * 64 + int(qCountTrailingZeroBits(bits)));
            bits &= bits - 1;
        }
    }
}

bool meetingsClash(const Meeting* a, const Meeting* aEnd, const Meeting* b, const Meeting* bEnd)
{
    for (; a != aEnd; ++a)
        for (const Meeting* m = b; m != bEnd; ++m)
            if (clash(*a, *m))
                return true;
    return false;
}

} // namespace

DayCost dayCost(const Interval* begin, const Interval* end)
{
    DayCost cost;
    if (begin == end)
        return cost;
    const int first = begin->start;
    int last = begin->end;
    qint64 inClass = 0;
    int lunchFreeFrom = kLunchFrom;
    bool lunch = false;
    for (const Interval* m = begin; m != end; ++m) {
        last = std::max(last, m->end);
        inClass += m->end - m->start;
        if (std::min(m->start, kLunchTo) - lunchFreeFrom >= kLunchBreak)
            lunch = true;
        lunchFreeFrom = std::max(lunchFreeFrom, m->end);
    }
    if (kLunchTo - lunchFreeFrom >= kLunchBreak)
        lunch = true;
    cost.idle = std::max<qint64>(0, last - first - inClass);
    cost.noLunch = !lunch;
    return cost;
}

Problem makeProblem(const PlanPool& pool, const PlanFilters& filters)
{
    Problem p;
    for (size_t c = 0; c < pool.courses.size(); ++c) {
        if (c < filters.leftOut.size() && filters.leftOut[c])
            continue;
        const int pin = c < filters.pinned.size() ? filters.pinned[c] : -1;
        p.poolCourse.push_back(int(c));
        p.first.push_back(p.options);
        const std::vector<PlanOption>& options = pool.courses[c].options;
        for (size_t o = 0; o < options.size(); ++o) {
            std::vector<Meeting> meetings = options[o].meetings;
            std::sort(meetings.begin(), meetings.end(), [](const Meeting& a, const Meeting& b) {
                return a.day != b.day ? a.day < b.day : a.start < b.start;
            });
            unsigned rules = 0;
            if (pin >= 0 && int(o) != pin)
                rules |= RulePinned;
            quint8 days = 0;
            quint8 lunchKill = 0;
            qint64 early = 0;
            qint64 late = 0;
            for (size_t i = 0; i < meetings.size(); ++i) {
                const Meeting& m = meetings[i];
                days |= quint8(1u << m.day);
                early += std::max(0, std::min(m.end, kTenAm) - m.start);
                late += std::max(0, m.end - std::max(m.start, kFourPm));
                if (filters.freeDays[static_cast<size_t>(m.day)])
                    rules |= RuleFreeDays;
                if (filters.notBefore && m.start < *filters.notBefore)
                    rules |= RuleNotBefore;
                if (filters.notAfter && m.end > *filters.notAfter)
                    rules |= RuleNotAfter;
                for (const Meeting& busy : filters.busy)
                    if (clash(m, busy))
                        rules |= RuleBusy;
                if (i + 1 < meetings.size() && meetings[i + 1].day == m.day && meetings[i + 1].start < m.end)
                    rules |= RuleSelfClash;
            }
            for (int d = 0; d < 7; ++d) {
                std::vector<Interval> day;
                for (const Meeting& m : meetings)
                    if (m.day == d)
                        day.push_back({m.start, m.end});
                if (!day.empty() && dayCost(day.data(), day.data() + day.size()).noLunch)
                    lunchKill |= quint8(1u << d);
            }
            p.poolOption.push_back(int(o));
            p.courseOf.push_back(p.courses);
            p.rules.push_back(rules);
            p.meetingsFrom.push_back(int(p.meetings.size()));
            p.meetings.insert(p.meetings.end(), meetings.begin(), meetings.end());
            p.dayMask.push_back(days);
            p.lunchKill.push_back(lunchKill);
            p.early.push_back(early);
            qint64 minutes = 0;
            for (const Meeting& m : meetings)
                minutes += m.end - m.start;
            p.minutes.push_back(minutes);
            p.late.push_back(late);
            p.ids.push_back(&options[o].ids);
            ++p.options;
        }
        ++p.courses;
    }
    p.first.push_back(p.options);
    p.meetingsFrom.push_back(int(p.meetings.size()));
    p.words = std::max(1, (p.options + 63) / 64);
    for (int c = 0; c < p.courses; ++c) {
        const int begin = p.first[static_cast<size_t>(c)];
        const int end = p.first[static_cast<size_t>(c) + 1];
        Span s{begin >> 6, (end - 1) >> 6, ~Word(0) << (begin & 63), ~Word(0) >> (63 - ((end - 1) & 63))};
        if (begin == end)
            s = {0, -1, 0, 0};
        else if (s.firstWord == s.lastWord)
            s.firstMask = s.lastMask = s.firstMask & s.lastMask;
        p.spans.push_back(s);
    }
    const size_t words = static_cast<size_t>(p.words);
    p.open.assign(words, 0);
    p.clash.assign(static_cast<size_t>(p.options) * words, 0);
    const auto set = [](Word* bits, int i) { bits[i >> 6] |= Word(1) << (i & 63); };
    for (int a = 0; a < p.options; ++a) {
        if (p.rules[static_cast<size_t>(a)] == 0)
            set(p.open.data(), a);
        const Meeting* aBegin = p.meetings.data() + p.meetingsFrom[static_cast<size_t>(a)];
        const Meeting* aEnd = p.meetings.data() + p.meetingsFrom[static_cast<size_t>(a) + 1];
        for (int b = p.first[static_cast<size_t>(p.courseOf[static_cast<size_t>(a)]) + 1]; b < p.options; ++b) {
            if (!(p.dayMask[static_cast<size_t>(a)] & p.dayMask[static_cast<size_t>(b)]))
                continue;
            const Meeting* bBegin = p.meetings.data() + p.meetingsFrom[static_cast<size_t>(b)];
            const Meeting* bEnd = p.meetings.data() + p.meetingsFrom[static_cast<size_t>(b) + 1];
            if (meetingsClash(aBegin, aEnd, bBegin, bEnd)) {
                set(p.clash.data() + static_cast<size_t>(a) * words, b);
                set(p.clash.data() + static_cast<size_t>(b) * words, a);
            }
        }
    }
    p.mostClashing.assign(static_cast<size_t>(p.courses) * static_cast<size_t>(p.courses), 0);
    for (int o = 0; o < p.options; ++o) {
        const int z = p.courseOf[static_cast<size_t>(o)];
        for (int y = 0; y < p.courses; ++y) {
            int n = 0;
            forEachIn(p, y, p.clash.data() + static_cast<size_t>(o) * words, [&](int) { ++n; });
            quint16& most =
                p.mostClashing[static_cast<size_t>(y) * static_cast<size_t>(p.courses) + static_cast<size_t>(z)];
            most = std::max(most, quint16(std::min(n, 65535)));
        }
    }
    return p;
}

bool operator<(const Found& a, const Found& b)
{
    if (a.key != b.key)
        return a.key < b.key;
    return a.ids < b.ids;
}

Search::Search(const Problem& problem, const PlanRequest& request)
    : m_p(problem), m_request(request), m_rank(request.rank), m_wide(problem.courses > 64)
{
    const size_t depths = static_cast<size_t>(problem.courses) + 1;
    m_alive.assign(depths * static_cast<size_t>(problem.words), 0);
    m_chosen.assign(static_cast<size_t>(problem.courses), -1);
    m_active.assign(static_cast<size_t>(problem.courses), true);
    m_past.assign(static_cast<size_t>(problem.courses), 0);
    m_savedPast.resize(depths);
    m_queued.assign(static_cast<size_t>(problem.courses), false);
    m_support.assign(static_cast<size_t>(problem.words), 0);
    m_weight.assign(static_cast<size_t>(problem.courses), 1);
    m_order.resize(depths);
    m_branch.assign(depths, {0, 1});
    for (std::vector<Interval>& day : m_day)
        day.reserve(static_cast<size_t>(problem.courses) * 2);
}

void Search::setProgressSpan(double from, double to)
{
    m_progressFrom = from;
    m_progressTo = to;
}

int Search::countOf(int course, const Word* alive) const
{
    const Span& s = spanOf(m_p, course);
    int n = 0;
    for (int w = s.firstWord; w <= s.lastWord; ++w)
        n += popcount(alive[w] & maskAt(s, w));
    return n;
}

Courses Search::propagate(Word* alive, int skip)
{
    // Arc consistency: an option of a course goes when some other course has
    // no option left that it does not clash with. Its reason is that other
    // course and whatever narrowed it.
    const size_t words = static_cast<size_t>(m_p.words);
    Word* supported = m_support.data();
    while (!m_queue.empty()) {
        const int y = m_queue.back();
        m_queue.pop_back();
        m_queued[static_cast<size_t>(y)] = false;
        // No option of a course clashes with more of y's options than its
        // most clashing one: while y has more left, they all have support.
        const int left = countOf(y, alive);
        const quint16* most = m_p.mostClashing.data() + static_cast<size_t>(y) * static_cast<size_t>(m_p.courses);
        bool any = false;
        for (int z = 0; z < m_p.courses && !any; ++z)
            any = z != y && z != skip && m_active[static_cast<size_t>(z)] && m_chosen[static_cast<size_t>(z)] < 0 &&
                  left <= most[z];
        if (!any)
            continue;
        // The options that clash with some option of y left.
        std::fill(supported, supported + words, 0);
        forEachIn(m_p, y, alive, [&](int o) {
            const Word* clashing = m_p.clash.data() + static_cast<size_t>(o) * words;
            for (size_t w = 0; w < words; ++w)
                supported[w] |= ~clashing[w];
        });
        for (int z = 0; z < m_p.courses; ++z) {
            if (z == y || z == skip || !m_active[static_cast<size_t>(z)] || m_chosen[static_cast<size_t>(z)] >= 0 ||
                left > most[z])
                continue;
            const Span& s = spanOf(m_p, z);
            Word gone = 0;
            Word kept = 0;
            for (int w = s.firstWord; w <= s.lastWord; ++w) {
                const Word mine = maskAt(s, w);
                const Word going = alive[w] & mine & ~supported[w];
                alive[w] &= ~going;
                gone |= going;
                kept |= alive[w] & mine;
            }
            if (!gone)
                continue;
            Courses& past = m_past[static_cast<size_t>(z)];
            past |= m_wide ? kAllCourses : m_past[static_cast<size_t>(y)] | Courses(1) << y;
            if (!kept) {
                for (int q : m_queue)
                    m_queued[static_cast<size_t>(q)] = false;
                m_queue.clear();
                m_weight[static_cast<size_t>(z)] += 1;
                m_weight[static_cast<size_t>(y)] += 1;
                return m_wide ? kAllCourses : past | Courses(1) << z;
            }
            if (!m_queued[static_cast<size_t>(z)]) {
                m_queued[static_cast<size_t>(z)] = true;
                m_queue.push_back(z);
            }
        }
    }
    return 0;
}

Courses Search::narrow(int course, int option, const Word* alive, Word* next, int depth)
{
    const Word* clashing = m_p.clash.data() + static_cast<size_t>(option) * static_cast<size_t>(m_p.words);
    for (int w = 0; w < m_p.words; ++w)
        next[w] = alive[w] & ~clashing[w];
    m_savedPast[static_cast<size_t>(depth)] = m_past;
    const Courses bit = m_wide ? kAllCourses : Courses(1) << course;
    for (int z = 0; z < m_p.courses; ++z) {
        if (z == course || !m_active[static_cast<size_t>(z)] || m_chosen[static_cast<size_t>(z)] >= 0)
            continue;
        const Span& s = spanOf(m_p, z);
        Word removed = 0;
        Word left = 0;
        for (int w = s.firstWord; w <= s.lastWord; ++w) {
            const Word mine = maskAt(s, w);
            removed |= alive[w] & clashing[w] & mine;
            left |= next[w] & mine;
        }
        if (!removed)
            continue;
        m_past[static_cast<size_t>(z)] |= bit;
        if (!left) {
            for (int q : m_queue)
                m_queued[static_cast<size_t>(q)] = false;
            m_queue.clear();
            m_weight[static_cast<size_t>(z)] += 1;
            m_weight[static_cast<size_t>(course)] += 1;
            return m_wide ? kAllCourses : m_past[static_cast<size_t>(z)] | Courses(1) << z;
        }
        m_queued[static_cast<size_t>(z)] = true;
        m_queue.push_back(z);
    }
    return propagate(next, course);
}

Courses Search::energy(const Word* alive, int skip)
{
    // The courses left need at least so much time in class; the times
    // their options left could take are all there is.
    qint64 demand = 0;
    Courses reason = 0;
    for (auto& day : m_union)
        day.clear();
    for (int z = 0; z < m_p.courses; ++z) {
        if (z == skip || !m_active[static_cast<size_t>(z)] || m_chosen[static_cast<size_t>(z)] >= 0)
            continue;
        qint64 least = LLONG_MAX;
        forEachIn(m_p, z, alive, [&](int o) {
            const size_t i = static_cast<size_t>(o);
            least = std::min(least, m_p.minutes[i]);
            for (int k = m_p.meetingsFrom[i]; k < m_p.meetingsFrom[i + 1]; ++k) {
                const Meeting& m = m_p.meetings[static_cast<size_t>(k)];
                m_union[static_cast<size_t>(m.day)].push_back({m.start, m.end});
            }
        });
        demand += least;
        reason |= m_wide ? kAllCourses : m_past[static_cast<size_t>(z)] | Courses(1) << z;
    }
    qint64 supply = 0;
    for (auto& day : m_union) {
        std::sort(day.begin(), day.end(), [](const Interval& a, const Interval& b) { return a.start < b.start; });
        int from = INT_MIN;
        int to = INT_MIN;
        for (const Interval& in : day) {
            if (in.start > to) {
                supply += to - from;
                from = in.start;
                to = in.end;
            } else {
                to = std::max(to, in.end);
            }
        }
        supply += qint64(to) - from;
    }
    return demand > supply ? reason : 0;
}

void Search::undoNarrow(int depth)
{
    m_past = m_savedPast[static_cast<size_t>(depth)];
}

void Search::touchDay(int day)
{
    const std::vector<Interval>& meetings = m_day[static_cast<size_t>(day)];
    const DayCost cost = dayCost(meetings.data(), meetings.data() + meetings.size());
    DayCost& was = m_dayCost[static_cast<size_t>(day)];
    m_idle += cost.idle - was.idle;
    was = cost;
    const unsigned bit = 1u << day;
    m_usedDays = meetings.empty() ? m_usedDays & ~bit : m_usedDays | bit;
    m_noLunchDays = cost.noLunch ? m_noLunchDays | bit : m_noLunchDays & ~bit;
}

void Search::addCosts(int option)
{
    const size_t o = static_cast<size_t>(option);
    for (int i = m_p.meetingsFrom[o]; i < m_p.meetingsFrom[o + 1]; ++i) {
        const Meeting& m = m_p.meetings[static_cast<size_t>(i)];
        std::vector<Interval>& day = m_day[static_cast<size_t>(m.day)];
        const auto at = std::upper_bound(day.begin(), day.end(), m.start,
                                         [](int start, const Interval& in) { return start < in.start; });
        day.insert(at, {m.start, m.end});
    }
    for (int d = 0; d < 7; ++d)
        if (m_p.dayMask[o] & (1u << d))
            touchDay(d);
    m_early += m_p.early[o];
    m_late += m_p.late[o];
}

void Search::removeCosts(int option)
{
    const size_t o = static_cast<size_t>(option);
    for (int i = m_p.meetingsFrom[o]; i < m_p.meetingsFrom[o + 1]; ++i) {
        const Meeting& m = m_p.meetings[static_cast<size_t>(i)];
        std::vector<Interval>& day = m_day[static_cast<size_t>(m.day)];
        for (auto at = day.begin(); at != day.end(); ++at)
            if (at->start == m.start && at->end == m.end) {
                day.erase(at);
                break;
            }
    }
    for (int d = 0; d < 7; ++d)
        if (m_p.dayMask[o] & (1u << d))
            touchDay(d);
    m_early -= m_p.early[o];
    m_late -= m_p.late[o];
}

PlanCosts Search::totals() const
{
    PlanCosts costs{};
    costs[static_cast<size_t>(Criterion::Days)] = popcount(m_usedDays);
    costs[static_cast<size_t>(Criterion::Idle)] = m_idle;
    costs[static_cast<size_t>(Criterion::Early)] = m_early;
    costs[static_cast<size_t>(Criterion::Late)] = m_late;
    costs[static_cast<size_t>(Criterion::Lunch)] = popcount(m_noLunchDays);
    return costs;
}

qint64 Search::lowerBound(Criterion criterion, const Word* alive) const
{
    // What every plan below the current choice costs at least: the costs of
    // the choices so far, plus what each course left must add whichever of
    // its options it takes (the largest of those for counts of days, which
    // several courses may share; the sum for times in class, which they
    // cannot). Idle time can shrink as classes fill the gaps, but only by what
    // the courses left can put into them.
    qint64 sum = 0;
    qint64 most = 0;
    const unsigned used = criterion == Criterion::Lunch ? m_noLunchDays : m_usedDays;
    for (int z = 0; z < m_p.courses; ++z) {
        if (!m_active[static_cast<size_t>(z)] || m_chosen[static_cast<size_t>(z)] >= 0)
            continue;
        qint64 least = LLONG_MAX;
        qint64 fill = 0;
        forEachIn(m_p, z, alive, [&](int o) {
            const size_t i = static_cast<size_t>(o);
            switch (criterion) {
            case Criterion::Days:
                least = std::min<qint64>(least, popcount(m_p.dayMask[i] & ~used));
                break;
            case Criterion::Lunch:
                least = std::min<qint64>(least, popcount(m_p.lunchKill[i] & ~used));
                break;
            case Criterion::Early:
                least = std::min(least, m_p.early[i]);
                break;
            case Criterion::Late:
                least = std::min(least, m_p.late[i]);
                break;
            case Criterion::Idle: {
                qint64 into = 0;
                for (int k = m_p.meetingsFrom[i]; k < m_p.meetingsFrom[i + 1]; ++k) {
                    const Meeting& m = m_p.meetings[static_cast<size_t>(k)];
                    const std::vector<Interval>& day = m_day[static_cast<size_t>(m.day)];
                    if (!day.empty())
                        into += std::max(0, std::min(m.end, day.back().end) - std::max(m.start, day.front().start));
                }
                fill = std::max(fill, into);
                break;
            }
            }
        });
        if (criterion == Criterion::Idle)
            sum += fill;
        else if (criterion == Criterion::Days || criterion == Criterion::Lunch)
            most = std::max(most, least);
        else
            sum += least;
    }
    switch (criterion) {
    case Criterion::Days:
        return popcount(m_usedDays) + most;
    case Criterion::Lunch:
        return popcount(m_noLunchDays) + most;
    case Criterion::Early:
        return m_early + sum;
    case Criterion::Late:
        return m_late + sum;
    case Criterion::Idle:
        return std::max<qint64>(0, m_idle - sum);
    }
    return 0;
}

bool Search::cannotBeat(const Word* alive, const Found& worst)
{
    for (size_t i = 0; i < m_rank.size(); ++i) {
        const qint64 bound = lowerBound(m_rank[i], alive);
        if (bound != worst.key[i])
            return bound > worst.key[i];
    }
    // As costly as the worst kept at best: the ids decide. Every plan below
    // takes its ids from those chosen and those of the options left, so its
    // i-th smallest id is at least the i-th smallest of all of them.
    std::vector<qint64>& ids = m_idsBelow;
    ids.clear();
    size_t shortest = 0;
    for (int z = 0; z < m_p.courses; ++z) {
        if (!m_active[static_cast<size_t>(z)])
            continue;
        const int chosen = m_chosen[static_cast<size_t>(z)];
        if (chosen >= 0) {
            const std::vector<qint64>& mine = *m_p.ids[static_cast<size_t>(chosen)];
            ids.insert(ids.end(), mine.begin(), mine.end());
            shortest += mine.size();
            continue;
        }
        size_t fewest = SIZE_MAX;
        forEachIn(m_p, z, alive, [&](int o) {
            const std::vector<qint64>& theirs = *m_p.ids[static_cast<size_t>(o)];
            ids.insert(ids.end(), theirs.begin(), theirs.end());
            fewest = std::min(fewest, theirs.size());
        });
        shortest += fewest;
    }
    std::sort(ids.begin(), ids.end());
    const std::vector<qint64>& against = worst.ids;
    for (size_t i = 0; i < ids.size() && i < shortest; ++i) {
        if (i == against.size())
            return true; // the worst is a beginning of every plan below
        if (ids[i] != against[i])
            return ids[i] > against[i];
    }
    return false;
}

void Search::offer()
{
    const PlanCosts costs = totals();
    std::vector<qint64> key;
    key.reserve(m_rank.size());
    for (Criterion c : m_rank)
        key.push_back(costs[static_cast<size_t>(c)]);
    const size_t top = static_cast<size_t>(std::max(1, m_request.top));
    if (m_plans.size() >= top && key > m_plans.back().key)
        return;
    Found plan{std::move(key), {}, m_chosen, costs};
    for (int o : m_chosen)
        plan.ids.insert(plan.ids.end(), m_p.ids[static_cast<size_t>(o)]->begin(),
                        m_p.ids[static_cast<size_t>(o)]->end());
    std::sort(plan.ids.begin(), plan.ids.end());
    if (m_plans.size() >= top && !(plan < m_plans.back()))
        return;
    const auto at = std::lower_bound(m_plans.begin(), m_plans.end(), plan);
    if (at != m_plans.end() && !(plan < *at))
        return; // found before
    m_plans.insert(at, std::move(plan));
    if (m_plans.size() > top)
        m_plans.pop_back();
}

bool Search::checkIn(int depth)
{
    if (m_request.stop && m_request.stop->load(std::memory_order_relaxed)) {
        m_stopped = true;
        return false;
    }
    if ((m_steps & 16383) == 0)
        reportProgress(depth);
    return true;
}

void Search::reportProgress(int depth)
{
    if (!m_request.progress)
        return;
    double done = 0;
    double share = 1;
    for (int i = 0; i < depth; ++i) {
        const std::pair<int, int>& branch = m_branch[static_cast<size_t>(i)];
        done += share * branch.first / branch.second;
        share /= branch.second;
    }
    PlanProgress progress;
    progress.done = m_progressFrom + (m_progressTo - m_progressFrom) * done;
    progress.steps = m_steps;
    progress.plansFound = m_plans.size();
    m_request.progress(progress);
}

template <Search::Goal goal>
Courses Search::descend(int depth)
{
    if ((++m_steps & 1023) == 0 && !checkIn(depth))
        return kAllCourses;
    if (m_budget && m_steps > m_budget) {
        m_outOfBudget = true;
        return kAllCourses;
    }
    const size_t words = static_cast<size_t>(m_p.words);
    const Word* alive = m_alive.data() + static_cast<size_t>(depth) * words;
    // The course with the fewest options left: its failures come soonest.
    // The course with the fewest options left for the failures it took part
    // in so far: its failures come soonest.
    int course = -1;
    int fewest = INT_MAX;
    quint64 weight = 1;
    int left = 0;
    int other = -1;
    for (int z = 0; z < m_p.courses; ++z) {
        if (!m_active[static_cast<size_t>(z)] || m_chosen[static_cast<size_t>(z)] >= 0)
            continue;
        ++left;
        other = z;
        const int n = countOf(z, alive);
        const quint64 w = m_weight[static_cast<size_t>(z)];
        if (course < 0 || quint64(n) * weight < quint64(fewest) * w) {
            fewest = n;
            weight = w;
            course = z;
        }
    }
    if (course < 0) {
        if (goal == Goal::Count) {
            ++m_count;
        } else if (goal == Goal::Best || goal == Goal::Enumerate) {
            m_count += goal == Goal::Enumerate;
            offer();
        } else {
            // A plan of every course is kept, to bound the search for the best.
            m_found = true;
            m_lastFound = m_chosen;
            if (std::find(m_chosen.begin(), m_chosen.end(), -1) == m_chosen.end()) {
                for (int o : m_chosen)
                    addCosts(o);
                offer();
                for (int o : m_chosen)
                    removeCosts(o);
            }
        }
        return kAllCourses;
    }
    if (left == 2 && other == course)
        for (int z = 0; z < m_p.courses; ++z)
            if (z != course && m_active[static_cast<size_t>(z)] && m_chosen[static_cast<size_t>(z)] < 0)
                other = z;
    if (goal == Goal::Count && left <= 2) {
        // The last one or two courses are counted, not walked.
        quint64 n = quint64(fewest);
        if (left == 2) {
            n = 0;
            const Span& s = spanOf(m_p, other);
            forEachIn(m_p, course, alive, [&](int o) {
                const Word* clashing = m_p.clash.data() + static_cast<size_t>(o) * words;
                for (int w = s.firstWord; w <= s.lastWord; ++w)
                    n += quint64(popcount(alive[w] & ~clashing[w] & maskAt(s, w)));
            });
        }
        m_count += n;
        return kAllCourses;
    }
    const bool full = m_plans.size() >= static_cast<size_t>(std::max(1, m_request.top));
    if (goal == Goal::Best && full && cannotBeat(alive, m_plans.back()))
        return kAllCourses;
    if (goal == Goal::Enumerate) {
        // No plan below can be among the best: they are only counted.
        if (full && cannotBeat(alive, m_plans.back()))
            return descend<Goal::Count>(depth);
        if (left == 1) {
            forEachIn(m_p, course, alive, [&](int o) {
                m_chosen[static_cast<size_t>(course)] = o;
                addCosts(o);
                ++m_count;
                offer();
                removeCosts(o);
            });
            m_chosen[static_cast<size_t>(course)] = -1;
            return kAllCourses;
        }
    }

    std::vector<std::pair<qint64, int>>& order = m_order[static_cast<size_t>(depth)];
    order.clear();
    forEachIn(m_p, course, alive, [&](int o) { order.push_back({0, o}); });
    if (goal == Goal::Best || goal == Goal::Enumerate) {
        // The cheapest first, by the first two criteria, for a good plan early.
        const Criterion first = m_rank.empty() ? Criterion::Days : m_rank.front();
        const Criterion second = m_rank.size() < 2 ? first : m_rank[1];
        for (std::pair<qint64, int>& o : order) {
            addCosts(o.second);
            const PlanCosts costs = totals();
            o.first = (costs[static_cast<size_t>(first)] << 21) + costs[static_cast<size_t>(second)];
            removeCosts(o.second);
        }
        std::stable_sort(
            order.begin(), order.end(),
            [](const std::pair<qint64, int>& a, const std::pair<qint64, int>& b) { return a.first < b.first; });
    }
    const Courses bit = m_wide ? 0 : Courses(1) << course;
    Courses conflict = 0;
    Word* next = m_alive.data() + static_cast<size_t>(depth + 1) * words;
    std::pair<int, int>& branch = m_branch[static_cast<size_t>(depth)];
    branch.second = int(order.size());
    for (size_t i = 0; i < order.size(); ++i) {
        branch.first = int(i);
        const int option = order[i].second;
        const Courses wiped = narrow(course, option, alive, next, depth);
        if (wiped) {
            undoNarrow(depth);
            conflict |= wiped & ~bit;
            continue;
        }
        m_chosen[static_cast<size_t>(course)] = option;
        if (goal == Goal::Best || goal == Goal::Enumerate)
            addCosts(option);
        const Courses below = descend<goal>(depth + 1);
        if (goal == Goal::Best || goal == Goal::Enumerate)
            removeCosts(option);
        m_chosen[static_cast<size_t>(course)] = -1;
        undoNarrow(depth);
        if (m_found || m_stopped || m_outOfBudget)
            return kAllCourses;
        // No choice of this course made the difference: none will.
        if (!m_wide && !(below & bit))
            return below;
        conflict |= below & ~bit;
    }
    return conflict | m_past[static_cast<size_t>(course)] | bit;
}

Courses Search::start(const std::vector<bool>& active)
{
    m_active.assign(active.begin(), active.end());
    m_found = false;
    m_budget = 0;
    m_outOfBudget = false;
    std::fill(m_chosen.begin(), m_chosen.end(), -1);
    std::copy(m_p.open.begin(), m_p.open.end(), m_alive.begin());
    std::fill(m_past.begin(), m_past.end(), 0);
    for (int z = 0; z < m_p.courses; ++z) {
        if (!m_active[static_cast<size_t>(z)])
            continue;
        // One course without options is reason enough, however many there are.
        if (countOf(z, m_alive.data()) == 0)
            return Courses(1) << std::min(z, 63);
        m_queued[static_cast<size_t>(z)] = true;
        m_queue.push_back(z);
    }
    const Courses wiped = propagate(m_alive.data(), -1);
    return wiped ? wiped : energy(m_alive.data(), -1);
}

bool Search::find(const std::vector<bool>& active, std::vector<bool>* core)
{
    Courses conflict = start(active);
    if (!conflict) {
        conflict = descend<Goal::Find>(0);
        if (m_found)
            return true;
        if (m_stopped)
            return false;
    }
    core->assign(active.size(), false);
    int alone = -1;
    for (size_t z = 0; z < active.size(); ++z)
        if (active[z] && countOf(int(z), m_p.open.data()) == 0 && alone < 0)
            alone = int(z);
    for (size_t z = 0; z < active.size(); ++z)
        (*core)[z] = alone >= 0 ? int(z) == alone : active[z] && (conflict == kAllCourses || (conflict >> z & 1));
    return false;
}

void Search::best()
{
    if (!start(std::vector<bool>(static_cast<size_t>(m_p.courses), true)))
        descend<Goal::Best>(0);
}

quint64 Search::enumerate(quint64 budget, bool* exact)
{
    m_count = 0;
    m_outOfBudget = false;
    if (!start(std::vector<bool>(static_cast<size_t>(m_p.courses), true))) {
        m_budget = m_steps + budget;
        descend<Goal::Enumerate>(0);
    }
    m_budget = 0;
    *exact = !m_outOfBudget && !m_stopped;
    return m_count;
}

} // namespace quorvane::planning
