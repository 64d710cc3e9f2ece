// Prepares the databases the start-up benchmark opens: `bench_make_db PATH
// sample` (the sample schedule, made by the program's own command), or
// `bench_make_db PATH SCHEDULES COURSES` (courses dealt round the schedules in
// turn, so one schedule gets all of them when SCHEDULES is 1).
#include "app/form1.h"
#include "bench/bench_support.h"
#include "tests/support/scripted_prompts.h"

#include <QApplication>
#include <QFileInfo>
#include <QPushButton>

using namespace quorvane;

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: bench_make_db PATH sample | PATH SCHEDULES COURSES\n");
        return 2;
    }
    const QString path = QString::fromLocal8Bit(argv[1]);
    try {
        createDeliveredDatabase(path);
        if (argc == 4) {
            bench::fillDatabase(path, std::atoi(argv[2]), std::atoi(argv[3]));
            return 0;
        }
        testing::ScriptedPrompts prompts;
        Form1 form(QFileInfo(path).absolutePath(), prompts);
        form.Form_Load();
        form.pushButton(9)->click();
        if (!prompts.shown.isEmpty() || form.scheduleCount() != 1)
            throw std::runtime_error("the sample schedule could not be loaded");
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_make_db: %s\n", e.what());
        return 1;
    }
    return 0;
}
