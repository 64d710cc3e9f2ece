#pragma once

#include "base/prompts.h"

#include <QDialog>
#include <QList>
#include <QString>
#include <functional>
#include <optional>

namespace quorvane::testing {

// The prompt double: records every request and answers from queues set by
// the test before it triggers an action. An unscripted box answers Ok/No,
// an unscripted input box Cancel, an unscripted file dialog Cancel, and an
// unscripted modal dialog is closed as with its close box.
class ScriptedPrompts : public Prompts
{
public:
    struct Shown
    {
        QString kind; // "message", "input", "choice", "save", "open", "dialog"
        MessageBoxRequest message;
        InputBoxRequest input;
        ChoiceRequest choice;
        SaveFileRequest save; // of the save and the open dialog
        QString dialogName;
    };

    Answer messageBox(QWidget* parent, const MessageBoxRequest& request) override;
    std::optional<QString> inputBox(QWidget* parent, const InputBoxRequest& request) override;
    std::optional<int> choice(QWidget* parent, const ChoiceRequest& request) override;
    QString saveFileName(QWidget* parent, const SaveFileRequest& request) override;
    QString openFileName(QWidget* parent, const SaveFileRequest& request) override;
    void showModal(QDialog& dialog) override;

    void answer(Answer a) { m_answers.append(a); }
    void type(const QString& text) { m_inputs.append(text); }
    void cancelInput() { m_inputs.append(std::nullopt); }
    // The next pick from a list, by position; unscripted, it is cancelled.
    void pick(int position) { m_picks.append(position); }
    void chooseFile(const QString& name) { m_files.append(name); }
    // Acts on the dialog while it is shown; the action clicks its buttons.
    void onDialog(std::function<void(QDialog&)> action) { m_dialogActions.append(std::move(action)); }

    QList<Shown> shown;
    QList<MessageBoxRequest> messages() const;
    QStringList messageTexts() const;
    QList<MessageBoxRequest> errors() const; // the "Application Error" boxes
    void clear() { shown.clear(); }

private:
    QList<Answer> m_answers;
    QList<std::optional<QString>> m_inputs;
    QList<int> m_picks;
    QList<QString> m_files;
    QList<std::function<void(QDialog&)>> m_dialogActions;
};

} // namespace quorvane::testing
