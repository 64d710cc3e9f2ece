#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

struct sqlite3;
struct sqlite3_stmt;

namespace quorvane {

// How long a statement waits for another program's lock before it fails.
constexpr int kBusyTimeoutMs = 2000;

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
    // The id of the row the last insert made through this connection.
    qint64 lastInsertId() const;
    // SQLite's data_version: it changes when another connection (another
    // program, another copy of this one) commits a change to the file, never
    // for this connection's own. Asked often, it never waits: while another
    // program holds the lock it fails at once.
    qint64 dataVersion() const;

    QString connectionName() const { return m_name; }
    // The absolute path of the database file last opened.
    QString fileName() const { return m_fileName; }
    // The engine's handle of the open connection; a closed one raises a failure.
    sqlite3* handle() const;

    // Another program's lock is waited for up to two seconds per statement.
    // `notice` is told when such a wait begins (true) and ends (false).
    void setWaitNotice(std::function<void(bool waiting)> notice);
    // While on, once one wait has run out the following statements fail at
    // once instead of waiting again: a start-up waits at most once.
    void setWaitAtMostOnce(bool on);

    struct Wait; // the state of the waits, shared with the open recordsets

private:
    friend class Recordset;

    QString m_name;
    QString m_fileName;
    bool m_open = false;
    std::shared_ptr<Wait> m_wait;
};

// One transaction: what is executed between its start and commit() is kept
// wholly or not at all. It takes the write lock at once (waiting for another
// program's as a statement does) and rolls back what was not committed when
// it ends. Begun inside another one, it is a part of it (a savepoint): kept
// or rolled back on its own, kept for good only when the outer one commits.
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
    QString m_savepoint; // empty for an outermost transaction
    bool m_open = true;
};

// A read-only, forward walk over the rows a select returns: open, test eof,
// read fields, moveNext, close. It reads straight from the engine, one column
// at a time, so a walk over many rows pays only for the columns it reads;
// look a column up once with column() and read it by position.
// Text the engine keeps as UTF-8, decoded with every code point kept: a
// leading U+FEFF is part of a name, not a byte-order mark.
QString textFromEngine(QByteArrayView utf8);

class Recordset
{
public:
    Recordset() = default;
    ~Recordset();
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;

    void open(const QString& statement, const Connection& connection);
    bool isOpen() const { return m_statement != nullptr; }
    bool eof() const;
    // The position of a column; a column the result lacks raises a failure.
    int column(const QString& name) const;
    // The same, or -1 for a column the result lacks.
    int findColumn(const QString& name) const;
    // The field as text; NULL gives the empty text.
    QString text(int column) const;
    QString text(const QString& column) const;
    // The field as a whole number, as ids are stored.
    qint64 integer(int column) const;
    // The field's text as the engine keeps it, UTF-8, without a copy: valid
    // until the walk moves on. NULL gives an empty view.
    QByteArrayView bytes(int column) const;
    // Appends the field's text to `to`, without a text of its own in between:
    // a walk over many rows keeps them in one text.
    void appendText(int column, QString& to) const;
    void moveNext();
    void close();

private:
    void checkRow() const;
    void step();

    sqlite3_stmt* m_statement = nullptr;
    std::shared_ptr<Connection::Wait> m_wait;
    QStringList m_columns; // read once when the query opens
    bool m_atEnd = true;
};

} // namespace quorvane
