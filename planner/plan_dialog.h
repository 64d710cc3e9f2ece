#pragma once

#include "domain/course.h"
#include "domain/plan_pool.h"
#include "domain/planner.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QVector>
#include <atomic>
#include <memory>
#include <optional>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QStackedWidget;
class QTableWidget;
class QThread;
class QTimer;

namespace quorvane {

class Repository;
class TimePicker;
class TimetableGrid;
class TimetableView;

// The plan the student chose to keep: its rank in the list and every row of
// its options, ascending.
struct KeptPlan
{
    int rank = 0;
    QList<CourseId> rows;
};

// "Plan Schedules": the best plans of a schedule taken as a pool of
// sections, under the filters and criteria set in the dialog, the selected
// one drawn as the main grid draws it. The search runs on a thread of its
// own and starts again whenever a setting changes; the dialog changes
// nothing: "Keep as Schedule" closes it with the plan to keep, which the
// caller stores as one step of its undo history.
class PlanDialog : public QDialog
{
    Q_OBJECT
public:
    // At most this many plans are listed.
    static constexpr int kListed = 100;

    // Reads the pool's courses and the names of the other schedules (the
    // busy times to choose from) through the repository, which must outlive
    // the dialog; a failure to read is raised. A busy schedule's courses are
    // read when it is chosen.
    PlanDialog(const Repository& repository, const Schedule& pool, QWidget* parent = nullptr);
    ~PlanDialog() override;

    // After "Keep as Schedule"; nothing when the dialog was closed otherwise.
    const std::optional<KeptPlan>& keptPlan() const { return m_kept; }
    bool searching() const { return m_thread != nullptr; }

    void done(int result) override;

signals:
    // The plans of a search (finished or stopped) are listed.
    void plansShown();

protected:
    // Esc stops a search under way, keeping the plans found; with none under
    // way it closes the dialog.
    void keyPressEvent(QKeyEvent* event) override;

private:
    QWidget* buildSettings();
    QWidget* buildPlans();
    PlanRequest request() const;
    int includedCourses() const;
    // Stops the search under way, if any, and starts one with the settings
    // as they are.
    void startSearch();
    // The student stops the search: its plans so far are listed.
    void stopSearch();
    // Stops and joins the search under way; its plans are never listed.
    void abandonSearch();
    void showResult(const PlanResult& result);
    void showProgress();
    void showPlan();
    void moveCriterion(int by);

    const Repository& m_repository;
    Schedule m_pool;
    QVector<Course> m_courses;
    QHash<qint64, int> m_courseAt; // row id -> index in m_courses
    PlanPool m_planPool;
    QVector<Schedule> m_busySchedules;
    QHash<int, std::vector<Meeting>> m_busyMeetings; // by index in m_busySchedules, once read

    QTableWidget* m_courseTable = nullptr;
    QVector<QComboBox*> m_choices;
    QVector<QCheckBox*> m_freeDays;
    QCheckBox* m_notBeforeOn = nullptr;
    TimePicker* m_notBefore = nullptr;
    QCheckBox* m_notAfterOn = nullptr;
    TimePicker* m_notAfter = nullptr;
    QComboBox* m_busy = nullptr;
    QListWidget* m_criteria = nullptr;
    QLabel* m_count = nullptr;
    QTableWidget* m_planTable = nullptr;
    QProgressBar* m_progress = nullptr;
    QPushButton* m_stop = nullptr;
    QStackedWidget* m_shown = nullptr;
    TimetableGrid* m_grid = nullptr;
    TimetableView* m_gridView = nullptr;
    QPlainTextEdit* m_reason = nullptr;
    QPushButton* m_keep = nullptr;

    std::unique_ptr<QThread> m_thread;
    std::shared_ptr<std::atomic<bool>> m_stopFlag;
    std::shared_ptr<std::atomic<int>> m_permille; // the share of the search done
    int m_generation = 0;                         // the search whose plans are awaited
    QElapsedTimer m_clock;
    QTimer* m_progressTimer = nullptr;
    PlanResult m_result;
    std::optional<KeptPlan> m_kept;
};

} // namespace quorvane
