#include "app/undo_history.h"

#include "app/form1.h"
#include "base/reporting.h"
#include "store/connection.h"
#include "store/row_change.h"

#include <QAction>
#include <QUndoCommand>
#include <QUndoStack>
#include <optional>
#include <utility>

namespace quorvane {

namespace {

// One step: the rows a command changed, and the schedules to show after it is
// taken back (the one it was about, else the one selected before it) or made
// again (the one it was about, else the one it left selected).
class ChangeStep : public QUndoCommand
{
public:
    ChangeStep(Form1& form, const QString& what, RowChange change, std::optional<ScheduleId> selectedBefore,
               std::optional<ScheduleId> selectedAfter)
        : QUndoCommand(what),
          m_form(form),
          m_change(std::move(change)),
          m_selectedBefore(std::move(selectedBefore)),
          m_selectedAfter(std::move(selectedAfter))
    {
        for (qint64 id : m_change.schedules())
            m_about << ScheduleId(id);
    }

    // Pushing runs redo(): the command has made the change already.
    void redo() override
    {
        if (std::exchange(m_pushed, false))
            return;
        replay("Redo", QStringLiteral("make again"), m_selectedAfter, [this] { m_change.redo(m_form.scheduleDb()); });
    }

    void undo() override
    {
        replay("Undo", QStringLiteral("undo"), m_selectedBefore, [this] { m_change.undo(m_form.scheduleDb()); });
    }

private:
    // A step that cannot be replayed changed nothing; it leaves the history,
    // which stays true to the database.
    template <class Replay>
    void replay(const char* procedure, const QString& verb, const std::optional<ScheduleId>& selected, Replay&& apply)
    {
        Procedure p(m_form.prompts(), &m_form, location("Form1", procedure));
        const bool done = p.step(100, [&] {
            try {
                apply();
            } catch (const std::exception& e) {
                setObsolete(true);
                throw Failure(QStringLiteral("Cannot %1 %2: %3 Nothing was changed, and the step is taken off the "
                                             "list of changes.")
                                  .arg(verb, text(), describe(e)));
            }
        });
        if (!done)
            return;
        QList<ScheduleId> candidates = m_about;
        if (selected)
            candidates << *selected;
        p.step(102, [&] { m_form.showSchedule(candidates); });
    }

    Form1& m_form;
    RowChange m_change;
    QList<ScheduleId> m_about;
    std::optional<ScheduleId> m_selectedBefore;
    std::optional<ScheduleId> m_selectedAfter;
    bool m_pushed = true;
};

QString actionText(const QString& verb, const QString& what)
{
    return what.isEmpty() ? verb : verb + QLatin1Char(' ') + what;
}

} // namespace

UndoHistory::UndoHistory(Form1& form)
    : QObject(&form), m_form(form), m_stack(new QUndoStack(this)), m_undo(new QAction(this)), m_redo(new QAction(this))
{
    m_undo->setObjectName(QStringLiteral("UndoAction"));
    m_redo->setObjectName(QStringLiteral("RedoAction"));
    m_undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    m_redo->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    const auto update = [this] {
        m_undo->setText(actionText(QStringLiteral("Undo"), m_stack->undoText()));
        m_undo->setEnabled(m_stack->canUndo());
        m_redo->setText(actionText(QStringLiteral("Redo"), m_stack->redoText()));
        m_redo->setEnabled(m_stack->canRedo());
    };
    update();
    connect(m_stack, &QUndoStack::indexChanged, this, update);
    connect(m_stack, &QUndoStack::canUndoChanged, this, update);
    connect(m_stack, &QUndoStack::canRedoChanged, this, update);
    // A step dropped on the way changes the texts without a signal.
    connect(m_undo, &QAction::triggered, this, [this, update] {
        m_stack->undo();
        update();
    });
    connect(m_redo, &QAction::triggered, this, [this, update] {
        m_stack->redo();
        update();
    });
}

void UndoHistory::record(const QString& what, const std::function<void()>& command)
{
    if (!m_form.hasScheduleDb()) {
        command();
        return;
    }
    const std::optional<ScheduleId> before = m_form.selectedScheduleIdOrNone();
    ChangeRecorder recorder(m_form.scheduleDb());
    command();
    RowChange change = recorder.finish();
    if (change.isEmpty())
        return;
    m_stack->push(new ChangeStep(m_form, what, std::move(change), before, m_form.selectedScheduleIdOrNone()));
}

} // namespace quorvane
