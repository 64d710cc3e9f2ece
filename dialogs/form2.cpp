#include "dialogs/form2.h"

#include "base/reporting.h"
#include "base/typed_text.h"
#include "dialogs/course_checks.h"
#include "domain/repository.h"
#include "widgets/dialog_parts.h"
#include "widgets/time_picker.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>

namespace quorvane {

Form2::Form2(Repository& repository, Prompts& prompts, const QString& programFolder, QWidget* parent)
    : CourseDialogBase("Form2", repository, prompts, programFolder, parent)
{
    buildControls();
    Form_Load();
}

Form2::~Form2() = default;

void Form2::buildControls()
{
    setUpDialogWindow(this, QStringLiteral("Form2"), QStringLiteral("Add Course"), 6705, 4830);

    QLabel* nameLabel = addLabel(this, 0, QStringLiteral("Course Name:"), 240, 315, 1200, 225);
    m_text1 = addTextBox(this, QStringLiteral("Text1"), 1560, 240, 5040, 375);
    nameField(nameLabel, m_text1, QStringLiteral("Course Name"));
    QLabel* notesLabel = addLabel(this, 3, QStringLiteral("Course Notes:"), 240, 840, 1200, 225);
    m_text2 = addTextBox(this, QStringLiteral("Text2"), 1560, 840, 5040, 1335);
    nameField(notesLabel, m_text2, QStringLiteral("Course Notes"));

    m_course = addCourseControls(this, *m_pointer, 6480, 2400, 3360);

    addPushButtons(QStringLiteral("Save"), 120, 3240, 3480, 3120, 4320);
    connect(m_pushButton1, &QPushButton::clicked, this, &Form2::PushButton1_Click);

    // Name, notes, Monday to Sunday, the pickers, Save, Cancel.
    const auto& days = m_course.check1;
    setTabOrderChain({m_text1, m_text2, days[0], days[1], days[2], days[3], days[4], days[5], days[6], m_course.dtpFrom,
                      m_course.dtpTo, m_pushButton1, m_pushButton2});
}

void Form2::Form_Load()
{
    Procedure p(m_prompts, this, location("Form2", "Form_Load"));
    LoadDialogBasics(p);
}

void Form2::PushButton1_Click()
{
    Procedure p(m_prompts, this, location("Form2", "PushButton1_Click"));
    // Trimmed only for this test; the name is stored as typed.
    if (isBlank(m_text1->text())) { // 100
        p.step(102, [&] { showMessage(m_prompts, this, messages::kNoCourseName); });
        m_text1->setFocus(); // 104
        return;
    }
    CheckedDays days;
    if (!RunCourseChecks(p, {m_course.dtpFrom, m_course.dtpTo, m_course.check1}, days))
        return;
    if (!CheckADayIsTicked(p, days, m_course.check1[0]))
        return;
    // A course that could not be stored stays in the dialog as typed, to be
    // saved again or cancelled.
    const bool stored = p.step(188, [&] {
        NewCourse course;
        course.name = m_text1->text();
        course.notes = m_text2->text();
        course.days = days.days;
        course.from = m_course.dtpFrom->value();
        course.to = m_course.dtpTo->value();
        course.exactFrom = m_course.dtpFrom->typedValue();
        course.exactTo = m_course.dtpTo->typedValue();
        m_repository.addCourse(m_ScheduleID, course);
    });
    if (stored)
        Unload(QDialog::Accepted); // 190
}

} // namespace quorvane
