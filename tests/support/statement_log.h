#pragma once

#include <QString>
#include <QStringList>

namespace quorvane {
class Connection;
}

namespace quorvane::testing {

// Records the text of every statement the engine runs on one open
// connection, exactly as the program sent it, while the log exists.
// available() is false when the engine offers no tracing; tests then skip.
// The log must end before the connection closes.
class StatementLog
{
public:
    explicit StatementLog(const Connection& connection);
    ~StatementLog();
    StatementLog(const StatementLog&) = delete;
    StatementLog& operator=(const StatementLog&) = delete;

    bool available() const { return m_handle != nullptr; }
    // Every statement so far, selects included.
    const QStringList& all() const { return m_statements; }
    // The statements that change data: insert, update, delete.
    QStringList writes() const;
    void clear() { m_statements.clear(); }

private:
    static int onTrace(unsigned type, void* context, void* statement, void* text);

    void* m_handle = nullptr;
    QStringList m_statements;
};

} // namespace quorvane::testing
