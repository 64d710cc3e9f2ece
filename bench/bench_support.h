#pragma once
// Shared by the benchmarks: databases of a given size, the runs of a figure
// and the report line.

#include "store/schema.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>
#include <algorithm>
#include <cstdio>
#include <stdexcept>
#include <vector>

namespace quorvane::bench {

inline double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}
// Every figure is the median of this many runs, taken in turn with the runs of
// its baseline, so that a busy moment of the machine hurts both alike.
constexpr int kRuns = 11;

// The runs of one figure.
class Runs
{
public:
    void add(double value) { m_values.push_back(value); }
    double median() const { return bench::median(m_values); }
    double min() const { return m_values.empty() ? 0 : *std::min_element(m_values.begin(), m_values.end()); }
    double max() const { return m_values.empty() ? 0 : *std::max_element(m_values.begin(), m_values.end()); }
    std::size_t size() const { return m_values.size(); }

private:
    std::vector<double> m_values;
};

// "figure  median (min - max) | baseline  median (min - max) | ratio of the
// medians | aim".
inline void report(const char* figure, const Runs& value, const char* baselineName, const Runs& baseline,
                   const char* unit, const char* aim)
{
    std::printf("%-46s %9.2f (%8.2f - %8.2f) %-3s | %-26s %9.2f (%8.2f - %8.2f) | ratio %6.2f | aim %s\n", figure,
                value.median(), value.min(), value.max(), unit, baselineName, baseline.median(), baseline.min(),
                baseline.max(), baseline.median() > 0 ? value.median() / baseline.median() : 0.0, aim);
    std::fflush(stdout);
}

// Runs statements on a database file inside one transaction.
inline void runStatements(const QString& path, const QStringList& statements)
{
    const QString name = QUuid::createUuid().toString();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        if (!db.open())
            throw std::runtime_error(db.lastError().text().toStdString());
        db.transaction();
        for (const QString& statement : statements) {
            QSqlQuery query(db);
            if (!query.exec(statement))
                throw std::runtime_error((statement + QStringLiteral(": ") + query.lastError().text()).toStdString());
        }
        db.commit();
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

// `schedules` schedules and `courses` courses dealt round them in turn, so the
// first schedule holds courses / schedules of them. Times in both stored forms,
// on and off the half hour, and day sets of one to three days.
inline void fillDatabase(const QString& path, int schedules, int courses)
{
    const auto upTo = [](int count) {
        return QStringLiteral("with recursive n(i) as (select 1 union all select i + 1 from n where i < ") +
               QString::number(count) + QStringLiteral(") ");
    };
    // h: the start hour, m: the start minute (every 50th course off the half hour).
    const QString course = QStringLiteral(R"(
        insert into tblCourse (ScheduleID,CourseName,Notes,Days,TimeFrom,TimeTo)
        select 1 + (i - 1) % SCHEDULES, 'Course ' || i, 'Room ' || (i % 97),
               case i % 4 when 0 then '0,3,4' when 1 then '1,2,5' when 2 then '6' else '0,2' end,
               case i % 2 when 0 then printf('%02d:%02d', h, m)
                          else printf('%d:%02d:00 %s', (h + 11) % 12 + 1, m, case when h < 12 then 'AM' else 'PM' end)
               end,
               printf('%02d:%02d', h + 1 + i % 3, m)
        from (select i, 6 + i % 14 as h, case when i % 50 = 0 then 45 else 30 * (i / 7 % 2) end as m from n))");
    runStatements(
        path,
        {upTo(schedules) + QStringLiteral("insert into tblSchedules (Description) select 'Schedule ' || i from n"),
         upTo(courses) + QString(course).replace(QStringLiteral("SCHEDULES"), QString::number(schedules))});
}

} // namespace quorvane::bench
