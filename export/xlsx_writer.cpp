// Office Open XML workbooks, written with libxlsxwriter.
#include "export/cell_text.h"
#include "export/page_fit.h"
#include "export/workbook_files.h"
#include "export/worksheet.h"

#include "base/shown_text.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <array>
#include <map>
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

void escapeOutsideXml(QString& text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            ++i;
        } else if (c.isSurrogate() || c.unicode() >= 0xFFFE) {
            const QString escape = QStringLiteral("_x%1_").arg(
                QString::number(c.unicode(), 16).toUpper().rightJustified(4, QLatin1Char('0')));
            text.replace(i, 1, escape);
            i += escape.size() - 1;
        }
    }
}

// The cell text as handed to libxlsxwriter, in UTF-8.
//
// Excel reads "_xHHHH_" inside a text as an escaped character, so a text that
// literally contains such a sequence gets its underscore escaped as "_x005F_".
// U+0000 cannot be stored in the XML of a workbook and is left out; U+FFFE,
// U+FFFF and lone surrogates, which XML forbids as well, are written in that
// escaped form (libxlsxwriter escapes the other controls itself). The text is
// cut to kMaxCellTextLength UTF-16 code units, and further if the escapes push
// it beyond the limit libxlsxwriter checks (in code points).
QByteArray xlsxCellText(const QString& value)
{
    static const QRegularExpression escapeLike(QStringLiteral("_(x[0-9A-Fa-f]{4}_)"));
    QString text = storedCellText(value);
    text.remove(QChar(0));
    for (;;) {
        QString escaped = text;
        escaped.replace(escapeLike, QStringLiteral("_x005F_\\1"));
        escapeOutsideXml(escaped);
        const int excess = codePoints(escaped) - kMaxCellTextLength;
        if (excess <= 0)
            return escaped.toUtf8();
        text = leftWhole(text, text.size() - excess);
    }
}

QString lxwError(lxw_error error)
{
    return QString::fromUtf8(lxw_strerror(error));
}

// The cell format of each CellStyle, in its order; none for plain cells.
using Formats = std::array<lxw_format*, 4>;

// A new format for cells of a style; none for plain cells, unless filled.
lxw_format* styleFormat(lxw_workbook* workbook, CellStyle style, bool filled)
{
    if (style == CellStyle::Plain && !filled)
        return nullptr;
    lxw_format* format = workbook_add_format(workbook);
    if (style == CellStyle::Plain)
        return format;
    format_set_font_name(format, "Arial");
    format_set_font_size(format, 10);
    if (style != CellStyle::Framed)
        format_set_bold(format);
    if (style == CellStyle::Title)
        format_set_font_size(format, kWorkbookTitlePoints);
    else
        format_set_border(format, LXW_BORDER_THIN);
    format_set_text_wrap(format);
    format_set_align(format, LXW_ALIGN_VERTICAL_TOP);
    return format;
}

// The formats of a sheet's cells: one for each style, and one for each
// style and fill in use, made as they are first asked for.
class CellFormats
{
public:
    CellFormats(lxw_workbook* workbook, const Worksheet& sheet) : m_workbook(workbook), m_sheet(sheet)
    {
        if (sheet.printLayout())
            for (const CellStyle style : {CellStyle::Title, CellStyle::Heading, CellStyle::Framed})
                m_styles[size_t(style)] = styleFormat(workbook, style, false);
    }

    lxw_format* style(CellStyle style) const { return m_styles[size_t(style)]; }

    lxw_format* of(int row, int column)
    {
        const CellStyle style = m_sheet.cellStyle(row, column);
        const std::optional<CellFill> fill = m_sheet.cellFill(row, column);
        if (!fill)
            return m_styles[size_t(style)];
        lxw_format*& format = m_filled[{style, *fill}];
        if (!format) {
            format = styleFormat(m_workbook, style, true);
            format_set_pattern(format, LXW_PATTERN_SOLID);
            format_set_bg_color(format, lxw_color_t(fill->colour));
            if (fill->frame) {
                format_set_border(format, LXW_BORDER_MEDIUM);
                format_set_border_color(format, lxw_color_t(*fill->frame));
            }
        }
        return format;
    }

private:
    lxw_workbook* m_workbook;
    const Worksheet& m_sheet;
    Formats m_styles{};
    std::map<std::pair<CellStyle, CellFill>, lxw_format*> m_filled;
};

// The column widths, title row, framed empty cells and page setup of a
// sheet set up for printing; nothing for any other sheet.
void setUpForPrinting(lxw_worksheet* worksheet, const Worksheet& sheet, CellFormats& formats)
{
    const auto& layout = sheet.printLayout();
    if (!layout)
        return;
    const auto check = [](lxw_error error) {
        if (error != LXW_NO_ERROR)
            throw SpreadsheetFailure(QStringLiteral("Cannot set the sheet up for printing: %1").arg(lxwError(error)));
    };
    for (int column = 1; column <= layout->lastColumn; ++column)
        check(worksheet_set_column(worksheet, lxw_col_t(column - 1), lxw_col_t(column - 1),
                                   layout->columnWidths[size_t(column - 1)], nullptr));
    // Not every reader makes a row as tall as its wrapped texts.
    check(worksheet_set_row(worksheet, 0, layout->titleHeight, nullptr));
    for (const auto& lines : layout->rowLines)
        check(worksheet_set_row(worksheet, lxw_row_t(lines.first - 1), layout->rowHeight(lines.first), nullptr));
    if (layout->lastColumn > 1)
        check(worksheet_merge_range(worksheet, 0, 0, 0, lxw_col_t(layout->lastColumn - 1), "",
                                    formats.style(CellStyle::Title)));
    for (int row = 2; row <= layout->lastRow; ++row)
        for (int column = 1; column <= layout->lastColumn; ++column)
            if (!sheet.cells().count({row, column}))
                check(worksheet_write_blank(worksheet, lxw_row_t(row - 1), lxw_col_t(column - 1),
                                            formats.of(row, column)));
    worksheet_set_landscape(worksheet);
    worksheet_set_paper(worksheet, uint8_t(localePaperCode()));
    worksheet_fit_to_pages(worksheet, 1, 1);
    worksheet_center_horizontally(worksheet);
    check(worksheet_print_area(worksheet, 0, 0, lxw_row_t(layout->lastRow - 1), lxw_col_t(layout->lastColumn - 1)));
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
    CellFormats formats(workbook.get(), sheet);
    setUpForPrinting(worksheet, sheet, formats);
    for (const auto& cell : sheet.cells()) {
        const lxw_error error = worksheet_write_string(
            worksheet, lxw_row_t(cell.first.first - 1), lxw_col_t(cell.first.second - 1),
            xlsxCellText(cell.second).constData(), formats.of(cell.first.first, cell.first.second));
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
