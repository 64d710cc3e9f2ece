#pragma once

#include <QHashFunctions>
#include <QtGlobal>

namespace quorvane {

// The key of a row of one table, as the database assigns it. A schedule's
// and a course's are different types, so that one never stands for the
// other; statement texts are made from the number alone.
template <class Table>
struct Id
{
    constexpr Id() = default;
    constexpr explicit Id(qint64 number) : value(number) {}

    qint64 value = 0;

    friend constexpr bool operator==(Id a, Id b) { return a.value == b.value; }
    friend constexpr bool operator!=(Id a, Id b) { return a.value != b.value; }
    friend constexpr bool operator<(Id a, Id b) { return a.value < b.value; }
    friend size_t qHash(Id id, size_t seed = 0) { return ::qHash(id.value, seed); }
};

using ScheduleId = Id<struct ScheduleTable>;
using CourseId = Id<struct CourseTable>;

} // namespace quorvane
