#pragma once

// The planner's search, inside the domain layer: findPlans (planner.h) is
// its only user.

#include "domain/planner.h"

#include <QtGlobal>
#include <array>
#include <vector>

namespace quorvane::planning {

using Word = quint64;

// Why an option is out before the search begins, as bits.
enum Rule : unsigned {
    RuleFreeDays = 1,
    RuleNotBefore = 2,
    RuleNotAfter = 4,
    RuleBusy = 8,
    RulePinned = 16,
    RuleSelfClash = 32, // two of its own meetings clash
};

struct Interval
{
    int start = 0;
    int end = 0;
};

// One day's idle time and whether it lacks a lunch break, from its
// meetings sorted by start.
struct DayCost
{
    qint64 idle = 0;
    bool noLunch = false;
};
DayCost dayCost(const Interval* begin, const Interval* end);

// The words of a course's options in a bit set of options, and the bits of
// the first and the last of them that are its own.
struct Span
{
    int firstWord;
    int lastWord;
    Word firstMask;
    Word lastMask;
};

// The included courses and their options, numbered from 0 across all
// courses (the options of a course are consecutive), with the clashes
// between options of different courses as bit sets.
struct Problem
{
    int courses = 0;
    int options = 0;
    int words = 0;               // per bit set of options
    std::vector<int> poolCourse; // per course
    std::vector<int> first;      // per course, and one past the last
    std::vector<Span> spans;     // per course
    std::vector<int> poolOption; // per option
    std::vector<int> courseOf;   // per option
    std::vector<unsigned> rules; // per option: the Rule bits that rule it out
    std::vector<Word> clash;     // per option, `words` words
    std::vector<Word> open;      // the options no rule rules out
    // Per course y and course z (y * courses + z): how many options of y the
    // option of z that clashes with the most of them clashes with.
    std::vector<quint16> mostClashing;
    std::vector<int> meetingsFrom; // per option, and one past the last
    std::vector<Meeting> meetings; // of each option by day and start
    std::vector<quint8> dayMask;   // per option, bit d for weekday d
    std::vector<quint8> lunchKill; // per option: the days its own meetings leave without lunch
    std::vector<qint64> minutes;   // per option, seconds in class
    std::vector<qint64> early;     // per option, seconds
    std::vector<qint64> late;
    std::vector<const std::vector<qint64>*> ids; // per option, the pool's
};

Problem makeProblem(const PlanPool& pool, const PlanFilters& filters);

// Sets of courses of a problem, as the search's explanations of failures;
// with more than 64 courses every such set is all of them.
using Courses = quint64;
constexpr Courses kAllCourses = ~Courses(0);

// A plan as the search found it.
struct Found
{
    std::vector<qint64> key; // the costs in the order of the criteria
    std::vector<qint64> ids; // ascending
    std::vector<int> chosen; // per course, its option
    PlanCosts costs{};
};
bool operator<(const Found& a, const Found& b);

class Search
{
public:
    Search(const Problem& problem, const PlanRequest& request);

    // A plan of the courses in `active` exists (lastFound()). When none does,
    // `core` holds courses of `active` that cannot be taken together (all of
    // `active` when that cannot be told). False, `core` untouched, when the
    // search was stopped.
    bool find(const std::vector<bool>& active, std::vector<bool>* core);
    // The best `top` plans of all courses (fills plans()); seeded with those
    // already found.
    void best();
    // Counts the plans of all courses, visiting at most `budget` steps, and
    // keeps the best `top` of them (plans()): when `exact`, those are the best.
    quint64 enumerate(quint64 budget, bool* exact);

    bool stopped() const { return m_stopped; }
    // The options of the plan find() found last, per course (-1: not active).
    const std::vector<int>& lastFound() const { return m_lastFound; }
    const std::vector<Found>& plans() const { return m_plans; }
    quint64 steps() const { return m_steps; }

    // Shares of the progress each search reports: from `from` to `to`.
    void setProgressSpan(double from, double to);

private:
    enum class Goal { Find, Best, Count, Enumerate };

    // Sets up a search of the courses in `active`: every option that no rule
    // rules out, narrowed as far as propagation goes. Not 0: the reason none
    // of them can be taken.
    Courses start(const std::vector<bool>& active);
    template <Goal goal>
    Courses descend(int depth);
    bool checkIn(int depth);
    void reportProgress(int depth);

    int countOf(int course, const Word* alive) const;
    // The options left after choosing `option` of `course`, into `next`:
    // those that clash with it go, then those propagate() takes out. A course
    // left without any gives its explanation, else 0.
    Courses narrow(int course, int option, const Word* alive, Word* next, int depth);
    void undoNarrow(int depth);
    // Takes out the options that clash with every option left of a course
    // in the queue, until none does; a course left without any gives its
    // explanation, else 0. `skip` is a course just chosen.
    Courses propagate(Word* alive, int skip);
    // The courses not yet chosen need more time in class than all their
    // options left cover together: their explanation, else 0.
    Courses energy(const Word* alive, int skip);

    void addCosts(int option);
    void removeCosts(int option);
    void touchDay(int day);
    PlanCosts totals() const;
    // No plan below the current choices comes before `worst`.
    bool cannotBeat(const Word* alive, const Found& worst);
    qint64 lowerBound(Criterion criterion, const Word* alive) const;
    void offer();

    const Problem& m_p;
    const PlanRequest& m_request;
    std::vector<Criterion> m_rank;
    bool m_wide = false; // more than 64 courses: explanations are all of them

    std::vector<Word> m_alive; // per depth, `words` words
    std::vector<int> m_chosen; // per course, the option, or -1
    std::vector<char> m_active;
    std::vector<Courses> m_past; // per course: the courses whose choice or lack of options narrowed it
    std::vector<std::vector<Courses>> m_savedPast; // per depth: m_past before the choice there
    std::vector<int> m_queue;                      // courses whose options went, to propagate
    std::vector<bool> m_queued;
    std::vector<Word> m_support;
    std::array<std::vector<Interval>, 7> m_union;
    std::vector<quint64> m_weight;                            // per course: the failures it took part in, and 1
    std::vector<std::vector<std::pair<qint64, int>>> m_order; // per depth: the options in the order tried

    // The chosen options' meetings by day, and their costs.
    std::array<std::vector<Interval>, 7> m_day;
    std::array<DayCost, 7> m_dayCost{};
    unsigned m_usedDays = 0;
    unsigned m_noLunchDays = 0;
    qint64 m_idle = 0;
    qint64 m_early = 0;
    qint64 m_late = 0;

    std::vector<Found> m_plans;
    std::vector<qint64> m_idsBelow;
    std::vector<int> m_lastFound;
    quint64 m_count = 0;
    quint64 m_budget = 0;
    bool m_found = false;
    bool m_stopped = false;
    bool m_outOfBudget = false;
    quint64 m_steps = 0;
    std::vector<std::pair<int, int>> m_branch; // per depth: the value tried and the values there
    double m_progressFrom = 0;
    double m_progressTo = 1;
};

} // namespace quorvane::planning
