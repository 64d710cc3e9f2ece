#include "base/prompts.h"

#include "base/app_info.h"

#include <QStringList>

namespace quorvane {

void showMessage(Prompts& prompts, QWidget* parent, const QString& text)
{
    prompts.messageBox(parent, {text, applicationTitle(), Buttons::Ok, Icon::None, Answer::Ok});
}

bool askYesNo(Prompts& prompts, QWidget* parent, const QString& text, const QString& title)
{
    return prompts.messageBox(parent, {text, title, Buttons::YesNo, Icon::None, Answer::Yes}) == Answer::Yes;
}

QString qtFileFilter(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].isEmpty())
            continue;
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        // Qt reads the patterns from the parentheses of the description.
        if (parts[i].contains(QLatin1Char('(')))
            filters << parts[i];
        else
            filters << parts[i] + QStringLiteral(" (") + patterns + QLatin1Char(')');
    }
    return filters.join(QStringLiteral(";;"));
}

} // namespace quorvane
