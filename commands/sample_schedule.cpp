// The one-click sample schedule.
#include "app/form1.h"
#include "app/reporting.h"
#include "store/connection.h"
#include "store/statements.h"

namespace quorvane {

namespace {

const QString kSampleName = QStringLiteral("Sample Schedule");

struct SampleCourse
{
    const char* name;
    const char* notes;
    const char* days;
    const char* from;
    const char* to;
};

// In the order in which they are inserted.
constexpr SampleCourse kSampleCourses[] = {
    {"Mathematics", "mathematics for beginners", "0,3,4", "08:30", "10:00"},
    {"Engineering", "engineering advanced level", "1,2,5", "10:00", "10:45"},
    {"Design", "design mid level", "0,2,3", "11:30", "13:00"},
};

} // namespace

// Walks the list from row 1 to the row count taken before the walk and selects
// the first row whose name is exactly "Sample Schedule"; no match leaves the
// selection as it was. Under a reporting procedure its statements are numbered
// from `first`: the test for an empty list, the loop head, the comparison,
// the clearing of *sampleIsNew when that is given, the selection (which ends
// the walk) and the step to the next row. Without one a failure travels to
// the caller.
bool Form1::SelectSampleRow(Procedure* numbered, int first, bool* sampleIsNew)
{
    const auto step = [&](int number, auto&& statement) {
        if (numbered)
            return numbered->step(number, statement);
        statement();
        return true;
    };
    const auto test = [&](int number, auto&& condition) {
        return numbered ? numbered->test(number, condition) : static_cast<bool>(condition());
    };
    const int select = first + (sampleIsNew ? 8 : 6);
    const int next = select + 2;

    if (!test(first, [&] { return scheduleCount() > 0; }))
        return false;
    int count = 0;
    step(first + 2, [&] { count = scheduleCount(); });
    for (int row = 1; row <= count; ++row) {
        if (test(first + 4, [&] { return scheduleName(row) == kSampleName; })) {
            if (sampleIsNew)
                step(first + 6, [&] { *sampleIsNew = false; });
            step(select, [&] { selectSchedule(row); });
            return true;
        }
        step(next, [] {});
    }
    return false;
}

// Load Sample/Example Schedule: creates "Sample Schedule" or reuses the first
// one in the list, gives it exactly the three sample courses, draws it and
// leaves it selected.
void Form1::PushButton9_Click()
{
    Procedure p(m_prompts, this, location("Form1", "PushButton9_Click"));
    bool sampleIsNew = true;
    p.step(100, [&] { sampleIsNew = true; });
    SelectSampleRow(&p, 102, &sampleIsNew);
    if (p.test(114, [&] { return sampleIsNew; })) {
        p.step(116, [&] {
            scheduleDb().execute(sql::insertSchedule(kSampleName));
            ListSchedules();
            SelectSampleRow();
        });
    } else {
        p.step(118, [&] { UpdateSchedule(kSampleName); });
    }

    // When the sample could not be created or found, another schedule is still
    // selected: its courses are neither deleted nor joined by the sample's.
    const auto sampleSelected = [&] { return selectedScheduleName() == kSampleName; };

    p.step(120, [&] {
        if (sampleSelected())
            DeleteCourse();
    });
    SelectSampleRow(&p, 122);
    int number = 132;
    for (const SampleCourse& course : kSampleCourses) {
        p.step(number, [&] {
            if (!sampleSelected())
                return;
            scheduleDb().execute(sql::insertCourse({selectedScheduleId(), QString::fromLatin1(course.name),
                                                    QString::fromLatin1(course.notes), QString::fromLatin1(course.days),
                                                    QString::fromLatin1(course.from), QString::fromLatin1(course.to)}));
        });
        number += 2;
    }
    SelectSampleRow(&p, 138);
    p.step(148, [&] { ListCourses(); });
    p.step(150, [&] { ListSchedules(); });
    SelectSampleRow(&p, 152);
}

} // namespace quorvane
