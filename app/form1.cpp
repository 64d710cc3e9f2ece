#include "app/form1.h"

#include "app/schedule_list.h"
#include "app/undo_history.h"
#include "base/app_info.h"
#include "base/failure.h"
#include "base/reporting.h"
#include "base/twips.h"
#include "domain/repository.h"
#include "export/spreadsheet.h"
#include "store/connection.h"
#include "store/course_positions.h"
#include "store/schema.h"
#include "timetable/grid.h"
#include "timetable/grid_view.h"
#include "widgets/appearance.h"
#include "widgets/focus_outline.h"
#include "widgets/fonts.h"
#include "widgets/growing_form.h"
#include "widgets/program_icon.h"
#include "widgets/push_button.h"
#include "widgets/window_place.h"

#include <QAccessibleWidget>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QHeaderView>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QScopeGuard>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>

namespace quorvane {

namespace {

struct ButtonPlace
{
    int number;
    const char* caption;
    int left;
    int top;
};

// In twips; every button is 6000 x 405.
constexpr ButtonPlace kButtons[] = {
    {1, "Add Schedule", 120, 1780},
    {5, "Edit Schedule", 6240, 1780},
    {2, "Delete Schedule", 120, 2290},
    {9, "Load Sample/Example Schedule", 6240, 2290},
    {3, "Add Course", 120, 8430},
    {6, "Edit Course", 6240, 8430},
    {4, "Delete Course", 120, 8940},
    {10, "Delete All Courses", 6240, 8940},
    {7, "Save Schedule As Image For Printing", 120, 9450},
    {8, "Export Schedule To Excel For Printing", 6240, 9450},
};

// The controls' places at the window's first size, in twips.
constexpr int kFormWidth = 12360;
constexpr int kFormHeight = 9960;
constexpr int kListTop = 120;
constexpr int kGridTop = 2800;
constexpr int kWideLeft = 120;
constexpr int kWideWidth = 12120;
constexpr int kListHeight = 1575;
constexpr int kGridHeight = 5535;
constexpr int kNameColumnWidth = 11000;

QRect pixelRect(int left, int top, int width, int height)
{
    return QRect(pixelsFromTwips(left), pixelsFromTwips(top), pixelsFromTwips(width), pixelsFromTwips(height));
}

// A larger window gives its extra width to the list and the grid, and half
// of it to each column of buttons; its extra height to the grid, the buttons
// below the grid going down with it.
Growth buttonGrowth(const ButtonPlace& place)
{
    const bool right = place.left > kWideLeft;
    const bool belowGrid = place.top > kGridTop;
    return {right ? 0.5 : 0.0, 0.5, belowGrid ? 1.0 : 0.0, 0.0};
}

} // namespace

Form1::Form1(const ProgramPaths& paths, Prompts& prompts, SpreadsheetFactory spreadsheets, QWidget* parent)
    : QWidget(parent),
      m_paths(paths),
      m_prompts(prompts),
      m_spreadsheetFactory(spreadsheets ? std::move(spreadsheets) : &SpreadsheetApplication::create)
{
    buildControls();
}

Form1::~Form1() = default;

namespace {

// Assistive technology sees the main window as a window, not as a pane.
QAccessibleInterface* accessibleForm1(const QString& className, QObject* object)
{
    if (className == QLatin1String(Form1::staticMetaObject.className()) && object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
    return nullptr;
}

} // namespace

void Form1::buildControls()
{
    static const bool accessibleAsWindow = (QAccessible::installFactory(accessibleForm1), true);
    Q_UNUSED(accessibleAsWindow);
    setObjectName(QStringLiteral("Form1"));
    setFont(arialBold(9));
    setAutoFillBackground(true);
    paintBackground();

    // The menu bar above the controls; the controls in the body below it,
    // where they keep their places at the first size.
    m_menuBar = new QMenuBar(this);
    m_menuBar->setObjectName(QStringLiteral("MenuBar"));
    m_menuBar->setFont(QApplication::font(m_menuBar));
    m_body = new GrowingForm(QSize(pixelsFromTwips(kFormWidth), pixelsFromTwips(kFormHeight)), this);
    m_body->setObjectName(QStringLiteral("Form1Body"));
    QWidget* area = m_body->area();
    area->setObjectName(QStringLiteral("Form1Area"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(m_menuBar);
    layout->addWidget(m_body);

    m_pointer = new PointerConvention(this);
    m_pointer->watchBackground(this);
    m_pointer->watchBackground(area);

    m_schedules = new ScheduleList(this);
    m_scheduleNames = new ScheduleNames(m_schedules, this);
    m_listView = new QTreeView(area);
    m_listView->setObjectName(QStringLiteral("ListView1"));
    m_body->place(m_listView, pixelRect(kWideLeft, kListTop, kWideWidth, kListHeight), {0, 1, 0, 0});
    m_listView->setRootIsDecorated(false);
    m_listView->setItemsExpandable(false);
    m_listView->setUniformRowHeights(true);
    m_listView->setSelectionMode(QAbstractItemView::SingleSelection);
    m_listView->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_listView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_listView->setModel(m_scheduleNames);
    m_listView->setItemDelegate(new FocusOutlineDelegate(m_listView));
    m_listView->setAccessibleName(QStringLiteral("Schedules"));
    m_listView->header()->setStretchLastSection(false);
    m_listView->header()->setSectionResizeMode(QHeaderView::Interactive);
    m_listView->header()->setMinimumSectionSize(0);
    // A click anywhere in the list, on a row or below the rows, redraws the
    // grid; a wider list gives its names more room.
    m_listView->viewport()->installEventFilter(this);
    m_listView->installEventFilter(this);
    // A click that would leave no row selected keeps the last one.
    connect(m_listView->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        const QModelIndex current = m_listView->currentIndex();
        if (current.isValid() && !m_listView->selectionModel()->isRowSelected(current.row(), QModelIndex()))
            m_listView->selectionModel()->select(current, QItemSelectionModel::Select | QItemSelectionModel::Rows);
    });
    connect(m_listView->selectionModel(), &QItemSelectionModel::currentRowChanged, this, &Form1::followSelection);
    m_pointer->watchBackground(m_listView);

    m_grid = new TimetableGrid(this);
    m_gridView = new TimetableView(m_grid, area);
    m_gridView->setObjectName(QStringLiteral("MSHFlexGrid1"));
    m_gridView->setAccessibleName(QStringLiteral("Timetable"));
    m_body->place(m_gridView, pixelRect(kWideLeft, kGridTop, kWideWidth, kGridHeight), {0, 1, 0, 1});
    m_gridView->setFirstWidth(pixelsFromTwips(kWideWidth));
    m_pointer->watchBackground(m_gridView);

    const QFont buttonFont = arialBold(11.25);
    for (const ButtonPlace& place : kButtons) {
        auto* button = new PushButton(QString::fromLatin1(place.caption), area);
        button->setObjectName(QStringLiteral("PushButton%1").arg(place.number));
        button->setFont(buttonFont);
        m_body->place(button, pixelRect(place.left, place.top, 6000, 405), buttonGrowth(place));
        m_pointer->watchButton(button);
    }
    // A command that changes rows is one step of the history, named after it.
    m_history = new UndoHistory(*this);
    const auto wire = [this](int number, void (Form1::*handler)(), const char* change = nullptr) {
        if (!change) {
            connect(pushButton(number), &QPushButton::clicked, this, handler);
            return;
        }
        connect(pushButton(number), &QPushButton::clicked, this, [this, handler, change] {
            m_history->record(QString::fromLatin1(change), [this, handler] { (this->*handler)(); });
        });
    };
    wire(1, &Form1::PushButton1_Click, "Add Schedule");
    wire(2, &Form1::PushButton2_Click, "Delete Schedule");
    wire(3, &Form1::PushButton3_Click, "Add Course");
    wire(4, &Form1::PushButton4_Click, "Delete Course");
    wire(5, &Form1::PushButton5_Click, "Edit Schedule");
    wire(6, &Form1::PushButton6_Click, "Edit Course");
    wire(7, &Form1::PushButton7_Click);
    wire(8, &Form1::PushButton8_Click);
    wire(9, &Form1::PushButton9_Click, "Load Sample");
    wire(10, &Form1::PushButton10_Click, "Delete All Courses");
    buildGridMenu();

    // Undo and redo: shortcuts in the whole window, and the context menus of
    // the list and the grid.
    addAction(m_history->undoAction());
    addAction(m_history->redoAction());
    m_listView->setContextMenuPolicy(Qt::ActionsContextMenu);
    m_listView->addAction(m_history->undoAction());
    m_listView->addAction(m_history->redoAction());
    QAction* firstGridCommand = m_gridMenu->actions().value(0);
    m_gridMenu->insertAction(firstGridCommand, m_history->undoAction());
    m_gridMenu->insertAction(firstGridCommand, m_history->redoAction());
    m_gridMenu->insertSeparator(firstGridCommand);

    // The commands of the list's menu (the schedules) and the grid's (a
    // course, the calendar export), each with its object name for the menu bar.
    const auto command = [this](QWidget* on, const char* name, const QString& text, const QKeySequence& key,
                                void (Form1::*handler)()) {
        auto* action = new QAction(text, on);
        action->setObjectName(QLatin1String(name));
        action->setShortcut(key);
        connect(action, &QAction::triggered, this, handler);
        on->addAction(action);
        return action;
    };
    command(m_listView, "ImportCalendar", QStringLiteral("Import Calendar\u2026"), QKeySequence(Qt::CTRL | Qt::Key_I),
            &Form1::ImportCalendar_Click);
    command(m_listView, "DuplicateSchedule", QStringLiteral("Duplicate Schedule"), QKeySequence(Qt::CTRL | Qt::Key_D),
            &Form1::DuplicateSchedule_Click);
    command(m_listView, "PlanSchedules", QStringLiteral("Plan Schedules\u2026"), QKeySequence(Qt::CTRL | Qt::Key_G),
            &Form1::PlanSchedules_Click);
    QAction* copyCourse = command(m_gridView, "CopyCourseTo", QStringLiteral("Copy Course To\u2026"), QKeySequence(),
                                  &Form1::CopyCourseTo_Click);
    // Among the course commands, after Delete All Courses.
    const QList<QAction*> gridCommands = m_gridMenu->actions();
    const qsizetype deleteAll = gridCommands.indexOf(findChild<QAction*>(QStringLiteral("actionDeleteAllCourses")));
    m_gridMenu->insertAction(gridCommands.value(deleteAll + 1), copyCourse);
    m_gridMenu->addAction(command(m_gridView, "ExportCalendar", QStringLiteral("Export Calendar\u2026"), QKeySequence(),
                                  &Form1::ExportCalendar_Click));
    setAcceptDrops(true);

    // Last: the menu bar takes the actions made above.
    buildMenuBar();
    resize(m_body->firstSize() + QSize(0, m_menuBar->heightForWidth(m_body->firstSize().width())));

    // Changes made by other programs, looked for while the window is shown.
    m_changesElsewhere = new QTimer(this);
    m_changesElsewhere->setObjectName(QStringLiteral("ChangesElsewhereTimer"));
    m_changesElsewhere->setInterval(1000);
    connect(m_changesElsewhere, &QTimer::timeout, this, &Form1::ShowChangesMadeElsewhere);
}

void Form1::paintBackground()
{
    QPalette own;
    own.setColor(QPalette::Window,
                 m_skinned ? QApplication::palette().color(QPalette::Button) : formBackground(QApplication::palette()));
    setPalette(own);
}

QPushButton* Form1::pushButton(int number) const
{
    return m_body->area()->findChild<QPushButton*>(QStringLiteral("PushButton%1").arg(number),
                                                   Qt::FindDirectChildrenOnly);
}

Connection& Form1::scheduleDb()
{
    if (!m_scheduleDb)
        throw Failure(QStringLiteral("The database is not open"));
    return *m_scheduleDb;
}

Repository& Form1::repository()
{
    if (!m_repository)
        throw Failure(QStringLiteral("The database is not open"));
    return *m_repository;
}

// Steps 100 and 114 (FileExists never fails), 104 (the end of the program),
// 136 (caption, icon and application title) and 138 to 144 (the list's
// columns) cannot fail and carry no statement of their own.
bool Form1::Form_Load()
{
    SelectionFollower follower(*this);
    Procedure p(m_prompts, this, location("Form1", "Form_Load"));
    const QString databasePath = this->databasePath();
    if (!FileExists(databasePath)) {
        p.step(102, [&] { showMessage(m_prompts, this, databasePath + QStringLiteral(" not found.")); });
        return false;
    }
    p.step(106, [&] {
        m_coursePositions.reset();
        m_repository.reset();
        m_scheduleDb = std::make_unique<Connection>();
        m_repository = std::make_unique<Repository>(*m_scheduleDb);
        m_coursePositions = std::make_unique<CoursePositions>(*m_scheduleDb);
        // Every wait for another program's lock shows the busy pointer, over
        // the dialogs as well.
        m_scheduleDb->setWaitNotice([](bool waiting) {
            if (waiting)
                QGuiApplication::setOverrideCursor(Qt::WaitCursor);
            else
                QGuiApplication::restoreOverrideCursor();
        });
        m_scheduleDb->setWaitAtMostOnce(true);
    });
    // After start-up every statement may wait again.
    const auto waitEveryTime = qScopeGuard([this] {
        if (m_scheduleDb)
            m_scheduleDb->setWaitAtMostOnce(false);
    });
    p.step(108, [&] {
        scheduleDb().open(databasePath);
        requireTimetableTables(scheduleDb());
        upgradeSchema(scheduleDb());
    });
    p.step(110, [&] { ApplySkin(); });
    const QString cursorPath = programFolder() + QStringLiteral("/HAND-M.CUR");
    if (FileExists(cursorPath))
        p.step(116, [&] { m_pointer->loadMouseIcon(cursorPath); });
    setWindowTitle(kProductName);
    setWindowIcon(programIcon());
    SetAppTitle();
    m_schedules->setHeaderTexts(QStringLiteral(" Schedule ID"), QStringLiteral(" Schedule(s)"));
    // The id column is not in the view (ScheduleNames): the names are its
    // only column.
    m_listView->setColumnWidth(0, pixelsFromTwips(kNameColumnWidth));
    p.step(146, [&] { ListSchedules(); });
    SetUpGrid(p);
    p.step(206, [&] { ListCourses(); });
    try {
        m_dataVersion = scheduleDb().dataVersion();
    } catch (const Failure&) {
        m_dataVersion.reset(); // a database that cannot be read is not watched
    }
    return true;
}

void Form1::ApplySkin()
{
    const QString skin = programFolder() + QStringLiteral("/x/o.cjs");
    if (!FileExists(skin))
        return;
    m_skinned = true;
    paintBackground();
    QFile file(skin);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        throw Failure(file.errorString());
    setStyleSheet(QString::fromUtf8(file.readAll()));
}

void Form1::ListSchedules()
{
    BusyPointer busy(*m_pointer);
    QVector<Schedule> rows = repository().schedules();
    m_schedules->setRows(std::move(rows));
    if (m_schedules->count() > 0)
        selectSchedule(1);
}

int Form1::scheduleCount() const
{
    return m_schedules->count();
}

const Schedule& Form1::selectedRow() const
{
    const QModelIndex current = m_listView->currentIndex();
    if (!current.isValid())
        throw Failure(QStringLiteral("No schedule is selected"));
    return m_schedules->row(current.row());
}

ScheduleId Form1::selectedScheduleId() const
{
    return selectedRow().id;
}

std::optional<ScheduleId> Form1::selectedScheduleIdOrNone() const
{
    const QModelIndex current = m_listView->currentIndex();
    if (!current.isValid())
        return std::nullopt;
    return m_schedules->row(current.row()).id;
}

int Form1::mousePointer() const
{
    return m_pointer->state();
}

QString Form1::selectedScheduleName() const
{
    return selectedRow().name;
}

QString Form1::scheduleName(int row) const
{
    if (row < 1 || row > m_schedules->count())
        throw Failure(QStringLiteral("Index out of bounds"));
    return m_schedules->row(row - 1).name;
}

void Form1::selectSchedule(int row)
{
    if (row < 1 || row > m_schedules->count())
        throw Failure(QStringLiteral("Index out of bounds"));
    m_listView->selectionModel()->setCurrentIndex(m_scheduleNames->index(row - 1, 0),
                                                  QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void Form1::showSchedule(const QList<ScheduleId>& ids)
{
    SelectionFollower follower(*this);
    ListSchedules();
    for (const ScheduleId id : ids) {
        for (int row = 1; row <= m_schedules->count(); ++row) {
            if (m_schedules->row(row - 1).id != id)
                continue;
            selectSchedule(row);
            m_listView->scrollTo(m_listView->currentIndex());
            ListCourses();
            return;
        }
    }
    ListCourses();
}

void Form1::ListView1_Click()
{
    ListCourses();
}

Form1::SelectionFollower::~SelectionFollower()
{
    if (--m_form.m_commandsRunning == 0)
        m_form.followSelection();
}

void Form1::followSelection()
{
    if (m_commandsRunning > 0)
        return;
    // Rows without a selected one (which only a program can make) leave the
    // grid as it is; the commands report that nothing is selected.
    const std::optional<ScheduleId> selected = selectedScheduleIdOrNone();
    if ((selected || scheduleCount() == 0) && selected != m_drawnScheduleId)
        ListCourses();
}

bool Form1::eventFilter(QObject* watched, QEvent* event)
{
    // A click that moved the selection has redrawn the grid already; one on
    // the selected row, or below the rows, redraws it again.
    if (watched == m_listView->viewport() && event->type() == QEvent::MouseButtonPress)
        m_drawingsAtPress = m_drawings;
    if (watched == m_listView->viewport() && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton && m_drawings == m_drawingsAtPress)
        ListView1_Click();
    // The names' column grows with the list beyond its first width.
    if (watched == m_listView && event->type() == QEvent::Resize)
        m_listView->setColumnWidth(0, pixelsFromTwips(kNameColumnWidth) +
                                          std::max(0, m_listView->width() - pixelsFromTwips(kWideWidth)));
    return QWidget::eventFilter(watched, event);
}

void Form1::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (m_dataVersion)
        m_changesElsewhere->start();
}

void Form1::hideEvent(QHideEvent* event)
{
    m_changesElsewhere->stop();
    QWidget::hideEvent(event);
}

void Form1::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        ShowChangesMadeElsewhere();
}

bool Form1::ShowChangesMadeElsewhere()
{
    // Not in the middle of a command, which acts on the selection as it
    // found it, nor under one of the window's dialogs.
    if (!m_dataVersion || !m_scheduleDb || !m_scheduleDb->isOpen() || m_commandsRunning > 0 ||
        QApplication::activeModalWidget())
        return false;
    qint64 version = 0;
    try {
        version = m_scheduleDb->dataVersion();
    } catch (const Failure&) {
        return false; // asked again at the next tick
    }
    if (version == *m_dataVersion)
        return false;
    m_dataVersion = version;
    Procedure p(m_prompts, this, location("Form1", "ShowChangesMadeElsewhere"));
    const std::optional<ScheduleId> selected = selectedScheduleIdOrNone();
    p.step(100, [&] { showSchedule(selected ? QList<ScheduleId>{*selected} : QList<ScheduleId>{}); });
    return true;
}

void Form1::rememberPlace(const QString& settingsFile)
{
    new WindowPlace(this, settingsFile);
}

void Form1::closeEvent(QCloseEvent* event)
{
    Form_QueryUnload();
    event->accept();
    if (!m_unloaded) {
        m_unloaded = true;
        emit unloaded();
    }
}

void Form1::Form_QueryUnload()
{
    Procedure p(m_prompts, this, location("Form1", "Form_QueryUnload"));
    p.step(100, [&] {
        if (m_scheduleDb && m_scheduleDb->isOpen())
            m_scheduleDb->close();
    });
    // 102, 104: the waiting messages, twice; that cannot fail.
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

} // namespace quorvane
