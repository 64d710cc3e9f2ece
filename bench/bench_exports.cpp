// Both exports of the 33 x 8 grid through the main window's commands (save
// dialog answered, file replaced, "Done." answered), against a plain write of
// a file of the same size, measured in the same run.
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
    testing::execSql(folder.databasePath(), "insert into tblSchedules (Description) values ('Week')");
    testing::execSql(folder.databasePath(),
                     "insert into tblCourse (ScheduleID,CourseName,Notes,Days,TimeFrom,TimeTo) values "
                     "(1,'Mathematics','','0,3,4','08:30','10:00'),(1,'Design','','0,2,3','11:30','13:00')");
    testing::ScriptedPrompts prompts;
    Form1 form(folder.path(), prompts);
    if (!form.Form_Load())
        return 1;
    form.show();
    app.processEvents();
    constexpr int kRounds = 30;

    const QString bmp = folder.file("week.bmp");
    const double picture = exportMs(prompts, bmp, kRounds, [&] { form.PushButton7_Click(); });
    const double bmpPlain = plainWriteMs(folder.file("plain.bmp"), QFileInfo(bmp).size(), kRounds);
    bench::report("picture export (33x8 grid, BMP)", picture, "plain write, same size", bmpPlain, "ms", "< 100 ms");

    for (const char* name : {"week.xls", "week.xlsx"}) {
        const QString target = folder.file(QString::fromLatin1(name));
        const double workbook = exportMs(prompts, target, kRounds, [&] { form.PushButton8_Click(); });
        const double plain = plainWriteMs(folder.file("plain.bin"), QFileInfo(target).size(), kRounds);
        const QByteArray figure = QByteArray("workbook export (33x8 grid, ") + name + ")";
        bench::report(figure.constData(), workbook, "plain write, same size", plain, "ms", "< 100 ms");
    }
    return 0;
}
