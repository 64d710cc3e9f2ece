#include "dialogs/form3.h"

#include "base/failure.h"
#include "base/reporting.h"
#include "base/time_of_day.h"
#include "dialogs/course_checks.h"
#include "domain/repository.h"
#include "widgets/time_picker.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

namespace quorvane {

Form3::Form3(Repository& repository, Prompts& prompts, const QString& programFolder,
             std::optional<ScheduleId> selectedSchedule, QWidget* parent)
    : CourseListDialog("Form3", repository, prompts, programFolder, selectedSchedule, parent)
{
    buildControls();
    Form_Load();
}

Form3::~Form3() = default;

void Form3::buildControls()
{
    setUpDialogWindow(this, QStringLiteral("Form3"), QStringLiteral("Edit Course"), 6585, 4710);

    QLabel* listLabel = addLabel(this, 0, QStringLiteral("Select Course: "), 120, 240, 1290, 225);
    makeCombo1(this, 1440, 180, 5040, 345);
    nameField(listLabel, m_combo1, QStringLiteral("Select Course"));
    QLabel* notesLabel = addLabel(this, 3, QStringLiteral("Course Notes:"), 120, 720, 1200, 225);
    m_text2 = addTextBox(this, QStringLiteral("Text2"), 1440, 720, 5040, 1335);
    nameField(notesLabel, m_text2, QStringLiteral("Course Notes"));

    m_course = addCourseControls(this, *m_pointer, 6360, 2280, 3240);

    addPushButtons(QStringLiteral("Update"), 120, 3120, 3360, 3120, 4200);
    connect(m_pushButton1, &QPushButton::clicked, this, &Form3::PushButton1_Click);
    // A pick-only list has no typed text: every selection, the user's or
    // the caller's, arrives as a click.
    connect(m_combo1, qOverload<int>(&QComboBox::currentIndexChanged), this, &Form3::Combo1_Click);

    // The list, notes, the pickers, Sunday back to Monday, Update, Cancel.
    const auto& days = m_course.check1;
    setTabOrderChain({m_combo1, m_text2, m_course.dtpFrom, m_course.dtpTo, days[6], days[5], days[4], days[3], days[2],
                      days[1], days[0], m_pushButton1, m_pushButton2});
}

void Form3::Combo1_Click()
{
    // The list's handlers have no statements of their own; a failure while
    // loading is reported under the handler's name.
    Procedure p(m_prompts, this, location("Form3", "Combo1_Click"));
    p.step(100, [&] { LoadSelectedCourse(); });
}

void Form3::LoadSelectedCourse()
{
    const int index = m_combo1->currentIndex();
    if (index == -1)
        return;
    using Column = CourseRowReader::Column;
    CourseWalk walk = m_repository.walkCourse(m_courseListModel->courseId(index));
    CourseRowReader& row = walk.row();
    // A course no longer in the table leaves the controls as they were. Of
    // a course stored otherwise than the program writes it, each control
    // shows what it can: the days that read as days, each time that reads as
    // a time of day on no date; a picker keeps what it showed for the others.
    // The pickers show the times as typed, where the course has them.
    if (!walk.atEnd()) {
        m_text2->setText(row.text(Column::Notes));
        const WeekDays days = readableDays(row.bytes(Column::Days));
        for (int day = 0; day < dayset::kDays; ++day)
            m_course.check1[static_cast<size_t>(day)]->setChecked(days[static_cast<size_t>(day)]);
        const CourseRowReader::ExactColumns exact = row.storedExactTimes();
        m_hadExactTimes = exact.any();
        const auto show = [&](Column column, const std::optional<QTime>& exactTime, TimePicker* picker) {
            if (exactTime) {
                picker->setValue(*exactTime);
                return;
            }
            const std::optional<timeofday::StoredTime> time = storedTime(row.bytes(column));
            if (time && !time->dated)
                picker->setValue(time->time);
        };
        show(Column::TimeFrom, exact.from, m_course.dtpFrom);
        show(Column::TimeTo, exact.to, m_course.dtpTo);
    }
    walk.close();
}

void Form3::PushButton1_Click()
{
    Procedure p(m_prompts, this, location("Form3", "PushButton1_Click"));
    if (m_combo1->currentIndex() == -1) { // 100
        p.step(102, [&] { showMessage(m_prompts, this, messages::kNoCourse); });
        m_combo1->setFocus(); // 104
        return;
    }
    CheckedDays days;
    if (!RunCourseChecks(p, {m_course.dtpFrom, m_course.dtpTo, m_course.check1}, days))
        return;
    if (!CheckADayIsTicked(p, days, m_course.check1[0]))
        return;
    // Name and schedule stay as they are.
    // A change that could not be stored stays in the dialog, to be sent again
    // or cancelled; a course that another copy of the program deleted is a
    // failure, not a silent change of nothing.
    const bool stored = p.step(188, [&] {
        CourseChange change;
        change.notes = m_text2->text();
        change.days = days.days;
        change.from = m_course.dtpFrom->value();
        change.to = m_course.dtpTo->value();
        change.exactFrom = m_course.dtpFrom->typedValue();
        change.exactTo = m_course.dtpTo->typedValue();
        change.hadExactTimes = m_hadExactTimes;
        m_repository.updateCourse(m_courseListModel->courseId(m_combo1->currentIndex()), change);
    });
    if (stored)
        Unload(QDialog::Accepted); // 190
}

} // namespace quorvane
