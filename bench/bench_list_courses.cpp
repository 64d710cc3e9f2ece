// Drawing the grid on a shown main window:
//   - ListCourses for a schedule of 1,000 courses, alone and with the repaint
//     that follows, against one frame (16 ms); the bare read of the same rows
//     is shown for comparison;
//   - adding a course through the Add Course dialog's Save and the redraw
//     that follows, with 100,000 courses stored, less the insert statement's
//     own time, against one frame.
#include "app/form1.h"
#include "bench/bench_support.h"
#include "dialogs/form2.h"
#include "dialogs/time_picker.h"
#include "store/connection.h"
#include "store/statements.h"
#include "tests/support/scripted_prompts.h"
#include "tests/support/test_db.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <ctime>

using namespace quorvane;
using namespace quorvane::testing;

namespace {

constexpr int kRuns = 41;

double msSince(const QElapsedTimer& timer)
{
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

double cpuMs()
{
    return 1000.0 * static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

void showAndSettle(Form1& form)
{
    form.show();
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
}

void listCourses()
{
    ProgramFolder folder;
    bench::fillDatabase(folder.databasePath(), 1, 1000);
    ScriptedPrompts prompts;
    Form1 form(folder.path(), prompts);
    form.Form_Load();
    showAndSettle(form);

    std::vector<double> alone, aloneCpu, withPaint, read;
    for (int i = 0; i < kRuns; ++i) {
        QElapsedTimer timer;
        timer.start();
        const double cpu = cpuMs();
        form.ListCourses();
        alone.push_back(msSince(timer));
        aloneCpu.push_back(cpuMs() - cpu);

        timer.restart();
        form.ListCourses();
        form.repaint();
        withPaint.push_back(msSince(timer));

        timer.restart();
        Recordset rs;
        rs.open(sql::selectCoursesOfSchedule(QStringLiteral("1")), form.scheduleDb());
        int rows = 0;
        while (!rs.eof()) {
            rows += rs.text(QStringLiteral("CourseName")).size() + rs.text(QStringLiteral("Days")).size() +
                    rs.text(QStringLiteral("TimeFrom")).size() + rs.text(QStringLiteral("TimeTo")).size();
            rs.moveNext();
        }
        read.push_back(msSince(timer));
        if (rows == 0)
            throw std::runtime_error("no courses read");
    }
    if (!prompts.shown.isEmpty())
        throw std::runtime_error("unexpected box: " + prompts.shown.first().message.text.toStdString());

    std::printf("ListCourses, one schedule of 1,000 courses, median of %d runs\n", kRuns);
    bench::report("ListCourses (wall)", bench::median(alone), "one frame", bench::kFrameMs, "ms", "< 16 ms");
    bench::report("ListCourses (cpu)", bench::median(aloneCpu), "one frame", bench::kFrameMs, "ms", "< 16 ms");
    bench::report("ListCourses and repaint (wall)", bench::median(withPaint), "one frame", bench::kFrameMs, "ms",
                  "< 16 ms");
    bench::report("ListCourses (wall)", bench::median(alone), "reading its 1,000 rows", bench::median(read), "ms",
                  "(shown only)");
}

void addCourse()
{
    ProgramFolder folder;
    bench::fillDatabase(folder.databasePath(), 10000, 100000);
    ScriptedPrompts prompts;
    Form1 form(folder.path(), prompts);
    form.Form_Load();
    showAndSettle(form);

    std::vector<double> saveAndRedraw, statement;
    for (int i = 0; i < kRuns; ++i) {
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
        saveAndRedraw.push_back(msSince(timer));

        timer.restart();
        form.scheduleDb().execute(
            sql::insertCourse({QStringLiteral("1"), QStringLiteral("Direct %1").arg(i), QString(),
                               QStringLiteral("0,3"), QStringLiteral("8:30:00 AM"), QStringLiteral("10:00:00 AM")}));
        statement.push_back(msSince(timer));
    }
    const QString added =
        scalarSql(folder.databasePath(), "select count(*) from tblCourse where CourseName like 'Added %'");
    if (!prompts.messages().isEmpty() || added != QString::number(kRuns))
        throw std::runtime_error("the courses were not added through the dialog");

    const double total = bench::median(saveAndRedraw);
    const double own = bench::median(statement);
    std::printf("Add Course: Save and the redraw after it, 100,000 courses stored, median of %d runs\n", kRuns);
    bench::report("Save and redraw (wall)", total, "the insert statement alone", own, "ms", "(shown only)");
    bench::report("Save and redraw less the statement (wall)", total - own, "one frame", bench::kFrameMs, "ms",
                  "< 16 ms");
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
