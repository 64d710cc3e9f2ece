#include "store/connection.h"

#include "store/failure.h"

#include <QAtomicInt>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlRecord>
#include <QUrl>

namespace quorvane {

namespace {

// How long a statement waits for another program's lock before it fails.
constexpr int kBusyTimeoutMs = 2000;

QString engineMessage(const QSqlError& error)
{
    // The engine's own words ("database is locked", "no such table: x");
    // the driver's summary only when the engine said nothing.
    QString text = error.databaseText();
    if (text.isEmpty())
        text = error.driverText();
    if (text.isEmpty())
        text = error.text();
    if (text.isEmpty())
        text = QStringLiteral("Unknown database error");
    return text;
}

QSqlDatabase database(const QString& name)
{
    return QSqlDatabase::database(name, false);
}

} // namespace

Connection::Connection()
{
    static QAtomicInt counter;
    m_name = QStringLiteral("ScheduleDb-%1").arg(counter.fetchAndAddRelaxed(1));
}

Connection::~Connection()
{
    close();
    if (QSqlDatabase::contains(m_name))
        QSqlDatabase::removeDatabase(m_name);
}

void Connection::open(const QString& path)
{
    close();
    if (!QSqlDatabase::contains(m_name))
        QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
    QSqlDatabase db = database(m_name);
    // mode=rw: the engine must not create a missing file, the program only
    // ever works on the delivered one.
    QUrl url = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
    url.setQuery(QStringLiteral("mode=rw"));
    db.setDatabaseName(url.toString(QUrl::FullyEncoded));
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=%1").arg(kBusyTimeoutMs));
    if (!db.open())
        throw Failure(engineMessage(db.lastError()));
    m_open = true;
}

void Connection::close()
{
    if (!QSqlDatabase::contains(m_name))
        return;
    QSqlDatabase db = database(m_name);
    if (db.isOpen())
        db.close();
    m_open = false;
}

bool Connection::isOpen() const
{
    return m_open && QSqlDatabase::contains(m_name) && database(m_name).isOpen();
}

int Connection::execute(const QString& statement)
{
    if (!isOpen())
        throw Failure(QStringLiteral("Operation is not allowed when the object is closed."));
    QSqlQuery query(database(m_name));
    if (!query.exec(statement))
        throw Failure(engineMessage(query.lastError()));
    return query.numRowsAffected();
}

Transaction::Transaction(Connection& db) : m_db(db)
{
    m_db.execute(QStringLiteral("BEGIN IMMEDIATE"));
}

Transaction::~Transaction()
{
    if (!m_open)
        return;
    try {
        m_db.execute(QStringLiteral("ROLLBACK"));
    } catch (const Failure&) {
        // The engine has rolled back by itself (a closed connection, a full disk).
    }
}

void Transaction::commit()
{
    m_db.execute(QStringLiteral("COMMIT"));
    m_open = false;
}

Recordset::~Recordset()
{
    close();
}

void Recordset::open(const QString& statement, const Connection& connection)
{
    close();
    if (!connection.isOpen())
        throw Failure(QStringLiteral("Operation is not allowed when the object is closed."));
    auto query = std::make_unique<QSqlQuery>(QSqlDatabase::database(connection.connectionName(), false));
    query->setForwardOnly(true);
    if (!query->exec(statement))
        throw Failure(engineMessage(query->lastError()));
    m_columns = query->record();
    m_query = std::move(query);
    m_atEnd = true;
    moveNext();
}

bool Recordset::eof() const
{
    if (!m_query)
        throw Failure(QStringLiteral("Operation is not allowed when the object is closed."));
    return m_atEnd;
}

void Recordset::checkRow() const
{
    if (!m_query)
        throw Failure(QStringLiteral("Operation is not allowed when the object is closed."));
    if (m_atEnd)
        throw Failure(QStringLiteral("Either BOF or EOF is True, or the current record has been deleted."));
}

int Recordset::column(const QString& name) const
{
    checkRow();
    const int index = m_columns.indexOf(name);
    if (index < 0)
        throw Failure(QStringLiteral("Item cannot be found in the collection corresponding to the requested "
                                     "name or ordinal: %1")
                          .arg(name));
    return index;
}

QVariant Recordset::field(int column) const
{
    checkRow();
    return m_query->value(column);
}

QString Recordset::text(int column) const
{
    const QVariant value = field(column);
    return value.isNull() ? QString() : value.toString();
}

QVariant Recordset::field(const QString& name) const
{
    return field(column(name));
}

QString Recordset::text(const QString& name) const
{
    return text(column(name));
}

void Recordset::moveNext()
{
    if (!m_query)
        throw Failure(QStringLiteral("Operation is not allowed when the object is closed."));
    if (m_query->next()) {
        m_atEnd = false;
        return;
    }
    m_atEnd = true;
    // A walk that ends on an engine error (a corrupt page, a lock) is a
    // failure, not the end of the rows.
    if (m_query->lastError().isValid())
        throw Failure(engineMessage(m_query->lastError()));
}

void Recordset::close()
{
    m_query.reset();
    m_columns.clear();
    m_atEnd = true;
}

} // namespace quorvane
