#pragma once

#include "dialogs/course_dialog_base.h"
#include "dialogs/course_list.h"

#include <QString>
#include <optional>

class QComboBox;

namespace quorvane {

// What the Edit Course and the Delete Course dialogs share: Combo1 with
// every course of every schedule and CourseIds parallel to it, the caller's
// preselection by name, and the closing procedure that releases CourseIds
// on every way out.
class CourseListDialog : public CourseDialogBase
{
    Q_OBJECT
public:
    QComboBox* Combo1() const { return m_combo1; }
    const CourseList& courseList() const { return *m_courseListModel; }
    // See CourseList::usePositions; before the preselection.
    void usePositions(const CoursePositions* positions) { m_courseListModel->usePositions(positions); }

    // The caller's preselection, setting the text of Combo1: the first
    // entry of that name that belongs to the schedule selected in the main
    // window, else the first of that name in list order. A name that
    // matches no entry leaves nothing selected.
    void setCombo1Text(const QString& name);

    void Form_QueryUnload();

protected:
    CourseListDialog(const char* windowName, Repository& repository, Prompts& prompts, const QString& programFolder,
                     std::optional<ScheduleId> selectedSchedule, QWidget* parent);

    // Combo1, placed in twips inside `parent`.
    void makeCombo1(QWidget* parent, int left, int top, int width, int height);
    // The load procedure: the shared first statements, then the list (108).
    void Form_Load();
    void FillCourseList();
    void unloading() override { Form_QueryUnload(); }

    std::optional<ScheduleId> m_selectedSchedule;
    CourseCatalog m_catalog;
    QComboBox* m_combo1 = nullptr;
    CourseList* m_courseListModel = nullptr; // Combo1's model, which holds CourseIds too
};

} // namespace quorvane
