#include "store/engine.h"

#include "base/failure.h"
#include "store/connection.h"

#include <QFile>
#include <QScopeGuard>

namespace quorvane {

Engine::Engine(const QString& path, int flags)
{
    const int result = sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db, flags, nullptr);
    if (result != SQLITE_OK) {
        const QString text = message(result);
        sqlite3_close_v2(m_db);
        throw Failure(text);
    }
    sqlite3_busy_timeout(m_db, kBusyTimeoutMs);
    // As the program's connection: PRAGMA trusted_schema=OFF.
    sqlite3_db_config(m_db, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
}

Engine::~Engine()
{
    sqlite3_close_v2(m_db);
}

QString Engine::message(int result) const
{
    const char* text = m_db ? sqlite3_errmsg(m_db) : nullptr;
    return QString::fromUtf8(text ? text : sqlite3_errstr(result));
}

QStringList Engine::column(const char* statement) const
{
    sqlite3_stmt* s = nullptr;
    int result = sqlite3_prepare_v2(m_db, statement, -1, &s, nullptr);
    const auto finish = qScopeGuard([&] { sqlite3_finalize(s); });
    if (result != SQLITE_OK)
        throw Failure(message(result));
    QStringList values;
    while ((result = sqlite3_step(s)) == SQLITE_ROW)
        values << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, 0)));
    if (result != SQLITE_DONE)
        throw Failure(message(result));
    return values;
}

void Engine::execute(const QString& statements) const
{
    char* error = nullptr;
    const int result = sqlite3_exec(m_db, statements.toUtf8().constData(), nullptr, nullptr, &error);
    const auto freeError = qScopeGuard([&] { sqlite3_free(error); });
    if (result != SQLITE_OK)
        throw Failure(error ? QString::fromUtf8(error) : message(result));
}

} // namespace quorvane
