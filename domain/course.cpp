#include "domain/course.h"

namespace quorvane {

int secondsOf(const QTime& time)
{
    return time.msecsSinceStartOfDay() / 1000;
}

QVector<Meeting> Course::meetings() const
{
    QVector<Meeting> result;
    const int start = secondsOf(exact.from);
    const int end = secondsOf(exact.until());
    if (!exact.from.isValid() || end < start)
        return result;
    for (int day = 0; day < dayset::kDays; ++day)
        if (days[static_cast<size_t>(day)])
            result.append({day, start, end});
    return result;
}

bool clash(const Course& a, const Course& b)
{
    const QVector<Meeting> first = a.meetings();
    const QVector<Meeting> second = b.meetings();
    for (const Meeting& m : first)
        for (const Meeting& n : second)
            if (clash(m, n))
                return true;
    return false;
}

} // namespace quorvane
