#pragma once

#include <QSqlQuery>
#include <QSqlRecord>
#include <QString>
#include <QVariant>
#include <memory>

namespace quorvane {

// The one open database connection of the program. Statements are sent as
// text; every failure of the engine is raised as a Failure carrying the
// engine's own message.
class Connection
{
public:
    Connection();
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Opens an existing database file; never creates one.
    void open(const QString& path);
    void close();
    bool isOpen() const;

    void execute(const QString& statement);

    QString connectionName() const { return m_name; }

private:
    QString m_name;
    bool m_open = false;
};

// A read-only, forward walk over the rows a select returns: open, test eof,
// read fields by column name, moveNext, close.
class Recordset
{
public:
    Recordset() = default;
    ~Recordset();
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;

    void open(const QString& statement, const Connection& connection);
    bool isOpen() const { return m_query != nullptr; }
    bool eof() const;
    QVariant field(const QString& column) const;
    // The field as text; NULL and a missing value give the empty text.
    QString text(const QString& column) const;
    void moveNext();
    void close();

private:
    int columnIndex(const QString& column) const;

    std::unique_ptr<QSqlQuery> m_query;
    // The column names, read once when the query opens.
    QSqlRecord m_columns;
    bool m_atEnd = true;
};

} // namespace quorvane
