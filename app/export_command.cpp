// `quorvane --export`: a schedule written to a file without a window.
#include "app/export_command.h"

#include "app/command_line.h"
#include "base/failure.h"
#include "base/reporting.h"
#include "export/calendar_file.h"
#include "export/picture_file.h"
#include "export/save_file.h"
#include "export/spreadsheet.h"
#include "export/timetable_sheet.h"
#include "store/connection.h"
#include "store/database_location.h"
#include "store/schema.h"
#include "store/statements.h"
#include "timetable/fill.h"
#include "timetable/grid.h"

#include <QFileInfo>

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

struct Schedule
{
    QString id;
    QString name;
};

// The schedule named `name`, or the first one in list order; nothing when
// there is none.
std::optional<Schedule> findSchedule(const Connection& db, const std::optional<QString>& name)
{
    Recordset rs;
    rs.open(sql::selectSchedules(), db);
    std::optional<int> id;
    std::optional<int> description;
    for (; !rs.eof(); rs.moveNext()) {
        if (!id) {
            id = rs.column(QStringLiteral("id"));
            description = rs.column(QStringLiteral("Description"));
        }
        Schedule schedule{rs.text(*id), rs.text(*description)};
        if (!name || schedule.name == *name)
            return schedule;
    }
    return std::nullopt;
}

} // namespace

CommandOutcome runExport(const CommandLine& line, const QString& programFolder)
{
    const DatabaseLocation location = locateDatabase(programFolder, MakeUserDatabase::Never);
    if (!location.failure.isEmpty())
        return commandFailure(location.failure);
    const QString database = location.file();
    if (!QFileInfo(database).isFile())
        return commandFailure(database + QStringLiteral(" not found"));
    // Read only: the database is not upgraded as the window's start-up does.
    Connection db;
    std::optional<Schedule> schedule;
    try {
        db.open(database);
        requireTimetableTables(db);
        schedule = findSchedule(db, line.schedule);
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
    setUpTimetable(grid, p);
    fillTimetable(grid, db, schedule->id, p);
    if (!failure.text().isEmpty())
        return commandFailure(failure.text());

    const QString& file = line.exportFile;
    const QString refusal = exportRefusal(file, database);
    if (!refusal.isEmpty())
        return commandFailure(QStringLiteral("cannot write %1: %2").arg(file, refusal));
    try {
        switch (exportKindOf(file).value_or(ExportKind::Picture)) {
        case ExportKind::Picture:
            saveTimetablePicture(grid, schedule->name, file);
            break;
        case ExportKind::Workbook: {
            Workbook workbook;
            Worksheet& sheet = workbook.sheets(1);
            fillTimetableSheet(sheet, schedule->name, grid, p);
            if (!failure.text().isEmpty())
                throw Failure(failure.text());
            setUpTimetableSheet(sheet, grid);
            workbook.saveAs(file, FileFormat::WorkbookNormal);
            break;
        }
        case ExportKind::Calendar:
            saveScheduleCalendar(db, schedule->id, schedule->name, exportTerm(line, QDate::currentDate()), file);
            break;
        }
    } catch (const std::exception& e) {
        return commandFailure(QStringLiteral("cannot write %1: %2").arg(file, describe(e)));
    }
    return {};
}

} // namespace quorvane
