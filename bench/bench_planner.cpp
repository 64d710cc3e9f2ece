// The pools the planner is measured on, and the planner measured in this
// process.
//
//   bench_planner write FOLDER   writes FOLDER/dbSchedules.mdb, holding every
//                                pool as a schedule (and "Rest", one course),
//                                and FOLDER/<pool>.lp, each pool with the
//                                planning rules as an answer-set program for
//                                clingo; prints the pools' names, one a line
//   bench_planner engine         times findPlans in this process, in
//                                processor time, on each pool and on pools
//                                as students make them (fewer courses,
//                                sections all day); BENCH_PLANNER_POOL=NAME
//                                times that pool alone
//
// The pools come from a seeded generator: the same ones at every run. Their
// courses meet two or three times a week, some as a lecture row and a lab row
// of one section (the same notes), between `from` and `to` on weekdays, at
// five-minute steps (the logic program counts time in such steps).
#include "bench/bench_support.h"
#include "domain/planner.h"

#include <QCoreApplication>
#include <QFile>
#include <QTextStream>
#include <ctime>

using namespace quorvane;

namespace {

struct Shape
{
    const char* name;
    int courses;
    int options;
    int from; // minutes from midnight
    int to;
    int meeting; // minutes of each meeting of a course meeting three times a week
    quint64 seed;
};

const Shape kShapes[] = {
    {"Crowded 12x20", 12, 20, 8 * 60, 15 * 60, 45, 1},
    {"Crowded 14x24", 14, 24, 8 * 60, 15 * 60, 45, 2},
    {"Crowded 16x30", 16, 30, 8 * 60, 15 * 60, 45, 3},
};

// Pools as students make them: fewer courses, sections all day.
const Shape kRoomyShapes[] = {
    {"Roomy 6x12", 6, 12, 8 * 60, 20 * 60, 50, 4},
    {"Roomy 8x16", 8, 16, 8 * 60, 20 * 60, 50, 5},
    {"Roomy 16x30", 16, 30, 8 * 60, 18 * 60, 40, 6},
};

// splitmix64: the same numbers on every platform, unlike the standard
// library's distributions.
class Random
{
public:
    explicit Random(quint64 seed) : m_state(seed * 0x9E3779B97F4A7C15ull) {}
    int below(int n)
    {
        m_state += 0x9E3779B97F4A7C15ull;
        quint64 z = m_state;
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return int((z ^ (z >> 31)) % quint64(n));
    }

private:
    quint64 m_state;
};

const char* const kSubjects[] = {"Calculus",   "Physics",   "Chemistry", "Biology",    "History", "Art",
                                 "Statistics", "Economics", "Writing",   "Philosophy", "Geology", "Music",
                                 "Spanish",    "Sociology", "Astronomy", "Drawing",    "Logic",   "Ethics"};

// `count` of the weekdays Monday to Friday, at random.
std::array<bool, 7> someWeekdays(Random& random, int count)
{
    std::array<bool, 7> days{};
    for (int picked = 0; picked < count;) {
        const int day = random.below(5);
        if (!days[static_cast<size_t>(day)]) {
            days[static_cast<size_t>(day)] = true;
            ++picked;
        }
    }
    return days;
}

std::vector<PlanRow> poolRows(const Shape& shape)
{
    Random random(shape.seed);
    std::vector<PlanRow> rows;
    qint64 id = 1;
    const auto row = [&](const QString& name, const QString& notes, int days, int minutes,
                         std::array<bool, 7> notOn = {}) {
        PlanRow r;
        r.id = id++;
        r.name = name;
        r.notes = notes;
        do
            r.days = someWeekdays(random, days);
        while ([&] {
            for (int d = 0; d < 7; ++d)
                if (r.days[static_cast<size_t>(d)] && notOn[static_cast<size_t>(d)])
                    return true;
            return false;
        }());
        const int starts = (shape.to - shape.from - minutes) / 5 + 1;
        r.start = (shape.from + 5 * random.below(starts)) * 60;
        r.end = r.start + minutes * 60;
        rows.push_back(r);
    };
    for (int c = 0; c < shape.courses; ++c) {
        const QString name = QStringLiteral("C%1 %2")
                                 .arg(c + 1, 2, 10, QLatin1Char('0'))
                                 .arg(QLatin1String(kSubjects[static_cast<size_t>(c) % std::size(kSubjects)]));
        for (int o = 0; o < shape.options; ++o) {
            const QString section = QStringLiteral("Section %1").arg(o + 1);
            const int meeting = shape.meeting;
            switch (c % 4) {
            case 0:
                row(name, section, 3, meeting);
                break;
            case 1:
                row(name, section, 2, meeting * 3 / 2 / 5 * 5);
                break;
            case 2:
                row(name, QString(), 2, meeting * 3 / 2 / 5 * 5);
                break;
            default: // a lecture and a lab on another day, one section
                row(name, section, 2, meeting);
                row(name, section, 1, meeting, rows.back().days);
                break;
            }
        }
    }
    return rows;
}

QString storedTime(int seconds)
{
    const int hour = seconds / 3600;
    return QStringLiteral("%1:%2:00 %3")
        .arg(hour % 12 == 0 ? 12 : hour % 12)
        .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(hour < 12 ? QStringLiteral("AM") : QStringLiteral("PM"));
}

QString daySet(const std::array<bool, 7>& days)
{
    QStringList entries;
    for (int d = 0; d < 7; ++d)
        if (days[static_cast<size_t>(d)])
            entries << QString::number(d);
    return entries.join(QLatin1Char(','));
}

// The planning rules for clingo, over the pool's options as facts: one
// option per course, no two meetings at once, and the default criteria
// (days, idle, early) in that order of priority, in minutes.
QString logicProgram(const PlanPool& pool)
{
    QString lp;
    QTextStream out(&lp);
    out << "% " << pool.courses.size() << " courses\n";
    for (size_t c = 0; c < pool.courses.size(); ++c) {
        out << "course(" << c << ").\n";
        for (size_t o = 0; o < pool.courses[c].options.size(); ++o) {
            out << "option(" << c << "," << o << ").\n";
            int early = 0;
            for (const Meeting& m : pool.courses[c].options[o].meetings) {
                out << "meet(" << c << "," << o << "," << m.day << "," << m.start / 60 << "," << m.end / 60 << ").\n";
                early += std::max(0, std::min(m.end / 60, 600) - m.start / 60);
            }
            out << "early(" << c << "," << o << "," << early << ").\n";
        }
    }
    out << R"(
% Every time of these pools is a multiple of 5 minutes: slot T is [5T, 5T+5).
cover(C,O,D,T) :- meet(C,O,D,S,E), T = S/5..E/5-1.
1 { take(C,O) : option(C,O) } 1 :- course(C).
:- take(C1,O1), take(C2,O2), C1 < C2, meet(C1,O1,D,S1,E1), meet(C2,O2,D,S2,E2), S1 < E2, S2 < E1.
busy(D,T) :- take(C,O), cover(C,O,D,T).
used(D) :- busy(D,_).
since(D,T) :- busy(D,T).
since(D,T+1) :- since(D,T), T < 287.
until(D,T) :- busy(D,T).
until(D,T-1) :- until(D,T), T > 0.
idle(D,T) :- since(D,T), until(D,T), not busy(D,T).
#minimize { 1@3,D : used(D) }.
#minimize { 5@2,D,T : idle(D,T) }.
#minimize { M@1,C : take(C,O), early(C,O,M) }.
#show take/2.
)";
    return lp;
}

int writePools(const QString& folder)
{
    const QString database = folder + QStringLiteral("/dbSchedules.mdb");
    QFile::remove(database);
    createDeliveredDatabase(database);
    QStringList statements;
    int schedule = 0;
    const auto add = [&](const QString& name, const std::vector<PlanRow>& rows) {
        ++schedule;
        statements
            << QStringLiteral("insert into tblSchedules (id, Description) values (%1, '%2')").arg(schedule).arg(name);
        for (const PlanRow& r : rows)
            statements << QStringLiteral("insert into tblCourse (ScheduleID,CourseName,Notes,Days,TimeFrom,TimeTo) "
                                         "values (%1,'%2','%3','%4','%5','%6')")
                              .arg(schedule)
                              .arg(r.name, r.notes, daySet(r.days), storedTime(r.start), storedTime(r.end));
    };
    PlanRow rest;
    rest.name = QStringLiteral("C01 Calculus");
    rest.days[0] = true;
    rest.start = 9 * 3600;
    rest.end = 10 * 3600;
    add(QStringLiteral("Rest"), {rest});
    for (const Shape& shape : kShapes) {
        const std::vector<PlanRow> rows = poolRows(shape);
        add(QLatin1String(shape.name), rows);
        QFile lp(folder + QLatin1Char('/') +
                 QString::fromLatin1(shape.name).replace(QLatin1Char(' '), QLatin1Char('_')) + QStringLiteral(".lp"));
        if (!lp.open(QIODevice::WriteOnly) || lp.write(logicProgram(makePlanPool(rows)).toUtf8()) < 0)
            throw std::runtime_error("cannot write " + lp.fileName().toStdString());
        std::printf("%s\n", shape.name);
    }
    bench::runStatements(database, statements);
    return 0;
}

int timeEngine()
{
    std::vector<Shape> shapes(std::begin(kShapes), std::end(kShapes));
    shapes.insert(shapes.end(), std::begin(kRoomyShapes), std::end(kRoomyShapes));
    const QByteArray only = qgetenv("BENCH_PLANNER_POOL");
    for (const Shape& shape : shapes) {
        if (!only.isEmpty() && only != shape.name)
            continue;
        const PlanPool pool = makePlanPool(poolRows(shape));
        for (int top : {1, 100}) {
            PlanRequest request;
            request.top = top;
            bench::Runs runs;
            PlanResult result;
            for (int run = 0; run < 3; ++run) {
                // Processor time: what the search costs, whatever else the machine runs.
                const std::clock_t start = std::clock();
                result = findPlans(pool, request);
                runs.add(double(std::clock() - start) * 1000.0 / CLOCKS_PER_SEC);
            }
            QString best = QStringLiteral("none");
            if (!result.plans.empty()) {
                const PlanCosts& costs = result.plans.front().costs;
                best = QStringLiteral("days %1 idle %2 early %3")
                           .arg(shownCost(costs, Criterion::Days))
                           .arg(shownCost(costs, Criterion::Idle))
                           .arg(shownCost(costs, Criterion::Early));
            }
            std::printf("%-14s top %3d  %9.2f ms of processor time (%8.2f - %8.2f)  %s, %s%llu plans\n", shape.name,
                        top, runs.median(), runs.min(), runs.max(), qPrintable(best),
                        result.clashFreeExact ? "" : "at least ", static_cast<unsigned long long>(result.clashFree));
            if (result.impossible)
                std::printf("    %s\n", qPrintable(result.impossible->reason));
            std::fflush(stdout);
        }
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    try {
        if (argc == 3 && QByteArray(argv[1]) == "write")
            return writePools(QString::fromLocal8Bit(argv[2]));
        if (argc == 2 && QByteArray(argv[1]) == "engine")
            return timeEngine();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_planner: %s\n", e.what());
        return 1;
    }
    std::fprintf(stderr, "usage: bench_planner write FOLDER | engine\n");
    return 2;
}
