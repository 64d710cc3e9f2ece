// Start-up to the first painted main window, and the peak resident memory,
// each window in a process of its own, started afresh for every run:
//   - the program's window on the sample schedule,
//   - the program's window on 10,000 schedules and 100,000 courses,
//   - against a bare Qt window with the same widgets and nothing loaded.
// The figure is the time from starting the process to its first paint having
// been handled; medians of several runs taken in turn.
#include "app/form1.h"
#include "app/twips.h"
#include "bench/bench_support.h"
#include "tests/support/scripted_prompts.h"
#include "tests/support/test_db.h"

#include <QApplication>
#include <QHeaderView>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QTimer>
#include <QTreeWidget>
#include <ctime>
#include <memory>

using namespace quorvane;
using namespace quorvane::testing;

namespace {

constexpr int kRuns = 9;
constexpr int kLargeSchedules = 10000;
constexpr int kLargeCourses = 100000;

QElapsedTimer g_sinceMain;

// The main window's widgets, placed and captioned as the program places
// them, with nothing read and nothing filled.
std::unique_ptr<QWidget> bareWindow()
{
    auto window = std::make_unique<QWidget>();
    window->setWindowTitle(QStringLiteral("Quorvane"));
    window->setFixedSize(twips(12360), twips(9960));
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(9);
    font.setBold(true);
    window->setFont(font);
    window->setAutoFillBackground(true);
    QPalette white = window->palette();
    white.setColor(QPalette::Window, Qt::white);
    window->setPalette(white);

    auto* list = new QTreeWidget(window.get());
    list->setGeometry(twips(120), twips(120), twips(12120), twips(1575));
    list->setRootIsDecorated(false);
    list->setHeaderLabels({QStringLiteral(" Schedule ID"), QStringLiteral(" Schedule(s)")});

    auto* model = new QStandardItemModel(32, 8, window.get());
    auto* grid = new QTableView(window.get());
    grid->setModel(model);
    grid->verticalHeader()->hide();
    grid->setGeometry(twips(120), twips(2800), twips(12120), twips(5535));

    const struct
    {
        const char* caption;
        int left;
        int top;
    } buttons[] = {
        {"Add Schedule", 120, 1780},
        {"Edit Schedule", 6240, 1780},
        {"Delete Schedule", 120, 2290},
        {"Load Sample/Example Schedule", 6240, 2290},
        {"Add Course", 120, 8430},
        {"Edit Course", 6240, 8430},
        {"Delete Course", 120, 8940},
        {"Delete All Courses", 6240, 8940},
        {"Save Schedule As Image For Printing", 120, 9450},
        {"Export Schedule To Excel For Printing", 6240, 9450},
    };
    QFont buttonFont = font;
    buttonFont.setPointSizeF(11.25);
    for (const auto& b : buttons) {
        auto* button = new QPushButton(QString::fromLatin1(b.caption), window.get());
        button->setGeometry(twips(b.left), twips(b.top), twips(6000), twips(405));
        button->setFont(buttonFont);
    }
    return window;
}

// Says "painted <ms since main> <cpu ms> <VmHWM KiB>" once the window's first
// paint has been handled, children and flush included, and ends the process.
class FirstPaint : public QObject
{
public:
    explicit FirstPaint(QWidget* window) : m_window(window) { window->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_window && event->type() == QEvent::Paint && !m_seen) {
            m_seen = true;
            QTimer::singleShot(0, [] {
                const double ownMs = static_cast<double>(g_sinceMain.nsecsElapsed()) / 1e6;
                const double cpuMs = 1000.0 * static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
                std::printf("painted %.3f %.3f %.0f\n", ownMs, cpuMs, bench::peakResidentKiB());
                std::fflush(stdout);
                QCoreApplication::quit();
            });
        }
        return false;
    }

private:
    QWidget* m_window;
    bool m_seen = false;
};

int windowProcess(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QString mode = QString::fromLocal8Bit(argv[2]);
    ScriptedPrompts prompts;
    std::unique_ptr<QWidget> window;
    if (mode == QLatin1String("bare")) {
        window = bareWindow();
    } else {
        auto form = std::make_unique<Form1>(QString::fromLocal8Bit(argv[3]), prompts);
        if (!form->Form_Load())
            return 1;
        window = std::move(form);
    }
    if (!prompts.shown.isEmpty()) {
        std::fprintf(stderr, "unexpected box: %s\n", qPrintable(prompts.shown.first().message.text));
        return 1;
    }
    FirstPaint firstPaint(window.get());
    window->show();
    return app.exec();
}

void makeSample(const ProgramFolder& folder)
{
    ScriptedPrompts prompts;
    Form1 form(folder.path(), prompts);
    form.Form_Load();
    form.pushButton(9)->click();
    if (!prompts.shown.isEmpty() || form.scheduleCount() != 1)
        throw std::runtime_error("the sample schedule could not be loaded");
}

} // namespace

int main(int argc, char** argv)
{
    g_sinceMain.start();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc >= 4 && qstrcmp(argv[1], "--window") == 0)
        return windowProcess(argc, argv);

    QApplication app(argc, argv);
    try {
        ProgramFolder sample;
        makeSample(sample);
        ProgramFolder large;
        bench::fillDatabase(large.databasePath(), kLargeSchedules, kLargeCourses);

        const QString self = QCoreApplication::applicationFilePath();
        const auto run = [&](const char* mode, const ProgramFolder& folder) {
            return bench::runChild(self, {QStringLiteral("--window"), QString::fromLatin1(mode), folder.path()});
        };
        // One of each first, to bring files into the page cache.
        run("bare", sample);
        run("program", sample);
        run("program", large);

        std::vector<double> bareWall, sampleWall, largeWall, bareCpu, sampleCpu, largeCpu, barePeak, largePeak;
        for (int i = 0; i < kRuns; ++i) {
            const bench::ChildFigures b = run("bare", sample);
            const bench::ChildFigures s = run("program", sample);
            const bench::ChildFigures l = run("program", large);
            bareWall.push_back(b.wallMs);
            sampleWall.push_back(s.wallMs);
            largeWall.push_back(l.wallMs);
            bareCpu.push_back(b.cpuMs);
            sampleCpu.push_back(s.cpuMs);
            largeCpu.push_back(l.cpuMs);
            barePeak.push_back(b.peakKiB / 1024.0);
            largePeak.push_back(l.peakKiB / 1024.0);
        }
        using bench::median;
        using bench::report;
        std::printf("Start-up to the first painted window, median of %d runs, each in a new process;\n"
                    "large database: %d schedules, %d courses\n",
                    kRuns, kLargeSchedules, kLargeCourses);
        report("start-up, sample schedule (wall)", median(sampleWall), "bare window (wall)", median(bareWall), "ms",
               "<= 1.3");
        report("start-up, sample schedule (cpu)", median(sampleCpu), "bare window (cpu)", median(bareCpu), "ms",
               "<= 1.3");
        report("start-up, large database (wall)", median(largeWall), "bare window (wall)", median(bareWall), "ms",
               "<= 2");
        report("start-up, large database (cpu)", median(largeCpu), "bare window (cpu)", median(bareCpu), "ms", "<= 2");
        report("peak resident memory, large database", median(largePeak), "bare window", median(barePeak), "MiB",
               "< 80 MiB");
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_startup: %s\n", e.what());
        return 1;
    }
    return 0;
}
