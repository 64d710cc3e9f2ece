#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QAction;
class QUndoStack;

namespace quorvane {

class Form1;

// The changes made in the main window during this run, each one step to take
// back (Ctrl+Z) or make again (Ctrl+Shift+Z, Ctrl+Y). The history ends with
// the run.
class UndoHistory : public QObject
{
    Q_OBJECT
public:
    explicit UndoHistory(Form1& form);

    // Runs one command of the window and keeps what it changed, if anything,
    // as one step called `what` ("Delete Schedule").
    void record(const QString& what, const std::function<void()>& command);

    // "Undo <what>" and "Redo <what>", greyed when there is nothing to do;
    // their shortcuts work in the window whatever control has the focus.
    QAction* undoAction() const { return m_undo; }
    QAction* redoAction() const { return m_redo; }
    QUndoStack& stack() const { return *m_stack; }

private:
    Form1& m_form;
    QUndoStack* m_stack;
    QAction* m_undo;
    QAction* m_redo;
};

} // namespace quorvane
