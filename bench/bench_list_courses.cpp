// Drawing the grid on a shown main window:
//   - ListCourses for one schedule of 1,000, 10,000, 100,000 and 1,000,000
//     courses, against SQLite's C API reading the same rows (the columns that
//     ListCourses reads) on the same connection, taken in turn; with the
//     repaint that follows at 1,000 courses;
//   - adding a course through the Add Course dialog's Save and the redraw
//     that follows, with 100,000 courses stored, against the insert
//     statement alone.
#include "app/form1.h"
#include "bench/bench_support.h"
#include "dialogs/form2.h"
#include "store/connection.h"
#include "store/statements.h"
#include "tests/support/scripted_prompts.h"
#include "tests/support/test_db.h"
#include "widgets/time_picker.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <sqlite3.h>

using namespace quorvane;
using namespace quorvane::testing;

namespace {

double msSince(const QElapsedTimer& timer)
{
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

void showAndSettle(Form1& form)
{
    form.show();
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
}

// The rows ListCourses reads, read by SQLite's C API: its statement, the four
// columns it uses, as text.
double readRowsMs(Connection& db)
{
    QElapsedTimer timer;
    timer.start();
    sqlite3_stmt* statement = nullptr;
    const QByteArray text = sql::selectCoursesOfSchedule(1).toUtf8();
    sqlite3_prepare_v2(db.handle(), text.constData(), int(text.size()), &statement, nullptr);
    qint64 bytes = 0;
    while (sqlite3_step(statement) == SQLITE_ROW)
        for (const int column : {2, 4, 5, 6}) {
            sqlite3_column_text(statement, column);
            bytes += sqlite3_column_bytes(statement, column);
        }
    sqlite3_finalize(statement);
    if (bytes == 0)
        throw std::runtime_error("no courses read");
    return msSince(timer);
}

void listCourses()
{
    std::printf("ListCourses for one schedule, median (min - max) of %d runs taken in turn with the read\n",
                bench::kRuns);
    for (const int courses : {1000, 10000, 100000, 1000000}) {
        ProgramFolder folder;
        bench::fillDatabase(folder.databasePath(), 1, courses);
        ScriptedPrompts prompts;
        Form1 form(folder.path(), prompts);
        form.Form_Load();
        showAndSettle(form);
        bench::Runs draw, read, withPaint;
        for (int i = 0; i < bench::kRuns; ++i) {
            QElapsedTimer timer;
            timer.start();
            form.ListCourses();
            draw.add(msSince(timer));
            read.add(readRowsMs(form.scheduleDb()));
            if (courses == 1000) {
                timer.restart();
                form.ListCourses();
                form.repaint();
                withPaint.add(msSince(timer));
            }
        }
        if (!prompts.shown.isEmpty())
            throw std::runtime_error("unexpected box: " + prompts.shown.first().message.text.toStdString());
        const QByteArray figure = "ListCourses, " + QByteArray::number(courses) + " courses";
        bench::report(figure.constData(), draw, "C API reading its rows", read, "ms",
                      courses == 1000 ? "<= 2, and < 16 ms" : "<= 2 (curve)");
        if (courses == 1000)
            bench::report("ListCourses and repaint, 1000 courses", withPaint, "C API reading its rows", read, "ms",
                          "< 16 ms");
        std::printf("  per 1,000 courses: ListCourses %.3f ms, read %.3f ms\n", draw.median() * 1000.0 / courses,
                    read.median() * 1000.0 / courses);
    }
}

void addCourse()
{
    ProgramFolder folder;
    bench::fillDatabase(folder.databasePath(), 10000, 100000);
    ScriptedPrompts prompts;
    Form1 form(folder.path(), prompts);
    form.Form_Load();
    showAndSettle(form);

    bench::Runs saveAndRedraw, statement;
    for (int i = 0; i < bench::kRuns; ++i) {
        QElapsedTimer timer;
        prompts.onDialog([&, i](QDialog& dialog) {
            auto& form2 = static_cast<Form2&>(dialog);
            form2.Text1()->setText(QStringLiteral("Added %1").arg(i));
            form2.Check1(0)->setChecked(true);
            form2.Check1(3)->setChecked(true);
            form2.dtpFrom()->setValueText(QStringLiteral("8:30:00 AM"));
            form2.dtpTo()->setValueText(QStringLiteral("10:00:00 AM"));
            timer.start();
            form2.PushButton1()->click();
        });
        form.pushButton(3)->click();
        form.repaint();
        saveAndRedraw.add(msSince(timer));

        timer.restart();
        form.scheduleDb().execute(
            sql::insertCourse({1, QStringLiteral("Direct %1").arg(i), QString(), QStringLiteral("0,3"),
                               QStringLiteral("8:30:00 AM"), QStringLiteral("10:00:00 AM")}));
        statement.add(msSince(timer));
    }
    const QString added =
        scalarSql(folder.databasePath(), "select count(*) from tblCourse where CourseName like 'Added %'");
    if (!prompts.messages().isEmpty() || added != QString::number(bench::kRuns))
        throw std::runtime_error("the courses were not added through the dialog");

    std::printf("Add Course: Save and the redraw after it, 100,000 courses stored\n");
    bench::report("Save and redraw", saveAndRedraw, "the insert statement alone", statement, "ms",
                  "(shown; < 16 ms beyond the statement)");
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // "list" or "add" runs one part alone, e.g. under a profiler.
    const QString only = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    try {
        if (only.isEmpty() || only == QLatin1String("list"))
            listCourses();
        if (only.isEmpty() || only == QLatin1String("add"))
            addCourse();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_list_courses: %s\n", e.what());
        return 1;
    }
    return 0;
}
