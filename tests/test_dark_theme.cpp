// The windows in a dark desktop (Qt's Fusion style with a dark palette): every
// surface follows the desktop's colours, and the dialogs' check boxes stand
// out from theirs, as in a light one. (The course fills stay light with black
// text: test_timetable.)
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
    QPalette dark(Qt::white, QColor(0x35, 0x35, 0x35), QColor(0x45, 0x45, 0x45), QColor(0x20, 0x20, 0x20),
                  QColor(0x30, 0x30, 0x30), Qt::white, Qt::white, QColor(0x2a, 0x2a, 0x2a), QColor(0x35, 0x35, 0x35));
    dark.setColor(QPalette::Highlight, QColor(0x2a, 0x82, 0xda));
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
    void mainWindowFollowsTheDesktop();
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
    QCOMPARE(contrastRatio(QColor(Qt::black), QColor(Qt::white)), 21.0);
    QVERIFY(contrastRatio(around, outlineColour(around, QColor(Qt::black))) < 3.6); // no starker than needed
}

QTEST_MAIN(DarkThemeTest)
#include "test_dark_theme.moc"
