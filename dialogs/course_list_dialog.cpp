#include "dialogs/course_list_dialog.h"

#include "app/form1.h"
#include "app/pointer.h"
#include "app/reporting.h"

#include <QComboBox>

namespace quorvane {

CourseListDialog::CourseListDialog(const char* windowName, Connection& scheduleDb, Prompts& prompts,
                                   const QString& programFolder, const QString& selectedScheduleId, QWidget* parent)
    : QDialog(parent),
      m_windowName(windowName),
      m_scheduleDb(scheduleDb),
      m_prompts(prompts),
      m_programFolder(programFolder),
      m_selectedScheduleId(selectedScheduleId)
{
    m_pointer = new PointerConvention(this);
    m_pointer->watchBackground(this);
}

void CourseListDialog::makeCombo1(QWidget* parent, int left, int top, int width, int height)
{
    m_combo1 = new QComboBox(parent);
    m_combo1->setObjectName(QStringLiteral("Combo1"));
    m_combo1->setGeometry(twips(left), twips(top), twips(width), twips(height));
    CourseList::setUpCombo(m_combo1);
    m_courseIds = CourseList(m_combo1);
}

void CourseListDialog::setCombo1Text(const QString& name)
{
    m_courseIds.preselect(name, m_selectedScheduleId);
}

void CourseListDialog::FillCourseList()
{
    BusyPointer busy(*m_pointer);
    m_courseIds.fill(m_scheduleDb);
}

void CourseListDialog::Form_QueryUnload()
{
    Procedure p(m_prompts, this, location(m_windowName, "Form_QueryUnload"));
    p.step(100, [&] { m_courseIds.release(); });
}

void CourseListDialog::Unload(int result)
{
    done(result);
}

void CourseListDialog::done(int result)
{
    // Closing is never refused.
    if (!m_unloaded) {
        m_unloaded = true;
        Form_QueryUnload();
    }
    QDialog::done(result);
}

} // namespace quorvane
