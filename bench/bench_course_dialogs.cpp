// How long the Edit Course and Delete Course dialogs take to open when the
// database holds 100,000 courses, against the same dialog over an empty
// course table measured in the same run. Wall time and the process's CPU
// time are both shown: on a busy machine the wall time also counts waiting.
#include "app/form1.h"
#include "dialogs/form3.h"
#include "dialogs/form4.h"
#include "store/connection.h"
#include "tests/support/scripted_prompts.h"
#include "tests/support/test_db.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

using namespace quorvane;
using namespace quorvane::testing;

namespace {

constexpr int kCourses = 100000;
constexpr int kRuns = 7;

void fillCourses(const QString& databasePath, int count)
{
    execSql(databasePath, QStringLiteral("insert into tblSchedules (Description) values ('Bench')"));
    execSql(databasePath,
            QStringLiteral("with recursive n(i) as (select 1 union all select i + 1 from n where i < %1) "
                           "insert into tblCourse (ScheduleID,CourseName,Notes,Days,TimeFrom,TimeTo) "
                           "select 1, 'Course ' || i, 'Room ' || (i % 40), '0,2,4', '8:30:00 AM', '10:00:00 AM' "
                           "from n")
                .arg(count));
}

// Creating the dialog (which fills its list), preselecting the last course
// and showing it until its first paint has been handled.
struct Timing
{
    double wallMs;
    double cpuMs;
};

template <class Dialog>
Timing openOnce(Connection& db, Prompts& prompts, const QString& folder, const QString& preselect)
{
    QElapsedTimer timer;
    timer.start();
    const std::clock_t cpuStart = std::clock();
    {
        Dialog dialog(db, prompts, folder, QStringLiteral("1"));
        dialog.setCombo1Text(preselect);
        dialog.show();
        QCoreApplication::processEvents();
        dialog.close();
    }
    const double cpuMs = 1000.0 * static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    return {static_cast<double>(timer.nsecsElapsed()) / 1e6, cpuMs};
}

// The medians of wall and CPU time over kRuns openings.
template <class Dialog>
Timing median(Connection& db, Prompts& prompts, const QString& folder, const QString& preselect)
{
    std::vector<double> wall;
    std::vector<double> cpu;
    for (int i = 0; i < kRuns; ++i) {
        const Timing t = openOnce<Dialog>(db, prompts, folder, preselect);
        wall.push_back(t.wallMs);
        cpu.push_back(t.cpuMs);
    }
    std::sort(wall.begin(), wall.end());
    std::sort(cpu.begin(), cpu.end());
    return {wall[wall.size() / 2], cpu[cpu.size() / 2]};
}

template <class Dialog>
void report(const char* name, Connection& full, Connection& empty, Prompts& prompts, const QString& folder)
{
    const QString last = QStringLiteral("Course %1").arg(kCourses);
    const Timing bare = median<Dialog>(empty, prompts, folder, last);
    const Timing loaded = median<Dialog>(full, prompts, folder, last);
    std::printf("%-14s wall: empty list %8.2f ms, %d courses %8.2f ms, ratio %6.1f\n", name, bare.wallMs, kCourses,
                loaded.wallMs, loaded.wallMs / bare.wallMs);
    std::printf("%-14s cpu:  empty list %8.2f ms, %d courses %8.2f ms, ratio %6.1f\n", "", bare.cpuMs, kCourses,
                loaded.cpuMs, bare.cpuMs > 0 ? loaded.cpuMs / bare.cpuMs : 0.0);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    ProgramFolder fullFolder;
    ProgramFolder emptyFolder;
    fillCourses(fullFolder.databasePath(), kCourses);
    Connection full;
    full.open(fullFolder.databasePath());
    Connection empty;
    empty.open(emptyFolder.databasePath());
    ScriptedPrompts prompts;

    // One opening each to warm up fonts, styles and the engine's cache.
    openOnce<Form3>(empty, prompts, emptyFolder.path(), QString());
    openOnce<Form3>(full, prompts, fullFolder.path(), QString());

    report<Form3>("Edit Course", full, empty, prompts, fullFolder.path());
    report<Form4>("Delete Course", full, empty, prompts, fullFolder.path());
    if (!prompts.errors().isEmpty()) {
        std::printf("unexpected error box: %s\n", qPrintable(prompts.errors().first().text));
        return 1;
    }
    return 0;
}
