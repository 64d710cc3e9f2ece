// `quorvane --import`: a calendar file made into a new schedule without a window.
#include "app/import_command.h"

#include "app/command_line.h"
#include "base/failure.h"
#include "domain/calendar_import.h"
#include "domain/repository.h"
#include "store/connection.h"
#include "store/database_location.h"
#include "store/schema.h"

namespace quorvane {

CommandOutcome runImport(const CommandLine& line, const QString& programFolder)
{
    const auto failed = [](const QString& why, const QString& report = QString()) {
        return commandFailure(why.simplified(), report);
    };
    // The file first: one that cannot be imported leaves the database untouched.
    CalendarImport import;
    try {
        import = importCalendarFile(line.importFile);
    } catch (const std::exception& e) {
        return failed(describe(e));
    }
    const QString wanted = line.schedule.value_or(importedScheduleName(import, line.importFile));
    if (import.courses.isEmpty())
        return failed(QStringLiteral("no course could be made from %1").arg(line.importFile),
                      importReport(import, wanted));

    const ExistingDatabase found = existingDatabase(programFolder);
    if (!found.failure.isEmpty())
        return failed(found.failure);
    const QString& database = found.path;
    try {
        Connection db;
        db.open(database);
        requireTimetableTables(db);
        upgradeSchema(db);
        const Schedule stored = Repository(db).importSchedule(wanted, import.courses);
        return {0, importReport(import, stored.name), QString()};
    } catch (const std::exception& e) {
        return failed(describe(e));
    }
}

} // namespace quorvane
