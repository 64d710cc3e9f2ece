#include "base/reporting.h"

#include "base/app_info.h"
#include "base/failure.h"

namespace quorvane {

QString location(const char* window, const char* procedure)
{
    return QStringLiteral("in Tindrel2021/08/31.") + QLatin1String(window) + QLatin1Char('.') +
           QLatin1String(procedure) + QLatin1Char(' ');
}

QString errorMessage(const QString& description, const QString& location, int statement)
{
    return description + QStringLiteral("\r\n") + location + QStringLiteral("at line ") + QString::number(statement) +
           QStringLiteral("\r\r") + QStringLiteral("Please email screenshot of this message to ") + kSupportAddress;
}

void Report(Prompts& prompts, QWidget* parent, const QString& location, int statement, const QString& description)
{
    prompts.messageBox(parent, {errorMessage(description, location, statement), QStringLiteral("Application Error"),
                                Buttons::Ok, Icon::Warning, Answer::Ok});
}

void Procedure::report(const std::exception& e)
{
    report(describe(e));
}

void Procedure::reportUnknown()
{
    report(QStringLiteral("Unexpected failure"));
}

void Procedure::report(const QString& description)
{
    if (m_sink)
        m_sink(m_current, description);
    else
        Report(*m_prompts, m_parent, m_location, m_current, description);
}

} // namespace quorvane
