#include "tests/support/scripted_prompts.h"

namespace quorvane::testing {

Answer ScriptedPrompts::messageBox(QWidget*, const MessageBoxRequest& request)
{
    Shown s;
    s.kind = QStringLiteral("message");
    s.message = request;
    shown.append(s);
    if (!m_answers.isEmpty())
        return m_answers.takeFirst();
    return request.buttons == Buttons::YesNo ? Answer::No : Answer::Ok;
}

std::optional<QString> ScriptedPrompts::inputBox(QWidget*, const InputBoxRequest& request)
{
    Shown s;
    s.kind = QStringLiteral("input");
    s.input = request;
    shown.append(s);
    if (!m_inputs.isEmpty())
        return m_inputs.takeFirst();
    return std::nullopt;
}

std::optional<int> ScriptedPrompts::choice(QWidget*, const ChoiceRequest& request)
{
    Shown s;
    s.kind = QStringLiteral("choice");
    s.choice = request;
    shown.append(s);
    if (!m_picks.isEmpty())
        return m_picks.takeFirst();
    return std::nullopt;
}

QString ScriptedPrompts::saveFileName(QWidget*, const SaveFileRequest& request)
{
    Shown s;
    s.kind = QStringLiteral("save");
    s.save = request;
    shown.append(s);
    if (!m_files.isEmpty())
        return m_files.takeFirst();
    return QString();
}

QString ScriptedPrompts::openFileName(QWidget*, const SaveFileRequest& request)
{
    Shown s;
    s.kind = QStringLiteral("open");
    s.save = request;
    shown.append(s);
    if (!m_files.isEmpty())
        return m_files.takeFirst();
    return QString();
}

void ScriptedPrompts::showModal(QDialog& dialog)
{
    Shown s;
    s.kind = QStringLiteral("dialog");
    s.dialogName = dialog.objectName();
    shown.append(s);
    dialog.show();
    if (!m_dialogActions.isEmpty())
        m_dialogActions.takeFirst()(dialog);
    if (dialog.isVisible())
        dialog.close();
}

QList<MessageBoxRequest> ScriptedPrompts::messages() const
{
    QList<MessageBoxRequest> result;
    for (const Shown& s : shown)
        if (s.kind == QLatin1String("message"))
            result.append(s.message);
    return result;
}

QStringList ScriptedPrompts::messageTexts() const
{
    QStringList result;
    for (const MessageBoxRequest& m : messages())
        result.append(m.text);
    return result;
}

QList<MessageBoxRequest> ScriptedPrompts::errors() const
{
    QList<MessageBoxRequest> result;
    for (const MessageBoxRequest& m : messages())
        if (m.title == QLatin1String("Application Error"))
            result.append(m);
    return result;
}

} // namespace quorvane::testing
