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

double plainWriteMs(const QString& path, qint64 size, int rounds)
{
    const QByteArray bytes(size, 'x');
    std::vector<double> times;
    for (int i = 0; i < rounds; ++i) {
        QElapsedTimer timer;
        timer.start();
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != size)
            throw std::runtime_error("plain write failed");
        file.close();
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    return bench::median(times);
}

template <class Export>
double exportMs(testing::ScriptedPrompts& prompts, const QString& target, int rounds, Export&& run)
{
    std::vector<double> times;
    for (int i = 0; i < rounds; ++i) {
        prompts.chooseFile(target);
        prompts.answer(Answer::Yes); // replace the file of the round before
        QElapsedTimer timer;
        timer.start();
        run();
        times.push_back(timer.nsecsElapsed() / 1e6);
        if (!prompts.messageTexts().contains(QStringLiteral("Done.")))
            throw std::runtime_error("the export did not finish");
        prompts.clear();
    }
    return bench::median(times);
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
    constexpr int kRounds = 30;

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
    for (const Format& format : formats) {
        const QString target = folder.file(QString::fromLatin1(format.file));
        const double exported = exportMs(prompts, target, kRounds, [&] {
            if (format.button == 7)
                form.PushButton7_Click();
            else
                form.PushButton8_Click();
        });
        const double plain = plainWriteMs(folder.file("plain.bin"), QFileInfo(target).size(), kRounds);
        bench::report(format.figure, exported, "plain write, same size", plain, "ms", "< 50 ms");
    }
    return 0;
}
