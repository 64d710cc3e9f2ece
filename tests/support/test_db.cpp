#include "tests/support/test_db.h"

#include "store/schema.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUuid>
#include <stdexcept>

namespace quorvane::testing {

ProgramFolder::ProgramFolder(bool withDatabase)
{
    if (!m_dir.isValid())
        throw std::runtime_error("cannot create a temporary folder");
    if (withDatabase)
        createDeliveredDatabase(databasePath());
}

namespace {

template <class Work>
auto withDatabase(const QString& path, Work&& work)
{
    const QString name = QUuid::createUuid().toString();
    struct Remove
    {
        QString name;
        ~Remove() { QSqlDatabase::removeDatabase(name); }
    } remove{name};
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
    db.setDatabaseName(path);
    if (!db.open())
        throw std::runtime_error(db.lastError().text().toStdString());
    auto result = work(db);
    db.close();
    return result;
}

} // namespace

void execSql(const QString& databasePath, const QString& statement)
{
    withDatabase(databasePath, [&](QSqlDatabase& db) {
        QSqlQuery q(db);
        if (!q.exec(statement))
            throw std::runtime_error(q.lastError().text().toStdString());
        return 0;
    });
}

QList<QStringList> querySql(const QString& databasePath, const QString& statement)
{
    return withDatabase(databasePath, [&](QSqlDatabase& db) {
        QList<QStringList> rows;
        QSqlQuery q(db);
        if (!q.exec(statement))
            throw std::runtime_error(q.lastError().text().toStdString());
        while (q.next()) {
            QStringList row;
            for (int i = 0; i < q.record().count(); ++i)
                row << (q.value(i).isNull() ? QStringLiteral("<NULL>") : q.value(i).toString());
            rows << row;
        }
        return rows;
    });
}

QString scalarSql(const QString& databasePath, const QString& statement)
{
    const QList<QStringList> rows = querySql(databasePath, statement);
    return rows.isEmpty() || rows.first().isEmpty() ? QString() : rows.first().first();
}

} // namespace quorvane::testing
