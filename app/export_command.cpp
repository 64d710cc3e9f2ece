// `quorvane --export`: a schedule written to a file without a window.
#include "app/export_command.h"

#include "app/command_line.h"
#include "base/failure.h"
#include "base/reporting.h"
#include "domain/repository.h"
#include "export/timetable_export.h"
#include "export/timetable_sheet.h"
#include "export/workbook.h"
#include "store/connection.h"
#include "store/database_location.h"
#include "store/schema.h"
#include "timetable/fill.h"
#include "timetable/grid.h"

namespace quorvane {

namespace {

// The first failure of a run without a window, as its one line.
class FirstFailure
{
public:
    Procedure procedure()
    {
        return Procedure([this](int, const QString& description) {
            if (m_text.isEmpty())
                m_text = description.simplified();
            if (m_text.isEmpty())
                m_text = QStringLiteral("the schedule could not be read");
        });
    }
    const QString& text() const { return m_text; }

private:
    QString m_text;
};

} // namespace

CommandOutcome runExport(const CommandLine& line, const QString& programFolder)
{
    const ExistingDatabase found = existingDatabase(programFolder, MakeUserDatabase::Never);
    if (!found.failure.isEmpty())
        return commandFailure(found.failure);
    const QString& database = found.path;
    // Read only: the database is not upgraded as the window's start-up does.
    Connection db;
    Repository courses(db);
    std::optional<Schedule> schedule;
    try {
        db.open(database);
        requireTimetableTables(db);
        schedule = courses.findSchedule(line.schedule);
    } catch (const std::exception& e) {
        return commandFailure(describe(e).simplified());
    }
    if (!schedule)
        return commandFailure(line.schedule ? QStringLiteral("no schedule is named \"%1\"").arg(*line.schedule)
                                            : QStringLiteral("%1 holds no schedule").arg(database));

    // The grid as the window draws it; a course it would report fails the
    // export, whatever the file's format.
    FirstFailure failure;
    Procedure p = failure.procedure();
    TimetableGrid grid;
    setUpTimetable(grid, p, {});
    fillTimetable(grid, courses, schedule->id, p, {});
    if (!failure.text().isEmpty())
        return commandFailure(failure.text());

    const QString& file = line.exportFile;
    const QString refusal = exportRefusal(file, database);
    if (!refusal.isEmpty())
        return commandFailure(QStringLiteral("cannot write %1: %2").arg(file, refusal));
    try {
        const ExportKind kind = exportKindOf(file).value_or(ExportKind::Picture);
        Workbook workbook;
        if (kind == ExportKind::Workbook) {
            fillTimetableSheet(workbook.sheets(1), schedule->name, grid, p);
            if (!failure.text().isEmpty())
                throw Failure(failure.text());
        }
        saveTimetable(kind, file, grid, schedule->name, &workbook,
                      {&courses, schedule->id, exportTerm(line, QDate::currentDate())});
    } catch (const std::exception& e) {
        return commandFailure(QStringLiteral("cannot write %1: %2").arg(file, describe(e)));
    }
    return {};
}

} // namespace quorvane
