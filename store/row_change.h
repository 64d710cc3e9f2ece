#pragma once

#include "base/failure.h"

#include <QByteArray>
#include <QList>
#include <QVector>
#include <optional>

struct sqlite3_session;

namespace quorvane {

class Connection;

// What one command changed in the two tables, as the engine records it: every
// row inserted, updated or deleted, with its id and its values before and
// after, byte for byte. It can be taken back and made again, exactly, with the
// same ids, through statements of its own.
class RowChange
{
public:
    bool isEmpty() const { return m_forward.isEmpty(); }
    // The schedules it is about, in the order the change met them: those whose
    // row changed, then those whose courses were added or deleted.
    QList<qint64> schedules() const;
    // Each in one transaction. When any column of a row the change touched is
    // no longer as the change left it (undo) or as the undo left it (redo),
    // or a row it deleted is back, nothing is changed and ChangedMeanwhile is
    // raised.
    void undo(Connection& db);
    void redo(Connection& db);

private:
    friend class ChangeRecorder;
    // A row of tblSchedules or tblCourse, by its id.
    struct Row
    {
        bool isCourse = false;
        qint64 id = 0;
    };
    // Every column of a row, its type and bytes; none when the row is not there.
    using RowState = std::optional<QByteArray>;

    static QVector<Row> touchedRows(const QByteArray& change);
    QVector<RowState> read(Connection& db) const;
    // Replays `change` over rows found as `expected`; `left` becomes what it left.
    void replay(Connection& db, const QByteArray& change, const QVector<RowState>& expected,
                QVector<RowState>& left) const;

    QByteArray m_forward;
    QByteArray m_backward;
    QVector<Row> m_rows;             // every row the change touched
    QVector<RowState> m_afterChange; // as the command or the last redo left them
    QVector<RowState> m_afterUndo;   // as the last undo left them
};

// Rows changed by someone else (another copy of the program, a restore) stand
// in the way of an undo or a redo.
class ChangedMeanwhile : public Failure
{
public:
    using Failure::Failure;
};

// Records what the program changes through one connection from its
// construction until finish(): the net change, so a write rolled back leaves
// nothing. Changes made by other connections are not recorded. A connection
// that is not open records nothing.
class ChangeRecorder
{
public:
    explicit ChangeRecorder(Connection& db);
    ~ChangeRecorder();
    ChangeRecorder(const ChangeRecorder&) = delete;
    ChangeRecorder& operator=(const ChangeRecorder&) = delete;

    RowChange finish();

private:
    Connection& m_db;
    sqlite3_session* m_session = nullptr;
};

} // namespace quorvane
