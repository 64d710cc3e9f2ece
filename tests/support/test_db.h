#pragma once

#include "domain/ids.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace quorvane {

// Ids as QCOMPARE prints them.
template <class Table>
char* toString(const Id<Table>& id)
{
    return qstrdup(QByteArray::number(id.value).constData());
}

} // namespace quorvane

namespace quorvane::testing {

// A temporary program folder holding a fresh database made from the same
// schema the build delivers.
class ProgramFolder
{
public:
    explicit ProgramFolder(bool withDatabase = true);
    QString path() const { return m_dir.path(); }
    QString databasePath() const { return m_dir.path() + QStringLiteral("/dbSchedules.mdb"); }
    QString file(const QString& name) const { return m_dir.path() + QLatin1Char('/') + name; }

private:
    QTemporaryDir m_dir;
};

// Direct access to a database file, beside the program's own connection.
void execSql(const QString& databasePath, const QString& statement);
// Every row of a select, each column as text ("<NULL>" for NULL).
QList<QStringList> querySql(const QString& databasePath, const QString& statement);
QString scalarSql(const QString& databasePath, const QString& statement);

} // namespace quorvane::testing
