// The in-process spreadsheet application.
#include "export/spreadsheet.h"

namespace quorvane {

std::unique_ptr<SpreadsheetApplication> SpreadsheetApplication::create(const QString& programmaticId)
{
    if (programmaticId.trimmed().compare(QLatin1String("excel.application"), Qt::CaseInsensitive) != 0)
        throw SpreadsheetFailure(
            QStringLiteral("No spreadsheet application is available as \"%1\".").arg(programmaticId));
    return std::unique_ptr<SpreadsheetApplication>(new SpreadsheetApplication());
}

SpreadsheetApplication::~SpreadsheetApplication() = default;

void SpreadsheetApplication::checkRunning() const
{
    if (m_quit)
        throw SpreadsheetFailure(QStringLiteral("The spreadsheet application has quit."));
}

void SpreadsheetApplication::setVisible(bool)
{
    checkRunning();
}

void SpreadsheetApplication::setDisplayAlerts(bool)
{
    checkRunning();
}

Workbook& SpreadsheetApplication::addWorkbook()
{
    checkRunning();
    m_workbooks.push_back(std::make_unique<Workbook>());
    return *m_workbooks.back();
}

void SpreadsheetApplication::quit()
{
    for (const auto& workbook : m_workbooks)
        workbook->close();
    m_quit = true;
}

} // namespace quorvane
