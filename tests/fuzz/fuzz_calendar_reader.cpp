// libFuzzer target: the iCalendar reader and the making of courses.
//
// Whatever bytes arrive, reading them either fails with the program's own
// failure or gives a calendar whose courses could have been typed into the
// Add Course dialog: a day ticked, a start from 6:00 AM and an end up to
// 9:30 PM, the start not after the end, both on the half hour, and the times
// as the calendar has them in order too.
#include "base/failure.h"
#include "domain/calendar_import.h"
#include "store/ical_reader.h"

#include <QByteArray>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void fail(const char* what, const QString& name)
{
    std::fprintf(stderr, "fuzz_calendar_reader: %s for the course \"%s\"\n", what, name.toUtf8().constData());
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace quorvane;
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    CalendarImport import;
    try {
        import = importCalendar(ical::parse(bytes));
    } catch (const Failure&) {
        return 0;
    }
    for (const NewCourse& course : import.courses) {
        bool anyDay = false;
        for (const bool day : course.days)
            anyDay = anyDay || day;
        if (!anyDay)
            fail("no day", course.name);
        if (!course.from.isValid() || !course.to.isValid() || course.from > course.to)
            fail("times out of order", course.name);
        if (course.from < QTime(6, 0) || course.to > QTime(21, 30))
            fail("times outside the grid", course.name);
        if (course.from.minute() % 30 != 0 || course.to.minute() % 30 != 0)
            fail("times not on the half hour", course.name);
        const QTime exactFrom = course.exactFrom.isValid() ? course.exactFrom : course.from;
        const QTime exactTo = course.exactTo.isValid() ? course.exactTo : course.to;
        if (exactFrom > exactTo)
            fail("exact times out of order", course.name);
    }
    if (importReport(import, QStringLiteral("x")).isEmpty())
        fail("no report", QString());
    return 0;
}
