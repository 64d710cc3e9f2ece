#include "dialogs/form4.h"

#include "base/failure.h"
#include "base/reporting.h"
#include "dialogs/course_checks.h"
#include "domain/repository.h"
#include "widgets/dialog_parts.h"
#include "widgets/pointer.h"

#include <QComboBox>
#include <QGroupBox>
#include <QPushButton>

namespace quorvane {

Form4::Form4(Repository& repository, Prompts& prompts, const QString& programFolder,
             std::optional<ScheduleId> selectedSchedule, QWidget* parent)
    : CourseListDialog("Form4", repository, prompts, programFolder, selectedSchedule, parent)
{
    buildControls();
    Form_Load();
}

Form4::~Form4() = default;

void Form4::buildControls()
{
    setUpDialogWindow(this, QStringLiteral("Form4"), QStringLiteral("Delete Course"), 8040, 1560);

    m_frame1 = addFrame(this, QStringLiteral("Frame1"), QStringLiteral("Select Course"), 120, 120, 7800, 825);
    m_pointer->watchBackground(m_frame1);
    makeCombo1(m_frame1, 240, 315, 7320, 345);

    addPushButtons(QStringLiteral("Delete"), 120, 3840, 4080, 3840, 1050);
    connect(m_pushButton1, &QPushButton::clicked, this, &Form4::PushButton1_Click);
    setTabOrderChain({m_combo1, m_pushButton1, m_pushButton2});
}

void Form4::PushButton1_Click()
{
    Procedure p(m_prompts, this, location("Form4", "PushButton1_Click"));
    if (m_combo1->currentIndex() == -1) { // 100
        p.step(102, [&] { showMessage(m_prompts, this, messages::kNoCourseToDelete); });
        m_combo1->setFocus(); // 104
        return;
    }
    // Only a Yes deletes; a question that could not be asked counts as No.
    bool yes = false;
    p.step(106, [&] {
        yes = askYesNo(m_prompts, this,
                       QStringLiteral("Are you sure you want to delete [") +
                           m_courseListModel->name(m_combo1->currentIndex()) + QStringLiteral("] course?"),
                       QStringLiteral("Delete Course"));
    });
    if (!yes)
        return;
    p.step(108, [&] { m_repository.deleteCourse(m_courseListModel->courseId(m_combo1->currentIndex())); });
    Unload(QDialog::Accepted); // 110
}

} // namespace quorvane
