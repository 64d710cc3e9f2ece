#include "planner/plan_dialog.h"

#include "base/failure.h"
#include "base/reporting.h"
#include "domain/repository.h"
#include "timetable/fill.h"
#include "timetable/grid.h"
#include "timetable/grid_view.h"
#include "widgets/time_picker.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStackedWidget>
#include <QStyle>
#include <QTableWidget>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace quorvane {

namespace {

// A search that ends sooner shows no progress at all.
constexpr int kProgressAfterMs = 100;
// The columns narrower than the main grid's, for the grid to fit beside the
// list.
constexpr int kTimeColWidthTwips = 1000;
constexpr int kDayColWidthTwips = 1100;

struct CriterionEntry
{
    Criterion criterion;
    const char* text;
    bool ticked;
};
const CriterionEntry kCriterionEntries[] = {
    {Criterion::Days, "days: weekdays with a class", true},
    {Criterion::Idle, "idle: time between classes", true},
    {Criterion::Early, "early: class before 10:00 AM", true},
    {Criterion::Late, "late: class after 4:00 PM", false},
    {Criterion::Lunch, "lunch: days without a lunch break", false},
};

// "Mon Wed 9:00–9:50 AM (row 1)", "Tue Thu 10:30–11:45 AM, Wed 1:00–2:50 PM (rows 6, 7)".
QString optionText(const PlanOption& option)
{
    QStringList ids;
    for (qint64 id : option.ids)
        ids << QString::number(id);
    return QStringLiteral("%1 (%2 %3)")
        .arg(meetingsText(option.meetings), ids.size() == 1 ? QStringLiteral("row") : QStringLiteral("rows"),
             ids.join(QStringLiteral(", ")));
}

// "0 h", "6 h 10 min".
QString hoursText(qint64 minutes)
{
    return minutes % 60 ? QStringLiteral("%1 h %2 min").arg(minutes / 60).arg(minutes % 60)
                        : QStringLiteral("%1 h").arg(minutes / 60);
}

QTableWidgetItem* cell(const QString& text)
{
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

} // namespace

PlanDialog::PlanDialog(const Repository& repository, const Schedule& pool, QWidget* parent)
    : QDialog(parent), m_repository(repository), m_pool(pool), m_courses(repository.courses(pool.id))
{
    setObjectName(QStringLiteral("PlanSchedules"));
    setWindowTitle(QStringLiteral("Plan Schedules"));
    for (int i = 0; i < m_courses.size(); ++i)
        m_courseAt.insert(m_courses[i].id.value, i);
    m_planPool = makePlanPool(planRows(m_courses));
    for (const Schedule& schedule : repository.schedules()) {
        if (schedule.id == pool.id)
            continue;
        m_busySchedules << schedule;
    }

    auto* columns = new QHBoxLayout;
    columns->addWidget(buildSettings());
    columns->addWidget(buildPlans(), 1);

    m_keep = new QPushButton(QStringLiteral("Keep as Schedule"), this);
    m_keep->setObjectName(QStringLiteral("KeepAsSchedule"));
    m_keep->setEnabled(false);
    m_keep->setAutoDefault(false);
    connect(m_keep, &QPushButton::clicked, this, [this] {
        const int row = m_planTable->currentRow();
        if (row < 0 || row >= int(m_result.plans.size()))
            return;
        KeptPlan kept;
        kept.rank = row + 1;
        for (qint64 id : m_result.plans[static_cast<size_t>(row)].ids)
            kept.rows << CourseId(id);
        m_kept = kept;
        accept();
    });
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    close->setObjectName(QStringLiteral("ClosePlans"));
    close->setAutoDefault(false);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_keep);
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns, 1);
    layout->addLayout(buttons);

    m_progressTimer = new QTimer(this);
    m_progressTimer->setInterval(kProgressAfterMs);
    connect(m_progressTimer, &QTimer::timeout, this, &PlanDialog::showProgress);
    // As large as its contents want, within the screen (a dialog takes at
    // most two thirds of it by itself).
    resize(sizeHint().boundedTo(screen()->availableGeometry().size()));
    startSearch();
}

PlanDialog::~PlanDialog()
{
    abandonSearch();
}

QWidget* PlanDialog::buildSettings()
{
    auto* settings = new QWidget(this);
    auto* layout = new QVBoxLayout(settings);
    layout->setContentsMargins(0, 0, 0, 0);
    const auto changed = [this] { startSearch(); };

    auto* courses = new QGroupBox(QStringLiteral("Courses"), settings);
    auto* courseLayout = new QVBoxLayout(courses);
    m_courseTable = new QTableWidget(int(m_planPool.courses.size()), 3, courses);
    m_courseTable->setObjectName(QStringLiteral("Courses"));
    m_courseTable->setHorizontalHeaderLabels(
        {QStringLiteral("Course"), QStringLiteral("Options"), QStringLiteral("Take")});
    m_courseTable->verticalHeader()->hide();
    m_courseTable->setSelectionMode(QAbstractItemView::NoSelection);
    m_courseTable->horizontalHeader()->setSectionResizeMode(2, QHeaderView::Stretch);
    for (int c = 0; c < int(m_planPool.courses.size()); ++c) {
        const PlanCourse& course = m_planPool.courses[static_cast<size_t>(c)];
        QTableWidgetItem* name = cell(course.name);
        name->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        name->setCheckState(Qt::Checked);
        m_courseTable->setItem(c, 0, name);
        m_courseTable->setItem(c, 1, cell(QString::number(course.options.size())));
        auto* choice = new QComboBox(m_courseTable);
        choice->addItem(QStringLiteral("any option"));
        for (const PlanOption& option : course.options)
            choice->addItem(optionText(option));
        choice->setAccessibleName(course.name);
        m_courseTable->setCellWidget(c, 2, choice);
        m_choices << choice;
        connect(choice, qOverload<int>(&QComboBox::currentIndexChanged), this, changed);
    }
    m_courseTable->resizeColumnsToContents();
    connect(m_courseTable, &QTableWidget::itemChanged, this, changed);
    courseLayout->addWidget(m_courseTable);
    layout->addWidget(courses, 1);

    auto* filters = new QGroupBox(QStringLiteral("Filters"), settings);
    auto* filterLayout = new QGridLayout(filters);
    filterLayout->addWidget(new QLabel(QStringLiteral("Keep free:"), filters), 0, 0, 1, 2);
    auto* days = new QHBoxLayout;
    for (int d = 0; d < 7; ++d) {
        auto* day = new QCheckBox(weekdayName(d).left(3), filters);
        day->setObjectName(QStringLiteral("Free%1").arg(weekdayName(d).left(3)));
        connect(day, &QCheckBox::toggled, this, changed);
        days->addWidget(day);
        m_freeDays << day;
    }
    days->addStretch();
    filterLayout->addLayout(days, 1, 0, 1, 2);
    const auto timeFilter = [&](int row, const QString& text, const char* name, const QTime& time, QCheckBox*& on,
                                TimePicker*& picker) {
        on = new QCheckBox(text, filters);
        on->setObjectName(QLatin1String(name));
        picker = new TimePicker(filters);
        picker->setValue(time);
        picker->setEnabled(false);
        picker->setAccessibleName(text);
        connect(on, &QCheckBox::toggled, picker, &QWidget::setEnabled);
        connect(on, &QCheckBox::toggled, this, changed);
        connect(picker, &QTimeEdit::timeChanged, this, [this, on] {
            if (on->isChecked())
                startSearch();
        });
        filterLayout->addWidget(on, row, 0);
        filterLayout->addWidget(picker, row, 1, Qt::AlignLeft);
    };
    timeFilter(2, QStringLiteral("Not before"), "NotBefore", QTime(9, 0), m_notBeforeOn, m_notBefore);
    timeFilter(3, QStringLiteral("Not after"), "NotAfter", QTime(17, 0), m_notAfterOn, m_notAfter);
    filterLayout->addWidget(new QLabel(QStringLiteral("Busy time:"), filters), 4, 0);
    m_busy = new QComboBox(filters);
    m_busy->setObjectName(QStringLiteral("BusyTime"));
    m_busy->setAccessibleName(QStringLiteral("Busy time"));
    m_busy->addItem(QStringLiteral("none"));
    for (const Schedule& schedule : m_busySchedules)
        m_busy->addItem(schedule.name);
    connect(m_busy, qOverload<int>(&QComboBox::currentIndexChanged), this, changed);
    filterLayout->addWidget(m_busy, 4, 1);
    layout->addWidget(filters);

    auto* criteria = new QGroupBox(QStringLiteral("Best first by"), settings);
    auto* criteriaLayout = new QHBoxLayout(criteria);
    m_criteria = new QListWidget(criteria);
    m_criteria->setObjectName(QStringLiteral("Criteria"));
    for (const CriterionEntry& entry : kCriterionEntries) {
        auto* item = new QListWidgetItem(QString::fromLatin1(entry.text), m_criteria);
        item->setData(Qt::UserRole, int(entry.criterion));
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(entry.ticked ? Qt::Checked : Qt::Unchecked);
    }
    m_criteria->setCurrentRow(0);
    m_criteria->setFixedHeight(m_criteria->sizeHintForRow(0) * kCriteria + 2 * m_criteria->frameWidth());
    connect(m_criteria, &QListWidget::itemChanged, this, changed);
    criteriaLayout->addWidget(m_criteria, 1);
    auto* moves = new QVBoxLayout;
    auto* up = new QPushButton(QStringLiteral("Move Up"), criteria);
    up->setObjectName(QStringLiteral("MoveUp"));
    auto* down = new QPushButton(QStringLiteral("Move Down"), criteria);
    down->setObjectName(QStringLiteral("MoveDown"));
    for (QPushButton* button : {up, down})
        button->setAutoDefault(false);
    connect(up, &QPushButton::clicked, this, [this] { moveCriterion(-1); });
    connect(down, &QPushButton::clicked, this, [this] { moveCriterion(1); });
    moves->addWidget(up);
    moves->addWidget(down);
    moves->addStretch();
    criteriaLayout->addLayout(moves);
    layout->addWidget(criteria);
    return settings;
}

QWidget* PlanDialog::buildPlans()
{
    auto* plans = new QWidget(this);
    auto* layout = new QHBoxLayout(plans);
    layout->setContentsMargins(0, 0, 0, 0);

    auto* list = new QVBoxLayout;
    m_count = new QLabel(plans);
    m_count->setObjectName(QStringLiteral("PlanCount"));
    m_count->setWordWrap(true);
    m_count->setTextInteractionFlags(Qt::TextSelectableByMouse);
    list->addWidget(m_count);
    m_planTable = new QTableWidget(0, 4, plans);
    m_planTable->setObjectName(QStringLiteral("Plans"));
    m_planTable->setHorizontalHeaderLabels(
        {QStringLiteral("Rank"), QStringLiteral("Days"), QStringLiteral("Times"), QStringLiteral("Idle")});
    m_planTable->verticalHeader()->hide();
    m_planTable->setSelectionMode(QAbstractItemView::SingleSelection);
    m_planTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_planTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_planTable->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_planTable->setMinimumWidth(
        fontMetrics().horizontalAdvance(QStringLiteral("000 0 12:00 AM\u201312:00 PM 00 h 00 min")) + 60);
    connect(m_planTable, &QTableWidget::currentCellChanged, this, &PlanDialog::showPlan);
    list->addWidget(m_planTable, 1);
    auto* progress = new QHBoxLayout;
    m_progress = new QProgressBar(plans);
    m_progress->setObjectName(QStringLiteral("SearchProgress"));
    m_progress->setRange(0, 1000);
    m_progress->setTextVisible(false);
    m_progress->setAccessibleName(QStringLiteral("Search"));
    m_stop = new QPushButton(QStringLiteral("Stop"), plans);
    m_stop->setObjectName(QStringLiteral("StopSearch"));
    m_stop->setAutoDefault(false);
    connect(m_stop, &QPushButton::clicked, this, &PlanDialog::stopSearch);
    progress->addWidget(m_progress, 1);
    progress->addWidget(m_stop);
    list->addLayout(progress);
    m_progress->hide();
    m_stop->hide();
    layout->addLayout(list);

    m_shown = new QStackedWidget(plans);
    m_grid = new TimetableGrid(this);
    m_gridView = new TimetableView(m_grid, m_shown);
    m_gridView->setObjectName(QStringLiteral("PlanGrid"));
    m_gridView->setAccessibleName(QStringLiteral("Plan"));
    Procedure setUp([](int, const QString&) {});
    setUpTimetable(*m_grid, setUp, {});
    int width = 2 * m_gridView->frameWidth();
    for (int c = 0; c < m_grid->cols(); ++c) {
        m_grid->setColWidthTwips(c, c == 0 ? kTimeColWidthTwips : kDayColWidthTwips);
        width += m_gridView->columnWidth(c);
    }
    // Wider, the days share the room; narrower (a small screen), the days
    // past the third scroll.
    m_gridView->setFirstWidth(width);
    m_gridView->setMinimumWidth(width - 4 * m_gridView->columnWidth(1) +
                                m_gridView->style()->pixelMetric(QStyle::PM_ScrollBarExtent));
    m_gridView->setSelectionMode(QAbstractItemView::NoSelection);
    m_gridView->clearSelection();
    m_gridView->fitRowsToFont();
    m_shown->addWidget(m_gridView);
    m_reason = new QPlainTextEdit(m_shown);
    m_reason->setObjectName(QStringLiteral("NoPlanReason"));
    m_reason->setReadOnly(true);
    m_reason->setAccessibleName(QStringLiteral("Why there is no plan"));
    m_shown->addWidget(m_reason);
    layout->addWidget(m_shown, 1);
    return plans;
}

int PlanDialog::includedCourses() const
{
    int included = 0;
    for (int c = 0; c < m_courseTable->rowCount(); ++c)
        included += m_courseTable->item(c, 0)->checkState() == Qt::Checked ? 1 : 0;
    return included;
}

PlanRequest PlanDialog::request() const
{
    PlanRequest request;
    PlanFilters& filters = request.filters;
    for (int d = 0; d < 7; ++d)
        filters.freeDays[static_cast<size_t>(d)] = m_freeDays[d]->isChecked();
    if (m_notBeforeOn->isChecked())
        filters.notBefore = secondsOf(m_notBefore->value());
    if (m_notAfterOn->isChecked())
        filters.notAfter = secondsOf(m_notAfter->value());
    if (const int busy = m_busy->currentIndex() - 1; busy >= 0 && busy < m_busySchedules.size()) {
        filters.busy = m_busyMeetings.value(busy);
        filters.busyName = m_busySchedules[busy].name;
    }
    for (int c = 0; c < m_courseTable->rowCount(); ++c) {
        filters.pinned.push_back(m_choices[c]->currentIndex() - 1);
        filters.leftOut.push_back(m_courseTable->item(c, 0)->checkState() != Qt::Checked);
    }
    request.rank.clear();
    for (int i = 0; i < m_criteria->count(); ++i)
        if (m_criteria->item(i)->checkState() == Qt::Checked)
            request.rank.push_back(static_cast<Criterion>(m_criteria->item(i)->data(Qt::UserRole).toInt()));
    request.top = kListed;
    return request;
}

void PlanDialog::startSearch()
{
    // The course table reports its items' changes while it is filled.
    if (!m_planTable || !m_progressTimer)
        return;
    abandonSearch();
    m_result = PlanResult();
    m_planTable->setRowCount(0);
    m_keep->setEnabled(false);
    m_grid->clearCourseCells();
    m_shown->setCurrentWidget(m_gridView);
    if (includedCourses() == 0) {
        m_count->setText(QStringLiteral("Tick a course to plan."));
        return;
    }
    if (const int busy = m_busy->currentIndex() - 1; busy >= 0 && !m_busyMeetings.contains(busy)) {
        const Schedule& schedule = m_busySchedules[busy];
        try {
            m_busyMeetings.insert(busy, busyMeetings(m_repository.courses(schedule.id)));
        } catch (const Failure& failure) {
            m_count->setText(
                QStringLiteral("Cannot read the courses of %1: %2").arg(schedule.name, failure.description()));
            return;
        }
    }
    m_count->setText(QStringLiteral("Searching\u2026"));
    PlanRequest request = this->request();
    m_stopFlag = std::make_shared<std::atomic<bool>>(false);
    m_permille = std::make_shared<std::atomic<int>>(0);
    request.stop = m_stopFlag.get();
    request.progress = [permille = m_permille](const PlanProgress& progress) {
        permille->store(int(progress.done * 1000), std::memory_order_relaxed);
    };
    const int generation = ++m_generation;
    // The thread holds what it reads: the pool, the request and the flags.
    m_thread.reset(QThread::create([this, pool = m_planPool, request, stop = m_stopFlag, generation] {
        PlanResult result = findPlans(pool, request);
        QMetaObject::invokeMethod(
            this,
            [this, result = std::move(result), generation] {
                if (generation == m_generation)
                    showResult(result);
            },
            Qt::QueuedConnection);
    }));
    m_clock.start();
    m_thread->start();
    m_progressTimer->start();
}

void PlanDialog::stopSearch()
{
    if (m_stopFlag)
        m_stopFlag->store(true);
}

void PlanDialog::abandonSearch()
{
    ++m_generation;
    if (m_progressTimer)
        m_progressTimer->stop();
    if (!m_thread)
        return;
    m_stopFlag->store(true);
    m_thread->wait();
    m_thread.reset();
    m_progress->hide();
    m_stop->hide();
}

void PlanDialog::showProgress()
{
    if (!m_thread || m_clock.elapsed() < kProgressAfterMs)
        return;
    m_progress->setValue(m_permille->load(std::memory_order_relaxed));
    m_progress->show();
    m_stop->show();
}

void PlanDialog::showResult(const PlanResult& result)
{
    m_thread->wait();
    m_thread.reset();
    m_progressTimer->stop();
    m_progress->hide();
    m_stop->hide();
    m_result = result;

    QString count = planSummary(m_pool.name, includedCourses(), result);
    if (!result.complete && !result.plans.empty())
        count += QStringLiteral(" The search was stopped: these plans are not proven best.");
    m_count->setText(count);
    const auto span = [this](const Plan& plan) {
        int first = 24 * 3600;
        int last = 0;
        for (size_t c = 0; c < plan.options.size(); ++c) {
            if (plan.options[c] < 0)
                continue;
            for (const Meeting& m : m_planPool.courses[c].options[static_cast<size_t>(plan.options[c])].meetings) {
                first = std::min(first, m.start);
                last = std::max(last, m.end);
            }
        }
        return first < last ? spanText(first, last) : QString();
    };
    const int shown = int(std::min<size_t>(result.plans.size(), kListed));
    m_planTable->setRowCount(shown);
    for (int i = 0; i < shown; ++i) {
        const Plan& plan = result.plans[static_cast<size_t>(i)];
        QTableWidgetItem* rank = cell(QString::number(i + 1));
        if (!result.complete)
            rank->setToolTip(QStringLiteral("not proven best"));
        m_planTable->setItem(i, 0, rank);
        m_planTable->setItem(i, 1, cell(QString::number(shownCost(plan.costs, Criterion::Days))));
        m_planTable->setItem(i, 2, cell(span(plan)));
        m_planTable->setItem(i, 3, cell(hoursText(shownCost(plan.costs, Criterion::Idle))));
    }
    if (shown > 0) {
        m_planTable->setCurrentCell(0, 0);
    } else {
        m_reason->setPlainText(result.impossible ? result.impossible->reason
                                                 : QStringLiteral("The search was stopped before it found a plan."));
        m_shown->setCurrentWidget(m_reason);
    }
    emit plansShown();
}

void PlanDialog::showPlan()
{
    const int row = m_planTable->currentRow();
    m_grid->clearCourseCells();
    m_keep->setEnabled(row >= 0 && row < int(m_result.plans.size()));
    if (!m_keep->isEnabled())
        return;
    QVector<Course> courses;
    for (qint64 id : m_result.plans[static_cast<size_t>(row)].ids)
        if (const auto at = m_courseAt.constFind(id); at != m_courseAt.constEnd())
            courses << m_courses[*at];
    drawCourses(*m_grid, courses);
}

void PlanDialog::moveCriterion(int by)
{
    const int from = m_criteria->currentRow();
    const int to = from + by;
    if (from < 0 || to < 0 || to >= m_criteria->count())
        return;
    {
        const QSignalBlocker quiet(m_criteria);
        m_criteria->insertItem(to, m_criteria->takeItem(from));
        m_criteria->setCurrentRow(to);
    }
    startSearch();
}

void PlanDialog::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && searching()) {
        stopSearch();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void PlanDialog::done(int result)
{
    abandonSearch();
    QDialog::done(result);
}

} // namespace quorvane
