// The windows in a dark desktop (Qt's Fusion style with a dark palette): every
// surface follows the desktop's colours, the course fills stay light with
// black text, the check boxes and the focus stand out.
#include "app/form1.h"
#include "dialogs/form2.h"
#include "domain/repository.h"
#include "store/connection.h"
#include "tests/support/scripted_prompts.h"
#include "tests/support/test_db.h"
#include "timetable/grid.h"
#include "timetable/grid_view.h"
#include "widgets/appearance.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QMenuBar>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTreeView>
#include <QtTest>

using namespace quorvane;
using namespace quorvane::testing;

namespace {

QPalette darkPalette()
{
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(0x35, 0x35, 0x35));
    dark.setColor(QPalette::WindowText, Qt::white);
    dark.setColor(QPalette::Base, QColor(0x2a, 0x2a, 0x2a));
    dark.setColor(QPalette::AlternateBase, QColor(0x42, 0x42, 0x42));
    dark.setColor(QPalette::Text, Qt::white);
    dark.setColor(QPalette::Button, QColor(0x35, 0x35, 0x35));
    dark.setColor(QPalette::ButtonText, Qt::white);
    dark.setColor(QPalette::Highlight, QColor(0x2a, 0x82, 0xda));
    dark.setColor(QPalette::HighlightedText, Qt::white);
    return dark;
}

bool isDarkPixel(QRgb pixel)
{
    return QColor(pixel).lightness() < 100;
}

} // namespace

class DarkThemeTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void contrastIsMeasuredAsWcagDoes_data();
    void contrastIsMeasuredAsWcagDoes();
    void mainWindowFollowsTheDesktop();
    void courseFillsStayLightWithBlackText();
    void focusStandsOut();
    void checkBoxesStandOutFromTheirDialog_data();
    void checkBoxesStandOutFromTheirDialog();

private:
    QPalette m_light;
    std::unique_ptr<ProgramFolder> m_folder;
    ScriptedPrompts m_prompts;
};

void DarkThemeTest::initTestCase()
{
    QApplication::setStyle(QStringLiteral("Fusion"));
    m_light = QApplication::palette();
}

void DarkThemeTest::init()
{
    QApplication::setPalette(darkPalette());
    m_folder = std::make_unique<ProgramFolder>();
    execSql(m_folder->databasePath(), "insert into tblSchedules (Description) values ('Fall')");
    execSql(m_folder->databasePath(), "insert into tblCourse (ScheduleID,CourseName,Notes,Days,TimeFrom,TimeTo) "
                                      "values (1,'Mathematics','','0','06:00','07:00')");
}

void DarkThemeTest::cleanup()
{
    m_folder.reset();
    QApplication::setPalette(m_light);
}

void DarkThemeTest::contrastIsMeasuredAsWcagDoes_data()
{
    QTest::addColumn<QColor>("background");
    QTest::addColumn<QColor>("ink");
    QTest::newRow("dark window, white text") << QColor(0x35, 0x35, 0x35) << QColor(Qt::white);
    QTest::newRow("light window, black text") << QColor(0xef, 0xef, 0xef) << QColor(Qt::black);
    QTest::newRow("blue selection, white text") << QColor(0x2a, 0x82, 0xda) << QColor(Qt::white);
}

void DarkThemeTest::contrastIsMeasuredAsWcagDoes()
{
    QFETCH(QColor, background);
    QFETCH(QColor, ink);
    QCOMPARE(contrastRatio(QColor(Qt::black), QColor(Qt::white)), 21.0);
    QCOMPARE(contrastRatio(background, background), 1.0);
    // The outline: enough contrast, and no more than a step beyond it.
    const QColor outline = outlineColour(background, ink);
    QVERIFY(contrastRatio(background, outline) >= 3.0);
    QVERIFY(contrastRatio(background, outline) < 3.6);
    QVERIFY(contrastRatio(background, contrastingInk(background)) >= 4.5);
}

void DarkThemeTest::mainWindowFollowsTheDesktop()
{
    Form1 form(m_folder->path(), m_prompts);
    QVERIFY(form.Form_Load());
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(form.palette().color(QPalette::Window), darkPalette().color(QPalette::Window));
    const QImage shot = form.grab().toImage();
    const int top = form.menuBar()->height();
    // The window's background between the buttons, the menu bar, the list's
    // header and its empty part, the grid's header, an empty cell.
    QCOMPARE(QColor(shot.pixel(412, top + 125)), darkPalette().color(QPalette::Window));
    QVERIFY(isDarkPixel(shot.pixel(400, top / 2)));
    const QTreeView& list = form.listView();
    const QPoint header = list.header()->mapTo(&form, QPoint(list.header()->width() - 20, 5));
    QVERIFY(isDarkPixel(shot.pixel(header)));
    QVERIFY(isDarkPixel(shot.pixel(list.viewport()->mapTo(&form, QPoint(50, list.viewport()->height() - 5)))));
    const TimetableView& grid = form.gridView();
    QVERIFY(isDarkPixel(shot.pixel(grid.horizontalHeader()->mapTo(&form, QPoint(150, 5)))));
    const QRect free = grid.visualRect(form.grid().index(10, 4));
    QCOMPARE(QColor(shot.pixel(grid.viewport()->mapTo(&form, free.center()))), darkPalette().color(QPalette::Base));
    QVERIFY(m_prompts.shown.isEmpty());
}

void DarkThemeTest::courseFillsStayLightWithBlackText()
{
    Form1 form(m_folder->path(), m_prompts);
    QVERIFY(form.Form_Load());
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    TimetableView& grid = form.gridView();
    grid.setCurrentGridCell(20, 5);
    const QImage shot = grid.viewport()->grab().toImage();
    const QRect cell = grid.visualRect(form.grid().index(1, 1));
    QCOMPARE(QColor(shot.pixel(cell.right() - 2, cell.top() + 2)), form.grid().courseColour(2, 1));
    int darkest = 255;
    for (int x = cell.left(); x < cell.right(); ++x)
        darkest = std::min(darkest, qGray(shot.pixel(x, cell.center().y())));
    QVERIFY(darkest < 60);
}

void DarkThemeTest::focusStandsOut()
{
    Form1 form(m_folder->path(), m_prompts);
    QVERIFY(form.Form_Load());
    form.show();
    QApplication::setActiveWindow(&form);
    QVERIFY(QTest::qWaitForWindowActive(&form));
    TimetableView& grid = form.gridView();
    grid.setFocus();
    const QRect cell = grid.visualRect(grid.currentIndex());
    const QImage shot = grid.viewport()->grab().toImage();
    const QColor outline(shot.pixel(cell.left(), cell.center().y()));
    QVERIFY(contrastRatio(outline, darkPalette().color(QPalette::Highlight)) >= 3.0);
}

void DarkThemeTest::checkBoxesStandOutFromTheirDialog_data()
{
    QTest::addColumn<bool>("dark");
    QTest::newRow("dark") << true;
    QTest::newRow("light") << false;
}

void DarkThemeTest::checkBoxesStandOutFromTheirDialog()
{
    QFETCH(bool, dark);
    if (!dark)
        QApplication::setPalette(m_light);
    Connection db;
    db.open(m_folder->databasePath());
    Repository courses(db);
    Form2 add(courses, m_prompts, m_folder->path());
    add.show();
    QVERIFY(QTest::qWaitForWindowExposed(&add));
    QCheckBox* monday = add.findChild<QCheckBox*>("Check1_0");
    QVERIFY(monday);
    const QColor around = monday->palette().color(QPalette::Window);
    QCOMPARE(around, QApplication::palette().color(QPalette::Button));
    QStyleOptionButton option;
    option.initFrom(monday);
    const QRect box = monday->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, monday);
    const QImage shot = monday->grab().toImage();
    double outline = 1;
    for (int y = box.top(); y <= box.bottom(); ++y)
        outline = std::max(outline, contrastRatio(QColor(shot.pixel(box.left(), y)), around));
    QVERIFY2(outline >= 3.0, qPrintable(QString::number(outline)));
}

QTEST_MAIN(DarkThemeTest)
#include "test_dark_theme.moc"
