// The engine's session extension does the recording and the replaying: it
// keeps the values a change met and left, and refuses to replay over rows
// that differ from them. Of an updated row it keeps only the columns the
// change changed, so every touched row is also read whole after each replay
// and compared before the next.
#define SQLITE_ENABLE_SESSION 1
#define SQLITE_ENABLE_PREUPDATE_HOOK 1
#include "store/row_change.h"

#include "store/connection.h"

#include <QScopeGuard>
#include <QtEndian>
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

QString changedMeanwhile()
{
    return QStringLiteral("The rows it touched were changed meanwhile, by another copy of the program or a restore.");
}

// Why the engine refused a replay. The replay's own rollback leaves no
// message behind ("not an error"), so the result's words stand in for it;
// a database file moved or replaced under the connection is said plainly.
QString refusal(sqlite3* db, int result)
{
    if (result == SQLITE_READONLY_DBMOVED || sqlite3_extended_errcode(db) == SQLITE_READONLY_DBMOVED)
        return QStringLiteral("The database file was moved or replaced while the window had it open; close the "
                              "window and start the program again.");
    const char* message = sqlite3_errcode(db) != SQLITE_OK ? sqlite3_errmsg(db) : nullptr;
    QString text = message ? QString::fromUtf8(message) : engineText(result);
    if (!text.endsWith(QLatin1Char('.')))
        text += QLatin1Char('.');
    return text;
}

void appendNumber(QByteArray& to, quint64 value)
{
    char bytes[sizeof value];
    qToLittleEndian(value, bytes);
    to.append(bytes, sizeof bytes);
}

// Reads rows whole, each column's type and bytes exactly.
class RowReader
{
public:
    explicit RowReader(sqlite3* db) : m_db(db) {}
    ~RowReader()
    {
        for (sqlite3_stmt* statement : m_statements)
            sqlite3_finalize(statement);
    }
    RowReader(const RowReader&) = delete;
    RowReader& operator=(const RowReader&) = delete;

    std::optional<QByteArray> read(bool isCourse, qint64 id)
    {
        sqlite3_stmt*& statement = m_statements[isCourse ? 1 : 0];
        if (!statement) {
            const char* text =
                isCourse ? "select * from tblCourse where id = ?" : "select * from tblSchedules where id = ?";
            if (sqlite3_prepare_v2(m_db, text, -1, &statement, nullptr) != SQLITE_OK)
                fail();
        }
        sqlite3_reset(statement);
        sqlite3_bind_int64(statement, 1, id);
        const int stepped = sqlite3_step(statement);
        if (stepped == SQLITE_DONE)
            return std::nullopt;
        if (stepped != SQLITE_ROW)
            fail();
        QByteArray row;
        const int columns = sqlite3_column_count(statement);
        for (int i = 0; i < columns; ++i) {
            const int type = sqlite3_column_type(statement, i);
            row.append(char(type));
            if (type == SQLITE_INTEGER) {
                appendNumber(row, quint64(sqlite3_column_int64(statement, i)));
            } else if (type == SQLITE_FLOAT) {
                const double value = sqlite3_column_double(statement, i);
                quint64 bits = 0;
                std::memcpy(&bits, &value, sizeof bits);
                appendNumber(row, bits);
            } else if (type != SQLITE_NULL) {
                const void* bytes =
                    type == SQLITE_BLOB ? sqlite3_column_blob(statement, i) : sqlite3_column_text(statement, i);
                const int size = sqlite3_column_bytes(statement, i);
                appendNumber(row, quint64(size));
                row.append(static_cast<const char*>(bytes), size);
            }
        }
        return row;
    }

private:
    [[noreturn]] void fail() const { throw Failure(QString::fromUtf8(sqlite3_errmsg(m_db))); }

    sqlite3* m_db;
    sqlite3_stmt* m_statements[2] = {nullptr, nullptr};
};

} // namespace

namespace {

// Calls visit(isSchedule, columns, value) for every row of a change, where
// value(column) is the column's value as the row was added, or as it was
// before it was changed or deleted (null when the change does not hold it).
template <class Visit>
void forEachRow(const QByteArray& change, Visit&& visit)
{
    sqlite3_changeset_iter* it = nullptr;
    if (sqlite3changeset_start(&it, int(change.size()), const_cast<char*>(change.data())) != SQLITE_OK)
        return;
    const auto finish = qScopeGuard([&] { sqlite3changeset_finalize(it); });
    while (sqlite3changeset_next(it) == SQLITE_ROW) {
        const char* table = nullptr;
        int columns = 0;
        int op = 0;
        sqlite3changeset_op(it, &table, &columns, &op, nullptr);
        const auto value = [&](int column) {
            sqlite3_value* found = nullptr;
            if (column < columns) {
                if (op == SQLITE_INSERT)
                    sqlite3changeset_new(it, column, &found);
                else
                    sqlite3changeset_old(it, column, &found);
            }
            return found;
        };
        visit(std::strcmp(table, kSchedules) == 0, value);
    }
}

} // namespace

QVector<RowChange::Row> RowChange::touchedRows(const QByteArray& change)
{
    QVector<Row> rows;
    forEachRow(change, [&](bool isSchedule, const auto& value) {
        // The id is the first column, and the key.
        if (sqlite3_value* id = value(0))
            rows.append({!isSchedule, sqlite3_value_int64(id)});
    });
    return rows;
}

QVector<RowChange::RowState> RowChange::read(Connection& db) const
{
    RowReader reader(db.handle());
    QVector<RowState> states;
    states.reserve(m_rows.size());
    for (const Row& row : m_rows)
        states.append(reader.read(row.isCourse, row.id));
    return states;
}

// Replays a change in one transaction: the schedules first, then the courses,
// since a course is refused while its schedule is missing.
void RowChange::replay(Connection& db, const QByteArray& change, const QVector<RowState>& expected,
                       QVector<RowState>& left) const
{
    Transaction transaction(db);
    if (read(db) != expected)
        throw ChangedMeanwhile(changedMeanwhile());
    for (const char* table : {kSchedules, kCourses}) {
        const int result = sqlite3changeset_apply(db.handle(), int(change.size()), const_cast<char*>(change.data()),
                                                  &onlyTable, &abortOnConflict, const_cast<char*>(table));
        if (result == SQLITE_ABORT || (result & 0xFF) == SQLITE_CONSTRAINT)
            throw ChangedMeanwhile(changedMeanwhile());
        if (result != SQLITE_OK)
            throw Failure(refusal(db.handle(), result));
    }
    QVector<RowState> now = read(db);
    transaction.commit();
    left = std::move(now);
}

QList<qint64> RowChange::schedules() const
{
    QList<qint64> fromSchedules;
    QList<qint64> fromCourses;
    forEachRow(m_forward, [&](bool isSchedule, const auto& value) {
        // The schedule's id is its first column; a course's schedule its
        // second, present whenever the course was added or deleted.
        sqlite3_value* schedule = value(isSchedule ? 0 : 1);
        if (!schedule || sqlite3_value_type(schedule) != SQLITE_INTEGER)
            return;
        QList<qint64>& to = isSchedule ? fromSchedules : fromCourses;
        const qint64 id = sqlite3_value_int64(schedule);
        if (!to.contains(id))
            to.append(id);
    });
    for (qint64 id : fromCourses)
        if (!fromSchedules.contains(id))
            fromSchedules.append(id);
    return fromSchedules;
}

void RowChange::undo(Connection& db)
{
    replay(db, m_backward, m_afterChange, m_afterUndo);
}

void RowChange::redo(Connection& db)
{
    replay(db, m_forward, m_afterUndo, m_afterChange);
}

ChangeRecorder::ChangeRecorder(Connection& db) : m_db(db)
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
    change.m_rows = RowChange::touchedRows(change.m_forward);
    try {
        // In one read transaction: the file is locked once, not once a row.
        const bool alone = sqlite3_get_autocommit(m_db.handle()) != 0;
        if (alone)
            m_db.execute(QStringLiteral("BEGIN"));
        const auto end = qScopeGuard([&] {
            if (alone)
                sqlite3_exec(m_db.handle(), "COMMIT", nullptr, nullptr, nullptr);
        });
        change.m_afterChange = change.read(m_db);
    } catch (const Failure&) {
        // Rows that cannot be read now could not be checked before an undo:
        // no step rather than one that might merge over another's change.
        return RowChange();
    }
    return change;
}

} // namespace quorvane
