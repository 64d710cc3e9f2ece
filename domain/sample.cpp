#include "domain/sample.h"

namespace quorvane {

QString sampleScheduleName()
{
    return QStringLiteral("Sample Schedule");
}

QVector<NewCourse> sampleCourses()
{
    const auto course = [](const char* name, const char* notes, std::initializer_list<int> days, QTime from, QTime to) {
        NewCourse c;
        c.name = QString::fromLatin1(name);
        c.notes = QString::fromLatin1(notes);
        for (int day : days)
            c.days[static_cast<size_t>(day)] = true;
        c.from = from;
        c.to = to;
        c.form = NewCourse::TimeForm::Short;
        return c;
    };
    // Engineering starts at the minute Mathematics ends; Design follows after a gap.
    return {
        course("Mathematics", "mathematics for beginners", {0, 3, 4}, QTime(8, 30), QTime(10, 0)),
        course("Engineering", "engineering advanced level", {1, 2, 5}, QTime(10, 0), QTime(10, 45)),
        course("Design", "design mid level", {0, 2, 3}, QTime(11, 30), QTime(13, 0)),
    };
}

} // namespace quorvane
