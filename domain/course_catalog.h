#pragma once

#include "domain/ids.h"

#include <QString>
#include <QStringList>
#include <QVector>
#include <optional>

namespace quorvane {

class Connection;
class CoursePositions;

// The courses of every schedule as the Edit and Delete Course dialogs list
// them (statement 3: id order), read a few rows at a time. A position in that
// list is the number of ids before the course's own.
class CourseCatalog
{
public:
    // Rows in id order: ids, and names as shown (their beginning).
    struct Rows
    {
        QVector<qint64> ids;
        QStringList names;
    };

    explicit CourseCatalog(const Connection& db) : m_db(db) {}

    qint64 count() const;
    // Up to `rows` rows: from position `offset` (counted from the last one
    // down when `fromLast`), from position `offset` after course `milestone`,
    // after course `id`, or before it.
    Rows at(int offset, int rows, bool fromLast) const;
    Rows from(qint64 milestone, qint64 offset, int rows) const;
    Rows after(qint64 id, int rows) const;
    Rows before(qint64 id, int rows) const;
    // The name of a course as stored, whole; nothing when it is gone.
    std::optional<QString> name(CourseId course) const;
    // The position of a course, counted from the nearer end of the ids, or
    // from the milestones of `positions` while they are current.
    qint64 position(CourseId course, qint64 count, const CoursePositions* positions) const;
    // The lowest id of a course named `name` (an empty name also matches a
    // course without one), of `schedule` when one is given.
    std::optional<CourseId> firstNamed(const QString& name, std::optional<ScheduleId> schedule) const;
    // The first course from `id` up (or below it) whose shown name begins
    // with `prefix`.
    std::optional<CourseId> firstStarting(const QString& prefix, Qt::CaseSensitivity cs, qint64 id, bool below) const;

private:
    Rows read(const QString& statement, int rows, bool downwards) const;

    const Connection& m_db;
};

} // namespace quorvane
