#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <optional>

// The Days column: ticked weekday indices (0 Monday .. 6 Sunday) in
// ascending order joined by commas, e.g. "0,3,4".
namespace quorvane::dayset {

constexpr int kDays = 7;

} // namespace quorvane::dayset

namespace quorvane {

// A course's weekdays, ticked from Monday (0) to Sunday (6).
using WeekDays = std::array<bool, dayset::kDays>;

} // namespace quorvane

namespace quorvane::dayset {

QString build(const std::array<bool, kDays>& ticked);

// The entries of a stored day set, split at every comma; an empty text has none.
QStringList entries(const QString& daySet);

// One entry read as a number, blanks around allowed; nullopt when it is no number.
std::optional<int> entryValue(const QString& entry);
// The same for an entry of ASCII characters, as stored (UTF-8 bytes) and read
// without a copy.
std::optional<int> entryValue(QLatin1StringView entry);

} // namespace quorvane::dayset
