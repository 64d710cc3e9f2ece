#pragma once

#include <QObject>
#include <QVector>

#include <atomic>
#include <memory>
#include <optional>

class QThread;

namespace quorvane {

class Connection;

// Where a course stands in the list of every course in id order, without a
// walk over the ids before it: every kStep-th id (the milestones), read in
// one walk on a thread and an engine connection of their own, for one state
// of the database. A position is then counted from the milestone below it,
// a walk of fewer than kStep ids. Any change since the walk, made through
// `db` or by another program, leaves the milestones unused until read again.
class CoursePositions : public QObject
{
    Q_OBJECT
public:
    static constexpr int kStep = 1024;

    explicit CoursePositions(const Connection& db, QObject* parent = nullptr);
    // Stops a walk under way and waits for it.
    ~CoursePositions() override;

    // Reads the milestones again on a thread of their own, unless they are
    // current, a walk is under way, or a transaction of `db` is open. Returns
    // at once; they are kept when the walk ends, in the event loop.
    void refresh();

    // Whether the milestones stand for the database as it is now, with
    // `courses` courses.
    bool current(qint64 courses) const;
    // The number of courses with an id below `courseId`; only while current.
    qint64 countBefore(qint64 courseId) const;
    // The milestone at or before `position`: its id and its position; only
    // while current.
    std::pair<qint64, qint64> milestoneAtOrBefore(qint64 position) const;

signals:
    // A walk has ended and its milestones are kept (for the tests).
    void refreshed();

private:
    struct State
    {
        qint64 dataVersion = -1; // changed by every commit of another connection
        qint64 changes = -1;     // rows changed through `db`
        bool operator==(const State& other) const
        {
            return dataVersion == other.dataVersion && changes == other.changes;
        }
    };
    std::optional<State> stateNow() const;

    const Connection& m_db;
    QVector<qint64> m_ids;
    qint64 m_courses = -1;
    std::optional<State> m_state;
    std::unique_ptr<QThread> m_walk;
    std::shared_ptr<std::atomic_bool> m_stop;
};

} // namespace quorvane
