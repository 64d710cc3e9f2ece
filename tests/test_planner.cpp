// The planning of a term against a brute-force enumeration of every choice
// of options, over small random pools (seeded: the same pools at every run).
#include "domain/planner.h"

#include <QtTest>
#include <algorithm>
#include <map>
#include <random>

using namespace quorvane;

namespace {

constexpr int kHour = 3600;

// The same order from the same seed with any standard library.
template <class Items>
void shuffle(Items& items, std::mt19937& random)
{
    for (size_t i = items.size(); i > 1; --i)
        std::swap(items[i - 1], items[random() % i]);
}

PlanRow row(qint64 id, const QString& name, const QString& notes, std::vector<int> days, int start, int end)
{
    PlanRow r{id, name, notes, {}, start, end};
    for (int d : days)
        r.days[static_cast<size_t>(d)] = true;
    return r;
}

// A small pool: up to five courses of up to four options, some of two rows
// (a lecture and a lab with the same notes), on any weekday, on and off the
// five minutes, back to back now and then.
std::vector<PlanRow> randomRows(std::mt19937& random, int courses)
{
    const auto below = [&](int n) { return int(random() % unsigned(n)); };
    std::vector<PlanRow> rows;
    qint64 id = 1;
    for (int c = 0; c < courses; ++c) {
        const QString name = QStringLiteral("C%1").arg(c + 1);
        const int options = 1 + below(4);
        for (int o = 0; o < options; ++o) {
            const int parts = below(3) == 0 ? 2 : 1;
            const QString notes = parts == 2 ? QStringLiteral("Section %1").arg(o) : QString();
            for (int p = 0; p < parts; ++p) {
                std::vector<int> days;
                for (int d = 0; d < 7; ++d)
                    if (below(d < 5 ? 3 : 8) == 0)
                        days.push_back(d);
                const int start = 8 * kHour + (below(4) ? 1800 * below(20) : 60 * below(600));
                const int length = below(5) ? 1800 * (1 + below(4)) : 60 * (20 + below(100));
                rows.push_back(row(id, name, notes, days, start, start + length));
                id += 1 + below(3);
            }
        }
    }
    shuffle(rows, random);
    return rows;
}

// The rules, written out plainly.
struct Costs
{
    std::array<qint64, kCriteria> value{}; // seconds, days as counts
};

Costs costsOf(const std::vector<Meeting>& meetings)
{
    Costs costs;
    for (int d = 0; d < 7; ++d) {
        std::vector<Meeting> day;
        for (const Meeting& m : meetings)
            if (m.day == d)
                day.push_back(m);
        if (day.empty())
            continue;
        costs.value[0] += 1;
        int first = INT_MAX;
        int last = INT_MIN;
        qint64 inClass = 0;
        for (const Meeting& m : day) {
            first = std::min(first, m.start);
            last = std::max(last, m.end);
            inClass += m.end - m.start;
        }
        costs.value[1] += last - first - inClass;
        // A lunch break: 30 minutes from 11:00 AM, or from the end of a class,
        // to 1:30 PM at the latest, that no class overlaps.
        std::vector<int> starts{11 * kHour};
        for (const Meeting& m : day)
            starts.push_back(m.end);
        bool lunch = false;
        for (int t : starts) {
            if (t < 11 * kHour || t + 1800 > 13 * kHour + 1800)
                continue;
            lunch = lunch || std::none_of(day.begin(), day.end(),
                                          [&](const Meeting& m) { return m.start < t + 1800 && t < m.end; });
        }
        costs.value[4] += !lunch;
    }
    for (const Meeting& m : meetings) {
        costs.value[2] += std::max(0, std::min(m.end, 10 * kHour) - m.start);
        costs.value[3] += std::max(0, m.end - std::max(m.start, 16 * kHour));
    }
    return costs;
}

struct Brute
{
    std::vector<int> options;
    std::vector<qint64> ids;
    Costs costs;
};

bool ruledOut(const PlanOption& option, int course, int index, const PlanFilters& f)
{
    if (course < int(f.pinned.size()) && f.pinned[static_cast<size_t>(course)] >= 0 &&
        f.pinned[static_cast<size_t>(course)] != index)
        return true;
    for (const Meeting& m : option.meetings) {
        if (f.freeDays[static_cast<size_t>(m.day)] || (f.notBefore && m.start < *f.notBefore) ||
            (f.notAfter && m.end > *f.notAfter))
            return true;
        for (const Meeting& b : f.busy)
            if (clash(m, b))
                return true;
    }
    return false;
}

// Every plan, in the order of the request.
std::vector<Brute> bruteForce(const PlanPool& pool, const PlanRequest& request)
{
    const PlanFilters& f = request.filters;
    std::vector<Brute> plans;
    std::vector<int> choice(pool.courses.size(), -1);
    std::function<void(size_t)> walk = [&](size_t c) {
        if (c == pool.courses.size()) {
            Brute plan{choice, {}, {}};
            std::vector<Meeting> meetings;
            for (size_t k = 0; k < choice.size(); ++k) {
                if (choice[k] < 0)
                    continue;
                const PlanOption& o = pool.courses[k].options[static_cast<size_t>(choice[k])];
                plan.ids.insert(plan.ids.end(), o.ids.begin(), o.ids.end());
                meetings.insert(meetings.end(), o.meetings.begin(), o.meetings.end());
            }
            for (size_t i = 0; i < meetings.size(); ++i)
                for (size_t j = i + 1; j < meetings.size(); ++j)
                    if (clash(meetings[i], meetings[j]))
                        return;
            std::sort(plan.ids.begin(), plan.ids.end());
            plan.costs = costsOf(meetings);
            plans.push_back(plan);
            return;
        }
        if (c < f.leftOut.size() && f.leftOut[c]) {
            walk(c + 1);
            return;
        }
        for (size_t o = 0; o < pool.courses[c].options.size(); ++o) {
            if (ruledOut(pool.courses[c].options[o], int(c), int(o), f))
                continue;
            choice[c] = int(o);
            walk(c + 1);
            choice[c] = -1;
        }
    };
    walk(0);
    const auto key = [&](const Brute& b) {
        std::vector<qint64> k;
        for (Criterion c : request.rank)
            k.push_back(b.costs.value[static_cast<size_t>(c)]);
        return k;
    };
    std::sort(plans.begin(), plans.end(), [&](const Brute& a, const Brute& b) {
        const auto ka = key(a);
        const auto kb = key(b);
        return ka != kb ? ka < kb : a.ids < b.ids;
    });
    return plans;
}

QString describe(const std::vector<qint64>& ids, const std::array<qint64, kCriteria>& costs)
{
    QStringList parts;
    for (qint64 id : ids)
        parts << QString::number(id);
    QStringList values;
    for (qint64 v : costs)
        values << QString::number(v);
    return parts.join(QLatin1Char(',')) + QLatin1String(" / ") + values.join(QLatin1Char(' '));
}

// A request with filters drawn at random, each now and then.
PlanRequest randomRequest(std::mt19937& random, const PlanPool& pool)
{
    const auto below = [&](int n) { return int(random() % unsigned(n)); };
    PlanRequest request;
    request.top = 1 + below(6);
    std::vector<Criterion> all{Criterion::Days, Criterion::Idle, Criterion::Early, Criterion::Late, Criterion::Lunch};
    shuffle(all, random);
    all.resize(static_cast<size_t>(1 + below(kCriteria)));
    request.rank = below(3) ? all : defaultRank();
    PlanFilters& f = request.filters;
    if (below(4) == 0)
        f.freeDays[static_cast<size_t>(below(7))] = true;
    if (below(4) == 0)
        f.notBefore = 8 * kHour + 1800 * below(6);
    if (below(4) == 0)
        f.notAfter = 12 * kHour + 1800 * below(12);
    if (below(4) == 0) {
        f.busy.push_back({below(5), 9 * kHour + 60 * below(300), 0});
        f.busy.back().end = f.busy.back().start + 3600;
        f.busyName = QStringLiteral("Job");
    }
    f.pinned.assign(pool.courses.size(), -1);
    f.leftOut.assign(pool.courses.size(), false);
    for (size_t c = 0; c < pool.courses.size(); ++c) {
        if (below(8) == 0)
            f.pinned[c] = below(int(pool.courses[c].options.size()));
        else if (below(8) == 0)
            f.leftOut[c] = true;
    }
    return request;
}

} // namespace

class PlannerTest : public QObject
{
    Q_OBJECT

private slots:
    // Rows of one exact name are one course; rows of a course with the same
    // notes, not empty, one option meeting at each of their times.
    void poolGroupsRowsIntoCoursesAndOptions()
    {
        const PlanPool pool = makePlanPool({
            row(7, "Physics", "Section 2", {1, 3}, 9 * kHour, 10 * kHour),
            row(2, "Calculus", "", {0, 2, 4}, 9 * kHour, 9 * kHour + 3000),
            row(5, "Physics", "Section 2", {4}, 14 * kHour, 16 * kHour),
            row(3, "Calculus", "", {1}, 8 * kHour, 9 * kHour),
            row(4, "physics", "Section 2", {0}, 8 * kHour, 9 * kHour),
            row(6, "Physics", "Section 1", {0}, 8 * kHour, 9 * kHour),
            row(8, "Calculus", "Lab", {6}, 8 * kHour, 8 * kHour),
        });
        QStringList seen;
        for (const PlanCourse& course : pool.courses) {
            QStringList options;
            for (const PlanOption& option : course.options) {
                QStringList ids;
                for (qint64 id : option.ids)
                    ids << QString::number(id);
                QStringList meetings;
                for (const Meeting& m : option.meetings)
                    meetings << QStringLiteral("%1@%2-%3").arg(m.day).arg(m.start / 60).arg(m.end / 60);
                options << ids.join('+') + ':' + meetings.join(' ');
            }
            seen << course.name + " [" + options.join(" | ") + ']';
        }
        QCOMPARE(seen,
                 QStringList({"Calculus [2:0@540-590 2@540-590 4@540-590 | 3:1@480-540 | 8:]", "physics [4:0@480-540]",
                              "Physics [5+7:4@840-960 1@540-600 3@540-600 | 6:0@480-540]"}));
    }

    // Up to 30^16 ways: more than 64 bits hold.
    void combinationsAreCountedExactly()
    {
        std::vector<PlanRow> rows;
        for (int c = 0; c < 16; ++c)
            for (int o = 0; o < 30; ++o)
                rows.push_back(row(c * 30 + o + 1, QStringLiteral("C%1").arg(c), "", {}, 0, 0));
        PlanRequest request;
        request.top = 1;
        const PlanResult result = findPlans(makePlanPool(rows), request);
        QCOMPARE(result.combinations, "430467210000000000000000");
        QCOMPARE(result.plans.size(), size_t(1));
        QVERIFY(!result.clashFreeExact);
    }

    // The best plans in order, how many there are, under every filter,
    // against every choice tried.
    void plansMatchBruteForce_data()
    {
        QTest::addColumn<int>("seed");
        for (int seed = 1; seed <= 300; ++seed)
            QTest::newRow(qPrintable(QString::number(seed))) << seed;
    }
    void plansMatchBruteForce()
    {
        QFETCH(int, seed);
        std::mt19937 random{static_cast<unsigned>(seed)};
        const PlanPool pool = makePlanPool(randomRows(random, 1 + int(random() % 5)));
        const PlanRequest request = randomRequest(random, pool);
        const std::vector<Brute> expected = bruteForce(pool, request);
        const PlanResult result = findPlans(pool, request);

        QVERIFY(result.complete);
        QVERIFY(result.clashFreeExact);
        QCOMPARE(result.clashFree, quint64(expected.size()));
        QStringList found;
        for (const Plan& plan : result.plans) {
            found << describe(plan.ids, plan.costs);
            QCOMPARE(plan.costs, planCosts([&] {
                         std::vector<Meeting> meetings;
                         for (size_t c = 0; c < plan.options.size(); ++c)
                             if (plan.options[c] >= 0) {
                                 const auto& m = pool.courses[c].options[static_cast<size_t>(plan.options[c])].meetings;
                                 meetings.insert(meetings.end(), m.begin(), m.end());
                             }
                         return meetings;
                     }()));
        }
        QStringList wanted;
        for (size_t i = 0; i < expected.size() && i < size_t(request.top); ++i)
            wanted << describe(expected[i].ids, expected[i].costs.value);
        QCOMPARE(found, wanted);
        QCOMPARE(result.impossible.has_value(), expected.empty());

        // The same best plans when the counting stops at once and the search
        // for the best goes on without it.
        PlanRequest uncounted = request;
        uncounted.countingSteps = 1;
        const PlanResult searched = findPlans(pool, uncounted);
        found.clear();
        for (const Plan& plan : searched.plans)
            found << describe(plan.ids, plan.costs);
        QCOMPARE(found, wanted);
        QVERIFY(searched.clashFree <= expected.size());
        QVERIFY(searched.clashFree >= searched.plans.size());
        QVERIFY(searched.complete);
    }

    // A pool without plans names courses that cannot be taken together
    // under the filters, and leaving out any one of them makes a plan.
    void impossibleIsExplainedMinimally_data()
    {
        QTest::addColumn<int>("seed");
        int rows = 0;
        for (int seed = 1; rows < 80; ++seed) {
            std::mt19937 random{static_cast<unsigned>(seed)};
            const PlanPool pool = makePlanPool(randomRows(random, 3 + int(random() % 3)));
            if (bruteForce(pool, randomRequest(random, pool)).empty()) {
                QTest::newRow(qPrintable(QString::number(seed))) << seed;
                ++rows;
            }
        }
    }
    void impossibleIsExplainedMinimally()
    {
        QFETCH(int, seed);
        std::mt19937 random{static_cast<unsigned>(seed)};
        const PlanPool pool = makePlanPool(randomRows(random, 3 + int(random() % 3)));
        const PlanRequest request = randomRequest(random, pool);
        const PlanResult result = findPlans(pool, request);
        QVERIFY(result.plans.empty());
        QVERIFY(result.impossible);
        const NoPlan& why = *result.impossible;
        QVERIFY(!why.courses.empty());
        const auto only = [&](std::vector<int> courses) {
            PlanRequest narrowed = request;
            narrowed.filters.leftOut.assign(pool.courses.size(), true);
            for (int c : courses)
                narrowed.filters.leftOut[static_cast<size_t>(c)] = false;
            return narrowed;
        };
        QVERIFY(bruteForce(pool, only(why.courses)).empty());
        for (size_t i = 0; i < why.courses.size(); ++i) {
            std::vector<int> fewer = why.courses;
            fewer.erase(fewer.begin() + qsizetype(i));
            QVERIFY2(!bruteForce(pool, only(fewer)).empty(), qPrintable(why.reason));
        }
        QStringList names;
        for (int c : why.courses) {
            QVERIFY(c >= int(request.filters.leftOut.size()) || !request.filters.leftOut[static_cast<size_t>(c)]);
            names << pool.courses[static_cast<size_t>(c)].name;
        }
        QVERIFY2(why.reason.startsWith(names.size() == 1   ? names.first() + " cannot be taken: "
                                       : names.size() == 2 ? names.join(" and ") + " cannot both be taken: "
                                                           : names.mid(0, names.size() - 1).join(", ") + " and " +
                                                                 names.last() + " cannot all be taken: "),
                 qPrintable(why.reason));
        QCOMPARE(why.collision.has_value(), names.size() > 1);
        // How many options of those courses each filter rules out.
        const PlanFilters& f = request.filters;
        std::map<PlanFilter, int> counts;
        for (int c : why.courses) {
            const PlanCourse& course = pool.courses[static_cast<size_t>(c)];
            for (size_t o = 0; o < course.options.size(); ++o) {
                PlanFilters one;
                one.freeDays = f.freeDays;
                counts[PlanFilter::FreeDays] += ruledOut(course.options[o], c, int(o), one);
                one = {};
                one.notBefore = f.notBefore;
                counts[PlanFilter::NotBefore] += ruledOut(course.options[o], c, int(o), one);
                one = {};
                one.notAfter = f.notAfter;
                counts[PlanFilter::NotAfter] += ruledOut(course.options[o], c, int(o), one);
                one = {};
                one.busy = f.busy;
                counts[PlanFilter::Busy] += ruledOut(course.options[o], c, int(o), one);
                counts[PlanFilter::Pinned] +=
                    f.pinned[static_cast<size_t>(c)] >= 0 && f.pinned[static_cast<size_t>(c)] != int(o);
            }
        }
        for (const auto& [filter, n] : why.ruledOut)
            QCOMPARE(n, counts[filter]);
    }

    // Past 64 courses the search keeps no record of which courses a dead end
    // came from, and still names the smallest set.
    void manyCoursesAreExplained()
    {
        std::vector<PlanRow> rows;
        for (int c = 0; c < 70; ++c)
            rows.push_back(row(c + 1, QStringLiteral("Filler %1").arg(c), "", {0}, 6 * kHour + 600 * c,
                               6 * kHour + 600 * (c + 1)));
        for (int c = 0; c < 3; ++c)
            for (int day : {1, 2})
                rows.push_back(
                    row(100 + 2 * c + day, QStringLiteral("Seat %1").arg(c), "", {day}, 9 * kHour, 10 * kHour));
        const PlanPool pool = makePlanPool(rows);
        PlanRequest request;
        const PlanResult result = findPlans(pool, request);
        QVERIFY(result.impossible);
        QCOMPARE(result.impossible->courses, std::vector<int>({70, 71, 72}));
        request.filters.leftOut.assign(pool.courses.size(), false);
        request.filters.leftOut[71] = true;
        const PlanResult fewer = findPlans(pool, request);
        QCOMPARE(fewer.clashFree, quint64(2));
        QCOMPARE(fewer.plans.size(), size_t(2));
    }

    // The words of an explanation.
    void impossibleIsExplainedInWords()
    {
        const PlanPool pool = makePlanPool({
            row(1, "C01 Calculus", "", {0}, 9 * kHour, 9 * kHour + 3000),
            row(2, "C01 Calculus", "", {1}, 9 * kHour, 9 * kHour + 3000),
            row(3, "C02 History", "", {4}, 9 * kHour, 10 * kHour),
            row(4, "C04 Physics", "", {0}, 9 * kHour + 1800, 10 * kHour + 2700),
            row(5, "C04 Physics", "", {1}, 9 * kHour + 1800, 10 * kHour + 2700),
            row(6, "C07 Art", "", {0}, 9 * kHour + 2400, 10 * kHour + 1800),
            row(7, "C07 Art", "", {1}, 9 * kHour + 2400, 10 * kHour + 1800),
            row(8, "C07 Art", "", {4}, 8 * kHour, 9 * kHour),
            row(9, "C07 Art", "", {2}, 16 * kHour, 17 * kHour),
        });
        PlanRequest request;
        request.filters.freeDays[4] = true;
        request.filters.notAfter = 15 * kHour;
        const PlanResult result = findPlans(pool, request);
        QVERIFY(result.impossible);
        QCOMPARE(result.impossible->reason,
                 "C02 History cannot be taken: every one of its options is ruled out. Options ruled out: 1 by "
                 "keeping Friday free, 0 by ending by 3:00 PM.");
        request.filters.leftOut = {false, true};
        QCOMPARE(findPlans(pool, request).impossible->reason,
                 "C01 Calculus, C04 Physics and C07 Art cannot all be taken: every choice of their options has a "
                 "clash, most often on Monday from 9:00 AM to 10:45 AM. Options ruled out: 1 by keeping Friday "
                 "free, 1 by ending by 3:00 PM.");
    }

    // A search stopped from another thread keeps what it found, not as the
    // best for certain; the progress is told on the way.
    void stopKeepsWhatWasFound()
    {
        std::mt19937 random{7};
        std::vector<PlanRow> rows;
        for (int c = 0; c < 12; ++c)
            for (int o = 0; o < 20; ++o) {
                const int start = 8 * kHour + 300 * int(random() % 72);
                std::vector<int> days{int(random() % 5), int(random() % 5)};
                rows.push_back(row(c * 20 + o + 1, QStringLiteral("C%1").arg(c), "", days, start, start + 2700));
            }
        const PlanPool pool = makePlanPool(rows);
        std::atomic<bool> stop{false};
        std::vector<double> done;
        PlanRequest request;
        request.stop = &stop;
        request.progress = [&](const PlanProgress& progress) {
            done.push_back(progress.done);
            stop = true;
        };
        const PlanResult result = findPlans(pool, request);
        QVERIFY(!done.empty());
        QVERIFY(done.front() >= 0 && done.back() <= 1);
        QVERIFY(!result.complete);
        QVERIFY(!result.clashFreeExact);
        QVERIFY(!result.impossible);
        QVERIFY(result.clashFree >= result.plans.size());
    }

    void clockTextReadsAsTheDialogsShowTimes_data()
    {
        QTest::addColumn<int>("seconds");
        QTest::addColumn<QString>("text");
        QTest::newRow("morning") << 9 * kHour << "9:00 AM";
        QTest::newRow("noon") << 12 * kHour + 300 << "12:05 PM";
        QTest::newRow("midnight") << 0 << "12:00 AM";
        QTest::newRow("seconds") << 13 * kHour + 61 << "1:01:01 PM";
    }
    void clockTextReadsAsTheDialogsShowTimes()
    {
        QFETCH(int, seconds);
        QFETCH(QString, text);
        QCOMPARE(clockText(seconds), text);
    }
};

QTEST_GUILESS_MAIN(PlannerTest)
#include "test_planner.moc"
