#pragma once

#include "dialogs/course_list_dialog.h"
#include "widgets/dialog_parts.h"

class QCheckBox;
class QLineEdit;

namespace quorvane {

class TimePicker;

// "Edit Course": picks any course of any schedule from Combo1 and changes
// its notes, days and times; the name and the schedule stay. The
// constructor runs Form_Load, which fills the list; the caller may then
// preselect a course with setCombo1Text and shows the dialog through
// Prompts::showModal. Update writes one row and unloads the dialog.
//
// A stored time that is no time of day leaves its picker as it was, and
// pieces of a stored day set that are not 0 to 6 tick no box: the program
// never writes either, and the dialog still opens the course so its times
// can be put right.
class Form3 : public CourseListDialog
{
    Q_OBJECT
public:
    Form3(Repository& repository, Prompts& prompts, const QString& programFolder,
          std::optional<ScheduleId> selectedSchedule, QWidget* parent = nullptr);
    ~Form3() override;

    void Combo1_Click();
    void PushButton1_Click(); // Update

    QLineEdit* Text2() const { return m_text2; }
    QCheckBox* Check1(int index) const { return m_course.check1.at(static_cast<size_t>(index)); }
    TimePicker* dtpFrom() const { return m_course.dtpFrom; }
    TimePicker* dtpTo() const { return m_course.dtpTo; }

private:
    void buildControls();
    void LoadSelectedCourse();

    QLineEdit* m_text2 = nullptr;
    CourseControls m_course;
    // The course loaded last had exact times of its own.
    bool m_hadExactTimes = false;
};

} // namespace quorvane
