// Comma-separated values: the cells of a sheet as a table of texts.
#include "export/cell_text.h"
#include "export/workbook_files.h"
#include "export/worksheet.h"

namespace quorvane {

namespace {

bool needsQuotes(const QString& field)
{
    if (field.isEmpty())
        return false;
    const auto blank = [](QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); };
    if (blank(field.front()) || blank(field.back()))
        return true;
    for (const QChar c : field)
        if (c == QLatin1Char('"') || c == QLatin1Char(',') || c == QLatin1Char('\r') || c == QLatin1Char('\n'))
            return true;
    return false;
}

// A spreadsheet opening the file runs a cell that starts like a formula; an
// apostrophe in front makes it text there, as spreadsheets themselves write it.
bool startsLikeFormula(const QString& field)
{
    if (field.isEmpty())
        return false;
    const QChar first = field.front();
    return first == QLatin1Char('=') || first == QLatin1Char('+') || first == QLatin1Char('-') ||
           first == QLatin1Char('@') || first == QLatin1Char('\t') || first == QLatin1Char('\r');
}

void appendField(QString& out, QString field)
{
    field.remove(QChar(0));
    if (startsLikeFormula(field))
        field.prepend(QLatin1Char('\''));
    if (!needsQuotes(field)) {
        out += field;
        return;
    }
    field.replace(QLatin1Char('"'), QLatin1String("\"\""));
    out += QLatin1Char('"') + field + QLatin1Char('"');
}

} // namespace

QByteArray csvBytes(const Worksheet& sheet)
{
    const int rows = sheet.maxRow();
    const int columns = sheet.maxColumn();
    QString out(1, QChar(0xFEFF));
    auto cell = sheet.cells().begin();
    for (int row = 1; row <= rows; ++row) {
        for (int column = 1; column <= columns; ++column) {
            if (column > 1)
                out += QLatin1Char(',');
            if (cell != sheet.cells().end() && cell->first == std::make_pair(row, column)) {
                appendField(out, storedCellText(cell->second));
                ++cell;
            }
        }
        out += QLatin1String("\r\n");
    }
    return out.toUtf8();
}

} // namespace quorvane
