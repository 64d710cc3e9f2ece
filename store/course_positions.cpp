#include "store/course_positions.h"

#include "base/failure.h"
#include "store/connection.h"
#include "store/engine.h"
#include "store/statements.h"

#include <QScopeGuard>
#include <QThread>

#include <algorithm>

namespace quorvane {

namespace {

// Every kStep-th id of the courses in id order, and their number, read from
// the file at `path`; nullopt when it cannot be read or `stop` was set.
std::optional<std::pair<QVector<qint64>, qint64>> walkIds(const QString& path, const std::atomic_bool& stop)
{
    try {
        const Engine engine(path, SQLITE_OPEN_READONLY);
        // One pass in order: no page is read twice, so hardly any is kept.
        sqlite3_exec(engine.get(), "PRAGMA cache_size=-64", nullptr, nullptr, nullptr);
        // Another program's lock is not waited for: the next drawing of the
        // grid asks again, and the program's end does not wait on it.
        sqlite3_busy_timeout(engine.get(), 0);
        sqlite3_stmt* s = nullptr;
        const auto finish = qScopeGuard([&] { sqlite3_finalize(s); });
        if (sqlite3_prepare_v2(engine.get(), sql::selectCourseIds().toUtf8().constData(), -1, &s, nullptr) != SQLITE_OK)
            return std::nullopt;
        QVector<qint64> ids;
        qint64 courses = 0;
        int result = SQLITE_ROW;
        while ((result = sqlite3_step(s)) == SQLITE_ROW) {
            if (courses % CoursePositions::kStep == 0) {
                if (stop)
                    return std::nullopt;
                ids.append(sqlite3_column_int64(s, 0));
            }
            ++courses;
        }
        if (result != SQLITE_DONE)
            return std::nullopt;
        return std::pair{ids, courses};
    } catch (const Failure&) {
        return std::nullopt;
    }
}

} // namespace

CoursePositions::CoursePositions(const Connection& db, QObject* parent) : QObject(parent), m_db(db) {}

CoursePositions::~CoursePositions()
{
    if (m_walk) {
        *m_stop = true;
        m_walk->wait();
    }
}

std::optional<CoursePositions::State> CoursePositions::stateNow() const
{
    if (!m_db.isOpen())
        return std::nullopt;
    try {
        return State{m_db.dataVersion(), sqlite3_total_changes64(m_db.handle())};
    } catch (const Failure&) {
        return std::nullopt;
    }
}

void CoursePositions::refresh()
{
    if (m_walk || !m_db.isOpen() || !sqlite3_get_autocommit(m_db.handle()))
        return;
    const std::optional<State> state = stateNow();
    if (!state || state == m_state)
        return;
    // The walk's own connection sees what was committed when it starts: the
    // state read now, unless a change comes first, which changes the state.
    m_stop = std::make_shared<std::atomic_bool>(false);
    auto walked = std::make_shared<std::optional<std::pair<QVector<qint64>, qint64>>>();
    m_walk.reset(QThread::create([path = m_db.fileName(), stop = m_stop, walked] { *walked = walkIds(path, *stop); }));
    connect(m_walk.get(), &QThread::finished, this, [this, walked, walkedState = *state] {
        m_walk->wait(); // finished is told just before the thread ends
        m_walk.reset();
        if (!*walked)
            return;
        m_ids = std::move((*walked)->first);
        m_courses = (*walked)->second;
        m_state = walkedState;
        emit refreshed();
        // Changed while walking: walked again for the state now.
        refresh();
    });
    m_walk->start(QThread::IdlePriority);
}

bool CoursePositions::current(qint64 courses) const
{
    return m_state && courses == m_courses && stateNow() == m_state;
}

qint64 CoursePositions::countBefore(qint64 courseId) const
{
    const auto above = std::upper_bound(m_ids.cbegin(), m_ids.cend(), courseId);
    if (above == m_ids.cbegin())
        return 0;
    const qint64 milestone = *(above - 1);
    Recordset rs;
    rs.open(sql::countCoursesBetween(milestone, courseId), m_db);
    const qint64 counted = rs.integer(0);
    rs.close();
    return qint64(above - 1 - m_ids.cbegin()) * kStep + counted;
}

std::pair<qint64, qint64> CoursePositions::milestoneAtOrBefore(qint64 position) const
{
    if (m_ids.isEmpty())
        return {0, 0};
    const qint64 k = std::clamp<qint64>(position / kStep, 0, m_ids.size() - 1);
    return {m_ids.at(k), k * kStep};
}

} // namespace quorvane
