// Every export of the sample schedule's 33 x 8 grid through the main
// window's commands (save dialog answered, file replaced, "Done." answered),
// in each format the typed extension chooses, against a plain write of a
// file of the same size, measured in the same run.
#include "app/form1.h"
#include "bench/bench_support.h"
#include "tests/support/scripted_prompts.h"
#include "tests/support/test_db.h"

#include <QApplication>
#include <QFileInfo>

using namespace quorvane;

namespace {

double msSince(const QElapsedTimer& timer)
{
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

double plainWriteMs(const QString& path, const QByteArray& bytes)
{
    QElapsedTimer timer;
    timer.start();
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        throw std::runtime_error("plain write failed");
    file.close();
    return msSince(timer);
}

// One export through the window's command, replacing the file of the run before.
template <class Export>
double exportMs(testing::ScriptedPrompts& prompts, const QString& target, Export&& run)
{
    prompts.chooseFile(target);
    prompts.answer(Answer::Yes);
    QElapsedTimer timer;
    timer.start();
    run();
    const double ms = msSince(timer);
    if (!prompts.messageTexts().contains(QStringLiteral("Done.")))
        throw std::runtime_error("the export did not finish");
    prompts.clear();
    return ms;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    testing::ProgramFolder folder;
    testing::ScriptedPrompts prompts;
    Form1 form(folder.path(), prompts);
    if (!form.Form_Load())
        return 1;
    form.show();
    form.PushButton9_Click(); // the sample schedule
    app.processEvents();

    struct Format
    {
        const char* file;
        int button;
        const char* figure;
    };
    const Format formats[] = {
        {"week.bmp", 7, "picture export (sample, BMP)"},    {"week.png", 7, "picture export (sample, PNG)"},
        {"week.pdf", 7, "picture export (sample, PDF)"},    {"week.xls", 8, "workbook export (sample, xls)"},
        {"week.xlsx", 8, "workbook export (sample, xlsx)"}, {"week.csv", 8, "workbook export (sample, CSV)"},
        {"week.ics", 8, "calendar export (sample, ics)"},
    };
    prompts.clear();
    std::printf("Exports of the sample, median (min - max) of %d runs taken in turn with a plain write\n",
                bench::kRuns);
    for (const Format& format : formats) {
        const QString target = folder.file(QString::fromLatin1(format.file));
        const auto run = [&] { format.button == 7 ? form.PushButton7_Click() : form.PushButton8_Click(); };
        exportMs(prompts, target, run); // warm up, and learn the size
        const QByteArray sameSize(QFileInfo(target).size(), 'x');
        bench::Runs exported, plain;
        for (int i = 0; i < bench::kRuns; ++i) {
            exported.add(exportMs(prompts, target, run));
            plain.add(plainWriteMs(folder.file("plain.bin"), sameSize));
        }
        bench::report(format.figure, exported, "plain write, same size", plain, "ms", "< 50 ms");
    }
    return 0;
}
