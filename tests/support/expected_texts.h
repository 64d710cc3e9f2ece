#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>

namespace quorvane::testing {

// What an "Application Error" box says after the failure's description, for
// a failure at `statement` of window.procedure: the location line, the empty
// line and the request to email a screenshot.
QString errorBoxTail(const QString& window, const QString& procedure, int statement);

// A file's bytes; empty when it cannot be read.
QByteArray fileBytes(const QString& path);

// A file read back by one of the Python readers in tests/ (read_workbook.py:
// xlrd for Excel 97-2003 files, openpyxl for .xlsx; read_csv.py;
// read_calendar.py): the JSON it printed, or why it could not read.
struct WorkbookReading
{
    QJsonObject book;
    QString error; // empty when the file was read
};
WorkbookReading readBack(const QString& reader, const QStringList& arguments);
WorkbookReading readWorkbook(const QString& path);

// Why workbooks cannot be read back on this machine, or an empty text.
QString workbookReaderMissing();

// Why some of these programs cannot be run here (not installed), or an empty text.
QString programsMissing(const QStringList& programs);
// What a program prints on standard output, or "failed: " and why.
QString programOutput(const QString& program, const QStringList& arguments);
// The text of a PDF file as pdftotext reads it in the order it was drawn,
// every run of blanks and line breaks made one blank.
QString pdfText(const QString& path);

} // namespace quorvane::testing
