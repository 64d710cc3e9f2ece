// The Edit Course and Delete Course dialogs opened from the main window, over
// the sample schedule and 1,000, 100,000 and 1,000,000 courses, with the
// grid's current cell on a course so that the dialog preselects it. The grid
// shows the latest course of a cell, near the end of the list; in a last case
// the first schedule keeps only courses of the first half of the million, and
// the course preselected is in the middle, the farthest from both ends:
//   - from the click on "Edit Course" or "Delete Course" to the dialog
//     painted, against a bare window's first paint (bench/bare_window.h,
//     built and shown in the same process);
//   - from the click on its course list to the list drawn with the entry
//     preselected in sight, at the first and at the second opening, against
//     the same bare window;
//   - the peak and the resident memory with the dialog and its list open,
//     each size in a process of its own, against the sample's.
// Runs are taken in turn across the sizes and the baseline; flat figures
// across the sizes show that the dialogs read only what they show.
#include "app/form1.h"
#include "bench/bare_window.h"
#include "bench/bench_support.h"
#include "dialogs/form3.h"
#include "tests/support/scripted_prompts.h"
#include "tests/support/test_db.h"
#include "timetable/grid.h"
#include "timetable/grid_view.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <functional>

using namespace quorvane;
using namespace quorvane::testing;

namespace {

const int kSizes[] = {1000, 100000, 1000000};
// The size whose course preselected is from the middle of the list.
constexpr int kMiddle = -1000000;
// Fewer runs than the other benchmarks: the machine is shared.
constexpr int kRuns = 5;

double msSince(const QElapsedTimer& timer)
{
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

// Waits until `widget` has been painted and its paint flushed, with `ready`
// true after that paint; the time on `clock` then.
double paintedAt(QWidget* widget, const QElapsedTimer& clock, const std::function<bool()>& ready = {})
{
    struct Watch : QObject
    {
        QWidget* watched;
        std::function<bool()> ready;
        bool painted = false;
        Watch(QWidget* w, std::function<bool()> r) : watched(w), ready(std::move(r)) { w->installEventFilter(this); }
        bool eventFilter(QObject* object, QEvent* event) override
        {
            if (object == watched && event->type() == QEvent::Paint)
                QTimer::singleShot(0, this, [this] { painted = !ready || ready(); });
            return false;
        }
    } watch(widget, ready);
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
            *list = paintedAt(combo->view()->viewport(), clock, [view = combo->view()] {
                return view->viewport()->rect().contains(view->visualRect(view->currentIndex()));
            });
            combo->hidePopup();
            QCoreApplication::processEvents();
        }
        dialog.close();
    }
};

// A database of `courses` courses over ten schedules; 0: the sample schedule.
void prepare(const ProgramFolder& folder, int courses)
{
    if (courses == kMiddle) {
        bench::fillDatabase(folder.databasePath(), 10, -courses);
        bench::runStatements(
            folder.databasePath(),
            {QStringLiteral("update tblCourse set ScheduleID=2 where ScheduleID=1 and id>%1").arg(-courses / 2)});
        return;
    }
    if (courses > 0) {
        bench::fillDatabase(folder.databasePath(), 10, courses);
        return;
    }
    ScriptedPrompts prompts;
    Form1 form(folder.path(), prompts);
    form.Form_Load();
    form.pushButton(9)->click();
}

// Puts the grid's current cell on the last cell that shows a course, so
// that the dialogs open with a course preselected.
void pointAtACourse(Form1& form)
{
    for (int row = form.grid().rowCount() - 1; row > 0; --row)
        for (int col = 7; col > 0; --col)
            if (!form.grid().text(row, col).isEmpty()) {
                form.gridView().setCurrentGridCell(row, col);
                return;
            }
}

// The main window over the database of `folder`.
struct Window
{
    const ProgramFolder& folder;
    TimingPrompts prompts;
    std::unique_ptr<Form1> form;

    explicit Window(const ProgramFolder& programFolder) : folder(programFolder)
    {
        form = std::make_unique<Form1>(folder.path(), prompts);
        form->Form_Load();
        form->show();
        pointAtACourse(*form);
        QCoreApplication::processEvents();
    }

    // `button`: 6 Edit Course, 4 Delete Course.
    Opening open(int button)
    {
        // What the last opening left to draw (its window's grid drawn again)
        // is drawn first, not timed with this one.
        QCoreApplication::processEvents();
        prompts.clock.start();
        QTest::mouseClick(form->pushButton(button), Qt::LeftButton);
        if (!prompts.errors().isEmpty())
            throw std::runtime_error("unexpected error box: " + prompts.errors().first().text.toStdString());
        return prompts.opening;
    }
};

// VmRSS (resident now) and VmHWM (peak) of this process, in MiB.
double memoryMiB(const char* field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(int(qstrlen(field))).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return 0;
}

// In a process of its own, over the database in `folder`: the peak and the
// resident memory with the Delete or Edit Course dialog open and its list
// drawn.
int memoryProcess(const QString& folder, int button)
{
    struct MemoryPrompts : ScriptedPrompts
    {
        double peak = 0;
        double resident = 0;
        void showModal(QDialog& dialog) override
        {
            dialog.show();
            QElapsedTimer clock;
            clock.start();
            paintedAt(&dialog, clock);
            auto* combo = dialog.findChild<QComboBox*>(QStringLiteral("Combo1"));
            QTest::mouseClick(combo, Qt::LeftButton);
            paintedAt(combo->view()->viewport(), clock);
            resident = memoryMiB("VmRSS:");
            peak = memoryMiB("VmHWM:");
            combo->hidePopup();
            dialog.close();
        }
    };
    MemoryPrompts prompts;
    Form1 form(folder, prompts);
    form.Form_Load();
    form.show();
    pointAtACourse(form);
    QCoreApplication::processEvents();
    QTest::mouseClick(form.pushButton(button), Qt::LeftButton);
    std::printf("%.3f %.3f\n", prompts.peak, prompts.resident);
    return 0;
}

QByteArray sizeName(int courses)
{
    if (courses == 0)
        return "sample";
    if (courses == kMiddle)
        return QByteArray::number(-courses) + " middle";
    return QByteArray::number(courses);
}

std::pair<double, double> memoryOf(const ProgramFolder& folder, int button)
{
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--memory"), folder.path(), QString::number(button)});
    if (!child.waitForFinished(600000) || child.exitCode() != 0)
        throw std::runtime_error("the memory process failed");
    const QList<QByteArray> figures = child.readAllStandardOutput().trimmed().split(' ');
    return {figures.value(0).toDouble(), figures.value(1).toDouble()};
}

// The bare window built and shown: ms to its first paint.
double bareWindowPainted()
{
    QElapsedTimer clock;
    clock.start();
    const std::unique_ptr<QWidget> window = bench::makeBareWindow();
    window->show();
    const double ms = paintedAt(window.get(), clock);
    window->close();
    return ms;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    try {
        if (argc == 4 && qstrcmp(argv[1], "--memory") == 0)
            return memoryProcess(QString::fromLocal8Bit(argv[2]), std::atoi(argv[3]));

        std::vector<int> sizes{0};
        sizes.insert(sizes.end(), std::begin(kSizes), std::end(kSizes));
        sizes.push_back(kMiddle);
        std::vector<std::unique_ptr<ProgramFolder>> folders;
        std::vector<std::unique_ptr<Window>> windows;
        for (const int courses : sizes) {
            folders.push_back(std::make_unique<ProgramFolder>());
            prepare(*folders.back(), courses);
            windows.push_back(std::make_unique<Window>(*folders.back()));
        }
        const struct
        {
            int button;
            const char* name;
        } dialogs[] = {{6, "Edit Course"}, {4, "Delete Course"}};
        // One opening each first, to warm up fonts, styles and the engine's cache.
        bareWindowPainted();
        for (const auto& window : windows)
            for (const auto& d : dialogs)
                window->open(d.button);

        bench::Runs bare;
        // [dialog][size]
        std::vector<std::vector<bench::Runs>> painted(2, std::vector<bench::Runs>(sizes.size()));
        auto first = painted;
        auto second = painted;
        for (int run = 0; run < kRuns; ++run) {
            bare.add(bareWindowPainted());
            for (std::size_t d = 0; d < 2; ++d)
                for (std::size_t i = 0; i < windows.size(); ++i) {
                    const Opening o = windows[i]->open(dialogs[d].button);
                    painted[d][i].add(o.dialogMs);
                    first[d][i].add(o.firstListMs);
                    second[d][i].add(o.secondListMs);
                }
        }
        std::printf("Course dialogs from the main window, a course preselected, median (min - max) of %d runs "
                    "taken in turn\n",
                    kRuns);
        for (std::size_t d = 0; d < 2; ++d)
            for (std::size_t i = 0; i < sizes.size(); ++i) {
                const QByteArray size = sizeName(sizes[i]);
                const QByteArray name = dialogs[d].name;
                const bool goal = std::abs(sizes[i]) == 1000000;
                bench::report((name + " painted, " + size).constData(), painted[d][i], "bare window first paint", bare,
                              "ms", goal ? "<= 1.3" : "(flat)");
                bench::report((name + " list drawn, first, " + size).constData(), first[d][i],
                              "bare window first paint", bare, "ms", goal ? "<= 0.5" : "(flat)");
                bench::report((name + " list drawn, second, " + size).constData(), second[d][i],
                              "bare window first paint", bare, "ms", goal ? "<= 0.5" : "(flat)");
            }

        // [dialog][size]: peak and resident.
        std::vector<std::vector<bench::Runs>> peak(2, std::vector<bench::Runs>(sizes.size()));
        auto resident = peak;
        for (int run = 0; run < 3; ++run)
            for (std::size_t d = 0; d < 2; ++d)
                for (std::size_t i = 0; i < sizes.size(); ++i) {
                    const auto [p, r] = memoryOf(*folders[i], dialogs[d].button);
                    peak[d][i].add(p);
                    resident[d][i].add(r);
                }
        std::printf("Memory with the dialog and its list open, a process per size, median of 3\n");
        for (std::size_t d = 0; d < 2; ++d)
            for (std::size_t i = 1; i < sizes.size(); ++i) {
                const QByteArray size = sizeName(sizes[i]);
                const QByteArray name = dialogs[d].name;
                bench::report((name + " peak, " + size).constData(), peak[d][i], "the same on the sample", peak[d][0],
                              "MiB", std::abs(sizes[i]) == 1000000 ? "within 30 MiB" : "(flat)");
                std::printf("    difference %.1f MiB\n", peak[d][i].median() - peak[d][0].median());
                bench::report((name + " resident, " + size).constData(), resident[d][i], "the same on the sample",
                              resident[d][0], "MiB", "(flat)");
            }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_course_dialogs: %s\n", e.what());
        return 1;
    }
    return 0;
}
