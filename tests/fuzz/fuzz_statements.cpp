// libFuzzer target: the statement builder against the real engine.
//
// A random name (UTF-8 bytes, or raw UTF-16 with lone surrogates) goes through
// the statement that stores it: #5 insert schedule, #6 rename schedule, #10
// insert course (name and notes) or #11 edit course notes. The statement runs
// on an in-memory database made from the delivered schema; what is read back
// must equal what was typed (a lone surrogate comes back as U+FFFD, see
// storable()), and no other row may change. The one text that cannot be stored is one holding U+0000, which ends
// the statement text for the engine: such a statement must fail without
// touching anything.
#include "store/schema.h"
#include "store/statements.h"

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>
#include <QVariant>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

const QString kConnection = QStringLiteral("fuzz_statements");

[[noreturn]] void fail(const char* what, const QString& detail = QString())
{
    std::fprintf(stderr, "fuzz_statements: %s %s\n", what, detail.toUtf8().constData());
    std::abort();
}

QSqlDatabase db()
{
    return QSqlDatabase::database(kConnection, false);
}

void run(const QString& statement)
{
    QSqlQuery query(db());
    if (!query.exec(statement))
        fail("set-up statement failed:", statement + QLatin1Char(' ') + query.lastError().text());
}

// Every row of a table, every column as text, NULL marked.
const QString kNull = QStringLiteral("<NULL>");

QList<QStringList> rows(const QString& table)
{
    QSqlQuery query(db());
    if (!query.exec(QStringLiteral("select * from %1 order by id").arg(table)))
        fail("read failed:", query.lastError().text());
    QList<QStringList> result;
    while (query.next()) {
        QStringList row;
        for (int i = 0; i < query.record().count(); ++i)
            row << (query.value(i).isNull() ? kNull : query.value(i).toString());
        result << row;
    }
    return result;
}

// Both rows as UTF-16 code units, for the report of a difference.
QString units(const QStringList& got, const QStringList& want)
{
    const auto hex = [](const QStringList& row) {
        QStringList cells;
        for (const QString& cell : row) {
            QString text;
            for (const QChar c : cell)
                text += QString::number(c.unicode(), 16) + QLatin1Char(' ');
            cells << text;
        }
        return cells.join(QLatin1String("| "));
    };
    return QStringLiteral("\n got:  ") + hex(got) + QStringLiteral("\n want: ") + hex(want);
}

QList<QStringList> g_schedules;
QList<QStringList> g_courses;

void checkUntouched(const char* after)
{
    if (rows(QStringLiteral("tblSchedules")) != g_schedules || rows(QStringLiteral("tblCourse")) != g_courses)
        fail("rows changed after", QString::fromLatin1(after));
}

// The typed text as it must come back: a lone surrogate, which no encoding
// can store, and every code point XML 1.0 forbids (U+0000, which would end the
// statement, the other C0 controls but tab, line feed and carriage return, and
// the noncharacters), which no workbook could hold, become U+FFFD. Everything
// else is kept exactly.
QString storable(const QString& typed)
{
    QString result;
    for (const char32_t c : typed.toUcs4()) {
        const bool control = c < 0x20 && c != 0x09 && c != 0x0A && c != 0x0D;
        const bool noncharacter = (c >= 0xFDD0 && c <= 0xFDEF) || (c % 0x10000) >= 0xFFFE;
        const bool surrogate = c >= 0xD800 && c <= 0xDFFF;
        if (control || noncharacter || surrogate)
            result += QChar(QChar::ReplacementCharacter);
        else
            result += QChar::fromUcs4(c); // not QString::fromUcs4, which drops a U+FEFF
    }
    return result;
}

QString textOf(const uint8_t* data, size_t size, bool utf16)
{
    const char* bytes = reinterpret_cast<const char*>(data);
    const auto length = static_cast<qsizetype>(size);
    if (!utf16)
        return QString::fromUtf8(bytes, length);
    QString text;
    text.reserve(length / 2);
    for (qsizetype i = 0; i + 1 < length; i += 2)
        text +=
            QChar(static_cast<char16_t>(static_cast<uint8_t>(bytes[i]) | (static_cast<uint8_t>(bytes[i + 1]) << 8)));
    return text;
}

// Runs the statement under test, which the engine must accept whatever was typed.
bool tryStatement(const QString& statement, const QString&)
{
    QSqlQuery query(db());
    if (!query.exec(statement))
        fail("the engine refused a statement:", query.lastError().text());
    return true;
}

QVariant lastId()
{
    QSqlQuery query(db());
    if (!query.exec(QStringLiteral("select last_insert_rowid()")) || !query.next())
        fail("no last id");
    return query.value(0);
}

QStringList rowById(const QString& table, const QVariant& id)
{
    for (const QStringList& row : rows(table))
        if (row.first() == id.toString())
            return row;
    fail("row not found in", table);
}

// Removes the row the statement added and checks that the rest is as before.
void dropAndCheck(const QString& table, const QVariant& id)
{
    QSqlQuery query(db());
    query.prepare(QStringLiteral("delete from %1 where id=?").arg(table));
    query.addBindValue(id);
    if (!query.exec())
        fail("cleanup failed:", query.lastError().text());
    checkUntouched("an insert");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    static QCoreApplication app(*argc, *argv);
    QSqlDatabase database = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), kConnection);
    database.setDatabaseName(QStringLiteral(":memory:"));
    if (!database.open())
        fail("cannot open an in-memory database");
    for (const QString& statement : quorvane::schemaStatements())
        run(statement);
    // Neighbours that no statement under test may touch.
    run(quorvane::sql::insertSchedule(QStringLiteral("Fall")));
    run(quorvane::sql::insertSchedule(QStringLiteral("O'Brien")));
    run(quorvane::sql::insertSchedule(QString()));
    run(quorvane::sql::insertCourse({1, QStringLiteral("Physics"), QStringLiteral("lab ' 3"), QStringLiteral("0,3,4"),
                                     QStringLiteral("08:30"), QStringLiteral("10:00")}));
    run(quorvane::sql::insertCourse({2, QStringLiteral("Design"), QString(), QStringLiteral("1"),
                                     QStringLiteral("8:30:00 AM"), QStringLiteral("9:00:00 AM")}));
    g_schedules = rows(QStringLiteral("tblSchedules"));
    g_courses = rows(QStringLiteral("tblCourse"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    namespace sql = quorvane::sql;
    if (size == 0)
        return 0;
    const uint8_t mode = data[0];
    const bool utf16 = mode & 0x04;
    const QString typed = textOf(data + 1, size - 1, utf16);
    const QString expected = storable(typed);
    const QString schedules = QStringLiteral("tblSchedules");
    const QString courses = QStringLiteral("tblCourse");

    switch (mode & 0x03) {
    case 0: { // #5
        if (!tryStatement(sql::insertSchedule(typed), typed))
            return 0;
        const QVariant id = lastId();
        const QStringList row = rowById(schedules, id);
        if (row.value(1) != expected)
            fail("schedule name read back differs", units({row.value(1)}, {expected}));
        dropAndCheck(schedules, id);
        break;
    }
    case 1: { // #6 on schedule 2, restored afterwards
        if (!tryStatement(sql::updateSchedule(typed, 2), typed))
            return 0;
        if (rowById(schedules, 2).value(1) != expected)
            fail("renamed schedule read back differs", units({rowById(schedules, 2).value(1)}, {expected}));
        QList<QStringList> now = rows(schedules);
        now[1][1] = g_schedules[1][1];
        if (now != g_schedules || rows(courses) != g_courses)
            fail("rename touched another row");
        run(sql::updateSchedule(g_schedules[1][1], 2));
        checkUntouched("a rename");
        break;
    }
    case 2: { // #10: the text split in two at its middle, name and notes
        const qsizetype half = typed.size() / 2;
        const QString name = typed.left(half);
        const QString notes = typed.mid(half);
        if (!tryStatement(sql::insertCourse({3, name, notes, QStringLiteral("0,6"), QStringLiteral("6:00:00 AM"),
                                             QStringLiteral("9:30:00 PM")}),
                          typed))
            return 0;
        const QVariant id = lastId();
        const QStringList row = rowById(courses, id);
        const QStringList want = {id.toString(),
                                  QStringLiteral("3"),
                                  storable(name),
                                  storable(notes),
                                  QStringLiteral("0,6"),
                                  QStringLiteral("6:00:00 AM"),
                                  QStringLiteral("9:30:00 PM"),
                                  kNull,
                                  kNull};
        if (row != want)
            fail("course read back differs", units(row, want));
        dropAndCheck(courses, id);
        break;
    }
    default: { // #11 on course 2, restored afterwards
        if (!tryStatement(
                sql::updateCourse(typed, QStringLiteral("2,4"), QStringLiteral("13:00"), QStringLiteral("14:30"), 2),
                typed))
            return 0;
        const QStringList row = rowById(courses, 2);
        const QStringList want = {QStringLiteral("2"),
                                  QStringLiteral("2"),
                                  QStringLiteral("Design"),
                                  expected,
                                  QStringLiteral("2,4"),
                                  QStringLiteral("13:00"),
                                  QStringLiteral("14:30"),
                                  kNull,
                                  kNull};
        if (row != want)
            fail("edited course read back differs", units(row, want));
        if (rows(schedules) != g_schedules || rows(courses).value(0) != g_courses.value(0))
            fail("the edit touched another row");
        const QStringList& was = g_courses[1];
        run(sql::updateCourse(was[3], was[4], was[5], was[6], 2));
        checkUntouched("an edit");
        break;
    }
    }
    return 0;
}
