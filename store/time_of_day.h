#pragma once

#include <QString>
#include <QTime>
#include <optional>

// Times of day as the database holds them: "08:30" written by the sample
// schedule, "8:30:00 AM" written by the course dialogs.
namespace quorvane::timeofday {

// Reads "08:30", "8:30", "08:30:00", "8:30 AM", "8:30:00 pm", "12:00 PM"
// (designator in any case, blanks around allowed). Anything else, a date
// included, is not a time of day.
std::optional<QTime> parse(const QString& text);

// The one form the program writes: "8:30:00 AM".
QString formatLong(const QTime& time);

// A grid row label: "6:00 AM", "12:30 PM".
QString formatLabel(const QTime& time);

} // namespace quorvane::timeofday
