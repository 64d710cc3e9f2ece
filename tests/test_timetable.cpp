// The weekly grid: its structure and how ListCourses places a schedule's courses.
#include "app/form1.h"
#include "base/failure.h"
#include "base/reporting.h"
#include "store/connection.h"
#include "tests/support/expected_texts.h"
#include "tests/support/list_rows.h"
#include "tests/support/scripted_prompts.h"
#include "tests/support/test_db.h"
#include "timetable/course_colours.h"
#include "timetable/fill.h"
#include "timetable/grid.h"
#include "timetable/grid_view.h"
#include "widgets/appearance.h"

#include <QAbstractItemModelTester>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTreeView>
#include <QtTest>

using namespace quorvane;
using namespace quorvane::testing;

namespace {

// The course cells that hold text, as "row,col=text", row by row.
QStringList filledCells(const TimetableGrid& grid)
{
    QStringList cells;
    for (int r = 1; r < grid.rows(); ++r)
        for (int c = 1; c < grid.cols(); ++c)
            if (!grid.text(r, c).isEmpty())
                cells << QStringLiteral("%1,%2=%3").arg(r).arg(c).arg(grid.text(r, c));
    return cells;
}

void addCourse(const QString& db, int schedule, const QString& name, const QString& days, const QString& from,
               const QString& to, const QString& exactFrom = QString(), const QString& exactTo = QString())
{
    const auto value = [](const QString& time) { return time.isEmpty() ? QStringLiteral("NULL") : "'" + time + "'"; };
    execSql(db, QStringLiteral("insert into tblCourse (ScheduleID,CourseName,Notes,Days,TimeFrom,TimeTo,ExactFrom,"
                               "ExactTo) values (%1,'%2','','%3','%4','%5',%6,%7)")
                    .arg(schedule)
                    .arg(name, days, from, to, value(exactFrom), value(exactTo)));
}

} // namespace

class TimetableTest : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void structureHeadersLabelsAndWidths();
    void labelsReadAsRowTimes();
    void currentCellStartsOnFirstCourseCell();
    void placesCourses_data();
    void placesCourses();
    void laterCourseWinsASharedCell();
    void dialogTimesAndSampleTimesLandInTheSameRows();
    void redrawShowsOnlyTheSelectedSchedule();
    void noScheduleMeansNoQueryAndPointerUntouched();
    void unreadableTimesAreReportedOnceAndSkipped();
    void dayEntriesOutsideTheWeekAreSkipped();
    void unreadableDaysGiveOneBoxAndSkipTheCourse();
    void clashIsAnOverlapOfExactTimes_data();
    void clashIsAnOverlapOfExactTimes();
    void paletteIsLightForBlackText();
    void colourFollowsTheNameStablyAndDistinctly();
    void coursesShowTheirColoursInBlack();
    void clashFrameShowsOnScreen();
    void currentCellIsOutlinedWhileTheGridHasTheFocus();
    void daysAndRowsShareALargerView();
    void failedQueryIsReportedOnceAndTheGridStaysCleared();
    void gridModelAnnouncesEveryChange();

private:
    std::unique_ptr<ProgramFolder> m_folder;
    std::unique_ptr<ScriptedPrompts> m_prompts;
    std::unique_ptr<Form1> m_form;
    QString db() const { return m_folder->databasePath(); }
    void load()
    {
        m_form = std::make_unique<Form1>(m_folder->path(), *m_prompts);
        QVERIFY(m_form->Form_Load());
    }
};

void TimetableTest::init()
{
    m_folder = std::make_unique<ProgramFolder>();
    m_prompts = std::make_unique<ScriptedPrompts>();
    execSql(db(), "insert into tblSchedules (Description) values ('Week')");
}

void TimetableTest::cleanup()
{
    m_form.reset();
    m_prompts.reset();
    m_folder.reset();
}

void TimetableTest::structureHeadersLabelsAndWidths()
{
    load();
    const TimetableGrid& grid = m_form->grid();
    QCOMPARE(grid.rows(), 33);
    QCOMPARE(grid.cols(), 8);
    const QStringList headers{"Time", "Monday", "Tuesday", " Wednesday", "Thursday", "Friday", "Saturday", "Sunday"};
    for (int c = 0; c < 8; ++c)
        QCOMPARE(grid.text(0, c), headers[c]);
    QCOMPARE(grid.text(1, 0), QString("6:00 AM"));
    QCOMPARE(grid.text(2, 0), QString("6:30 AM"));
    QCOMPARE(grid.text(12, 0), QString("11:30 AM"));
    QCOMPARE(grid.text(13, 0), QString("12:00 PM"));
    QCOMPARE(grid.text(14, 0), QString("12:30 PM"));
    QCOMPARE(grid.text(15, 0), QString("1:00 PM"));
    QCOMPARE(grid.text(31, 0), QString("9:00 PM"));
    QCOMPARE(grid.text(32, 0), QString("9:30 PM"));
    QCOMPARE(grid.colWidthTwips(0), 1200);
    for (int c = 1; c < 8; ++c)
        QCOMPARE(grid.colWidthTwips(c), 1500);
    QCOMPARE(m_form->gridView().columnWidth(0), 80);
    QCOMPARE(m_form->gridView().columnWidth(3), 100);
    // The header row is the view's header and stays in view while rows scroll.
    QCOMPARE(m_form->gridView().model()->headerData(3, Qt::Horizontal).toString(), QString(" Wednesday"));
    QVERIFY_THROWS_EXCEPTION(Failure, grid.text(33, 0));
    QVERIFY(m_prompts->errors().isEmpty());
}

void TimetableTest::labelsReadAsRowTimes()
{
    load();
    for (int r = 1; r < 33; ++r) {
        QCOMPARE(m_form->grid().rowSeconds(r), (6 * 60 + (r - 1) * 30) * 60);
    }
}

void TimetableTest::currentCellStartsOnFirstCourseCell()
{
    addCourse(db(), 1, "Math", "0", "06:00", "07:00");
    load();
    QCOMPARE(m_form->gridView().currentGridRow(), 1);
    QCOMPARE(m_form->gridView().currentGridCol(), 1);
    m_form->gridView().setCurrentGridCell(5, 3);
    m_form->ListCourses();
    QCOMPARE(m_form->gridView().currentGridRow(), 5);
    QCOMPARE(m_form->gridView().currentGridCol(), 3);
}

void TimetableTest::placesCourses_data()
{
    QTest::addColumn<QString>("days");
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QStringList>("cells");
    // Rows: 6:00 AM is 1, 8:30 AM is 6, 10:00 AM is 9, 9:00 PM is 31.
    QTest::newRow("08:30-10:00 on Mon Thu Fri fills four rows, end included")
        << "0,3,4"
        << "08:30"
        << "10:00" << QStringList{"6,1=C", "6,4=C", "6,5=C", "7,1=C", "7,4=C", "7,5=C",
                                  "8,1=C", "8,4=C", "8,5=C", "9,1=C", "9,4=C", "9,5=C"};
    QTest::newRow("10:00-10:45") << "1"
                                 << "10:00"
                                 << "10:45" << QStringList{"9,2=C", "10,2=C"};
    QTest::newRow("start off the half hour fills nothing") << "1"
                                                           << "10:45"
                                                           << "12:00" << QStringList{};
    QTest::newRow("05:30-07:00 starts before the grid") << "6"
                                                        << "05:30"
                                                        << "07:00" << QStringList{"1,7=C", "2,7=C", "3,7=C"};
    QTest::newRow("21:00-23:00 runs past the grid") << "2"
                                                    << "21:00"
                                                    << "23:00" << QStringList{"31,3=C", "32,3=C"};
    QTest::newRow("equal times fill one row") << "0"
                                              << "12:00"
                                              << "12:00" << QStringList{"13,1=C"};
    QTest::newRow("13:00 is the 1:00 PM row") << "0"
                                              << "13:00"
                                              << "13:00" << QStringList{"15,1=C"};
    QTest::newRow("reversed times fill none") << "0"
                                              << "10:00"
                                              << "08:30" << QStringList{};
    QTest::newRow("empty day set is not shown") << ""
                                                << "08:30"
                                                << "10:00" << QStringList{};
    QTest::newRow("long form with seconds") << "4"
                                            << "8:30:00 AM"
                                            << "9:00:00 AM" << QStringList{"6,5=C", "7,5=C"};
    QTest::newRow("start with seconds matches no row") << "4"
                                                       << "8:30:15 AM"
                                                       << "9:00:00 AM" << QStringList{};
    QTest::newRow("end a second short of a row") << "4"
                                                 << "08:30"
                                                 << "8:59:59 AM" << QStringList{"6,5=C"};
    QTest::newRow("blanks around day entries") << " 0 , 6"
                                               << "06:00"
                                               << "06:00" << QStringList{"1,1=C", "1,7=C"};
    QTest::newRow("non-ASCII blanks around day entries") << QString::fromUtf8("0,\u00A03\u3000") << "06:00"
                                                         << "06:00" << QStringList{"1,1=C", "1,4=C"};
}

void TimetableTest::placesCourses()
{
    QFETCH(QString, days);
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(QStringList, cells);
    addCourse(db(), 1, "C", days, from, to);
    load();
    QCOMPARE(filledCells(m_form->grid()), cells);
    QVERIFY(m_prompts->errors().isEmpty());
    QCOMPARE(m_form->mousePointer(), 0);
}

void TimetableTest::laterCourseWinsASharedCell()
{
    addCourse(db(), 1, "First", "0", "08:30", "10:00");
    addCourse(db(), 1, "Second", "0", "10:00", "11:00");
    load();
    QCOMPARE(m_form->grid().text(9, 1), QString("Second"));
    QCOMPARE(m_form->grid().text(8, 1), QString("First"));
    QCOMPARE(m_form->grid().text(11, 1), QString("Second"));
}

void TimetableTest::dialogTimesAndSampleTimesLandInTheSameRows()
{
    addCourse(db(), 1, "Sample", "0", "08:30", "10:00");
    addCourse(db(), 1, "Dialog", "1", "8:30:00 AM", "10:00:00 AM");
    load();
    for (int r = 6; r <= 9; ++r) {
        QCOMPARE(m_form->grid().text(r, 1), QString("Sample"));
        QCOMPARE(m_form->grid().text(r, 2), QString("Dialog"));
    }
    QCOMPARE(filledCells(m_form->grid()).size(), 8);
}

void TimetableTest::redrawShowsOnlyTheSelectedSchedule()
{
    execSql(db(), "insert into tblSchedules (Description) values ('Other')");
    addCourse(db(), 1, "Mine", "0", "08:00", "08:00");
    addCourse(db(), 2, "Theirs", "1", "09:00", "09:00");
    load();
    QCOMPARE(m_form->scheduleCount(), 2);
    QCOMPARE(m_form->selectedScheduleId(), ScheduleId(1));
    QCOMPARE(filledCells(m_form->grid()), QStringList{"5,1=Mine"});
    // A click on the second row redraws with its courses only.
    const QRect rect = m_form->listView().visualRect(m_form->listView().model()->index(1, 0));
    m_form->show();
    QTest::mouseClick(m_form->listView().viewport(), Qt::LeftButton, {}, rect.center());
    QCOMPARE(m_form->selectedScheduleId(), ScheduleId(2));
    QCOMPARE(filledCells(m_form->grid()), QStringList{"7,2=Theirs"});
    // A click on the already selected row draws it again.
    execSql(db(), "delete from tblCourse where ScheduleID=2");
    QTest::mouseClick(m_form->listView().viewport(), Qt::LeftButton, {}, rect.center());
    QCOMPARE(filledCells(m_form->grid()), QStringList{});
    // So does a click below the rows, and the last selected row stays selected.
    addCourse(db(), 2, "Again", "3", "06:00", "06:00");
    const QPoint below(rect.center().x(), m_form->listView().viewport()->height() - 3);
    QVERIFY(!m_form->listView().indexAt(below).isValid());
    QTest::mouseClick(m_form->listView().viewport(), Qt::LeftButton, {}, below);
    QCOMPARE(m_form->selectedScheduleId(), ScheduleId(2));
    QCOMPARE(selectedRow(*m_form), 2);
    QCOMPARE(filledCells(m_form->grid()), QStringList{"1,4=Again"});
    // The structure survives any number of redraws.
    QCOMPARE(m_form->grid().text(0, 3), QString(" Wednesday"));
    QCOMPARE(m_form->grid().text(32, 0), QString("9:30 PM"));
}

void TimetableTest::noScheduleMeansNoQueryAndPointerUntouched()
{
    execSql(db(), "delete from tblSchedules");
    load();
    m_form->grid().setText(3, 3, "stale");
    execSql(db(), "drop table tblCourse"); // a query would fail
    m_form->pointer().set(99);
    m_form->ListCourses();
    QCOMPARE(m_form->grid().text(3, 3), QString());
    QCOMPARE(m_form->mousePointer(), 99);
    QVERIFY(m_prompts->errors().isEmpty());
}

void TimetableTest::unreadableTimesAreReportedOnceAndSkipped()
{
    // A start that carries a calendar date is a time, on another day: it
    // matches no row and gives no box.
    addCourse(db(), 1, "Dated", "0", "2021-08-31 08:30", "10:00");
    addCourse(db(), 1, "Garbage", "0", "a", "9");
    addCourse(db(), 1, "Good", "1", "08:30", "08:30");
    addCourse(db(), 1, "Late", "2", "25:00", "26:00");
    execSql(db(), "insert into tblCourse (ScheduleID) values (1)"); // every column NULL
    load();
    QCOMPARE(filledCells(m_form->grid()), QStringList{"6,2=Good"});
    const auto errors = m_prompts->errors();
    QCOMPARE(errors.size(), 3);
    for (const MessageBoxRequest& e : errors)
        QVERIFY2(e.text.contains("in Tindrel2021/08/31.Form1.ListCourses at line 112\r\r"), qPrintable(e.text));
    QCOMPARE(m_form->mousePointer(), 0);
}

void TimetableTest::dayEntriesOutsideTheWeekAreSkipped()
{
    addCourse(db(), 1, "C", "7,-1,3,9", "08:00", "08:00");
    load();
    QCOMPARE(filledCells(m_form->grid()), QStringList{"5,4=C"});
    QVERIFY(m_prompts->errors().isEmpty());
}

void TimetableTest::unreadableDaysGiveOneBoxAndSkipTheCourse()
{
    // On every day of the week, all day long: one box, not one per cell.
    addCourse(db(), 1, "Mon,Wed", "Mon,Wed", "06:00", "21:30");
    addCourse(db(), 1, "C", "a,,1", "08:00", "08:30");
    addCourse(db(), 1, "Good", "1", "09:00", "09:00");
    for (int redraw = 0; redraw < 2; ++redraw) {
        m_prompts->clear();
        redraw == 0 ? load() : m_form->ListCourses();
        QCOMPARE(filledCells(m_form->grid()), (QStringList{"7,2=Good"}));
        const auto errors = m_prompts->errors();
        QCOMPARE(errors.size(), 2);
        QCOMPARE(errors.first().text, "Type mismatch: day 'Mon'" + errorBoxTail("Form1", "ListCourses", 126));
        QCOMPARE(errors.last().text, "Type mismatch: day 'a'" + errorBoxTail("Form1", "ListCourses", 126));
    }
}

void TimetableTest::failedQueryIsReportedOnceAndTheGridStaysCleared()
{
    addCourse(db(), 1, "C", "0", "08:00", "08:00");
    load();
    QCOMPARE(filledCells(m_form->grid()).size(), 1);
    execSql(db(), "drop table tblCourse");
    m_prompts->clear();
    m_form->ListCourses();
    QCOMPARE(filledCells(m_form->grid()), QStringList{});
    QCOMPARE(m_prompts->errors().size(), 1);
    QVERIFY(m_prompts->errors().first().text.startsWith("no such table: tblCourse\r\n"));
    QVERIFY(m_prompts->errors().first().text.contains("ListCourses at line 108\r\r"));
    QCOMPARE(m_form->mousePointer(), 0);
}

void TimetableTest::gridModelAnnouncesEveryChange()
{
    TimetableGrid grid;
    QAbstractItemModelTester tester(&grid, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QSignalSpy cells(&grid, &QAbstractItemModel::dataChanged);
    QSignalSpy header(&grid, &QAbstractItemModel::headerDataChanged);
    QSignalSpy reset(&grid, &QAbstractItemModel::modelReset);
    grid.setCols(TimetableGrid::kCols);
    grid.setRows(TimetableGrid::kRows);
    QCOMPARE(reset.size(), 2);

    grid.setText(0, 3, " Wednesday");
    QCOMPARE(header.size(), 1);
    QCOMPARE(header.first().mid(1), (QVariantList{3, 3}));
    grid.setText(5, 2, "Biology"); // model row 4: the header row is not a model row
    QCOMPARE(cells.size(), 1);
    QCOMPARE(cells.first().at(0).toModelIndex(), grid.index(4, 2));
    QCOMPARE(grid.data(grid.index(4, 2)).toString(), QString("Biology"));
    grid.setText(5, 2, "Biology"); // unchanged: nothing to announce
    QCOMPARE(cells.size(), 1);

    // A batch is announced once, over the whole grid, and only when it changed something.
    cells.clear();
    grid.beginBatch();
    grid.setText(1, 1, "A");
    grid.setText(32, 7, "B");
    QCOMPARE(cells.size(), 0);
    grid.endBatch();
    QCOMPARE(cells.size(), 1);
    QCOMPARE(cells.first().at(0).toModelIndex(), grid.index(0, 0));
    QCOMPARE(cells.first().at(1).toModelIndex(), grid.index(31, 7));
    grid.beginBatch();
    grid.endBatch();
    QCOMPARE(cells.size(), 1);
}

void TimetableTest::clashIsAnOverlapOfExactTimes_data()
{
    // Mathematics on Monday; Physics on Monday and Tuesday. The grid's
    // times, then the exact ones ("" where the row has none).
    QTest::addColumn<QStringList>("mathematics");
    QTest::addColumn<QStringList>("physics");
    QTest::addColumn<int>("row");
    QTest::addColumn<bool>("clash");
    QTest::addColumn<QString>("tooltip");
    QTest::addColumn<QString>("shown");
    QTest::newRow("back to back") << QStringList{"08:30", "10:00", "", ""} << QStringList{"10:00", "11:00", "", ""} << 9
                                  << false << "Mathematics (8:30 AM - 10:00 AM)\nPhysics (10:00 AM - 11:00 AM)"
                                  << "Physics";
    QTest::newRow("overlap") << QStringList{"08:30", "10:00", "", ""} << QStringList{"09:30", "11:00", "", ""} << 8
                             << true << "Mathematics (8:30 AM - 10:00 AM)\nPhysics (9:30 AM - 11:00 AM)"
                             << "Physics / Mathematics";
    // The rows round the times to the half hour: 9:00-9:50 meets 9:30-10:45.
    QTest::newRow("exact times overlap") << QStringList{"09:00", "09:30", "9:00:00 AM", "9:50:00 AM"}
                                         << QStringList{"09:30", "10:30", "9:30:00 AM", "10:45:00 AM"} << 8 << true
                                         << "Mathematics (9:00 AM - 9:50 AM)\nPhysics (9:30 AM - 10:45 AM)"
                                         << "Physics / Mathematics";
    QTest::newRow("exact times apart") << QStringList{"09:00", "09:30", "9:00:00 AM", "9:40:00 AM"}
                                       << QStringList{"09:30", "10:30", "9:40:00 AM", "10:30:00 AM"} << 8 << false
                                       << "Mathematics (9:00 AM - 9:40 AM)\nPhysics (9:40 AM - 10:30 AM)"
                                       << "Physics";
}

void TimetableTest::clashIsAnOverlapOfExactTimes()
{
    QFETCH(QStringList, mathematics);
    QFETCH(QStringList, physics);
    QFETCH(int, row);
    QFETCH(bool, clash);
    QFETCH(QString, tooltip);
    QFETCH(QString, shown);
    addCourse(db(), 1, "Mathematics", "0", mathematics[0], mathematics[1], mathematics[2], mathematics[3]);
    addCourse(db(), 1, "Physics", "0,1", physics[0], physics[1], physics[2], physics[3]);
    load();
    const TimetableGrid& grid = m_form->grid();
    // The later course shows; the cell names both at their exact times, and
    // is framed only where they meet at once.
    QCOMPARE(grid.text(row, 1), QString("Physics"));
    const QModelIndex shared = grid.index(row - 1, 1);
    QCOMPARE(grid.data(shared, TimetableGrid::ClashRole).toBool(), clash);
    QCOMPARE(grid.data(shared, Qt::BackgroundRole).value<QColor>(), grid.courseColour(row, 2));
    QCOMPARE(grid.data(shared, Qt::ToolTipRole).toString(), tooltip);
    // On screen a clash shows both names, the later first.
    QCOMPARE(grid.displayText(row, 1), shown);
    QCOMPARE(grid.data(shared, Qt::DisplayRole).toString(), shown);
    QVERIFY(!grid.data(grid.index(row - 1, 2), TimetableGrid::ClashRole).toBool());
    QCOMPARE(grid.data(grid.index(row - 1, 2), Qt::ToolTipRole).toString(), tooltip.section('\n', 1));
    // Redrawn without the other course, no mark.
    execSql(db(), "delete from tblCourse where CourseName='Mathematics'");
    m_form->ListCourses();
    QVERIFY(!grid.data(shared, TimetableGrid::ClashRole).toBool());
}

void TimetableTest::paletteIsLightForBlackText()
{
    const auto linear = [](double c) { return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
    const QVector<QColor>& palette = coursePalette();
    QVERIFY(palette.size() >= 12);
    for (const QColor& colour : palette) {
        const double luminance =
            0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) + 0.0722 * linear(colour.blueF());
        QVERIFY2((luminance + 0.05) / 0.05 >= 4.5, qPrintable(colour.name()));
        QCOMPARE(palette.count(colour), 1);
        QVERIFY(colour != clashFrameColour());
    }
}

void TimetableTest::colourFollowsTheNameStablyAndDistinctly()
{
    // Twelve names, the first with two rows: twelve colours, whatever order the rows come in.
    QVector<std::pair<qint64, QString>> courses;
    for (int i = 0; i < 12; ++i)
        courses.append({10 + i, QStringLiteral("Course %1").arg(i)});
    courses.append({30, QStringLiteral("Course 0")});
    const QHash<QString, int> colours = courseColourIndexes(courses);
    QCOMPARE(colours.size(), 12);
    QCOMPARE(QSet<int>(colours.cbegin(), colours.cend()).size(), 12);
    std::reverse(courses.begin(), courses.end());
    QCOMPARE(courseColourIndexes(courses), colours);
    // A course added later moves no colour.
    courses.append({40, QStringLiteral("Course 12")});
    QHash<QString, int> more = courseColourIndexes(courses);
    more.remove(QStringLiteral("Course 12"));
    QCOMPARE(more, colours);

    // In the grid: the same name the same colour on every day, at every start.
    addCourse(db(), 1, "Mathematics", "0", "08:30", "09:00");
    addCourse(db(), 1, "Physics", "1", "08:30", "09:00");
    addCourse(db(), 1, "Mathematics", "2", "10:00", "10:00");
    load();
    const QColor mathematics = m_form->grid().courseColour(6, 1);
    QVERIFY(mathematics.isValid());
    QCOMPARE(m_form->grid().courseColour(9, 3), mathematics);
    QVERIFY(m_form->grid().courseColour(6, 2) != mathematics);
    QVERIFY(!m_form->grid().courseColour(6, 4).isValid());
    load();
    QCOMPARE(m_form->grid().courseColour(6, 1), mathematics);
    m_form->ListCourses();
    QCOMPARE(m_form->grid().courseColour(9, 3), mathematics);
}

void TimetableTest::coursesShowTheirColoursInBlack()
{
    addCourse(db(), 1, "Mathematics", "0", "08:30", "08:30");
    load();
    const QPalette light = QApplication::palette();
    QApplication::setPalette(QPalette(QColor(0x20, 0x20, 0x20), QColor(0x30, 0x30, 0x30))); // a dark theme
    const TimetableGrid& grid = m_form->grid();
    QCOMPARE(grid.data(grid.index(5, 1), Qt::ForegroundRole).value<QColor>(), QColor(Qt::black));
    QCOMPARE(grid.data(grid.index(5, 1), Qt::BackgroundRole).value<QColor>(), grid.courseColour(6, 1));
    QVERIFY(!grid.data(grid.index(5, 2), Qt::BackgroundRole).isValid());
    QApplication::setPalette(light);
}

void TimetableTest::clashFrameShowsOnScreen()
{
    addCourse(db(), 1, "Mathematics", "0", "08:30", "08:30", "8:30:00 AM", "8:45:00 AM");
    addCourse(db(), 1, "Physics", "0,1", "08:30", "08:30", "8:40:00 AM", "8:55:00 AM");
    load();
    TimetableView& view = m_form->gridView();
    view.setCurrentGridCell(1, 3);
    const QImage shot = view.viewport()->grab().toImage();
    const auto hasFrame = [&](int col) {
        const QRect cell = view.visualRect(m_form->grid().index(5, col));
        const QRgb frame = clashFrameColour().rgb();
        return shot.pixel(cell.left() + 1, cell.center().y()) == frame &&
               shot.pixel(cell.center().x(), cell.top() + 1) == frame;
    };
    QVERIFY(hasFrame(1));
    QVERIFY(!hasFrame(2));
    const QRect physics = view.visualRect(m_form->grid().index(5, 2));
    QCOMPARE(QColor(shot.pixel(physics.right() - 2, physics.top() + 2)), m_form->grid().courseColour(6, 2));
}

void TimetableTest::currentCellIsOutlinedWhileTheGridHasTheFocus()
{
    addCourse(db(), 1, "Mathematics", "0", "08:30", "08:30");
    load();
    m_form->show();
    QApplication::setActiveWindow(m_form.get());
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    TimetableView& view = m_form->gridView();
    const QColor ink = contrastingInk(view.palette().color(QPalette::Active, QPalette::Highlight));
    const auto outlined = [&](int row, int col) {
        const QRect cell = view.visualRect(m_form->grid().index(row - 1, col));
        const QImage shot = view.viewport()->grab().toImage();
        return QColor(shot.pixel(cell.left(), cell.center().y())) == ink &&
               QColor(shot.pixel(cell.left() + 1, cell.center().y())) == ink &&
               QColor(shot.pixel(cell.center().x(), cell.top())) == ink;
    };
    for (const QPoint& cell : {QPoint(6, 1), QPoint(7, 3)}) {
        view.setCurrentGridCell(cell.x(), cell.y());
        view.setFocus();
        QVERIFY(view.hasFocus());
        QVERIFY(outlined(cell.x(), cell.y()));
        m_form->listView().setFocus();
        QVERIFY(!outlined(cell.x(), cell.y()));
    }
}

// At its first width the columns are as wide as the grid says; wider, the
// days share the rest; taller than the rows need, the rows share the rest.
void TimetableTest::daysAndRowsShareALargerView()
{
    TimetableGrid grid;
    Procedure p([](int, const QString& description) { QFAIL(qPrintable(description)); });
    setUpTimetable(grid, p, {});
    QWidget window;
    TimetableView view(&grid, &window);
    view.setRowHeight(19);
    view.setFirstWidth(808);
    view.setGeometry(0, 0, 808, 369);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCoreApplication::processEvents();
    QCOMPARE(view.columnWidth(0), 80);
    for (int c = 1; c < 8; ++c)
        QCOMPARE(view.columnWidth(c), 100);
    QCOMPARE(view.rowHeight(0), 19);
    QVERIFY(view.verticalScrollBar()->isVisible());

    view.setGeometry(0, 0, 1208, 900);
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    QCOMPARE(view.columnWidth(0), 80);
    int days = 0;
    for (int c = 1; c < 8; ++c) {
        QVERIFY(view.columnWidth(c) >= 100 + 400 / 7);
        days += view.columnWidth(c);
    }
    QCOMPARE(80 + days, view.viewport()->width());
    QVERIFY(view.rowHeight(0) > 19);
    QVERIFY(view.rowViewportPosition(31) + view.rowHeight(31) <= view.viewport()->height());
    QVERIFY(!view.verticalScrollBar()->isVisible() && !view.horizontalScrollBar()->isVisible());
    // What the grid holds stays as it was: the pictures keep their sizes.
    QCOMPARE(grid.colWidthTwips(1), 1500);
}

QTEST_MAIN(TimetableTest)
#include "test_timetable.moc"
