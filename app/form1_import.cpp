// A calendar file made into a new schedule: chosen with the open dialog,
// dropped on the window, or named on the command line.
#include "app/form1.h"
#include "app/undo_history.h"
#include "base/failure.h"
#include "base/reporting.h"
#include "domain/calendar_import.h"
#include "domain/repository.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

namespace quorvane {

namespace {

// The most skipped events the report box lists: a box taller than the
// screen could not be read or closed. The command line prints them all.
constexpr int kShownSkipped = 20;

// The one local .ics file a drag carries, or an empty text.
QString droppedCalendar(const QMimeData* data)
{
    if (!data || !data->hasUrls() || data->urls().size() != 1)
        return QString();
    const QUrl url = data->urls().constFirst();
    if (!url.isLocalFile() || !url.toLocalFile().endsWith(QLatin1String(".ics"), Qt::CaseInsensitive))
        return QString();
    return url.toLocalFile();
}

} // namespace

void Form1::ImportCalendar_Click()
{
    const QString file = m_prompts.openFileName(this, {QString(), 0, QStringLiteral("iCalendar (*.ics)|*.ics|")});
    if (!file.isEmpty())
        ImportCalendar(file);
}

bool Form1::ImportCalendar(const QString& fileName)
{
    Procedure p(m_prompts, this, location("Form1", "ImportCalendar"));
    CalendarImport import;
    try {
        import = importCalendarFile(fileName);
    } catch (const std::exception& e) {
        QString why = describe(e);
        if (!why.isEmpty())
            why[0] = why.at(0).toUpper();
        showMessage(m_prompts, this, why + QLatin1Char('.'));
        return false;
    }
    const QString wanted = importedScheduleName(import, fileName);
    if (import.courses.isEmpty()) {
        showMessage(m_prompts, this, importReport(import, wanted, kShownSkipped).trimmed());
        return false;
    }
    std::optional<Schedule> stored;
    m_history->record(QStringLiteral("Import Calendar"), [&] {
        // The list reloaded and the new schedule drawn before the report.
        SelectionFollower follower(*this);
        BusyPointer busy(*m_pointer);
        if (p.step(100, [&] { stored = repository().importSchedule(wanted, import.courses); }))
            p.step(102, [&] { showSchedule({stored->id}); });
    });
    if (!stored)
        return false;
    showMessage(m_prompts, this, importReport(import, stored->name, kShownSkipped).trimmed());
    return true;
}

void Form1::dragEnterEvent(QDragEnterEvent* event)
{
    if (!droppedCalendar(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void Form1::dropEvent(QDropEvent* event)
{
    const QString file = droppedCalendar(event->mimeData());
    if (file.isEmpty())
        return;
    event->acceptProposedAction();
    ImportCalendar(file);
}

} // namespace quorvane
