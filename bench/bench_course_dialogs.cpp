// The Edit Course dialog opened from the main window, over 1,000, 100,000 and
// 1,000,000 courses, against the same over the sample schedule's three:
//   - from the click on "Edit Course" to the dialog painted;
//   - from the click on its course list to the list drawn, at the first and
//     at the second opening;
//   - the resident memory while the dialog is open, each size in a process
//     of its own, against the sample's.
// Runs are taken in turn across the sizes; the per-course cost at each size
// shows whether anything grows worse than linearly.
#include "app/form1.h"
#include "bench/bench_support.h"
#include "dialogs/form3.h"
#include "tests/support/scripted_prompts.h"
#include "tests/support/test_db.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

using namespace quorvane;
using namespace quorvane::testing;

namespace {

const int kSizes[] = {1000, 100000, 1000000};

double msSince(const QElapsedTimer& timer)
{
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

// Waits until `widget` has been painted and its paint flushed; the time on
// `clock` then.
double paintedAt(QWidget* widget, const QElapsedTimer& clock)
{
    struct Watch : QObject
    {
        QWidget* watched;
        bool painted = false;
        explicit Watch(QWidget* w) : watched(w) { w->installEventFilter(this); }
        bool eventFilter(QObject* object, QEvent* event) override
        {
            if (object == watched && event->type() == QEvent::Paint)
                QTimer::singleShot(0, this, [this] { painted = true; });
            return false;
        }
    } watch(widget);
    while (!watch.painted)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return msSince(clock);
}

struct Opening
{
    double dialogMs = 0;
    double firstListMs = 0;
    double secondListMs = 0;
};

// Shows the course dialogs, times them as the bench asks and closes them.
class TimingPrompts : public ScriptedPrompts
{
public:
    QElapsedTimer clock;
    Opening opening;

    void showModal(QDialog& dialog) override
    {
        dialog.show();
        opening.dialogMs = paintedAt(&dialog, clock);
        auto* combo = dialog.findChild<QComboBox*>(QStringLiteral("Combo1"));
        for (double* list : {&opening.firstListMs, &opening.secondListMs}) {
            clock.restart();
            QTest::mouseClick(combo, Qt::LeftButton);
            *list = paintedAt(combo->view()->viewport(), clock);
            combo->hidePopup();
            QCoreApplication::processEvents();
        }
        dialog.close();
    }
};

// A database of `courses` courses over ten schedules; 0: the sample schedule.
void prepare(const ProgramFolder& folder, int courses)
{
    if (courses > 0) {
        bench::fillDatabase(folder.databasePath(), 10, courses);
        return;
    }
    ScriptedPrompts prompts;
    Form1 form(folder.path(), prompts);
    form.Form_Load();
    form.pushButton(9)->click();
}

// The main window over a database of `courses` courses (0: the sample).
struct Window
{
    ProgramFolder folder;
    TimingPrompts prompts;
    std::unique_ptr<Form1> form;

    explicit Window(int courses)
    {
        prepare(folder, courses);
        form = std::make_unique<Form1>(folder.path(), prompts);
        form->Form_Load();
        form->show();
        QCoreApplication::processEvents();
    }

    Opening open()
    {
        prompts.clock.start();
        QTest::mouseClick(form->pushButton(6), Qt::LeftButton);
        if (!prompts.errors().isEmpty())
            throw std::runtime_error("unexpected error box: " + prompts.errors().first().text.toStdString());
        return prompts.opening;
    }
};

double residentMiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return 0;
}

// In a process of its own: the resident memory with the dialog open.
int memoryProcess(int courses)
{
    struct MemoryPrompts : ScriptedPrompts
    {
        double resident = 0;
        void showModal(QDialog& dialog) override
        {
            dialog.show();
            QElapsedTimer clock;
            clock.start();
            paintedAt(&dialog, clock);
            resident = residentMiB();
            dialog.close();
        }
    };
    ProgramFolder folder;
    prepare(folder, courses);
    MemoryPrompts prompts;
    Form1 form(folder.path(), prompts);
    form.Form_Load();
    form.show();
    QCoreApplication::processEvents();
    QTest::mouseClick(form.pushButton(6), Qt::LeftButton);
    std::printf("%.3f\n", prompts.resident);
    return 0;
}

double memoryOf(int courses)
{
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--memory"), QString::number(courses)});
    if (!child.waitForFinished(600000) || child.exitCode() != 0)
        throw std::runtime_error("the memory process failed");
    return child.readAllStandardOutput().trimmed().toDouble();
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    try {
        if (argc == 3 && qstrcmp(argv[1], "--memory") == 0)
            return memoryProcess(std::atoi(argv[2]));

        Window sample(0);
        std::vector<std::unique_ptr<Window>> windows;
        for (const int courses : kSizes)
            windows.push_back(std::make_unique<Window>(courses));
        // One opening each first, to warm up fonts, styles and the engine's cache.
        sample.open();
        for (const auto& window : windows)
            window->open();

        bench::Runs sampleDialog, sampleFirst, sampleSecond;
        std::vector<bench::Runs> dialog(windows.size()), first(windows.size()), second(windows.size());
        for (int run = 0; run < bench::kRuns; ++run) {
            const Opening s = sample.open();
            sampleDialog.add(s.dialogMs);
            sampleFirst.add(s.firstListMs);
            sampleSecond.add(s.secondListMs);
            for (std::size_t i = 0; i < windows.size(); ++i) {
                const Opening o = windows[i]->open();
                dialog[i].add(o.dialogMs);
                first[i].add(o.firstListMs);
                second[i].add(o.secondListMs);
            }
        }
        std::printf("Edit Course from the main window, median (min - max) of %d runs taken in turn\n", bench::kRuns);
        for (std::size_t i = 0; i < windows.size(); ++i) {
            const QByteArray size = QByteArray::number(kSizes[i]);
            const QByteArray dialogFigure = "click to dialog painted, " + size + " courses";
            const QByteArray firstFigure = "click to list drawn, first, " + size;
            const QByteArray secondFigure = "click to list drawn, second, " + size;
            const char* aim = kSizes[i] == 100000 ? "dialog < 40 ms" : "(curve)";
            bench::report(dialogFigure.constData(), dialog[i], "sample (3 courses)", sampleDialog, "ms", aim);
            bench::report(firstFigure.constData(), first[i], "sample (3 courses)", sampleFirst, "ms",
                          kSizes[i] == 100000 ? "< 16 ms" : "(curve)");
            bench::report(secondFigure.constData(), second[i], "sample (3 courses)", sampleSecond, "ms",
                          kSizes[i] == 100000 ? "< 16 ms" : "(curve)");
        }
        std::printf("Growth: dialog time per 1,000 courses\n");
        for (std::size_t i = 0; i < windows.size(); ++i)
            std::printf("  %8d courses: %8.3f ms per 1,000\n", kSizes[i], dialog[i].median() * 1000.0 / kSizes[i]);

        bench::Runs sampleMemory;
        std::vector<bench::Runs> memory(windows.size());
        for (int run = 0; run < 3; ++run) {
            sampleMemory.add(memoryOf(0));
            for (std::size_t i = 0; i < windows.size(); ++i)
                memory[i].add(memoryOf(kSizes[i]));
        }
        std::printf("Resident memory with the dialog open, a process per size, median of 3\n");
        for (std::size_t i = 0; i < windows.size(); ++i) {
            const QByteArray figure = "resident with dialog, " + QByteArray::number(kSizes[i]) + " courses";
            bench::report(figure.constData(), memory[i], "sample (3 courses)", sampleMemory, "MiB",
                          kSizes[i] == 100000 ? "within 10 MiB of the sample" : "(curve)");
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_course_dialogs: %s\n", e.what());
        return 1;
    }
    return 0;
}
