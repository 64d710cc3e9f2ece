#include "dialogs/course_list_dialog.h"

#include "base/reporting.h"
#include "base/twips.h"
#include "domain/repository.h"
#include "widgets/pointer.h"

#include <QComboBox>

namespace quorvane {

CourseListDialog::CourseListDialog(const char* windowName, Repository& repository, Prompts& prompts,
                                   const QString& programFolder, std::optional<ScheduleId> selectedSchedule,
                                   QWidget* parent)
    : CourseDialogBase(windowName, repository, prompts, programFolder, parent),
      m_selectedSchedule(selectedSchedule),
      m_catalog(repository.catalog())
{
}

void CourseListDialog::makeCombo1(QWidget* parent, int left, int top, int width, int height)
{
    m_combo1 = new QComboBox(parent);
    m_combo1->setObjectName(QStringLiteral("Combo1"));
    m_combo1->setGeometry(pixelsFromTwips(left), pixelsFromTwips(top), pixelsFromTwips(width), pixelsFromTwips(height));
    m_courseListModel = new CourseList(m_combo1);
}

void CourseListDialog::setCombo1Text(const QString& name)
{
    m_courseListModel->preselect(name, m_selectedSchedule);
}

void CourseListDialog::Form_Load()
{
    Procedure p(m_prompts, this, location(m_windowName, "Form_Load"));
    LoadDialogBasics(p);
    p.step(108, [&] { FillCourseList(); });
}

void CourseListDialog::FillCourseList()
{
    BusyPointer busy(*m_pointer);
    m_courseListModel->fill(m_catalog);
}

void CourseListDialog::Form_QueryUnload()
{
    // 100: releasing CourseIds cannot fail.
    m_courseListModel->release();
}

} // namespace quorvane
