#pragma once

#include "app/prompts.h"
#include "dialogs/dialog_parts.h"

#include <QDialog>
#include <QString>
#include <array>

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;

namespace quorvane {

class Connection;
class PointerConvention;
class TimePicker;

// "Add Course": one new course for the schedule named by m_ScheduleID.
// The constructor runs Form_Load; the caller then sets m_ScheduleID and both
// pickers and shows the dialog through Prompts::showModal. Save writes one
// row and unloads the dialog; Cancel and the close box unload it without
// writing. The dialog never touches the main window.
class Form2 : public QDialog
{
    Q_OBJECT
public:
    Form2(Connection& scheduleDb, Prompts& prompts, const QString& programFolder, QWidget* parent = nullptr);
    ~Form2() override;

    // The schedule the course is added to, as decimal text; spliced unquoted.
    QString m_ScheduleID;

    void Form_Load();
    void PushButton1_Click(); // Save
    void PushButton2_Click(); // Cancel

    QLineEdit* Text1() const { return m_text1; }
    QLineEdit* Text2() const { return m_text2; }
    QCheckBox* Check1(int index) const { return m_course.check1.at(static_cast<size_t>(index)); }
    TimePicker* dtpFrom() const { return m_course.dtpFrom; }
    TimePicker* dtpTo() const { return m_course.dtpTo; }
    QPushButton* PushButton1() const { return m_pushButton1; }
    QPushButton* PushButton2() const { return m_pushButton2; }
    PointerConvention& pointer() const { return *m_pointer; }

private:
    void buildControls();
    void Unload(int result);

    Connection& m_scheduleDb;
    Prompts& m_prompts;
    QString m_programFolder;
    PointerConvention* m_pointer = nullptr;
    QLineEdit* m_text1 = nullptr;
    QLineEdit* m_text2 = nullptr;
    CourseControls m_course;
    QPushButton* m_pushButton1 = nullptr;
    QPushButton* m_pushButton2 = nullptr;
};

} // namespace quorvane
