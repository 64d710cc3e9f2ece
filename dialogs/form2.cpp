#include "dialogs/form2.h"

#include "app/pointer.h"
#include "app/reporting.h"
#include "app/typed_text.h"
#include "dialogs/course_checks.h"
#include "dialogs/dialog_parts.h"
#include "dialogs/time_picker.h"
#include "store/connection.h"
#include "store/statements.h"
#include "store/time_of_day.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>

namespace quorvane {

Form2::Form2(Connection& scheduleDb, Prompts& prompts, const QString& programFolder, QWidget* parent)
    : QDialog(parent), m_scheduleDb(scheduleDb), m_prompts(prompts), m_programFolder(programFolder)
{
    buildControls();
    Form_Load();
}

Form2::~Form2() = default;

void Form2::buildControls()
{
    setUpDialogWindow(this, QStringLiteral("Form2"), QStringLiteral("Add Course"), 6705, 4830);
    m_pointer = new PointerConvention(this);
    m_pointer->watchBackground(this);

    addLabel(this, 0, QStringLiteral("Course Name:"), 240, 315, 1200, 225);
    m_text1 = addTextBox(this, QStringLiteral("Text1"), 1560, 240, 5040, 375);
    addLabel(this, 3, QStringLiteral("Course Notes:"), 240, 840, 1200, 225);
    m_text2 = addTextBox(this, QStringLiteral("Text2"), 1560, 840, 5040, 1335);

    m_course = addCourseControls(this, *m_pointer, 6480, 2400, 3360);

    m_pushButton1 = addPushButton(this, 1, QStringLiteral("Save"), 120, 4320, 3240, 405, *m_pointer);
    m_pushButton2 = addPushButton(this, 2, QStringLiteral("Cancel"), 3480, 4320, 3120, 405, *m_pointer);
    connect(m_pushButton1, &QPushButton::clicked, this, &Form2::PushButton1_Click);
    connect(m_pushButton2, &QPushButton::clicked, this, &Form2::PushButton2_Click);

    // Name, notes, Monday to Sunday, the pickers, Save, Cancel.
    QWidget* previous = m_text1;
    const auto next = [&previous](QWidget* widget) {
        setTabOrder(previous, widget);
        previous = widget;
    };
    next(m_text2);
    for (QCheckBox* box : m_course.check1)
        next(box);
    next(m_course.dtpFrom);
    next(m_course.dtpTo);
    next(m_pushButton1);
    next(m_pushButton2);
}

void Form2::Form_Load()
{
    Procedure p(m_prompts, this, location("Form2", "Form_Load"));
    LoadDialogBasics(p, this, m_programFolder, *m_pointer);
}

void Form2::PushButton1_Click()
{
    Procedure p(m_prompts, this, location("Form2", "PushButton1_Click"));
    // Trimmed only for this test; the name is stored as typed.
    if (p.test(100, [&] { return isBlank(m_text1->text()); })) {
        p.step(102, [&] { showMessage(m_prompts, this, messages::kNoCourseName); });
        p.step(104, [&] { m_text1->setFocus(); });
        return;
    }
    CheckedDays days;
    if (!RunCourseChecks(p, {m_course.dtpFrom, m_course.dtpTo, m_course.check1}, days))
        return;
    if (!CheckADayIsTicked(p, days, m_course.check1[0]))
        return;
    p.step(188, [&] {
        sql::CourseValues course;
        course.scheduleId = m_ScheduleID;
        course.courseName = m_text1->text();
        course.notes = m_text2->text();
        course.daySet = days.daySet;
        course.timeFrom = timeofday::formatLong(m_course.dtpFrom->value());
        course.timeTo = timeofday::formatLong(m_course.dtpTo->value());
        m_scheduleDb.execute(sql::insertCourse(course));
    });
    p.step(190, [&] { Unload(QDialog::Accepted); });
}

void Form2::PushButton2_Click()
{
    Procedure p(m_prompts, this, location("Form2", "PushButton2_Click"));
    p.step(100, [&] { Unload(QDialog::Rejected); });
}

void Form2::Unload(int result)
{
    done(result);
}

} // namespace quorvane
