// The engine's session extension does the recording and the replaying: it
// keeps the values a change met and left, and refuses to replay over rows
// that differ from them.
#define SQLITE_ENABLE_SESSION 1
#define SQLITE_ENABLE_PREUPDATE_HOOK 1
#include "store/row_change.h"

#include "store/connection.h"

#include <QScopeGuard>
#include <cstring>
#include <sqlite3.h>
#include <utility>

namespace quorvane {

namespace {

const char* const kSchedules = "tblSchedules";
const char* const kCourses = "tblCourse";

QString engineText(int code)
{
    return QString::fromUtf8(sqlite3_errstr(code));
}

// Any conflict ends the replay, which the engine then rolls back.
int abortOnConflict(void*, int, sqlite3_changeset_iter*)
{
    return SQLITE_CHANGESET_ABORT;
}

int onlyTable(void* table, const char* name)
{
    return std::strcmp(static_cast<const char*>(table), name) == 0;
}

// Replays a change in one transaction: the schedules first, then the courses,
// since a course is refused while its schedule is missing.
void apply(Connection& db, const QByteArray& change)
{
    Transaction transaction(db);
    for (const char* table : {kSchedules, kCourses}) {
        const int result = sqlite3changeset_apply(db.handle(), int(change.size()), const_cast<char*>(change.data()),
                                                  &onlyTable, &abortOnConflict, const_cast<char*>(table));
        if (result == SQLITE_ABORT || (result & 0xFF) == SQLITE_CONSTRAINT)
            throw ChangedMeanwhile(
                QStringLiteral("The rows it touched were changed meanwhile, by another copy of the program or a "
                               "restore."));
        if (result != SQLITE_OK) {
            const char* message = sqlite3_errmsg(db.handle());
            throw Failure(message ? QString::fromUtf8(message) : engineText(result));
        }
    }
    transaction.commit();
}

} // namespace

QList<qint64> RowChange::schedules() const
{
    QList<qint64> fromSchedules;
    QList<qint64> fromCourses;
    sqlite3_changeset_iter* it = nullptr;
    if (sqlite3changeset_start(&it, int(m_forward.size()), const_cast<char*>(m_forward.data())) != SQLITE_OK)
        return {};
    const auto finish = qScopeGuard([&] { sqlite3changeset_finalize(it); });
    while (sqlite3changeset_next(it) == SQLITE_ROW) {
        const char* table = nullptr;
        int columns = 0;
        int op = 0;
        sqlite3changeset_op(it, &table, &columns, &op, nullptr);
        const bool isSchedule = std::strcmp(table, kSchedules) == 0;
        // The schedule's id is its first column; a course's schedule its
        // second, present whenever the course was added or deleted.
        const int column = isSchedule ? 0 : 1;
        if (columns <= column)
            continue;
        sqlite3_value* value = nullptr;
        if (op == SQLITE_INSERT)
            sqlite3changeset_new(it, column, &value);
        else
            sqlite3changeset_old(it, column, &value);
        if (!value || sqlite3_value_type(value) != SQLITE_INTEGER)
            continue;
        QList<qint64>& to = isSchedule ? fromSchedules : fromCourses;
        const qint64 id = sqlite3_value_int64(value);
        if (!to.contains(id))
            to.append(id);
    }
    for (qint64 id : fromCourses)
        if (!fromSchedules.contains(id))
            fromSchedules.append(id);
    return fromSchedules;
}

void RowChange::undo(Connection& db) const
{
    apply(db, m_backward);
}

void RowChange::redo(Connection& db) const
{
    apply(db, m_forward);
}

ChangeRecorder::ChangeRecorder(Connection& db)
{
    if (!db.isOpen())
        return;
    sqlite3_session* session = nullptr;
    if (sqlite3session_create(db.handle(), "main", &session) != SQLITE_OK)
        return;
    if (sqlite3session_attach(session, kSchedules) != SQLITE_OK ||
        sqlite3session_attach(session, kCourses) != SQLITE_OK) {
        sqlite3session_delete(session);
        return;
    }
    m_session = session;
}

ChangeRecorder::~ChangeRecorder()
{
    if (m_session)
        sqlite3session_delete(m_session);
}

RowChange ChangeRecorder::finish()
{
    RowChange change;
    if (!m_session)
        return change;
    int size = 0;
    void* forward = nullptr;
    const int result = sqlite3session_changeset(m_session, &size, &forward);
    sqlite3session_delete(std::exchange(m_session, nullptr));
    const auto freeForward = qScopeGuard([&] { sqlite3_free(forward); });
    if (result != SQLITE_OK || size == 0)
        return change;
    int backwardSize = 0;
    void* backward = nullptr;
    if (sqlite3changeset_invert(size, forward, &backwardSize, &backward) != SQLITE_OK)
        return change;
    const auto freeBackward = qScopeGuard([&] { sqlite3_free(backward); });
    change.m_forward = QByteArray(static_cast<const char*>(forward), size);
    change.m_backward = QByteArray(static_cast<const char*>(backward), backwardSize);
    return change;
}

} // namespace quorvane
