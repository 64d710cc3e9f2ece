#pragma once

#include "dialogs/course_dialog_base.h"
#include "widgets/dialog_parts.h"

#include "domain/ids.h"

#include <QString>

class QCheckBox;
class QLineEdit;

namespace quorvane {

class TimePicker;

// "Add Course": one new course for the schedule named by m_ScheduleID.
// The constructor runs Form_Load; the caller then sets m_ScheduleID and both
// pickers and shows the dialog through Prompts::showModal. Save writes one
// row and unloads the dialog; Cancel and the close box unload it without
// writing. The dialog never touches the main window.
class Form2 : public CourseDialogBase
{
    Q_OBJECT
public:
    Form2(Repository& repository, Prompts& prompts, const QString& programFolder, QWidget* parent = nullptr);
    ~Form2() override;

    // The schedule the course is added to, as decimal text; spliced unquoted.
    ScheduleId m_ScheduleID;

    void Form_Load();
    void PushButton1_Click(); // Save

    QLineEdit* Text1() const { return m_text1; }
    QLineEdit* Text2() const { return m_text2; }
    QCheckBox* Check1(int index) const { return m_course.check1.at(static_cast<size_t>(index)); }
    TimePicker* dtpFrom() const { return m_course.dtpFrom; }
    TimePicker* dtpTo() const { return m_course.dtpTo; }

private:
    void buildControls();

    QLineEdit* m_text1 = nullptr;
    QLineEdit* m_text2 = nullptr;
    CourseControls m_course;
};

} // namespace quorvane
