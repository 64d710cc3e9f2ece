// How long exporting the timetable grid takes, as an Excel 97-2003 workbook
// and as an .xlsx workbook, next to plainly writing a file of the same size.
//
// Usage: bench_export_workbook [repetitions]   (default 200)
#include "export/spreadsheet.h"
#include "export/workbook_files.h"
#include "tests/support/timetable_sheet.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>

using namespace quorvane;

namespace {

// Milliseconds for running step repetitions times.
double measure(int repetitions, const std::function<void()>& step)
{
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < repetitions; ++i)
        step();
    return double(timer.nsecsElapsed()) / 1e6;
}

void plainWrite(const QString& fileName, const QByteArray& bytes)
{
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        throw SpreadsheetFailure(QStringLiteral("Cannot write %1: %2").arg(fileName, file.errorString()));
}

void report(const char* what, int repetitions, double milliseconds, double baselineMilliseconds)
{
    std::printf("%-44s %9.1f ms total %9.1f us each", what, milliseconds, milliseconds * 1000.0 / repetitions);
    if (baselineMilliseconds > 0)
        std::printf("   %7.2fx the plain write", milliseconds / baselineMilliseconds);
    std::printf("\n");
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    const int repetitions = argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : 200;
    QTemporaryDir folder;
    if (!folder.isValid()) {
        std::fprintf(stderr, "no temporary folder: %s\n", qPrintable(folder.errorString()));
        return 1;
    }
    try {
        const auto spreadsheet = SpreadsheetApplication::create(QStringLiteral("Excel.Application"));
        spreadsheet->setVisible(false);
        spreadsheet->setDisplayAlerts(false);
        Workbook& workbook = spreadsheet->addWorkbook();
        testing::fillTimetableSheet(workbook.sheets(1));

        const QString xlsName = folder.filePath(QStringLiteral("grid.xls"));
        const QString xlsxName = folder.filePath(QStringLiteral("grid.xlsx"));
        const QString plainName = folder.filePath(QStringLiteral("plain.bin"));

        // Warm up, and learn the file sizes for the plain writes.
        workbook.saveAs(xlsName);
        workbook.saveAs(xlsxName);
        const QByteArray xlsBytes(QFileInfo(xlsName).size(), 'x');
        const QByteArray xlsxBytes(QFileInfo(xlsxName).size(), 'x');

        // Several rounds, each measuring everything in turn; the best round
        // of each counts, so that a busy moment of the machine hurts none.
        constexpr int kRounds = 5;
        double plainXls = 1e300, xlsFile = 1e300, xlsBuffer = 1e300, plainXlsx = 1e300, xlsxFile = 1e300;
        for (int round = 0; round < kRounds; ++round) {
            plainXls = std::min(plainXls, measure(repetitions, [&] { plainWrite(plainName, xlsBytes); }));
            xlsFile = std::min(xlsFile, measure(repetitions, [&] { workbook.saveAs(xlsName); }));
            xlsBuffer = std::min(xlsBuffer, measure(repetitions, [&] { xlsWorkbookBytes(workbook.sheets(1)); }));
            plainXlsx = std::min(plainXlsx, measure(repetitions, [&] { plainWrite(plainName, xlsxBytes); }));
            xlsxFile = std::min(xlsxFile, measure(repetitions, [&] { workbook.saveAs(xlsxName); }));
        }
        spreadsheet->quit();

        std::printf("33x8 grid, %d writes each, best of %d rounds; .xls file %lld bytes, .xlsx file %lld bytes\n",
                    repetitions, kRounds, static_cast<long long>(xlsBytes.size()),
                    static_cast<long long>(xlsxBytes.size()));
        report("plain QFile write, .xls size", repetitions, plainXls, 0);
        report(".xls saveAs (atomic file)", repetitions, xlsFile, plainXls);
        report(".xls bytes in memory", repetitions, xlsBuffer, plainXls);
        report("plain QFile write, .xlsx size", repetitions, plainXlsx, 0);
        report(".xlsx saveAs (libxlsxwriter, atomic file)", repetitions, xlsxFile, plainXlsx);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
