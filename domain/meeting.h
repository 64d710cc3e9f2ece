#pragma once

namespace quorvane {

// One class of a course on one weekday, from its exact start to its exact
// end, in seconds from midnight.
struct Meeting
{
    int day = 0; // 0 Monday .. 6 Sunday
    int start = 0;
    int end = 0;
};

// Two meetings clash when they share a weekday and each starts before the
// other ends: back-to-back classes (one ending at 10:00, the next starting
// then) do not.
constexpr bool clash(const Meeting& a, const Meeting& b)
{
    return a.day == b.day && a.start < b.end && b.start < a.end;
}

} // namespace quorvane
