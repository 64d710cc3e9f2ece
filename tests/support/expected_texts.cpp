#include "tests/support/expected_texts.h"

#include "base/app_info.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QProcess>
#include <QStandardPaths>

namespace quorvane::testing {

namespace {
const QString kPython = QStringLiteral("/usr/bin/python3");
}

QString errorBoxTail(const QString& window, const QString& procedure, int statement)
{
    return QStringLiteral("\r\nin Tindrel2021/08/31.%1.%2 at line %3\r\rPlease email screenshot of this message to %4")
        .arg(window, procedure)
        .arg(statement)
        .arg(kSupportAddress);
}

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

WorkbookReading readWorkbook(const QString& path)
{
    return readBack(QStringLiteral("read_workbook.py"), {path});
}

WorkbookReading readBack(const QString& readerName, const QStringList& arguments)
{
    const QString script =
        qEnvironmentVariable("QUORVANE_SOURCE_DIR", QStringLiteral(".")) + QStringLiteral("/tests/") + readerName;
    QProcess reader;
    reader.start(kPython, QStringList{script} + arguments);
    if (!reader.waitForFinished(120000))
        return {{}, QStringLiteral("the reader did not finish: %1").arg(reader.errorString())};
    const QString errors = QString::fromUtf8(reader.readAllStandardError()).trimmed();
    if (reader.exitStatus() != QProcess::NormalExit || reader.exitCode() != 0)
        return {{}, QStringLiteral("the reader failed (exit %1): %2").arg(reader.exitCode()).arg(errors)};
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(reader.readAllStandardOutput(), &parseError);
    if (!document.isObject())
        return {{}, QStringLiteral("the reader printed no JSON: %1").arg(parseError.errorString())};
    return {document.object(), QString()};
}

QString workbookReaderMissing()
{
    if (!QFileInfo(kPython).isExecutable())
        return QStringLiteral("%1 is not installed, workbooks cannot be read back").arg(kPython);
    QProcess probe;
    probe.start(kPython, {QStringLiteral("-c"), QStringLiteral("import xlrd, openpyxl")});
    if (!probe.waitForFinished(60000) || probe.exitStatus() != QProcess::NormalExit || probe.exitCode() != 0)
        return QStringLiteral("the Python modules xlrd and openpyxl are missing (python3-xlrd, python3-openpyxl), "
                              "workbooks cannot be read back");
    return QString();
}

QString programsMissing(const QStringList& programs)
{
    for (const QString& program : programs)
        if (QStandardPaths::findExecutable(program).isEmpty())
            return QStringLiteral("%1 is not installed (test.sh installs it)").arg(program);
    return QString();
}

QString programOutput(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(180000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return QStringLiteral("failed: ") + process.errorString() + QString::fromUtf8(process.readAllStandardError());
    return QString::fromUtf8(process.readAllStandardOutput());
}

QString pdfText(const QString& path)
{
    return programOutput(QStringLiteral("pdftotext"), {QStringLiteral("-raw"), path, QStringLiteral("-")}).simplified();
}

} // namespace quorvane::testing
