#pragma once

#include "base/day_set.h"
#include "base/time_of_day.h"

#include <QString>
#include <QTime>
#include <array>

class QCheckBox;
class QWidget;

namespace quorvane {

class Procedure;
class TimePicker;

using timeofday::earliestCourseTime;
using timeofday::latestCourseTime;

// The controls the course checks read and change.
struct CourseInput
{
    TimePicker* dtpFrom = nullptr;
    TimePicker* dtpTo = nullptr;
    std::array<QCheckBox*, dayset::kDays> check1{}; // index 0 Monday .. 6 Sunday
};

// What the checks hand back to Save and Update.
struct CheckedDays
{
    bool anyDay = false; // the flag: some day box is ticked
    WeekDays days{};
    QString daySet; // "0,3,4"
};

// The course checks shared by Save (Add Course) and Update (Edit Course),
// statements 106 to 184 of the calling procedure: the four limit checks and
// the order check on the whole values, the snapping of both minutes and the
// building of the day set. A failed check shows its message through the
// procedure's prompts, moves the focus to the picker at fault and returns
// false; nothing after it has run then.
bool RunCourseChecks(Procedure& p, const CourseInput& input, CheckedDays& days);

// Statements 186, 192 and 194 of Save and Update: when no day box is ticked,
// "You forgot to select/check day." and the focus on the Monday box; false then.
bool CheckADayIsTicked(Procedure& p, const CheckedDays& days, QCheckBox* monday);

// The dialogs' own message texts.
namespace messages {
inline const QString kNoCourseName = QStringLiteral("You forgot to input course name.");
inline const QString kBadTimeFrom = QStringLiteral("Invalid time from range inputted.");
inline const QString kBadTimeTo = QStringLiteral("Invalid time to range inputted.");
inline const QString kBadTimeRange = QStringLiteral("Invalid time range inputted.");
inline const QString kNoDay = QStringLiteral("You forgot to select/check day.");
inline const QString kNoCourse = QStringLiteral("You forgot to select course.");
inline const QString kNoCourseToDelete = QStringLiteral("You forgot to select course to delete.");
} // namespace messages

} // namespace quorvane
