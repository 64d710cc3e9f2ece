// Office Open XML workbooks, written with libxlsxwriter.
#include "export/spreadsheet.h"
#include "export/workbook_files.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <memory>

#include <xlsxwriter.h>

namespace quorvane {

namespace {

int codePoints(const QString& text)
{
    int count = 0;
    for (const QChar c : text)
        count += c.isLowSurrogate() ? 0 : 1;
    return count;
}

// The cell text as handed to libxlsxwriter, in UTF-8.
//
// Excel reads "_xHHHH_" inside a text as an escaped character, so a text that
// literally contains such a sequence gets its underscore escaped as "_x005F_".
// U+0000 cannot be stored in the XML of a workbook and is left out. The text
// is cut to kMaxCellTextLength UTF-16 code units, and further if the escapes
// push it beyond the limit libxlsxwriter checks (in code points).
QByteArray xlsxCellText(const QString& value)
{
    static const QRegularExpression escapeLike(QStringLiteral("_(x[0-9A-Fa-f]{4}_)"));
    QString text = storedCellText(value);
    text.remove(QChar(0));
    for (;;) {
        QString escaped = text;
        escaped.replace(escapeLike, QStringLiteral("_x005F_\\1"));
        const int excess = codePoints(escaped) - kMaxCellTextLength;
        if (excess <= 0)
            return escaped.toUtf8();
        int length = int(text.size()) - excess;
        if (length > 0 && text.at(length - 1).isHighSurrogate())
            --length;
        text.truncate(length);
    }
}

QString lxwError(lxw_error error)
{
    return QString::fromUtf8(lxw_strerror(error));
}

// Writes sheet as an .xlsx workbook straight to path.
void writeXlsxFile(const QString& path, const Worksheet& sheet)
{
    const QByteArray fileName = QFile::encodeName(path);
    // Freed without writing on every way out, unless closed (which frees it).
    std::unique_ptr<lxw_workbook, decltype(&lxw_workbook_free)> workbook(workbook_new(fileName.constData()),
                                                                         &lxw_workbook_free);
    if (!workbook)
        throw SpreadsheetFailure(QStringLiteral("Cannot create the workbook \"%1\".").arg(path));
    lxw_worksheet* worksheet = workbook_add_worksheet(workbook.get(), sheet.name().toUtf8().constData());
    if (!worksheet)
        throw SpreadsheetFailure(QStringLiteral("Cannot add the sheet \"%1\" to the workbook.").arg(sheet.name()));
    for (const auto& cell : sheet.cells()) {
        const lxw_error error =
            worksheet_write_string(worksheet, lxw_row_t(cell.first.first - 1), lxw_col_t(cell.first.second - 1),
                                   xlsxCellText(cell.second).constData(), nullptr);
        if (error != LXW_NO_ERROR)
            throw SpreadsheetFailure(QStringLiteral("Cannot write the cell at row %1, column %2: %3")
                                         .arg(cell.first.first)
                                         .arg(cell.first.second)
                                         .arg(lxwError(error)));
    }
    const lxw_error error = workbook_close(workbook.release());
    if (error != LXW_NO_ERROR)
        throw SpreadsheetFailure(QStringLiteral("Cannot write the workbook \"%1\": %2").arg(path, lxwError(error)));
}

} // namespace

QByteArray xlsxWorkbookBytes(const Worksheet& sheet)
{
    QTemporaryDir folder;
    if (!folder.isValid())
        throw SpreadsheetFailure(QStringLiteral("Cannot create a temporary folder: %1").arg(folder.errorString()));
    const QString path = folder.filePath(QStringLiteral("workbook.xlsx"));
    writeXlsxFile(path, sheet);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw SpreadsheetFailure(QStringLiteral("Cannot read the written workbook back: %1").arg(file.errorString()));
    return file.readAll();
}

} // namespace quorvane
