#include "tests/support/statement_log.h"

#include "store/connection.h"

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QVariant>
#include <dlfcn.h>

namespace quorvane::testing {

namespace {

constexpr unsigned kTraceStatement = 0x01; // SQLITE_TRACE_STMT
using TraceCallback = int (*)(unsigned, void*, void*, void*);
using TraceV2 = int (*)(void*, unsigned, TraceCallback, void*);

// sqlite3_trace_v2 of the engine library the driver plugin has loaded.
TraceV2 traceFunction()
{
    void* library = dlopen("libsqlite3.so.0", RTLD_NOW | RTLD_NOLOAD);
    if (!library)
        return nullptr;
    auto* function = reinterpret_cast<TraceV2>(dlsym(library, "sqlite3_trace_v2"));
    dlclose(library);
    return function;
}

} // namespace

StatementLog::StatementLog(const Connection& connection)
{
    const QVariant handle = QSqlDatabase::database(connection.connectionName(), false).driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return;
    void* db = *static_cast<void* const*>(handle.data());
    const TraceV2 trace = traceFunction();
    if (!db || !trace)
        return;
    if (trace(db, kTraceStatement, &StatementLog::onTrace, this) == 0)
        m_handle = db;
}

StatementLog::~StatementLog()
{
    if (m_handle)
        if (const TraceV2 trace = traceFunction())
            trace(m_handle, 0, nullptr, nullptr);
}

int StatementLog::onTrace(unsigned type, void* context, void*, void* text)
{
    // For a statement the text is the statement as prepared; a trigger's
    // lines arrive starting with "--" and are left out.
    if (type == kTraceStatement && text) {
        const QString statement = QString::fromUtf8(static_cast<const char*>(text));
        if (!statement.startsWith(QLatin1String("--")))
            static_cast<StatementLog*>(context)->m_statements.append(statement);
    }
    return 0;
}

QStringList StatementLog::writes() const
{
    QStringList result;
    for (const QString& statement : m_statements) {
        const QString head = statement.left(7).toLower();
        if (head.startsWith(QLatin1String("insert")) || head.startsWith(QLatin1String("update")) ||
            head.startsWith(QLatin1String("delete")))
            result.append(statement);
    }
    return result;
}

} // namespace quorvane::testing
