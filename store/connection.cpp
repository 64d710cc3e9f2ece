#include "store/connection.h"

#include "base/failure.h"

#include <QAtomicInt>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QScopedValueRollback>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QStringDecoder>
#include <QUrl>
#include <QVariant>

#include <algorithm>
#include <cstdio>
#include <sqlite3.h>
#include <utility>

namespace quorvane {

namespace {

// The engine's own words ("no such table: x"); a lock held by another
// program is said in plain words first.
QString engineMessage(sqlite3* db)
{
    const auto* units = static_cast<const char16_t*>(sqlite3_errmsg16(db));
    const QString text = units ? QString::fromUtf16(units) : QString();
    const int code = sqlite3_errcode(db) & 0xFF;
    if (code == SQLITE_BUSY || code == SQLITE_LOCKED)
        return QStringLiteral("Another program is using the database (%1).").arg(text);
    return text.isEmpty() ? QStringLiteral("Unknown database error") : text;
}

// One prepared statement, finalized on every way out unless released.
class Statement
{
public:
    Statement(sqlite3* db, const QString& text)
    {
        const int result = sqlite3_prepare16_v2(db, text.utf16(), int(text.size() * 2), &m_statement, nullptr);
        if (result != SQLITE_OK) {
            const QString message = engineMessage(db);
            sqlite3_finalize(m_statement);
            throw Failure(message);
        }
        if (!m_statement) // only blanks or a comment
            throw Failure(QStringLiteral("The statement is empty."));
    }
    ~Statement() { sqlite3_finalize(m_statement); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    sqlite3_stmt* get() const { return m_statement; }
    sqlite3_stmt* release() { return std::exchange(m_statement, nullptr); }

private:
    sqlite3_stmt* m_statement = nullptr;
};

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

struct Connection::Wait
{
    std::function<void(bool)> notice;
    bool atMostOnce = false;
    bool never = false; // for a statement asked again soon anyway
    bool ranOut = false;
    bool waiting = false;
    QElapsedTimer since;

    // The engine's busy handler: waits in short steps, up to the limit.
    static int handle(void* context, int count)
    {
        auto* wait = static_cast<Wait*>(context);
        if (wait->never)
            return 0;
        if (count == 0) {
            if (wait->atMostOnce && wait->ranOut)
                return 0;
            wait->since.start();
            wait->waiting = true;
            if (wait->notice)
                wait->notice(true);
        }
        if (wait->since.elapsed() >= kBusyTimeoutMs) {
            wait->ranOut = true;
            wait->end();
            return 0;
        }
        sqlite3_sleep(10);
        return 1;
    }

    // After a statement: a wait that ended because the lock was released.
    void end()
    {
        if (!waiting)
            return;
        waiting = false;
        if (notice)
            notice(false);
    }
};

namespace {

// Ends the wait of a statement on every way out.
struct WaitEnd
{
    Connection::Wait* wait;
    ~WaitEnd()
    {
        if (wait)
            wait->end();
    }
};

} // namespace

Connection::Connection() : m_wait(std::make_shared<Wait>())
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
    m_fileName = QFileInfo(path).absoluteFilePath();
    m_wait->ranOut = false;
    sqlite3_busy_handler(handle(), &Wait::handle, m_wait.get());
    // PRAGMA trusted_schema=OFF: the file's own triggers and views may call
    // no function with side effects, so a database from elsewhere runs
    // nothing of its own choosing.
    sqlite3_db_config(handle(), SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
    // The engine looks at the file only at the first statement; a file that
    // is not a database at all is refused here, as it is opened.
    QFile file(path);
    if (file.open(QIODevice::ReadOnly) && file.size() > 0 && !file.read(16).startsWith("SQLite format 3")) {
        close();
        throw Failure(QStringLiteral("file is not a database"));
    }
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

sqlite3* Connection::handle() const
{
    if (!isOpen())
        throw Failure(QStringLiteral("Operation is not allowed when the object is closed."));
    const QVariant handle = database(m_name).driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        throw Failure(QStringLiteral("The database driver offers no engine handle."));
    return *static_cast<sqlite3* const*>(handle.constData());
}

void Connection::setWaitNotice(std::function<void(bool)> notice)
{
    m_wait->notice = std::move(notice);
}

void Connection::setWaitAtMostOnce(bool on)
{
    m_wait->atMostOnce = on;
    m_wait->ranOut = false;
}

int Connection::execute(const QString& statement)
{
    sqlite3* db = handle();
    const WaitEnd waitEnd{m_wait.get()};
    Statement prepared(db, statement);
    int result;
    while ((result = sqlite3_step(prepared.get())) == SQLITE_ROW) {
    }
    if (result != SQLITE_DONE)
        throw Failure(engineMessage(db));
    return sqlite3_changes(db);
}

qint64 Connection::lastInsertId() const
{
    return sqlite3_last_insert_rowid(handle());
}

qint64 Connection::dataVersion() const
{
    const QScopedValueRollback<bool> noWait(m_wait->never, true);
    Recordset version;
    version.open(QStringLiteral("PRAGMA data_version"), *this);
    return version.integer(0);
}

Transaction::Transaction(Connection& db) : m_db(db)
{
    if (sqlite3_get_autocommit(m_db.handle())) {
        m_db.execute(QStringLiteral("BEGIN IMMEDIATE"));
        return;
    }
    static QAtomicInt savepoints;
    m_savepoint = QStringLiteral("part%1").arg(savepoints.fetchAndAddRelaxed(1));
    m_db.execute(QStringLiteral("SAVEPOINT ") + m_savepoint);
}

Transaction::~Transaction()
{
    if (!m_open)
        return;
    try {
        if (m_savepoint.isEmpty()) {
            m_db.execute(QStringLiteral("ROLLBACK"));
        } else {
            m_db.execute(QStringLiteral("ROLLBACK TO ") + m_savepoint);
            m_db.execute(QStringLiteral("RELEASE ") + m_savepoint);
        }
    } catch (const Failure&) {
        // The engine has rolled back by itself (a closed connection, a full disk).
    }
}

void Transaction::commit()
{
    m_db.execute(m_savepoint.isEmpty() ? QStringLiteral("COMMIT") : QStringLiteral("RELEASE ") + m_savepoint);
    m_open = false;
}

namespace {

const QStringDecoder::Flags kExactly = QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom;

} // namespace

QString textFromEngine(QByteArrayView utf8)
{
    return QStringDecoder(QStringDecoder::Utf8, kExactly).decode(utf8);
}

Recordset::~Recordset()
{
    close();
}

void Recordset::open(const QString& statement, const Connection& connection)
{
    close();
    sqlite3* db = connection.handle();
    const WaitEnd waitEnd{connection.m_wait.get()};
    Statement prepared(db, statement);
    const int columns = sqlite3_column_count(prepared.get());
    QStringList names;
    for (int i = 0; i < columns; ++i)
        names << QString::fromUtf8(sqlite3_column_name(prepared.get(), i));
    m_statement = prepared.release();
    m_wait = connection.m_wait;
    m_columns = names;
    step();
}

bool Recordset::eof() const
{
    if (!m_statement)
        throw Failure(QStringLiteral("Operation is not allowed when the object is closed."));
    return m_atEnd;
}

void Recordset::checkRow() const
{
    if (!m_statement)
        throw Failure(QStringLiteral("Operation is not allowed when the object is closed."));
    if (m_atEnd)
        throw Failure(QStringLiteral("Either BOF or EOF is True, or the current record has been deleted."));
}

int Recordset::findColumn(const QString& name) const
{
    return int(m_columns.indexOf(name));
}

int Recordset::column(const QString& name) const
{
    checkRow();
    const int index = int(m_columns.indexOf(name));
    if (index < 0)
        throw Failure(QStringLiteral("Item cannot be found in the collection corresponding to the requested "
                                     "name or ordinal: %1")
                          .arg(name));
    return index;
}

QString Recordset::text(int column) const
{
    // The engine keeps text as UTF-8: read it so, without a conversion of its own.
    const QByteArrayView utf8 = bytes(column);
    return utf8.isNull() ? QString() : textFromEngine(utf8);
}

QByteArrayView Recordset::bytes(int column) const
{
    checkRow();
    const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(m_statement, column));
    return bytes ? QByteArrayView(bytes, sqlite3_column_bytes(m_statement, column)) : QByteArrayView();
}

void Recordset::appendText(int column, QString& to) const
{
    checkRow();
    // A whole number (an id) is written here rather than made text by the engine.
    if (sqlite3_column_type(m_statement, column) == SQLITE_INTEGER) {
        char digits[24];
        const int length = std::snprintf(digits, sizeof digits, "%lld", sqlite3_column_int64(m_statement, column));
        to.append(QLatin1StringView(digits, length));
        return;
    }
    const QByteArrayView utf8 = bytes(column);
    if (std::all_of(utf8.begin(), utf8.end(), [](char c) { return uchar(c) < 0x80; })) {
        to.append(QLatin1StringView(utf8));
        return;
    }
    const qsizetype start = to.size();
    to.resize(start + utf8.size()); // UTF-16 needs no more units than UTF-8 has bytes
    QStringDecoder decoder(QStringDecoder::Utf8, kExactly);
    const QChar* end = decoder.appendToBuffer(to.data() + start, utf8);
    to.resize(end - to.constData());
}

QString Recordset::text(const QString& name) const
{
    return text(column(name));
}

qint64 Recordset::integer(int column) const
{
    checkRow();
    return sqlite3_column_int64(m_statement, column);
}

void Recordset::moveNext()
{
    if (!m_statement)
        throw Failure(QStringLiteral("Operation is not allowed when the object is closed."));
    step();
}

void Recordset::step()
{
    const WaitEnd waitEnd{m_wait.get()};
    const int result = sqlite3_step(m_statement);
    m_atEnd = result != SQLITE_ROW;
    // A walk that ends on an engine error (a corrupt page, a lock) is a
    // failure, not the end of the rows.
    if (result != SQLITE_ROW && result != SQLITE_DONE)
        throw Failure(engineMessage(sqlite3_db_handle(m_statement)));
}

void Recordset::close()
{
    if (m_statement)
        sqlite3_finalize(m_statement);
    m_statement = nullptr;
    m_wait.reset();
    m_columns.clear();
    m_atEnd = true;
}

} // namespace quorvane
