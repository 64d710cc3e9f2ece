#pragma once

#include "app/schedule_list.h"
#include "base/prompts.h"
#include "widgets/pointer.h"

#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

class QMenu;
class QMenuBar;
class QPrinter;
class QPushButton;
class QTimer;
class QTreeView;

namespace quorvane {

class Connection;
class CoursePositions;
class GrowingForm;
class Repository;
class Procedure;
struct SampleRowSteps;
class ScheduleNames;
class SpreadsheetApplication;
class TimetableGrid;
class TimetableView;
class UndoHistory;

// The main window: the menu bar, and below it the schedules list, the weekly
// grid and ten command buttons, placed for the window's first size and
// following a larger or smaller one. It owns the one database connection
// from Form_Load until the window is closed.
// Where the program finds its files: the hand cursor and the skin in its own
// folder, dbSchedules.mdb in the database folder (the program's own folder,
// or the user's data folder for an installed program).
struct ProgramPaths
{
    // The database in the program's own folder.
    ProgramPaths(const QString& folder) : programFolder(folder), databaseFolder(folder) {}
    ProgramPaths(const QString& program, const QString& database) : programFolder(program), databaseFolder(database) {}

    QString programFolder;
    QString databaseFolder;
};

class Form1 : public QWidget
{
    Q_OBJECT
public:
    // How the workbook export creates its spreadsheet application from a
    // programmatic id; without one, the program's own stand-in.
    using SpreadsheetFactory = std::function<std::unique_ptr<SpreadsheetApplication>(const QString&)>;

    Form1(const ProgramPaths& paths, Prompts& prompts, SpreadsheetFactory spreadsheets = {}, QWidget* parent = nullptr);
    ~Form1() override;

    // Start-up; false when the program must end without showing the window.
    bool Form_Load();

    // Public procedures: one statement each for the selected schedule.
    void DeleteCourse();
    void DeleteSchedules();
    void UpdateSchedule(const QString& name);

    // Event handlers.
    void PushButton1_Click();  // Add Schedule
    void PushButton2_Click();  // Delete Schedule
    void PushButton3_Click();  // Add Course
    void PushButton4_Click();  // Delete Course
    void PushButton5_Click();  // Edit Schedule
    void PushButton6_Click();  // Edit Course
    void PushButton7_Click();  // Save Schedule As Image For Printing
    void PushButton8_Click();  // Export Schedule To Excel For Printing
    void PushButton9_Click();  // Load Sample/Example Schedule
    void PushButton10_Click(); // Delete All Courses
    void ListView1_Click();
    // Commands of the context menus and shortcuts.
    void ImportCalendar_Click();    // "Import Calendar…", Ctrl+I
    void ExportCalendar_Click();    // "Export Calendar…"
    void DuplicateSchedule_Click(); // "Duplicate Schedule", Ctrl+D
    void CopyCourseTo_Click();      // "Copy Course To…"
    void PlanSchedules_Click();     // "Plan Schedules…", Ctrl+G

    // Makes a new schedule from a calendar file, shows the report in one box
    // and selects the schedule; true when it was stored.
    bool ImportCalendar(const QString& fileName);

    // Redraws the grid for the selected schedule.
    void ListCourses();

    // Help: the keys of the window's commands, and the program's version and
    // licence, each in a box.
    void KeyboardShortcuts_Click();
    void AboutQuorvane_Click();

    // When another program (a second copy, an import from the command line)
    // changed the database since the window last looked, shows the list and
    // the grid anew, the selected schedule still selected if it is still
    // there; true when it did. Asked every second while the window is shown,
    // and whenever it gets the focus; never while a command or a dialog of
    // the window is under way.
    bool ShowChangesMadeElsewhere();

    // Keeps the window's size and place in `settingsFile` for the next start
    // (WindowPlace) and restores what it holds.
    void rememberPlace(const QString& settingsFile);

    // Ctrl+P: the print preview of the grid as it stands, printed from there.
    void PrintPreview();
    // Prints the grid on one page as the PDF picture draws it; a failure
    // carries the reason.
    void printSchedule(QPrinter& printer, const QString& title) const;
    // The grid's context menu (right click, the Menu key).
    QMenu* gridMenu() const { return m_gridMenu; }
    QMenuBar* menuBar() const { return m_menuBar; }
    // What holds the controls below the menu bar, and scrolls them on a
    // screen too small for them.
    GrowingForm& body() const { return *m_body; }

    // What the commands and the tests reach.
    const QString& programFolder() const { return m_paths.programFolder; }
    QString databasePath() const { return m_paths.databaseFolder + QStringLiteral("/dbSchedules.mdb"); }
    Prompts& prompts() { return m_prompts; }
    // ScheduleDb; raises a failure before Form_Load has created it.
    Connection& scheduleDb();
    // Every read and write of schedules and courses; the same failure.
    Repository& repository();
    // Null before the database is opened.
    const CoursePositions* coursePositions() const { return m_coursePositions.get(); }
    bool hasScheduleDb() const { return m_scheduleDb != nullptr; }
    TimetableGrid& grid() { return *m_grid; }
    const TimetableGrid& grid() const { return *m_grid; }
    TimetableView& gridView() { return *m_gridView; }
    const TimetableView& gridView() const { return *m_gridView; }
    QTreeView& listView() { return *m_listView; }
    const QTreeView& listView() const { return *m_listView; }
    // The list's rows, ids and names: the view shows the names alone.
    const ScheduleList& scheduleList() const { return *m_schedules; }
    PointerConvention& pointer() { return *m_pointer; }
    int mousePointer() const;
    QPushButton* pushButton(int number) const;
    // The save-file dialog's settings as the last command set them.
    const SaveFileRequest& commonDialog() const { return m_commonDialog; }

    // The selected row of the schedules list: its text is the schedule id,
    // its first sub-item the name. Reading it with no row selected fails.
    int scheduleCount() const;
    ScheduleId selectedScheduleId() const;
    // The selected schedule's id, or nothing when no row is selected.
    std::optional<ScheduleId> selectedScheduleIdOrNone() const;
    QString selectedScheduleName() const;
    QString scheduleName(int row) const; // rows counted from 1
    void selectSchedule(int row);        // rows counted from 1
    // Reloads the list, selects and shows the first of the schedules given by
    // id that is in it (else the first row) and redraws the grid.
    void showSchedule(const QList<ScheduleId>& ids);

    // The changes made in the window during this run. Every command that
    // changes data runs through record(), which keeps it as one step.
    UndoHistory& history() { return *m_history; }

signals:
    // The window has been unloaded; the program ends.
    void unloaded();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    // A calendar file dropped on the window is imported.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void buildControls();
    void buildGridMenu();
    void buildMenuBar();
    // The window's background: white, the desktop's own in a dark desktop,
    // the button face with a skin.
    void paintBackground();
    void ListSchedules();
    void ClearGrid();
    void ApplySkin();
    void SetUpGrid(Procedure& procedure);
    void Form_QueryUnload();
    // Export Schedule To Excel For Printing, its save dialog preset as given.
    void ExportWorkbook(const QString& fileName, const QString& filter, const char* procedure);
    const Schedule& selectedRow() const;
    // Selects the first row named exactly "Sample Schedule"; true when one
    // matched. Under a reporting procedure its statements report with the
    // given numbers; without one a failure travels to the caller.
    bool SelectSampleRow(Procedure* p = nullptr, const SampleRowSteps* steps = nullptr, bool* sampleIsNew = nullptr);

    ProgramPaths m_paths;
    Prompts& m_prompts;
    std::unique_ptr<Connection> m_scheduleDb;
    std::unique_ptr<Repository> m_repository;
    // Positions in the course dialogs' lists; goes before the connection.
    std::unique_ptr<CoursePositions> m_coursePositions;
    TimetableGrid* m_grid = nullptr;
    TimetableView* m_gridView = nullptr;
    QMenu* m_gridMenu = nullptr;
    QMenuBar* m_menuBar = nullptr;
    GrowingForm* m_body = nullptr;
    QTreeView* m_listView = nullptr;
    ScheduleList* m_schedules = nullptr;
    ScheduleNames* m_scheduleNames = nullptr;
    PointerConvention* m_pointer = nullptr;
    UndoHistory* m_history = nullptr;
    SaveFileRequest m_commonDialog;
    SpreadsheetFactory m_spreadsheetFactory;
    bool m_unloaded = false;
    bool m_skinned = false;
    // What the window last saw of other programs' changes (SQLite's
    // data_version), and the clock that asks again.
    std::optional<qint64> m_dataVersion;
    QTimer* m_changesElsewhere = nullptr;

    // The grid always shows the selected schedule. A change of the selection
    // by the user (a click, the keyboard) redraws at once; a command that
    // reloads or walks the list holds a SelectionFollower, and the grid
    // follows once, when the command ends, if the selection moved.
    class SelectionFollower
    {
    public:
        explicit SelectionFollower(Form1& form) : m_form(form) { ++m_form.m_commandsRunning; }
        ~SelectionFollower();
        SelectionFollower(const SelectionFollower&) = delete;
        SelectionFollower& operator=(const SelectionFollower&) = delete;

    private:
        Form1& m_form;
    };
    void followSelection();
    int m_commandsRunning = 0;
    std::optional<ScheduleId> m_drawnScheduleId; // what ListCourses last drew
    int m_drawings = 0;                          // how many times it drew
    int m_drawingsAtPress = 0;
};

} // namespace quorvane
