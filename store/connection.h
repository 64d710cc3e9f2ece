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

    // Runs one statement; the number of rows it changed.
    int execute(const QString& statement);

    QString connectionName() const { return m_name; }

private:
    QString m_name;
    bool m_open = false;
};

// One transaction: what is executed between its start and commit() is kept
// wholly or not at all. It takes the write lock at once (waiting for another
// program's as a statement does) and rolls back what was not committed when
// it ends.
class Transaction
{
public:
    explicit Transaction(Connection& db);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    void commit();

private:
    Connection& m_db;
    bool m_open = true;
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
    // The position of a column, looked up once for a walk over many rows; a
    // column the result lacks raises a failure.
    int column(const QString& name) const;
    QVariant field(int column) const;
    QString text(int column) const;
    void moveNext();
    void close();

private:
    void checkRow() const;

    std::unique_ptr<QSqlQuery> m_query;
    // The column names, read once when the query opens.
    QSqlRecord m_columns;
    bool m_atEnd = true;
};

} // namespace quorvane
