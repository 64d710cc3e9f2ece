#pragma once

#include "base/failure.h"

#include <QByteArray>
#include <QList>

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
    // Each in one transaction. When a row the change touched is no longer as
    // the change left it (undo) or found it (redo), nothing is changed and
    // ChangedMeanwhile is raised.
    void undo(Connection& db) const;
    void redo(Connection& db) const;

private:
    friend class ChangeRecorder;
    QByteArray m_forward;
    QByteArray m_backward;
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
    sqlite3_session* m_session = nullptr;
};

} // namespace quorvane
