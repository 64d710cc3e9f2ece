// The timetable drawn for paper, as a picture and as a PDF page; the files are
// read back by ImageMagick's identify and poppler's pdfinfo and pdftotext.
#include "app/form1.h"
#include "base/failure.h"
#include "export/page_fit.h"
#include "export/picture_file.h"
#include "export/timetable_picture.h"
#include "tests/support/expected_texts.h"
#include "tests/support/scripted_prompts.h"
#include "tests/support/small_disk.h"
#include "tests/support/test_db.h"
#include "timetable/course_colours.h"
#include "timetable/grid.h"
#include "timetable/grid_view.h"

#include <QApplication>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QtTest>

using namespace quorvane;
using namespace quorvane::testing;

const QString kLatin = QStringLiteral("Introduction to the Theory of Computation and Formal Languages, II");
const QString kCyrillic = QString::fromUtf8("Введение в теорию вычислений и формальных языков, часть вторая (II)");

class PictureExportTest : public QObject
{
    Q_OBJECT
    ProgramFolder m_folder;
    ScriptedPrompts m_prompts;
    std::unique_ptr<Form1> m_form;

    // The schedule "Week" with these courses added (name, days, from, to),
    // drawn as the window draws it.
    const TimetableGrid& grid(const QList<QStringList>& courses = {})
    {
        for (QStringList c : courses)
            execSql(m_folder.databasePath(), QString("insert into tblCourse (ScheduleID,CourseName,Days,TimeFrom,"
                                                     "TimeTo) values (1,'%1','%2','%3','%4')")
                                                 .arg(c[0].replace("'", "''"), c[1], c[2], c[3]));
        m_form = std::make_unique<Form1>(m_folder.path(), m_prompts);
        m_form->Form_Load();
        return m_form->grid();
    }

private slots:
    void initTestCase() { execSql(m_folder.databasePath(), "insert into tblSchedules (Description) values ('W')"); }
    void init() { execSql(m_folder.databasePath(), "delete from tblCourse"); }

    void drawnForPrintWhateverTheTheme()
    {
        // Mathematics and Design clash at 8:30 AM on Monday; the current cell is Design's on Tuesday.
        const TimetableGrid& drawn =
            grid({{"Mathematics", "0", "08:30", "08:45"}, {"Design", "0,1", "08:30", "09:00"}});
        m_form->gridView().setCurrentGridCell(6, 2);
        const QImage image = timetableImage(drawn, ClashNames::Placed);
        const QPalette light = QApplication::palette();
        QApplication::setPalette(QPalette(QColor(0x20, 0x20, 0x20), QColor(0x30, 0x30, 0x30))); // a dark theme
        QCOMPARE(timetableImage(drawn, ClashNames::Placed), image);
        QApplication::setPalette(light);
        // Short texts: the columns as wide as on screen, the rows of one height.
        QCOMPARE(image.width(), 80 + 7 * 100 + 1);
        const int rowHeight = (image.height() - 1) / 33;
        const auto background = [&](int row, int col) {
            return image.pixel(80 + col * 100 - 5, row * rowHeight + rowHeight - 3);
        };
        QCOMPARE(background(0, 3), qRgb(0xE8, 0xE8, 0xE8)); // the header row
        // Design's colour in both its cells, the clash framed; the empty cells white.
        QCOMPARE(background(6, 1), drawn.courseColour(6, 2).rgb());
        QCOMPARE(background(6, 2), drawn.courseColour(6, 2).rgb());
        QCOMPARE(background(7, 2), drawn.courseColour(6, 2).rgb());
        QCOMPARE(background(6, 3), qRgb(0xFF, 0xFF, 0xFF));
        QCOMPARE(image.pixel(80 + 1, 6 * rowHeight + rowHeight / 2), clashFrameColour().rgb());
        QVERIFY(image.pixel(180 + 1, 6 * rowHeight + rowHeight / 2) != clashFrameColour().rgb());
        int darkest = 255;
        for (int x = 183; x < 240; ++x)
            darkest = std::min(darkest, qGray(image.pixel(x, 6 * rowHeight + rowHeight / 2)));
        QVERIFY(darkest < 60);
    }

    // A clash shows every name, the later first, but in a bitmap.
    void clashesNameEveryCourseButInABitmap()
    {
        const TimetableGrid& drawn = grid({{"Mathematics", "0", "08:30", "08:45"}, {"Design", "0", "08:30", "09:00"}});
        const QImage every = timetableImage(drawn);
        const QImage placed = timetableImage(drawn, ClashNames::Placed);
        QVERIFY(every.width() > placed.width());
        QCOMPARE(placed.width(), 80 + 7 * 100 + 1);
        saveTimetablePicture(drawn, "W", m_folder.file("clash.bmp"));
        saveTimetablePicture(drawn, "W", m_folder.file("clash.png"));
        QCOMPARE(QImage(m_folder.file("clash.bmp")).convertToFormat(QImage::Format_RGB32), placed);
        QCOMPARE(QImage(m_folder.file("clash.png")).convertToFormat(QImage::Format_RGB32), every);
        if (const QString missing = programsMissing({"pdftotext"}); !missing.isEmpty())
            QSKIP(qPrintable(missing));
        saveTimetablePicture(drawn, "W", m_folder.file("clash.pdf"));
        const QString text = pdfText(m_folder.file("clash.pdf"));
        QVERIFY2(text.contains("Design / Mathematics"), qPrintable(text));
    }

    void longNamesWrapAndRowsGrow_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("66 Cyrillic characters") << kCyrillic;
        QTest::newRow("a line break") << QStringLiteral("Physics\nlaboratory");
        QTest::newRow("a million characters") << QString(1000000, QLatin1Char('w'));
    }
    void longNamesWrapAndRowsGrow()
    {
        QFETCH(QString, name);
        const QImage plain = timetableImage(grid());
        const QImage image = timetableImage(grid({{name, "2", "09:30", "09:30"}}));
        const int rowHeight = (plain.height() - 1) / 33;
        QVERIFY(image.height() > plain.height());
        QVERIFY(image.height() <= plain.height() + (kMaxPictureLines - 1) * rowHeight);
        QVERIFY(image.width() <= plain.width() + kMaxPictureColumnWidth);
    }

    void formatFollowsTheExtension_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("format");
        for (const auto& [name, format] : {std::pair("week.PNG", "PNG"), {"week.pdf", "PDF"}, {"week.txt", "BMP"}})
            QTest::newRow(name) << QString(name) << QString(format);
    }
    void formatFollowsTheExtension()
    {
        QFETCH(QString, name);
        QFETCH(QString, format);
        if (const QString missing = programsMissing({"identify", "pdfinfo", "pdftotext"}); !missing.isEmpty())
            QSKIP(qPrintable(missing));
        const QString path = m_folder.file(name);
        const QString title = QString::fromUtf8("Осенний семестр — Week");
        saveTimetablePicture(grid({{kLatin, "2", "09:30", "09:30"}, {kCyrillic, "3", "10:00", "10:00"}}), title, path);
        if (format != "PDF") {
            QVERIFY(programOutput("identify", {"-format", "%m", path}).startsWith(format));
            return;
        }
        const QString info = programOutput("pdfinfo", {path});
        const QString paper =
            localePaper() == QPageSize::Letter ? "792 x 612 pts \\(letter\\)" : "842 x 595 pts \\(A4\\)";
        QVERIFY2(info.contains(QRegularExpression("Pages: +1\n.*\nPage size: +" + paper)), qPrintable(info));
        // Vector text: every name whole, the title above the grid.
        const QString text = pdfText(path);
        QVERIFY2(text.startsWith(title + " Time Monday") && text.contains(kLatin) && text.contains(kCyrillic),
                 qPrintable(text));
    }

    void printsOneLandscapePageWithEveryName()
    {
        if (const QString missing = programsMissing({"pdfinfo", "pdftotext"}); !missing.isEmpty())
            QSKIP(qPrintable(missing));
        const QString thousand = QString(995, QLatin1Char('x')) + QStringLiteral(" tail");
        grid({{kLatin, "0", "08:30", "09:00"}, {kCyrillic, "2", "10:00", "10:00"}, {thousand, "6", "21:30", "21:30"}});
        QPrinter printer;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(m_folder.file("printed.pdf"));
        printer.setPageSize(QPageSize(QPageSize::Letter));
        printer.setPageOrientation(QPageLayout::Landscape);
        m_form->printSchedule(printer, "Autumn term");
        const QString info = programOutput("pdfinfo", {printer.outputFileName()});
        QVERIFY2(info.contains(QRegularExpression("Pages: +1\n.*\nPage size: +792 x 612 pts")), qPrintable(info));
        const QString text = pdfText(printer.outputFileName());
        QVERIFY2(text.startsWith("Autumn term Time Monday") && text.contains(kLatin) && text.contains(kCyrillic) &&
                     text.contains("xxxxxxxxxx"),
                 qPrintable(text));

        // A job that cannot be written fails with the reason.
        printer.setOutputFileName(m_folder.file("missing/printed.pdf"));
        try {
            m_form->printSchedule(printer, "Autumn term");
            QFAIL("printed to a missing folder");
        } catch (const Failure& failure) {
            QVERIFY2(failure.description().contains("No such file or directory"), qPrintable(failure.description()));
        }
    }

    // As the exports: the reason, and no empty file left behind.
    void printToAFullDiskFailsWithTheReason()
    {
        grid({{"Mathematics", "0", "08:30", "09:00"}});
        SmallDisk disk;
        QPrinter printer;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(disk.file("week.pdf"));
        const QString why = disk.fill();
        try {
            m_form->printSchedule(printer, "W");
            QFAIL("printed to a full disk");
        } catch (const Failure& failure) {
            QCOMPARE(failure.description(), QString("Cannot print to %1: %2.").arg(printer.outputFileName(), why));
        }
        disk.release();
        QVERIFY(!QFileInfo::exists(printer.outputFileName()));
    }

    void pdfPaperFollowsTheLocale()
    {
        if (const QString missing = programsMissing({"pdfinfo"}); !missing.isEmpty())
            QSKIP(qPrintable(missing));
        const QLocale before;
        QLocale::setDefault(QLocale("en_US"));
        const auto restore = qScopeGuard([&] { QLocale::setDefault(before); });
        saveTimetablePicture(grid({{"Mathematics", "0", "08:30", "09:00"}}), "W", m_folder.file("letter.pdf"));
        const QString info = programOutput("pdfinfo", {m_folder.file("letter.pdf")});
        QVERIFY2(info.contains(QRegularExpression("Page size: +792 x 612 pts")), qPrintable(info));
    }

    void previewOpensAndCloses()
    {
        grid({{"Mathematics", "0", "08:30", "09:00"}});
        m_form->show();
        QApplication::setActiveWindow(m_form.get());
        QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
        int pages = -1;
        m_prompts.onDialog([&](QDialog& dialog) {
            QCOMPARE(dialog.objectName(), QString("PrintPreview"));
            auto* preview = dialog.findChild<QPrintPreviewWidget*>();
            QVERIFY(preview);
            preview->updatePreview();
            pages = preview->pageCount();
            QCOMPARE(preview->orientation(), QPageLayout::Landscape);
            // A job that fails: the error box with the reason, the preview stays.
            QPrinter* printer = static_cast<QPrintPreviewDialog&>(dialog).printer();
            printer->setOutputFormat(QPrinter::PdfFormat);
            printer->setOutputFileName(m_folder.file("missing/week.pdf"));
            preview->print();
            dialog.reject();
        });
        QTest::keyClick(m_form.get(), Qt::Key_P, Qt::ControlModifier);
        QCOMPARE(pages, 1);
        QCOMPARE(m_prompts.errors().size(), 1);
        QVERIFY2(m_prompts.errors().first().text.contains("week.pdf: No such file or directory"),
                 qPrintable(m_prompts.errors().first().text));
    }
};

QTEST_MAIN(PictureExportTest)
#include "test_picture_export.moc"
