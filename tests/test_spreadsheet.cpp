// The in-process spreadsheet application and the workbook files it writes.
//
// Files are read back by tests/read_workbook.py (xlrd for Excel 97-2003
// workbooks, openpyxl for .xlsx), which also checks the structure of BIFF8
// files record by record.
#include "base/failure.h"
#include "base/reporting.h"
#include "export/cell_text.h"
#include "export/page_fit.h"
#include "export/spreadsheet.h"
#include "export/timetable_export.h"
#include "export/timetable_sheet.h"
#include "tests/support/expected_texts.h"
#include "tests/support/timetable_sheet.h"
#include "timetable/grid.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QProcess>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

#include <cmath>
#include <functional>

using namespace quorvane;
using namespace quorvane::testing;

namespace {

using CellMap = QMap<QPair<int, int>, QString>;

// What a saved file is expected to hold for sheet.
CellMap storedCells(const Worksheet& sheet)
{
    CellMap cells;
    for (const auto& cell : sheet.cells())
        cells.insert(qMakePair(cell.first.first, cell.first.second), storedCellText(cell.second));
    return cells;
}

CellMap cellsOf(const QJsonObject& sheet)
{
    CellMap cells;
    for (const QJsonValue& value : sheet.value(QStringLiteral("cells")).toArray()) {
        const QJsonArray cell = value.toArray();
        cells.insert(qMakePair(cell.at(0).toInt(), cell.at(1).toInt()), cell.at(2).toString());
    }
    return cells;
}

QString shorten(const QString& text)
{
    return text.size() <= 60 ? text : text.left(40) + QStringLiteral("...(%1 units)").arg(text.size());
}

// The first difference between two cell maps, or an empty text.
QString firstDifference(const CellMap& expected, const CellMap& actual)
{
    for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
        const QString found = actual.value(it.key());
        if (found != it.value())
            return QStringLiteral("cell %1,%2: expected \"%3\", read \"%4\"")
                .arg(it.key().first)
                .arg(it.key().second)
                .arg(shorten(it.value()), shorten(found));
    }
    for (auto it = actual.cbegin(); it != actual.cend(); ++it) {
        if (!expected.contains(it.key()))
            return QStringLiteral("cell %1,%2 should be empty, read \"%3\"")
                .arg(it.key().first)
                .arg(it.key().second)
                .arg(shorten(it.value()));
    }
    return QString();
}

} // namespace

// Reads fileName back into the QJsonObject named result.
#define READ_WORKBOOK(fileName, result)                                                                                \
    QJsonObject result;                                                                                                \
    do {                                                                                                               \
        const WorkbookReading reading = readWorkbook(fileName);                                                        \
        QVERIFY2(reading.error.isEmpty(), qPrintable(reading.error));                                                  \
        result = reading.book;                                                                                         \
    } while (false)

// Skips a test that reads workbooks back when that is impossible here.
#define REQUIRE_READER()                                                                                               \
    do {                                                                                                               \
        if (!m_readerMissing.isEmpty())                                                                                \
            QSKIP(qPrintable(m_readerMissing));                                                                        \
    } while (false)

// Calls a helper that may fail the test, and stops the test when it did.
#define CHECKED(call)                                                                                                  \
    do {                                                                                                               \
        call;                                                                                                          \
        if (QTest::currentTestFailed())                                                                                \
            return;                                                                                                    \
    } while (false)

// Runs call and returns what it threw, failing the test when it does not
// throw a quorvane::Failure.
#define EXPECT_FAILURE(call, messageVariable)                                                                          \
    QString messageVariable;                                                                                           \
    do {                                                                                                               \
        bool thrown = false;                                                                                           \
        try {                                                                                                          \
            call;                                                                                                      \
        } catch (const Failure& failure) {                                                                             \
            thrown = true;                                                                                             \
            messageVariable = failure.description();                                                                   \
        }                                                                                                              \
        QVERIFY2(thrown, #call " did not throw");                                                                      \
        QVERIFY(!messageVariable.isEmpty());                                                                           \
    } while (false)

class SpreadsheetTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_folder;
    QString m_readerMissing;

    QString path(const QString& name) const { return m_folder.filePath(name); }

    // Saves sheet's workbook under name, reads it back and compares every
    // cell with what was set.
    void saveAndCompare(Workbook& workbook, const QString& name, int fileFormat, const QString& expectedFormat)
    {
        const QString fileName = path(name);
        workbook.saveAs(fileName, fileFormat);
        READ_WORKBOOK(fileName, result);
        QCOMPARE(result.value(QStringLiteral("format")).toString(), expectedFormat);
        if (expectedFormat == QLatin1String("xls")) {
            QCOMPARE(result.value(QStringLiteral("biff_version")).toInt(), 80);
            QVERIFY(fileBytes(fileName).startsWith(QByteArray::fromHex("D0CF11E0A1B11AE1")));
        }
        const QJsonArray sheets = result.value(QStringLiteral("sheets")).toArray();
        QCOMPARE(sheets.size(), 1);
        const QJsonObject sheet = sheets.at(0).toObject();
        QCOMPARE(sheet.value(QStringLiteral("name")).toString(), QStringLiteral("Sheet1"));
        const Worksheet& written = workbook.sheets(1);
        QCOMPARE(sheet.value(QStringLiteral("rows")).toInt(), written.maxRow());
        QCOMPARE(sheet.value(QStringLiteral("columns")).toInt(), written.maxColumn());
        const QString difference = firstDifference(storedCells(written), cellsOf(sheet));
        QVERIFY2(difference.isEmpty(), qPrintable(difference));
    }

    static void addFormats()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<int>("fileFormat");
        QTest::addColumn<QString>("expectedFormat");
        QTest::newRow("xls") << QStringLiteral("grid.xls") << FileFormat::WorkbookNormal << QStringLiteral("xls");
        QTest::newRow("no extension") << QStringLiteral("grid") << FileFormat::WorkbookNormal << QStringLiteral("xls");
        QTest::newRow("xlsx") << QStringLiteral("grid.xlsx") << FileFormat::WorkbookNormal << QStringLiteral("xlsx");
        QTest::newRow("XLSX in capitals")
            << QStringLiteral("GRID.XLSX") << FileFormat::WorkbookNormal << QStringLiteral("xlsx");
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_folder.isValid());
        m_readerMissing = workbookReaderMissing();
    }

    // ------------------------------------------------------------ operations

    void onlyTheExcelApplicationCanBeCreated()
    {
        EXPECT_FAILURE(SpreadsheetApplication::create(QStringLiteral("Word.Application")), message);
        QVERIFY2(message.contains(QLatin1String("No spreadsheet application is available")), qPrintable(message));
        EXPECT_FAILURE(SpreadsheetApplication::create(QString()), emptyMessage);

        const auto application = SpreadsheetApplication::create(QStringLiteral("EXCEL.APPLICATION"));
        QVERIFY(application);
        QVERIFY(SpreadsheetApplication::create(QStringLiteral("excel.application")));
        QVERIFY(SpreadsheetApplication::create(QStringLiteral("Excel.Application")));
    }

    void newWorkbookHasOnlySheetOne()
    {
        const auto application = SpreadsheetApplication::create(QStringLiteral("Excel.Application"));
        Workbook& workbook = application->addWorkbook();
        QCOMPARE(workbook.sheets(1).name(), QStringLiteral("Sheet1"));
        QCOMPARE(&workbook.sheets(1), &workbook.sheets(1));
        EXPECT_FAILURE(workbook.sheets(2), two);
        QVERIFY2(two.contains(QLatin1String("2")), qPrintable(two));
        EXPECT_FAILURE(workbook.sheets(0), zero);
        EXPECT_FAILURE(workbook.sheets(-1), negative);
    }

    void cellsAreNumberedFromOne()
    {
        Worksheet sheet;
        EXPECT_FAILURE(sheet.setCellValue(0, 1, QStringLiteral("x")), rowZero);
        EXPECT_FAILURE(sheet.setCellValue(1, 0, QStringLiteral("x")), columnZero);
        EXPECT_FAILURE(sheet.setCellValue(-3, 2, QStringLiteral("x")), negativeRow);
        EXPECT_FAILURE(sheet.setCellValue(kMaxRows + 1, 1, QStringLiteral("x")), beyondRows);
        EXPECT_FAILURE(sheet.setCellValue(1, kMaxColumns + 1, QStringLiteral("x")), beyondColumns);
        QCOMPARE(sheet.maxRow(), 0);
        QCOMPARE(sheet.maxColumn(), 0);

        sheet.setCellValue(1, 1, QStringLiteral("A1"));
        sheet.setCellValue(3, 2, QStringLiteral("B3"));
        QCOMPARE(sheet.cells(), (Worksheet::Cells{{{1, 1}, QStringLiteral("A1")}, {{3, 2}, QStringLiteral("B3")}}));
        QCOMPARE(sheet.maxRow(), 3);
        QCOMPARE(sheet.maxColumn(), 2);

        // The empty text empties the cell.
        sheet.setCellValue(3, 2, QString());
        QCOMPARE(sheet.maxRow(), 1);
        QCOMPARE(sheet.maxColumn(), 1);
        QCOMPARE(int(sheet.cells().size()), 1);
    }

    void quitClosesWorkbooksWithoutSaving()
    {
        const auto application = SpreadsheetApplication::create(QStringLiteral("Excel.Application"));
        Workbook& workbook = application->addWorkbook();
        Worksheet& sheet = workbook.sheets(1);
        sheet.setCellValue(1, 1, QStringLiteral("unsaved"));
        application->quit();
        application->quit();
        EXPECT_FAILURE(application->addWorkbook(), addAfterQuit);
        EXPECT_FAILURE(application->setVisible(true), visibleAfterQuit);
        EXPECT_FAILURE(workbook.sheets(1), sheetsAfterQuit);
        EXPECT_FAILURE(sheet.setCellValue(1, 1, QStringLiteral("x")), cellAfterQuit);
        EXPECT_FAILURE(workbook.saveAs(path(QStringLiteral("after-quit.xls"))), saveAfterQuit);
        QVERIFY(!QFileInfo::exists(path(QStringLiteral("after-quit.xls"))));
        QVERIFY(QDir(m_folder.path()).entryList(QDir::Files).filter(QStringLiteral("after-quit")).isEmpty());
    }

    void unknownFileFormatIsRefused()
    {
        Workbook workbook;
        workbook.sheets(1).setCellValue(1, 1, QStringLiteral("x"));
        EXPECT_FAILURE(workbook.saveAs(path(QStringLiteral("format56.xls")), 56), message);
        QVERIFY2(message.contains(QLatin1String("56")), qPrintable(message));
        QVERIFY(!QFileInfo::exists(path(QStringLiteral("format56.xls"))));
        EXPECT_FAILURE(workbook.saveAs(QString()), emptyName);
    }

    // ----------------------------------------------------------------- files

    void timetableGridSurvives_data() { addFormats(); }
    void timetableGridSurvives()
    {
        REQUIRE_READER();
        QFETCH(QString, fileName);
        QFETCH(int, fileFormat);
        QFETCH(QString, expectedFormat);
        const auto application = SpreadsheetApplication::create(QStringLiteral("Excel.Application"));
        application->setVisible(false);
        application->setDisplayAlerts(false);
        Workbook& workbook = application->addWorkbook();
        fillTimetableSheet(workbook.sheets(1));
        QCOMPARE(workbook.sheets(1).cells().at({1, 4}), QStringLiteral(" Wednesday"));
        QCOMPARE(workbook.sheets(1).cells().at({2, 1}), QStringLiteral("6:00 AM"));
        QCOMPARE(workbook.sheets(1).maxRow(), 33);
        QCOMPARE(workbook.sheets(1).maxColumn(), 8);
        CHECKED(saveAndCompare(workbook, fileName, fileFormat, expectedFormat));
        application->quit();
    }

    // Where two courses clash, an .xlsx workbook names both, the later
    // first; .xls and .csv keep the one name the grid places.
    void clashingNamesOnlyInXlsx_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("shown");
        QTest::newRow("xlsx") << "week.xlsx"
                              << "PSYCH 1101 / MATH 2210";
        QTest::newRow("xls") << "week.xls"
                             << "PSYCH 1101";
        QTest::newRow("csv") << "week.csv"
                             << "PSYCH 1101";
    }
    void clashingNamesOnlyInXlsx()
    {
        QFETCH(QString, fileName);
        QFETCH(QString, shown);
        TimetableGrid grid;
        grid.setRows(2);
        grid.setCols(3);
        const int maths = grid.addCourse(QStringLiteral("MATH 2210"), QTime(9, 0), QTime(9, 50));
        const int psych = grid.addCourse(QStringLiteral("PSYCH 1101"), QTime(9, 30), QTime(10, 20));
        grid.placeCourse(1, 1, maths);
        grid.placeCourse(1, 1, psych);
        grid.placeCourse(1, 2, maths);
        Workbook workbook;
        Procedure p([](int, const QString& description) { QFAIL(qPrintable(description)); });
        quorvane::fillTimetableSheet(workbook.sheets(1), QStringLiteral("Week"), grid, p);
        saveTimetable(ExportKind::Workbook, path(fileName), grid, QStringLiteral("Week"), &workbook, {});
        QCOMPARE(workbook.sheets(1).cells().at({3, 2}), shown);
        QCOMPARE(workbook.sheets(1).cells().at({3, 3}), QStringLiteral("MATH 2210"));
        QCOMPARE(grid.text(1, 1), QStringLiteral("PSYCH 1101"));
    }

    void nonLatinTextsQuotesAndEmojiSurvive_data() { addFormats(); }
    void nonLatinTextsQuotesAndEmojiSurvive()
    {
        REQUIRE_READER();
        QFETCH(QString, fileName);
        QFETCH(int, fileFormat);
        QFETCH(QString, expectedFormat);
        Workbook workbook;
        Worksheet& sheet = workbook.sheets(1);
        sheet.setCellValue(1, 1, QString::fromUtf8("Расписание 日本 ✓ O'Brien \"x\""));
        sheet.setCellValue(1, 2, QString::fromUtf8("😀 🎓📅 emoji"));
        sheet.setCellValue(2, 1, QString::fromUtf8("Zoë café ÿ")); // 8-bit in xls
        sheet.setCellValue(2, 2, QString::fromUtf8("e\u0301 combining, עברית, العربية"));
        sheet.setCellValue(3, 1, QStringLiteral("  leading and trailing blanks  "));
        sheet.setCellValue(3, 2, QStringLiteral("tab\there\nnew line"));
        sheet.setCellValue(4, 1, QStringLiteral("<tag> & \"amp\" 'apos'"));
        sheet.setCellValue(4, 2, QStringLiteral("literal _x0041_ stays"));
        sheet.setCellValue(5, 1, QStringLiteral("control \x01 character"));
        sheet.setCellValue(5, 2, QStringLiteral("not XML: ") + QChar(0xFFFE) + QChar(0xFFFF) + QStringLiteral("."));
        CHECKED(saveAndCompare(workbook, fileName, fileFormat, expectedFormat));
        if (expectedFormat != QLatin1String("xlsx"))
            return;
        if (const QString missing = programsMissing({QStringLiteral("xmllint")}); !missing.isEmpty())
            QSKIP(qPrintable(missing));
        const QString parts = path(QStringLiteral("parts-") + fileName);
        QCOMPARE(QProcess::execute(
                     QStringLiteral("python3"),
                     {QStringLiteral("-c"),
                      QStringLiteral("import sys, zipfile; zipfile.ZipFile(sys.argv[1]).extractall(sys.argv[2])"),
                      path(fileName), parts}),
                 0);
        QDirIterator part(parts, QDir::Files, QDirIterator::Subdirectories);
        while (part.hasNext())
            QVERIFY2(QProcess::execute(QStringLiteral("xmllint"), {QStringLiteral("--noout"), part.next()}) == 0,
                     qPrintable(part.filePath()));
    }

    void longTextIsCutTo32767Units_data() { addFormats(); }
    void longTextIsCutTo32767Units()
    {
        REQUIRE_READER();
        QFETCH(QString, fileName);
        QFETCH(int, fileFormat);
        QFETCH(QString, expectedFormat);
        Workbook workbook;
        Worksheet& sheet = workbook.sheets(1);
        QString latin;
        for (int i = 0; latin.size() < 100000; ++i)
            latin += QStringLiteral("line %1; ").arg(i);
        latin.truncate(100000);
        sheet.setCellValue(1, 1, latin);
        // Non-Latin text spanning many records, with an emoji straddling the
        // limit: the pair is dropped rather than cut in half.
        QString cyrillic(kMaxCellTextLength - 1, QChar(0x0436));
        cyrillic += QString::fromUtf8("😀 and more text after the limit");
        sheet.setCellValue(2, 1, cyrillic);
        sheet.setCellValue(3, 1, QStringLiteral("short"));

        QCOMPARE(sheet.cells().at({1, 1}).size(), 100000);
        QCOMPARE(storedCellText(latin), latin.left(kMaxCellTextLength));
        QCOMPARE(storedCellText(cyrillic).size(), kMaxCellTextLength - 1);
        CHECKED(saveAndCompare(workbook, fileName, fileFormat, expectedFormat));
    }

    void manyDistinctTextsFillSeveralStringRecords_data() { addFormats(); }
    void manyDistinctTextsFillSeveralStringRecords()
    {
        REQUIRE_READER();
        QFETCH(QString, fileName);
        QFETCH(int, fileFormat);
        QFETCH(QString, expectedFormat);
        Workbook workbook;
        Worksheet& sheet = workbook.sheets(1);
        for (int i = 0; i < 3000; ++i) {
            const QString text = (i % 7 == 0) ? QStringLiteral("Курс номер %1 дн").arg(i, 6, 10, QLatin1Char('0'))
                                              : QStringLiteral("Course number %1 x").arg(i, 4, 10, QLatin1Char('0'));
            sheet.setCellValue(1 + i / 8, 1 + i % 8, text);
        }
        // The same texts again: shared, not stored twice.
        for (int column = 1; column <= 8; ++column)
            sheet.setCellValue(400, column, sheet.cells().at({1, column}));
        CHECKED(saveAndCompare(workbook, fileName, fileFormat, expectedFormat));
        if (expectedFormat == QLatin1String("xls")) {
            READ_WORKBOOK(path(fileName), result);
            QVERIFY(result.value(QStringLiteral("sst_continue_records")).toInt() >= 5);
            QCOMPARE(result.value(QStringLiteral("sst_unique")).toInt(), 3000);
            QCOMPARE(result.value(QStringLiteral("cell_records")).toInt(), 3008);
        }
    }

    void surrogatePairAtAStringRecordBoundaryStaysWhole()
    {
        REQUIRE_READER();
        // The first string record has room for 4106 two-byte units after its
        // headers: the 4106th and 4107th units here are one emoji.
        Workbook workbook;
        workbook.sheets(1).setCellValue(1, 1, QString(4105, QChar(0x0436)) + QString::fromUtf8("😀 end"));
        CHECKED(saveAndCompare(workbook, QStringLiteral("boundary.xls"), FileFormat::WorkbookNormal,
                               QStringLiteral("xls")));
    }

    void largeXlsWorkbookListsFatSectorsBeyondTheHeader()
    {
        REQUIRE_READER();
        // About 8 MB of texts: more FAT sectors than the header's 109 slots,
        // so the compound file needs a DIFAT sector.
        Workbook workbook;
        Worksheet& sheet = workbook.sheets(1);
        const QString filler(235, QChar(0x65E5));
        for (int row = 1; row <= 16000; ++row)
            sheet.setCellValue(row, 1 + row % 3, QStringLiteral("%1 %2").arg(row, 5, 10, QLatin1Char('0')).arg(filler));
        CHECKED(
            saveAndCompare(workbook, QStringLiteral("large.xls"), FileFormat::WorkbookNormal, QStringLiteral("xls")));
        const QByteArray bytes = fileBytes(path(QStringLiteral("large.xls")));
        const auto header32 = [&](int offset) { return qFromLittleEndian<quint32>(bytes.constData() + offset); };
        QVERIFY(header32(0x2C) > 109); // FAT sectors
        QVERIFY(header32(0x48) >= 1);  // DIFAT sectors
    }

    void emptySheetSaves_data() { addFormats(); }
    void emptySheetSaves()
    {
        REQUIRE_READER();
        QFETCH(QString, fileName);
        QFETCH(int, fileFormat);
        QFETCH(QString, expectedFormat);
        Workbook workbook;
        workbook.sheets(1).setCellValue(5, 5, QString());
        CHECKED(saveAndCompare(workbook, fileName, fileFormat, expectedFormat));
    }

    void emptyTextsAreNotWritten()
    {
        REQUIRE_READER();
        Workbook workbook;
        Worksheet& sheet = workbook.sheets(1);
        sheet.setCellValue(1, 1, QStringLiteral("kept"));
        sheet.setCellValue(1, 2, QStringLiteral("emptied later"));
        sheet.setCellValue(1, 2, QString());
        sheet.setCellValue(2, 3, QString());
        const QString fileName = path(QStringLiteral("empty-texts.xls"));
        workbook.saveAs(fileName);
        READ_WORKBOOK(fileName, result);
        QCOMPARE(result.value(QStringLiteral("cell_records")).toInt(), 1);
        const QJsonObject saved = result.value(QStringLiteral("sheets")).toArray().at(0).toObject();
        QCOMPARE(saved.value(QStringLiteral("rows")).toInt(), 1);
        QCOMPARE(saved.value(QStringLiteral("columns")).toInt(), 1);
    }

    void savingReplacesAnExistingFile_data() { addFormats(); }
    void savingReplacesAnExistingFile()
    {
        REQUIRE_READER();
        QFETCH(QString, fileName);
        QFETCH(int, fileFormat);
        QFETCH(QString, expectedFormat);
        const QString target = path(QStringLiteral("replaced-") + fileName);
        {
            QFile old(target);
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write(QByteArray(100000, 'o'));
        }
        Workbook workbook;
        workbook.sheets(1).setCellValue(2, 2, QStringLiteral("new content"));
        CHECKED(saveAndCompare(workbook, QStringLiteral("replaced-") + fileName, fileFormat, expectedFormat));
        QVERIFY(!fileBytes(target).contains(QByteArray(1000, 'o')));
    }

    void sheetBeyondXlsLimitsNeedsXlsx()
    {
        REQUIRE_READER();
        for (const auto& address : {qMakePair(kMaxXlsRows + 1, 1), qMakePair(1, kMaxXlsColumns + 1)}) {
            Workbook workbook;
            workbook.sheets(1).setCellValue(address.first, address.second, QStringLiteral("far away"));
            const QString xlsName = path(QStringLiteral("far.xls"));
            EXPECT_FAILURE(workbook.saveAs(xlsName), message);
            QVERIFY2(message.contains(QLatin1String("65536")), qPrintable(message));
            QVERIFY(!QFileInfo::exists(xlsName));
            CHECKED(saveAndCompare(workbook, QStringLiteral("far.xlsx"), FileFormat::WorkbookNormal,
                                   QStringLiteral("xlsx")));
        }
        // The last cell an .xls file holds is fine.
        Workbook workbook;
        workbook.sheets(1).setCellValue(kMaxXlsRows, kMaxXlsColumns, QStringLiteral("IV65536"));
        workbook.sheets(1).setCellValue(1, 1, QStringLiteral("A1"));
        CHECKED(
            saveAndCompare(workbook, QStringLiteral("corner.xls"), FileFormat::WorkbookNormal, QStringLiteral("xls")));
    }

    // -------------------------------------------------------------- printing

    void printedSheetIsLaidOut_data() { addFormats(); }
    void printedSheetIsLaidOut()
    {
        REQUIRE_READER();
        QFETCH(QString, fileName);
        Workbook workbook;
        Worksheet& sheet = workbook.sheets(1);
        sheet.setCellValue(1, 1, QString::fromUtf8("Осенний семестр, второй курс"));
        for (int column = 1; column <= 8; ++column)
            sheet.setCellValue(2, column, QStringLiteral("Day %1").arg(column));
        sheet.setCellValue(5, 2, QStringLiteral("Mathematics"));
        sheet.setCellValue(6, 4, QString::fromUtf8("Введение в теорию вычислений и формальных языков, часть вторая"));
        sheet.setCellValue(7, 5, QString(kMaxCellTextLength + 1, QLatin1Char('x')));
        sheet.setUpForPrinting(34, 8);
        // Widths are estimated generously: capitals and wide characters take more room, combining marks none.
        QCOMPARE(estimatedTextWidth("AMpm"), 4.6);
        QCOMPARE(estimatedTextWidth(QString::fromUtf8("ab\n日本😀e\u0301")), 7.0);
        const PrintLayout& printed = *sheet.printLayout();
        QVERIFY(printed.columnWidths[1] > printed.columnWidths[7] && printed.columnWidths[4] <= kMaxColumnWidth);
        QVERIFY(printed.rowHeight(6) > kLineHeight);
        QCOMPARE(printed.rowHeight(7), kMaxRowHeight);
        QCOMPARE(sheet.cellStyle(35, 1), CellStyle::Plain);
        workbook.saveAs(path(fileName));
        READ_WORKBOOK(path(fileName), result);
        const QJsonObject layout = result["sheets"][0]["layout"].toObject();
        QCOMPARE(layout["area"], QJsonArray({1, 1, 34, 8}));
        QCOMPARE(layout["page"], QStringLiteral("paper %1, landscape, fit to 1x1 pages on, centred")
                                     .arg(localePaper() == QPageSize::Letter ? 1 : 9));
        QCOMPARE(layout["merged"], QJsonArray{QJsonArray({1, 1, 1, 8})});
        QStringList styles{"title", "heading"};
        while (styles.size() < 34)
            styles << "framed";
        QCOMPARE(layout["styles"].toVariant().toStringList(), styles);
        QCOMPARE(layout["heights"][5].toDouble(), printed.rowHeight(6));
        // Stored as Excel stores widths: whole pixels, 7 to a character, and 5 more.
        for (int column = 0; column < 8; ++column)
            QCOMPARE(layout["widths"][column].toDouble(),
                     std::floor((std::floor(printed.columnWidths[column] * 7 + 0.5) + 5) / 7 * 256) / 256);
    }

    // Letter where the locale measures in US units, A4 elsewhere.
    void paperFollowsTheLocale_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<int>("paper");
        QTest::newRow("en_US") << "en_US" << 1;
        QTest::newRow("de_DE") << "de_DE" << 9;
        QTest::newRow("en_GB") << "en_GB" << 9;
    }
    void paperFollowsTheLocale()
    {
        QFETCH(QString, locale);
        QFETCH(int, paper);
        const QLocale before;
        QLocale::setDefault(QLocale(locale));
        const auto restore = qScopeGuard([&] { QLocale::setDefault(before); });
        for (const QString name : {"paper.xls", "paper.xlsx"}) {
            Workbook workbook;
            workbook.sheets(1).setCellValue(2, 1, QStringLiteral("Time"));
            workbook.sheets(1).setUpForPrinting(3, 2);
            workbook.saveAs(path(name));
            READ_WORKBOOK(path(name), result);
            QVERIFY(
                result["sheets"][0]["layout"]["page"].toString().startsWith(QStringLiteral("paper %1,").arg(paper)));
        }
    }

    void csvHoldsTheCellsQuoted()
    {
        Workbook workbook;
        Worksheet& sheet = workbook.sheets(1);
        sheet.setCellValue(1, 1, QStringLiteral("Week \"A\", B; C"));
        sheet.setCellValue(1, 3, QStringLiteral("two\r\nlines"));
        sheet.setCellValue(2, 2, QString::fromUtf8(" 😀 Расписание 日本") + QChar(0));
        sheet.setCellValue(4, 4, QString(kMaxCellTextLength + 10, QLatin1Char('x')));
        const QString fileName = path(QStringLiteral("cells.CSV"));
        workbook.saveAs(fileName);
        QVERIFY(fileBytes(fileName).startsWith("\xEF\xBB\xBF\"Week \"\"A\"\", B; C\",,\"two\r\nlines\",\r\n,\" "));
        QVERIFY(fileBytes(fileName).endsWith(QByteArray(kMaxCellTextLength, 'x') + "\r\n"));
        const WorkbookReading reading = readBack(QStringLiteral("read_export.py"), {fileName});
        QVERIFY2(reading.error.isEmpty(), qPrintable(reading.error));
        QVERIFY(reading.book["bom"].toBool());
        CellMap read;
        for (int row = 0; row < 4; ++row)
            for (int column = 0; column < 4; ++column)
                if (const QString text = reading.book["rows"][row][column].toString(); !text.isEmpty())
                    read.insert(qMakePair(row + 1, column + 1), text);
        CellMap expected = storedCells(sheet);
        expected[qMakePair(2, 2)].chop(1); // U+0000 is left out
        QVERIFY2(firstDifference(expected, read).isEmpty(), qPrintable(firstDifference(expected, read)));
    }

    void csvNamesStayTextInASpreadsheet()
    {
        if (const QString missing = programsMissing({QStringLiteral("soffice")}); !missing.isEmpty())
            QSKIP(qPrintable(missing));
        const QStringList names = {
            QStringLiteral("=1+1"),     QStringLiteral("=HYPERLINK(\"http://x.invalid\",\"click\")"),
            QStringLiteral("+1"),       QStringLiteral("-1"),
            QStringLiteral("@SUM(A1)"), QStringLiteral("\tTab")};
        Workbook workbook;
        for (int row = 0; row < names.size(); ++row)
            workbook.sheets(1).setCellValue(row + 1, 1, names[row]);
        workbook.saveAs(path(QStringLiteral("names.csv")));
        QProcess convert;
        convert.setWorkingDirectory(m_folder.path());
        convert.start(QStringLiteral("soffice"),
                      {QStringLiteral("-env:UserInstallation=file://") + path(QStringLiteral("lo")),
                       QStringLiteral("--headless"), QStringLiteral("--convert-to"), QStringLiteral("xlsx"),
                       QStringLiteral("names.csv")});
        QVERIFY(convert.waitForFinished(180000));
        // The reader refuses any cell that is not text, a formula among them.
        const WorkbookReading reading = readWorkbook(path(QStringLiteral("names.xlsx")));
        QVERIFY2(reading.error.isEmpty(),
                 qPrintable(reading.error + QString::fromLocal8Bit(convert.readAllStandardError())));
        const CellMap read = cellsOf(reading.book[QStringLiteral("sheets")][0].toObject());
        for (int row = 0; row < names.size(); ++row)
            QVERIFY2(read.value(qMakePair(row + 1, 1)).endsWith(names[row]),
                     qPrintable(read.value(qMakePair(row + 1, 1))));
    }

    // -------------------------------------------------------------- failures

    void failedSaveLeavesExistingFilesUntouched_data() { addFormats(); }
    void failedSaveLeavesExistingFilesUntouched()
    {
        QFETCH(QString, fileName);
        QFETCH(int, fileFormat);
        Workbook workbook;
        fillTimetableSheet(workbook.sheets(1));

        // A folder that is a regular file.
        const QString notAFolder = path(QStringLiteral("not-a-folder-") + fileName);
        {
            QFile file(notAFolder);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("old content");
        }
        EXPECT_FAILURE(workbook.saveAs(notAFolder + QStringLiteral("/") + fileName, fileFormat), underFile);
        QVERIFY2(underFile.contains(fileName), qPrintable(underFile));
        QCOMPARE(fileBytes(notAFolder), QByteArray("old content"));

        // A folder that does not exist.
        const QString missing = path(QStringLiteral("missing/folder/") + fileName);
        EXPECT_FAILURE(workbook.saveAs(missing, fileFormat), missingMessage);
        QVERIFY(!QFileInfo::exists(path(QStringLiteral("missing"))));

        // A folder where the file should be: it stays, with its content.
        const QString folder = path(QStringLiteral("folder-") + fileName);
        QVERIFY(QDir().mkpath(folder));
        {
            QFile inside(folder + QStringLiteral("/inside.txt"));
            QVERIFY(inside.open(QIODevice::WriteOnly));
            inside.write("kept");
        }
        EXPECT_FAILURE(workbook.saveAs(folder, fileFormat), onFolder);
        QVERIFY(QFileInfo(folder).isDir());
        QCOMPARE(fileBytes(folder + QStringLiteral("/inside.txt")), QByteArray("kept"));

        // A read-only file (root may write anyway, so only checked for other
        // users).
        if (geteuid() != 0) {
            const QString readOnly = path(QStringLiteral("read-only-") + fileName);
            {
                QFile file(readOnly);
                QVERIFY(file.open(QIODevice::WriteOnly));
                file.write("old content");
            }
            QVERIFY(QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
            EXPECT_FAILURE(workbook.saveAs(readOnly, fileFormat), readOnlyMessage);
            QCOMPARE(fileBytes(readOnly), QByteArray("old content"));
        }

        // A workbook that cannot be written leaves the existing file as it was.
        const QString existing = path(QStringLiteral("existing-") + fileName);
        {
            QFile file(existing);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("old content");
        }
        Workbook tooLarge;
        tooLarge.sheets(1).setCellValue(kMaxXlsRows + 1, 1, QStringLiteral("x"));
        if (fileFormat == FileFormat::WorkbookNormal &&
            !fileName.endsWith(QLatin1String("xlsx"), Qt::CaseInsensitive)) {
            EXPECT_FAILURE(tooLarge.saveAs(existing, fileFormat), tooLargeMessage);
            QVERIFY2(tooLargeMessage.contains(existing), qPrintable(tooLargeMessage));
        }
        QCOMPARE(fileBytes(existing), QByteArray("old content"));
        QCOMPARE(QDir(m_folder.path()).entryList({QStringLiteral("*.tmp"), QStringLiteral("*~")}, QDir::Files),
                 QStringList());
    }

    void failureCarriesTheSystemsErrorText()
    {
        Workbook workbook;
        workbook.sheets(1).setCellValue(1, 1, QStringLiteral("x"));
        const QString folder = path(QStringLiteral("a-folder.xls"));
        QVERIFY(QDir().mkpath(folder));
        EXPECT_FAILURE(workbook.saveAs(folder), message);
        QSaveFile probe(folder);
        QVERIFY(!probe.open(QIODevice::WriteOnly));
        QVERIFY2(message.contains(probe.errorString()), qPrintable(message));
        QVERIFY2(message.contains(folder), qPrintable(message));
    }
};

QTEST_GUILESS_MAIN(SpreadsheetTest)
#include "test_spreadsheet.moc"
