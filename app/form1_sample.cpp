// The one-click sample schedule.
#include "app/form1.h"
#include "base/reporting.h"
#include "domain/repository.h"
#include "domain/sample.h"
#include "store/connection.h"

#include <optional>

namespace quorvane {

namespace {

const QString kSampleName = sampleScheduleName();

// The statements that insert the sample's courses, one each, in order.
constexpr int kFirstSampleCourse = 132;

} // namespace

// The statement numbers of one walk that selects the sample row: the
// comparison of a row's name and the selection, which ends the walk. The test
// for an empty list, the loop head, the clearing of the flag and the step to
// the next row cannot fail and carry no statement of their own.
struct SampleRowSteps
{
    int compare;
    int select;
};

namespace {
constexpr SampleRowSteps kFindSample{106, 110};    // 102 to 112
constexpr SampleRowSteps kBeforeCourses{126, 128}; // 122 to 130
constexpr SampleRowSteps kAfterCourses{142, 144};  // 138 to 146
constexpr SampleRowSteps kAfterReload{156, 158};   // 152 to 160
} // namespace

// Walks the list from row 1 to the row count taken before the walk and selects
// the first row whose name is exactly "Sample Schedule"; no match leaves the
// selection as it was.
bool Form1::SelectSampleRow(Procedure* p, const SampleRowSteps* steps, bool* sampleIsNew)
{
    const bool numbered = p && steps;
    const int count = scheduleCount();
    for (int row = 1; row <= count; ++row) {
        const auto isSample = [&] { return scheduleName(row) == kSampleName; };
        if (!(numbered ? p->test(steps->compare, isSample) : isSample()))
            continue;
        if (sampleIsNew)
            *sampleIsNew = false;
        const auto select = [&] { selectSchedule(row); };
        if (numbered)
            p->step(steps->select, select);
        else
            select();
        return true;
    }
    return false;
}

// Load Sample/Example Schedule: creates "Sample Schedule" or reuses the first
// one in the list, gives it exactly the three sample courses, draws it and
// leaves it selected.
void Form1::PushButton9_Click()
{
    SelectionFollower follower(*this);
    Procedure p(m_prompts, this, location("Form1", "PushButton9_Click"));
    bool sampleIsNew = true; // 100
    SelectSampleRow(&p, &kFindSample, &sampleIsNew);

    // The writes from 116 to 136 are one transaction: the sample ends with
    // its three courses, or the database stays as it was. After a write
    // fails (and is reported) the rest of them are not sent.
    std::optional<Transaction> sample;
    bool written = true;
    const auto write = [&](int number, auto&& statement) {
        if (written)
            written = p.step(number, [&] {
                if (!sample)
                    sample.emplace(scheduleDb());
                statement();
            });
    };
    if (sampleIsNew) { // 114
        write(116, [&] {
            repository().addSchedule(kSampleName);
            ListSchedules();
            SelectSampleRow();
        });
    } else {
        write(118, [&] { UpdateSchedule(kSampleName); });
    }

    // When the sample could not be created or found, another schedule is still
    // selected: its courses are neither deleted nor joined by the sample's.
    const auto sampleSelected = [&] { return selectedScheduleName() == kSampleName; };

    write(120, [&] {
        if (sampleSelected())
            DeleteCourse();
    });
    SelectSampleRow(&p, &kBeforeCourses);
    const QVector<NewCourse> courses = sampleCourses();
    int statement = kFirstSampleCourse;
    for (const NewCourse& course : courses) {
        write(statement, [&] {
            if (sampleSelected())
                repository().addCourse(selectedScheduleId(), course);
        });
        statement += 2;
    }
    // The commit belongs to the last write: a failure there is reported with its number.
    if (written && sample)
        p.step(statement - 2, [&] { sample->commit(); });
    sample.reset();
    SelectSampleRow(&p, &kAfterCourses);
    p.step(148, [&] { ListCourses(); });
    p.step(150, [&] { ListSchedules(); });
    SelectSampleRow(&p, &kAfterReload);
}

} // namespace quorvane
