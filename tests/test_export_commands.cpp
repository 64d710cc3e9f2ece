// Saving the grid as a picture and exporting it as a workbook from the main
// window; the files are read back by readers no one here wrote.
#include "app/form1.h"
#include "base/failure.h"
#include "export/spreadsheet.h"
#include "tests/support/expected_texts.h"
#include "tests/support/scripted_prompts.h"
#include "tests/support/small_disk.h"
#include "tests/support/test_db.h"
#include "timetable/course_colours.h"
#include "timetable/grid.h"
#include "timetable/grid_view.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QDateEdit>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTreeWidget>
#include <QtTest>

#include <sys/stat.h>

using namespace quorvane;
using namespace quorvane::testing;

namespace {

// The cells of the first sheet as "row,col=text", read by xlrd or openpyxl.
QStringList workbookCells(const QString& path, QString* format = nullptr)
{
    const WorkbookReading reading = readWorkbook(path);
    if (!reading.error.isEmpty())
        return {reading.error};
    const QJsonObject& book = reading.book;
    if (format)
        *format = book.value("format").toString();
    QStringList cells;
    const QJsonArray list = book.value("sheets").toArray().at(0).toObject().value("cells").toArray();
    for (const QJsonValue& v : list) {
        const QJsonArray cell = v.toArray();
        cells << QStringLiteral("%1,%2=%3").arg(cell[0].toInt()).arg(cell[1].toInt()).arg(cell[2].toString());
    }
    return cells;
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

} // namespace

class ExportCommandsTest : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void saveDialogIsSetAnewOnEveryUse_data();
    void saveDialogIsSetAnewOnEveryUse();
    void cancelEndsSilently_data();
    void cancelEndsSilently();
    void existingFileAsksBeforeReplacing_data();
    void existingFileAsksBeforeReplacing();
    void pictureIsABitmapOfTheWholeGrid();
    void workbookHoldsNameAndGrid_data();
    void workbookHoldsNameAndGrid();
    void nameWithoutExtensionIsUsedUnchanged();
    void calendarOfTheSelectedSchedule();
    void calendarExportRefusesABadTerm();
    void workbooksCarryTheCourseColours_data();
    void workbooksCarryTheCourseColours();
    void gridMenuRunsTheButtonsCommands();
    void libreOfficePrintsEachWorkbookOnOnePage_data();
    void libreOfficePrintsEachWorkbookOnOnePage();
    void failedWriteReportsKeepsOldFileAndSaysNoDone_data();
    void failedWriteReportsKeepsOldFileAndSaysNoDone();
    void fullDiskKeepsTheOldFileAndSaysWhy_data();
    void fullDiskKeepsTheOldFileAndSaysWhy();
    void targetsThatMustNotBeReplacedAreRefused_data();
    void targetsThatMustNotBeReplacedAreRefused();
    void noSpreadsheetApplicationGivesOneBoxAndEnds();
    void libreOfficeReadsTheWorkbook_data();
    void libreOfficeReadsTheWorkbook();
    void noSelectedScheduleLeavesA1EmptyAndCopiesTheGrid();

private:
    std::unique_ptr<ProgramFolder> m_folder;
    std::unique_ptr<ScriptedPrompts> m_prompts;
    std::unique_ptr<Form1> m_form;
    void run(int button)
    {
        if (button == 7)
            m_form->PushButton7_Click();
        else
            m_form->PushButton8_Click();
    }
};

void ExportCommandsTest::init()
{
    m_folder = std::make_unique<ProgramFolder>();
    const QString db = m_folder->databasePath();
    execSql(db,
            QString::fromUtf8("insert into tblSchedules (Description) values ('Расписание 日本 ✓ O''Brien \"x\"')"));
    execSql(db, "insert into tblCourse (ScheduleID,CourseName,Notes,Days,TimeFrom,TimeTo) "
                "values (1,'Mathematics','','0,3,4','08:30','10:00')");
    execSql(db, "insert into tblCourse (ScheduleID,CourseName,Notes,Days,TimeFrom,TimeTo) "
                "values (1,'Late','','6','21:30','21:30')");
    m_prompts = std::make_unique<ScriptedPrompts>();
    m_form = std::make_unique<Form1>(m_folder->path(), *m_prompts);
    QVERIFY(m_form->Form_Load());
    m_form->show();
}

void ExportCommandsTest::cleanup()
{
    m_form.reset();
    m_prompts.reset();
    m_folder.reset();
}

void ExportCommandsTest::saveDialogIsSetAnewOnEveryUse_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("filter");
    QTest::newRow("picture") << 7 << "Schedule.bmp"
                             << "BMP (*.bmp)|*.bmp|PNG (*.png)|*.png|PDF (*.pdf)|*.pdf|";
    QTest::newRow("workbook")
        << 8 << "Schedule.xls"
        << "Excel files (*.xls)|*.xls|Excel workbook (*.xlsx)|*.xlsx|CSV (*.csv)|*.csv|iCalendar (*.ics)|*.ics|";
}

void ExportCommandsTest::saveDialogIsSetAnewOnEveryUse()
{
    QFETCH(int, button);
    QFETCH(QString, fileName);
    QFETCH(QString, filter);
    run(button == 7 ? 8 : 7); // the other command used the dialog first
    run(button);
    const auto& shown = m_prompts->shown;
    QCOMPARE(shown.size(), 2);
    QCOMPARE(shown[1].kind, QString("save"));
    QCOMPARE(shown[1].save.fileName, fileName);
    QCOMPARE(shown[1].save.flags, 2621953);
    QCOMPARE(shown[1].save.filter, filter);
    QCOMPARE(m_form->commonDialog().fileName, fileName);
    // The first filter stays first, and so selected.
    QCOMPARE(qtFileFilter(filter).section(";;", 0, 0), filter.section('|', 0, 0));
}

void ExportCommandsTest::cancelEndsSilently_data()
{
    QTest::addColumn<int>("button");
    QTest::newRow("picture") << 7;
    QTest::newRow("workbook") << 8;
}

void ExportCommandsTest::cancelEndsSilently()
{
    QFETCH(int, button);
    m_form->pointer().set(99);
    run(button); // the double answers the save dialog with an empty name
    QCOMPARE(m_prompts->shown.size(), 1);
    QCOMPARE(m_form->mousePointer(), 99);
    QCOMPARE(QDir(m_folder->path()).entryList(QDir::Files), QStringList{"dbSchedules.mdb"});
}

void ExportCommandsTest::existingFileAsksBeforeReplacing_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("yes");
    QTest::newRow("picture, no") << 7 << "Week.bmp" << false;
    QTest::newRow("picture, yes") << 7 << "Week.bmp" << true;
    QTest::newRow("workbook, no") << 8 << "Week.xls" << false;
    QTest::newRow("workbook, yes") << 8 << "Week.xls" << true;
}

void ExportCommandsTest::existingFileAsksBeforeReplacing()
{
    QFETCH(int, button);
    QFETCH(QString, name);
    QFETCH(bool, yes);
    const QString target = m_folder->file(name);
    writeFile(target, "old content");
    m_prompts->chooseFile(target);
    m_prompts->answer(yes ? Answer::Yes : Answer::No);
    run(button);
    const auto messages = m_prompts->messages();
    QVERIFY(!messages.isEmpty());
    QCOMPARE(messages[0].text, "Are you sure you wish to overwrite " + target + " ?");
    QCOMPARE(messages[0].title, QString("Quorvane"));
    QCOMPARE(messages[0].buttons, Buttons::YesNo);
    QCOMPARE(messages[0].icon, Icon::None);
    QCOMPARE(messages[0].defaultButton, Answer::Yes);
    if (yes) {
        QCOMPARE(m_prompts->messageTexts().mid(1), QStringList{"Done."});
        QVERIFY(fileBytes(target) != "old content");
    } else {
        QCOMPARE(messages.size(), 1);
        QCOMPARE(fileBytes(target), QByteArray("old content"));
    }
    QCOMPARE(m_form->mousePointer(), 0);
}

void ExportCommandsTest::pictureIsABitmapOfTheWholeGrid()
{
    const QString target = m_folder->file("grid.bmp");
    m_prompts->chooseFile(target);
    run(7);
    QCOMPARE(m_prompts->messageTexts(), QStringList{"Done."}); // a new file: no question
    const QByteArray bytes = fileBytes(target);
    QVERIFY(bytes.startsWith("BM"));
    const QImage image(target, "BMP");
    QVERIFY(!image.isNull());
    // Taller than the part in view: all 33 rows are in the picture.
    QVERIFY(image.height() > m_form->gridView().height());
    QVERIFY(image.width() >= 80 + 7 * 100);
    if (!QStandardPaths::findExecutable("identify").isEmpty()) {
        QProcess identify;
        identify.start("identify", {"-format", "%m %w %h", target});
        QVERIFY(identify.waitForFinished(30000));
        const QString seen = QString::fromUtf8(identify.readAllStandardOutput()).trimmed();
        const QString size = QStringLiteral(" %1 %2").arg(image.width()).arg(image.height());
        QVERIFY2(seen == "BMP" + size || seen == "BMP3" + size, qPrintable(seen));
    }
    // The bottom rows, out of view on screen, are drawn: "Late" sits in the
    // last row, so the picture's last rows are not all background.
    const QImage bottom = image.copy(0, image.height() - 40, image.width(), 30);
    bool inked = false;
    for (int y = 0; y < bottom.height() && !inked; ++y)
        for (int x = image.width() - 100; x < image.width() - 5 && !inked; ++x)
            inked = qGray(bottom.pixel(x, y)) < 100;
    QVERIFY(inked);
}

void ExportCommandsTest::workbookHoldsNameAndGrid_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("format");
    QTest::newRow("xls") << "Week.xls"
                         << "xls";
    QTest::newRow("xlsx") << "Week.XLSX"
                          << "xlsx";
}

void ExportCommandsTest::workbookHoldsNameAndGrid()
{
    QFETCH(QString, name);
    QFETCH(QString, format);
    if (const QString missing = workbookReaderMissing(); !missing.isEmpty())
        QSKIP(qPrintable(missing));
    const QString target = m_folder->file(name);
    m_prompts->chooseFile(target);
    run(8);
    QCOMPARE(m_prompts->messageTexts(), QStringList{"Done."});
    QCOMPARE(m_prompts->messages().first().title, QString("Quorvane"));
    QString readFormat;
    const QStringList cells = workbookCells(target, &readFormat);
    QCOMPARE(readFormat, format);
    QVERIFY2(!cells.isEmpty() && !cells.first().startsWith("reader failed"), qPrintable(cells.join('\n')));
    QCOMPARE(cells.first(), QString::fromUtf8("1,1=Расписание 日本 ✓ O'Brien \"x\""));
    QVERIFY(cells.contains("2,1=Time"));
    QVERIFY(cells.contains("2,4= Wednesday"));
    QVERIFY(cells.contains("2,8=Sunday"));
    QVERIFY(cells.contains("3,1=6:00 AM"));
    QVERIFY(cells.contains("34,1=9:30 PM"));
    QVERIFY(cells.contains("34,8=Late"));
    QVERIFY(cells.contains("8,2=Mathematics")); // grid row 6 (8:30 AM), Monday
    QVERIFY(cells.contains("11,6=Mathematics"));
    // Nothing else in row 1, nothing past row 34 or column 8.
    for (const QString& cell : cells) {
        const int row = cell.section(',', 0, 0).toInt();
        const int col = cell.section(',', 1, 1).section('=', 0, 0).toInt();
        QVERIFY2(row <= 34 && col <= 8 && (row > 1 || col == 1), qPrintable(cell));
    }
    // 33 x 8 grid: 8 headers + 32 labels + 12 Mathematics + 1 Late, and the name.
    QCOMPARE(cells.size(), 1 + 8 + 32 + 12 + 1);
    QCOMPARE(m_form->mousePointer(), 0);
}

void ExportCommandsTest::nameWithoutExtensionIsUsedUnchanged()
{
    const QString target = m_folder->file("Week");
    m_prompts->chooseFile(target);
    run(8);
    QVERIFY(QFile::exists(target));
    QVERIFY(fileBytes(target).startsWith("\xD0\xCF\x11\xE0"));
    m_prompts->chooseFile(m_folder->file("Picture"));
    run(7);
    QVERIFY(fileBytes(m_folder->file("Picture")).startsWith("BM"));
}

// A name ending in .ics writes the selected schedule's calendar over the
// term "Calendar Export" asks for, which it offers again in this run; its
// Cancel ends the command without a word. "Export Calendar…" offers .ics first.
void ExportCommandsTest::calendarOfTheSelectedSchedule()
{
    m_prompts->chooseFile(m_folder->file("week.ics"));
    const QDate monday = QDate::currentDate().addDays(1 - QDate::currentDate().dayOfWeek());
    m_prompts->onDialog([&](QDialog& dialog) {
        QCOMPARE(dialog.windowTitle(), "Calendar Export");
        QCOMPARE(dialog.findChild<QDateEdit*>("FirstDay")->date(), monday);
        QCOMPARE(dialog.findChild<QDateEdit*>("LastDay")->date(), monday.addDays(16 * 7 - 1));
        dialog.findChild<QDateEdit*>("FirstDay")->setDate(QDate(2027, 1, 11));
        dialog.findChild<QDateEdit*>("LastDay")->setDate(QDate(2027, 1, 31));
        dialog.findChild<QLineEdit*>("FreeDays")->setText("2027-01-18");
        dialog.accept();
    });
    run(8);
    QCOMPARE(m_prompts->messageTexts(), QStringList{"Done."});
    const WorkbookReading calendar = readBack("read_export.py", {m_folder->file("week.ics")});
    QCOMPARE(calendar.book["name"].toString(), QString::fromUtf8("Расписание 日本 ✓ O'Brien \"x\""));
    QCOMPARE(calendar.book["events"][0]["occurrences"].toArray(),
             QJsonArray({"2027-01-11T08:30:00", "2027-01-14T08:30:00", "2027-01-15T08:30:00", "2027-01-21T08:30:00",
                         "2027-01-22T08:30:00", "2027-01-25T08:30:00", "2027-01-28T08:30:00", "2027-01-29T08:30:00"}));
    QCOMPARE(calendar.book["events"][1]["summary"].toString(), QString("Late"));
    // Each course's colour by its nearest CSS name, as the grid shows it.
    for (const auto& [event, row, col] : {std::tuple(0, 6, 1), std::tuple(1, 32, 7)}) {
        const QString name = calendar.book["events"][event]["color"].toString();
        QVERIFY2(QColor::isValidColorName(name), qPrintable(name));
        const QColor nearest = QColor::fromString(name);
        const QColor shown = m_form->grid().courseColour(row, col);
        QVERIFY2(std::abs(nearest.red() - shown.red()) + std::abs(nearest.green() - shown.green()) +
                         std::abs(nearest.blue() - shown.blue()) <
                     120,
                 qPrintable(name + " " + shown.name()));
    }

    m_prompts->clear();
    m_prompts->chooseFile(m_folder->file("again.ics"));
    m_prompts->onDialog([&](QDialog& dialog) {
        QCOMPARE(dialog.findChild<QDateEdit*>("FirstDay")->date(), QDate(2027, 1, 11));
        QCOMPARE(dialog.findChild<QLineEdit*>("FreeDays")->text(), "2027-01-18");
        dialog.reject();
    });
    auto* menuEntry = m_form->gridView().findChild<QAction*>("ExportCalendar");
    QVERIFY(menuEntry && m_form->gridView().actions().contains(menuEntry));
    QCOMPARE(menuEntry->text(), QString::fromUtf8("Export Calendar…"));
    menuEntry->trigger();
    QCOMPARE(m_prompts->shown.first().save.filter.section('|', 0, 1), "iCalendar (*.ics)|*.ics");
    QCOMPARE(m_prompts->shown.first().save.fileName, "Schedule.ics");
    QCOMPARE(m_prompts->messageTexts(), QStringList());
    QVERIFY(!QFile::exists(m_folder->file("again.ics")));
}

// "Calendar Export" says what is wrong with a term and stays open.
void ExportCommandsTest::calendarExportRefusesABadTerm()
{
    m_prompts->chooseFile(m_folder->file("week.ics"));
    m_prompts->onDialog([&](QDialog& dialog) {
        dialog.findChild<QDateEdit*>("FirstDay")->setDate(QDate(2027, 1, 11));
        dialog.findChild<QDateEdit*>("LastDay")->setDate(QDate(2027, 1, 10));
        dialog.accept();
        QVERIFY(dialog.isVisible());
        dialog.findChild<QDateEdit*>("LastDay")->setDate(QDate(2027, 1, 11));
        dialog.findChild<QLineEdit*>("FreeDays")->setText("after the exams");
        dialog.accept();
        QVERIFY(dialog.isVisible());
        dialog.reject();
    });
    run(8);
    QCOMPARE(m_prompts->messageTexts(),
             QStringList({"The last day of classes comes before the first.",
                          "Write each day without classes as YYYY-MM-DD, or days from one to another as "
                          "YYYY-MM-DD..YYYY-MM-DD, separated by commas."}));
    QVERIFY(!QFile::exists(m_folder->file("week.ics")));
}

void ExportCommandsTest::workbooksCarryTheCourseColours_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("xls") << "colours.xls";
    QTest::newRow("xlsx") << "colours.xlsx";
}

void ExportCommandsTest::workbooksCarryTheCourseColours()
{
    QFETCH(QString, name);
    if (const QString missing = workbookReaderMissing(); !missing.isEmpty())
        QSKIP(qPrintable(missing));
    // Physics clashes with Mathematics at 10:00 AM on Monday.
    execSql(m_folder->databasePath(), "insert into tblCourse (ScheduleID,CourseName,Notes,Days,TimeFrom,TimeTo) "
                                      "values (1,'Physics','','0','10:00','10:00')");
    m_form->ListCourses();
    const TimetableGrid& grid = m_form->grid();
    QJsonArray expected;
    for (int r = 1; r < grid.rows(); ++r)
        for (int c = 1; c < grid.cols(); ++c)
            if (const QColor colour = grid.courseColour(r, c); colour.isValid())
                expected.append(QJsonArray{r + 2, c + 1, colour.name(),
                                           grid.isClash(r, c) ? QJsonValue(clashFrameColour().name()) : QJsonValue()});
    QCOMPARE(expected.size(), 13);
    m_prompts->chooseFile(m_folder->file(name));
    run(8);
    QCOMPARE(m_prompts->messageTexts(), QStringList{"Done."});
    const WorkbookReading reading = readWorkbook(m_folder->file(name));
    QVERIFY2(reading.error.isEmpty(), qPrintable(reading.error));
    QCOMPARE(reading.book["sheets"][0]["fills"].toArray(), expected);
}

// Every command of the grid's menu does what its button does; the keys work
// from the window, F2 and Delete from the grid.
void ExportCommandsTest::gridMenuRunsTheButtonsCommands()
{
    QMenu* menu = m_form->gridMenu();
    QVERIFY(menu);
    QStringList entries;
    for (QAction* action : menu->actions())
        entries << (action->isSeparator()
                        ? QString("-")
                        : action->text() + QLatin1Char('|') + action->shortcut().toString(QKeySequence::PortableText));
    QCOMPARE(entries, QStringList({"Undo|Ctrl+Z", "Redo|Ctrl+Shift+Z", "-", QString::fromUtf8("Print…|Ctrl+P"), "-",
                                   "Add Course|Ctrl+N", "Edit Course|F2", "Delete Course|Del", "Delete All Courses|",
                                   QString::fromUtf8("Copy Course To…|"), "-", "Save Schedule As Image For Printing|",
                                   "Export Schedule To Excel For Printing|", QString::fromUtf8("Export Calendar…|")}));
    QApplication::setActiveWindow(m_form.get());
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    m_form->gridView().setFocus();
    QTest::keyClick(&m_form->gridView(), Qt::Key_N, Qt::ControlModifier);
    QTest::keyClick(&m_form->gridView(), Qt::Key_F2);
    QTest::keyClick(&m_form->gridView(), Qt::Key_Delete);
    QStringList dialogs;
    for (const auto& shown : m_prompts->shown)
        dialogs << shown.kind + QLatin1Char(' ') + shown.dialogName;
    QCOMPARE(dialogs, QStringList({"dialog Form2", "dialog Form3", "dialog Form4"}));
    // Away from the grid, F2 and Delete are not the grid's.
    m_prompts->clear();
    m_form->listView().setFocus();
    QTest::keyClick(&m_form->listView(), Qt::Key_F2);
    QTest::keyClick(&m_form->listView(), Qt::Key_Delete);
    QVERIFY(m_prompts->shown.isEmpty());
    // The exports ask for their files as their buttons do.
    menu->actions().at(11)->trigger();
    menu->actions().at(12)->trigger();
    QCOMPARE(m_prompts->shown.size(), 2);
    QCOMPARE(m_prompts->shown.at(0).save.fileName, QString("Schedule.bmp"));
    QCOMPARE(m_prompts->shown.at(1).save.fileName, QString("Schedule.xls"));
    // A right click opens the menu.
    QSignalSpy shown(menu, &QMenu::aboutToShow);
    const QRect cell = m_form->gridView().visualRect(m_form->grid().index(5, 1));
    QContextMenuEvent click(QContextMenuEvent::Mouse, cell.center(),
                            m_form->gridView().viewport()->mapToGlobal(cell.center()));
    QApplication::sendEvent(m_form->gridView().viewport(), &click);
    QCOMPARE(shown.size(), 1);
    menu->close();
    // So does the Menu key, at the current cell.
    m_form->gridView().setCurrentGridCell(8, 3);
    QContextMenuEvent key(QContextMenuEvent::Keyboard, QPoint(0, 0), m_form->gridView().mapToGlobal(QPoint(0, 0)));
    QApplication::sendEvent(&m_form->gridView(), &key);
    QCOMPARE(shown.size(), 2);
    const QRect current = m_form->gridView().visualRect(m_form->grid().index(7, 3));
    QCOMPARE(menu->pos(), m_form->gridView().viewport()->mapToGlobal(current.center()));
    menu->close();
}

// The sample and a schedule of long non-Latin names, as LibreOffice prints
// each workbook: one page, every name whole.
void ExportCommandsTest::libreOfficePrintsEachWorkbookOnOnePage_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("courses");
    const QStringList sample{"Mathematics", "Engineering", "Design"};
    const QStringList longNames{
        QString::fromUtf8("Введение в теорию вычислений и формальных языков, часть вторая (II)"),
        QString::fromUtf8("Θεωρία Πιθανοτήτων και Στατιστική Ανάλυση Δεδομένων για Μηχανικούς"),
        QString::fromUtf8("Дифференциальные уравнения в частных производных и их приложения")};
    QTest::newRow("sample, xls") << "sample.xls" << sample;
    QTest::newRow("sample, xlsx") << "sample.xlsx" << sample;
    QTest::newRow("long non-Latin names, xls") << "long.xls" << longNames;
    QTest::newRow("long non-Latin names, xlsx") << "long.xlsx" << longNames;
}

void ExportCommandsTest::libreOfficePrintsEachWorkbookOnOnePage()
{
    QFETCH(QString, name);
    QFETCH(QStringList, courses);
    if (const QString missing = programsMissing({"soffice", "pdfinfo", "pdftotext"}); !missing.isEmpty())
        QSKIP(qPrintable(missing));
    QString schedule = "Sample Schedule";
    if (name.startsWith("sample")) {
        m_form->PushButton9_Click();
    } else {
        schedule = QString::fromUtf8("Весенний семестр — факультет прикладной математики и информатики, 2026");
        execSql(m_folder->databasePath(), "insert into tblSchedules (Description) values ('" + schedule + "')");
        execSql(m_folder->databasePath(),
                QString("insert into tblCourse (ScheduleID,CourseName,Notes,Days,TimeFrom,TimeTo) values (2,'%1',"
                        "'','0,2','08:00','10:30'), (2,'%2','','1,3,4','11:00','13:30'), (2,'%3','','5,6','14:00',"
                        "'16:30')")
                    .arg(courses[0], courses[1], courses[2]));
        m_form = std::make_unique<Form1>(m_folder->path(), *m_prompts);
        QVERIFY(m_form->Form_Load());
        m_form->selectSchedule(2);
    }
    m_prompts->chooseFile(m_folder->file(name));
    run(8);
    QCOMPARE(m_prompts->messageTexts(), QStringList{"Done."});
    const QString pdf = m_folder->file("pdf/" + QFileInfo(name).completeBaseName() + ".pdf");
    programOutput("soffice", {"-env:UserInstallation=file://" + m_folder->file("lo-profile"), "--headless",
                              "--convert-to", "pdf", "--outdir", m_folder->file("pdf"), m_folder->file(name)});
    const QString info = programOutput("pdfinfo", {pdf});
    QVERIFY2(info.contains(QRegularExpression("Pages: +1\n")), qPrintable(info));
    const QString text = pdfText(pdf);
    for (const QString& course : courses + QStringList{schedule})
        QVERIFY2(text.contains(course), qPrintable(course + " is not whole in: " + text));
}

void ExportCommandsTest::failedWriteReportsKeepsOldFileAndSaysNoDone_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<QString>("fault");
    QTest::addColumn<int>("statement");
    QTest::newRow("picture, no such folder") << 7 << "missing folder" << 122;
    QTest::newRow("picture, folder in the way") << 7 << "folder is a file" << 122;
    QTest::newRow("workbook, no such folder") << 8 << "missing folder" << 142;
    QTest::newRow("workbook, folder in the way") << 8 << "folder is a file" << 142;
}

void ExportCommandsTest::failedWriteReportsKeepsOldFileAndSaysNoDone()
{
    QFETCH(int, button);
    QFETCH(QString, fault);
    QFETCH(int, statement);
    QString target;
    if (fault == "missing folder") {
        target = m_folder->file("no/such/folder/out.bin");
    } else {
        writeFile(m_folder->file("plain"), "x");
        target = m_folder->file("plain/out.bin");
    }
    m_prompts->chooseFile(target);
    run(button);
    const auto errors = m_prompts->errors();
    QCOMPARE(errors.size(), 1);
    const QString where =
        QStringLiteral("in Tindrel2021/08/31.Form1.PushButton%1_Click at line %2\r\r").arg(button).arg(statement);
    QVERIFY2(errors.first().text.contains(where), qPrintable(errors.first().text));
    QVERIFY(!m_prompts->messageTexts().contains("Done."));
    QCOMPARE(m_form->mousePointer(), 0);
    if (fault == "folder is a file")
        QCOMPARE(fileBytes(m_folder->file("plain")), QByteArray("x"));
}

void ExportCommandsTest::fullDiskKeepsTheOldFileAndSaysWhy_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("statement");
    QTest::newRow("picture") << 7 << "week.bmp" << 122;
    QTest::newRow("xls") << 8 << "week.xls" << 142;
    QTest::newRow("xlsx") << 8 << "week.xlsx" << 142;
    QTest::newRow("ics") << 8 << "week.ics" << 142;
}

// A disk that fills up under the export: the box names the reason, no
// "Done.", the file it was to replace stays byte for byte, nothing is left.
void ExportCommandsTest::fullDiskKeepsTheOldFileAndSaysWhy()
{
    QFETCH(int, button);
    QFETCH(QString, name);
    QFETCH(int, statement);
    SmallDisk disk;
    if (!disk.isDisk() && name.endsWith(".xlsx"))
        QSKIP("the .xlsx writer's own temporary files need a small disk, which only root can mount here");
    const QString target = disk.file(name);
    const QByteArray old(40, 'o');
    writeFile(target, old);
    const QStringList before = QDir(QFileInfo(target).path()).entryList(QDir::Files);
    const QString reason = disk.fill();
    m_prompts->chooseFile(target);
    m_prompts->answer(Answer::Yes);
    m_prompts->onDialog([](QDialog& dialog) { dialog.accept(); });
    run(button);
    disk.release();
    const auto errors = m_prompts->errors();
    QCOMPARE(errors.size(), 1);
    QVERIFY2(errors.first().text.contains(reason), qPrintable(errors.first().text));
    QVERIFY2(errors.first().text.endsWith(errorBoxTail("Form1", QString("PushButton%1_Click").arg(button), statement)),
             qPrintable(errors.first().text));
    QVERIFY(!m_prompts->messageTexts().contains("Done."));
    QCOMPARE(fileBytes(target), old);
    QCOMPARE(QDir(QFileInfo(target).path()).entryList(QDir::Files), before);
}

void ExportCommandsTest::targetsThatMustNotBeReplacedAreRefused_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("why");
    QTest::newRow("the database") << "database"
                                  << "it is the program's own database";
    QTest::newRow("a link to the database") << "link to database"
                                            << "it is the program's own database";
    QTest::newRow("a pipe") << "pipe"
                            << "it is not a regular file";
    QTest::newRow("a device") << "device"
                              << "it is not a regular file";
    QTest::newRow("a folder") << "folder"
                              << "it is not a regular file";
    QTest::newRow("a link to a file is written through") << "link to file"
                                                         << "";
}

void ExportCommandsTest::targetsThatMustNotBeReplacedAreRefused()
{
    QFETCH(QString, kind);
    QFETCH(QString, why);
    const QString database = m_folder->databasePath();
    const QByteArray databaseBytes = fileBytes(database);
    QString target = m_folder->file("target.xls");
    if (kind == "database")
        target = database;
    else if (kind == "link to database")
        QVERIFY(QFile::link(database, target));
    else if (kind == "pipe")
        QCOMPARE(::mkfifo(QFile::encodeName(target).constData(), 0600), 0);
    else if (kind == "device")
        target = "/dev/null";
    else if (kind == "folder")
        QVERIFY(QDir().mkdir(target));
    else
        QVERIFY(QFile::link(m_folder->file("real.xls"), target));
    m_prompts->chooseFile(target);
    m_prompts->answer(Answer::Yes);
    run(8);
    QCOMPARE(fileBytes(database), databaseBytes);
    if (why.isEmpty()) {
        QCOMPARE(m_prompts->messageTexts(), QStringList{"Done."});
        QVERIFY(QFileInfo(target).isSymLink());
        QVERIFY(fileBytes(m_folder->file("real.xls")).startsWith(QByteArray::fromHex("D0CF11E0")));
        return;
    }
    QCOMPARE(m_prompts->messageTexts(), QStringList{"Cannot save to " + target + ": " + why + "."});
    QCOMPARE(m_prompts->messages().first().title, QString("Quorvane"));
    QCOMPARE(m_prompts->messages().first().icon, Icon::None);
    if (!kind.contains("database"))
        QVERIFY(QFileInfo(target).exists() && !QFileInfo(target).isFile());
}

void ExportCommandsTest::noSpreadsheetApplicationGivesOneBoxAndEnds()
{
    m_form = std::make_unique<Form1>(m_folder->path(), *m_prompts,
                                     [](const QString&) -> std::unique_ptr<SpreadsheetApplication> {
                                         throw Failure("ActiveX component can't create object");
                                     });
    QVERIFY(m_form->Form_Load());
    const QString target = m_folder->file("Week.xls");
    m_prompts->chooseFile(target);
    run(8);
    QCOMPARE(m_prompts->messages().size(), 1);
    QCOMPARE(m_prompts->errors().size(), 1);
    QVERIFY(m_prompts->errors().first().text.startsWith(
        "ActiveX component can't create object\r\nin Tindrel2021/08/31.Form1.PushButton8_Click at line 122\r\r"));
    QVERIFY(!QFile::exists(target));
    QCOMPARE(m_form->mousePointer(), 0);
}

void ExportCommandsTest::noSelectedScheduleLeavesA1EmptyAndCopiesTheGrid()
{
    if (const QString missing = workbookReaderMissing(); !missing.isEmpty())
        QSKIP(qPrintable(missing));
    m_form->listView().setCurrentIndex(QModelIndex());
    const QString target = m_folder->file("Week.xls");
    m_prompts->chooseFile(target);
    run(8);
    QCOMPARE(m_prompts->errors().size(), 1);
    QVERIFY(m_prompts->errors().first().text.contains("PushButton8_Click at line 130\r\r"));
    QCOMPARE(m_prompts->messageTexts().last(), QString("Done."));
    const QStringList cells = workbookCells(target);
    QVERIFY2(cells.size() > 1 && !cells.first().startsWith("reader failed"), qPrintable(cells.join('\n')));
    QCOMPARE(cells.first(), QString("2,1=Time"));
}

void ExportCommandsTest::libreOfficeReadsTheWorkbook_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("xls") << "week.xls";
    QTest::newRow("xlsx") << "week.xlsx";
}

void ExportCommandsTest::libreOfficeReadsTheWorkbook()
{
    QFETCH(QString, name);
    const QString soffice = QStandardPaths::findExecutable("soffice");
    if (soffice.isEmpty())
        QSKIP("LibreOffice (soffice) is not installed");
    const QString target = m_folder->file(name);
    m_prompts->chooseFile(target);
    run(8);
    QCOMPARE(m_prompts->messageTexts(), QStringList{"Done."});
    QProcess convert;
    convert.setWorkingDirectory(m_folder->path());
    convert.start(soffice,
                  {"-env:UserInstallation=file://" + m_folder->file("lo-profile"), "--headless", "--convert-to",
                   "csv:Text - txt - csv (StarCalc):44,34,76", "--outdir", m_folder->file("csv"), target});
    QVERIFY(convert.waitForFinished(180000));
    QFile csv(m_folder->file("csv/week.csv"));
    QVERIFY2(csv.open(QIODevice::ReadOnly), qPrintable(convert.readAllStandardError()));
    const QStringList lines = QString::fromUtf8(csv.readAll()).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 34);
    QCOMPARE(lines[0].trimmed(), QString::fromUtf8("\"Расписание 日本 ✓ O'Brien \"\"x\"\"\",,,,,,,"));
    QCOMPARE(lines[1].trimmed(), QString("Time,Monday,Tuesday, Wednesday,Thursday,Friday,Saturday,Sunday"));
    QCOMPARE(lines[7].trimmed(), QString("8:30 AM,Mathematics,,,Mathematics,Mathematics,,"));
    QCOMPARE(lines[33].trimmed(), QString("9:30 PM,,,,,,,Late"));
}

QTEST_MAIN(ExportCommandsTest)
#include "test_export_commands.moc"
