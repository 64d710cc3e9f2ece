#pragma once

#include <QString>
#include <QStringList>

#include <sqlite3.h>

namespace quorvane {

// One engine connection of its own, apart from the program's connection (a
// copy, a read on a thread of its own), closed on every way out. Another
// program's lock is waited for as the program's connection waits.
class Engine
{
public:
    Engine(const QString& path, int flags);
    ~Engine();
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;
    sqlite3* get() const { return m_db; }

    // The engine's words for the failure `result`.
    QString message(int result) const;

    // The first column of each row of `statement`, as text.
    QStringList column(const char* statement) const;
    QStringList column(const QString& statement) const { return column(statement.toUtf8().constData()); }
    // Runs statements, one after another.
    void execute(const QString& statements) const;

private:
    sqlite3* m_db = nullptr;
};

} // namespace quorvane
