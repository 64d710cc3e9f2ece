// The timetable drawn for paper, as a picture and as a PDF page; the files are
// read back by ImageMagick's identify and poppler's pdfinfo and pdftotext.
#include "app/form1.h"
#include "export/picture_file.h"
#include "export/timetable_picture.h"
#include "tests/support/expected_texts.h"
#include "tests/support/scripted_prompts.h"
#include "tests/support/test_db.h"
#include "timetable/grid.h"
#include "timetable/grid_view.h"

#include <QApplication>
#include <QPalette>
#include <QtTest>

using namespace quorvane;
using namespace quorvane::testing;

namespace {

const QString kLatin = QStringLiteral("Introduction to the Theory of Computation and Formal Languages, II");
const QString kCyrillic = QString::fromUtf8("Введение в теорию вычислений и формальных языков, часть вторая (II)");

} // namespace

class PictureExportTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<ProgramFolder> m_folder;
    ScriptedPrompts m_prompts;
    std::unique_ptr<Form1> m_form;

    // The schedule "Week" with these courses added (name, days, from, to),
    // its grid drawn as the window draws it.
    const TimetableGrid& grid(const QList<QStringList>& courses = {})
    {
        for (QStringList course : courses)
            execSql(m_folder->databasePath(),
                    QStringLiteral("insert into tblCourse (ScheduleID,CourseName,Notes,Days,TimeFrom,TimeTo) "
                                   "values (1,'%1','','%2','%3','%4')")
                        .arg(course[0].replace("'", "''"), course[1], course[2], course[3]));
        m_form = std::make_unique<Form1>(m_folder->path(), m_prompts);
        m_form->Form_Load();
        return m_form->grid();
    }

private slots:
    void init()
    {
        m_folder = std::make_unique<ProgramFolder>();
        execSql(m_folder->databasePath(), "insert into tblSchedules (Description) values ('Week')");
    }
    void cleanup() { m_form.reset(); }

    void drawnForPrintWhateverTheTheme()
    {
        // Mathematics and Design clash at 8:30 AM on Monday.
        const TimetableGrid& drawn =
            grid({{"Mathematics", "0", "08:30", "08:30"}, {"Design", "0,1", "08:30", "09:00"}});
        m_form->gridView().setCurrentGridCell(6, 2);
        const QImage image = timetableImage(drawn);
        const QPalette light = QApplication::palette();
        QPalette dark(QColor(0x20, 0x20, 0x20), QColor(0x30, 0x30, 0x30));
        dark.setColor(QPalette::Highlight, Qt::darkBlue);
        QApplication::setPalette(dark);
        const QImage onDark = timetableImage(drawn);
        QApplication::setPalette(light);
        QCOMPARE(onDark, image);

        // Short texts: the columns are as wide as on screen, the rows of one height.
        QCOMPARE(image.width(), 80 + 7 * 100 + 1);
        const int rowHeight = (image.height() - 1) / 33;
        const auto background = [&](int row, int col) {
            return image.pixel(col == 0 ? 75 : 80 + col * 100 - 5, row * rowHeight + rowHeight - 3);
        };
        QCOMPARE(background(0, 3), qRgb(0xE8, 0xE8, 0xE8));  // the header row
        QCOMPARE(background(12, 0), qRgb(0xE8, 0xE8, 0xE8)); // the time column
        QCOMPARE(background(20, 5), qRgb(0xFF, 0xFF, 0xFF));
        QCOMPARE(background(6, 1), TimetableGrid::clashColour().rgb());
        QCOMPARE(background(6, 2), qRgb(0xFF, 0xFF, 0xFF)); // the current cell is not marked
        int darkest = 255;
        for (int x = 183; x < 240; ++x)
            for (int y = 6 * rowHeight; y < 7 * rowHeight; ++y)
                darkest = std::min(darkest, qGray(image.pixel(x, y)));
        QVERIFY(darkest < 40);
    }

    void longNamesWrapAndRowsGrow_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("66 Latin characters") << kLatin;
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
        QTest::newRow("bmp") << "week.bmp"
                             << "BMP";
        QTest::newRow("png in capitals") << "week.PNG"
                                         << "PNG";
        QTest::newRow("pdf") << "week.pdf"
                             << "PDF";
        QTest::newRow("another extension") << "week.txt"
                                           << "BMP";
        QTest::newRow("no extension") << "week"
                                      << "BMP";
    }
    void formatFollowsTheExtension()
    {
        QFETCH(QString, name);
        QFETCH(QString, format);
        if (const QString missing = programsMissing({"identify", "pdfinfo", "pdftotext"}); !missing.isEmpty())
            QSKIP(qPrintable(missing));
        const TimetableGrid& drawn = grid({{kLatin, "2", "09:30", "09:30"}, {kCyrillic, "3", "10:00", "10:00"}});
        const QString title = QString::fromUtf8("Осенний семестр — Week");
        const QString path = m_folder->file(name);
        saveTimetablePicture(drawn, title, path);
        if (format != "PDF") {
            const QImage image = timetableImage(drawn);
            const QString seen = programOutput("identify", {"-format", "%m %w %h", path});
            const QString size = QStringLiteral(" %1 %2").arg(image.width()).arg(image.height());
            QVERIFY2(seen == format + size || seen == "BMP3" + size, qPrintable(seen));
            return;
        }
        const QString info = programOutput("pdfinfo", {path});
        QVERIFY2(info.contains(QRegularExpression("Pages: +1\n")), qPrintable(info));
        QVERIFY2(info.contains(QRegularExpression("Page size: +842 x 595 pts \\(A4\\)")), qPrintable(info));
        // Vector text: every name whole, the title above the grid.
        const QString text = pdfText(path);
        QVERIFY2(text.startsWith(title + " Time Monday"), qPrintable(text));
        QVERIFY2(text.contains(kLatin) && text.contains(kCyrillic), qPrintable(text));
    }
};

QTEST_MAIN(PictureExportTest)
#include "test_picture_export.moc"
