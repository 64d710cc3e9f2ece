#pragma once

#include "dialogs/course_list_dialog.h"

class QGroupBox;

namespace quorvane {

// "Delete Course": picks any course of any schedule from Combo1 and deletes
// it after a Yes/No question. The constructor runs Form_Load, which fills
// the list; the caller may then preselect a course with setCombo1Text and
// shows the dialog through Prompts::showModal.
class Form4 : public CourseListDialog
{
    Q_OBJECT
public:
    Form4(Repository& repository, Prompts& prompts, const QString& programFolder,
          std::optional<ScheduleId> selectedSchedule, QWidget* parent = nullptr);
    ~Form4() override;

    void PushButton1_Click(); // Delete

private:
    void buildControls();

    QGroupBox* m_frame1 = nullptr;
};

} // namespace quorvane
