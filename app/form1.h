#pragma once

#include "app/pointer.h"
#include "app/prompts.h"

#include <QWidget>
#include <functional>
#include <memory>

class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace quorvane {

class Connection;
class Procedure;
class SpreadsheetApplication;
class TimetableGrid;
class TimetableView;

// The main window: the schedules list, the weekly grid and ten command
// buttons. It owns the one database connection from Form_Load until the
// window is closed.
class Form1 : public QWidget
{
    Q_OBJECT
public:
    Form1(const QString& programFolder, Prompts& prompts, QWidget* parent = nullptr);
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

    // Redraws the grid for the selected schedule.
    void ListCourses();

    // What the commands and the tests reach.
    const QString& programFolder() const { return m_programFolder; }
    Prompts& prompts() const { return m_prompts; }
    Connection& scheduleDb() const;
    bool hasScheduleDb() const { return m_scheduleDb != nullptr; }
    TimetableGrid& grid() const { return *m_grid; }
    TimetableView& gridView() const { return *m_gridView; }
    QTreeWidget& listView() const { return *m_listView; }
    PointerConvention& pointer() const { return *m_pointer; }
    int mousePointer() const { return m_pointer->state(); }
    QPushButton* pushButton(int number) const;
    // The save-file dialog's settings as the last command set them.
    const SaveFileRequest& commonDialog() const { return m_commonDialog; }
    // How the workbook export creates its spreadsheet application from a
    // programmatic id; tests put one here that cannot be created.
    using SpreadsheetFactory = std::function<std::unique_ptr<SpreadsheetApplication>(const QString&)>;
    void setSpreadsheetFactory(SpreadsheetFactory factory) { m_spreadsheetFactory = std::move(factory); }

    // The selected row of the schedules list: its text is the schedule id,
    // its first sub-item the name. Reading it with no row selected fails.
    int scheduleCount() const;
    QString selectedScheduleId() const;
    QString selectedScheduleName() const;
    QString scheduleName(int row) const; // rows counted from 1
    void selectSchedule(int row);        // rows counted from 1

signals:
    // The window has been unloaded; the program ends.
    void unloaded();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void ListSchedules();
    void ClearGrid();
    void ApplySkin();
    void SetUpGrid(Procedure& procedure);
    void Form_QueryUnload();
    QTreeWidgetItem* selectedRow() const;
    // Selects the first row named exactly "Sample Schedule"; true when one matched.
    bool SelectSampleRow(Procedure* numbered = nullptr, int first = 0, bool* sampleIsNew = nullptr);

    QString m_programFolder;
    Prompts& m_prompts;
    std::unique_ptr<Connection> m_scheduleDb;
    TimetableGrid* m_grid = nullptr;
    TimetableView* m_gridView = nullptr;
    QTreeWidget* m_listView = nullptr;
    PointerConvention* m_pointer = nullptr;
    SaveFileRequest m_commonDialog;
    SpreadsheetFactory m_spreadsheetFactory;
    bool m_unloaded = false;
};

// Pixels for a length in twips, at 15 twips a pixel.
constexpr int twips(int value)
{
    return (value + 7) / 15;
}

} // namespace quorvane
