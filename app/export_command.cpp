// `quorvane --export`: a schedule written to a file without a window.
#include "app/export_command.h"

#include "app/command_line.h"
#include "app/form1.h"
#include "base/failure.h"
#include "export/calendar_file.h"
#include "export/picture_file.h"
#include "export/save_file.h"
#include "export/spreadsheet.h"
#include "store/database_location.h"
#include "timetable/grid.h"

#include <QFileInfo>

namespace quorvane {

namespace {

// The window's conversation, held back: the first box becomes the line that
// explains the failure; questions are answered No, dialogs cancelled.
class HeldBackPrompts : public Prompts
{
public:
    Answer messageBox(QWidget*, const MessageBoxRequest& request) override
    {
        if (m_first.isEmpty()) {
            // An error box says what failed on its first line, then where.
            const QString text =
                request.icon == Icon::Warning ? request.text.section(QStringLiteral("\r\n"), 0, 0) : request.text;
            m_first = text.simplified();
            if (m_first.isEmpty())
                m_first = QStringLiteral("the schedule could not be read");
        }
        return request.buttons == Buttons::YesNo ? Answer::No : Answer::Ok;
    }
    std::optional<QString> inputBox(QWidget*, const InputBoxRequest&) override { return std::nullopt; }
    QString saveFileName(QWidget*, const SaveFileRequest&) override { return QString(); }
    void showModal(QDialog&) override {}

    const QString& first() const { return m_first; }

private:
    QString m_first;
};

ExportOutcome failed(const QString& why)
{
    return {1, QStringLiteral("quorvane: ") + why};
}

void writeWorkbook(const TimetableGrid& grid, const QString& name, const QString& fileName)
{
    Workbook workbook;
    Worksheet& sheet = workbook.sheets(1);
    sheet.setCellValue(1, 1, name);
    for (int r = 0; r < grid.rows(); ++r)
        for (int c = 0; c < grid.cols(); ++c)
            sheet.setCellValue(r + 2, c + 1, grid.text(r, c));
    sheet.setUpForPrinting(grid.rows() + 1, grid.cols());
    saveFileAtomically(fileName, workbookFileBytes(sheet, fileName));
}

} // namespace

ExportOutcome runExport(const CommandLine& line, const QString& programFolder)
{
    const DatabaseLocation location = locateDatabase(programFolder, MakeUserDatabase::Never);
    if (!location.failure.isEmpty())
        return failed(location.failure);
    const QString database = location.folder + QStringLiteral("/dbSchedules.mdb");
    if (!QFileInfo(database).isFile())
        return failed(database + QStringLiteral(" not found"));
    HeldBackPrompts prompts;
    Form1 form({programFolder, location.folder}, prompts);
    if (!form.Form_Load() || !prompts.first().isEmpty())
        return failed(prompts.first());

    int row = 0;
    for (int r = 1; r <= form.scheduleCount() && row == 0; ++r)
        if (!line.schedule || form.scheduleName(r) == *line.schedule)
            row = r;
    if (row == 0)
        return failed(line.schedule ? QStringLiteral("no schedule is named \"%1\"").arg(*line.schedule)
                                    : QStringLiteral("%1 holds no schedule").arg(database));
    // Selecting a schedule draws it, as a click would.
    form.selectSchedule(row);
    if (!prompts.first().isEmpty())
        return failed(prompts.first());

    const QString& file = line.exportFile;
    const QString refusal = exportRefusal(file, form.databasePath());
    if (!refusal.isEmpty())
        return failed(QStringLiteral("cannot write %1: %2").arg(file, refusal));
    const QString name = form.scheduleName(row);
    try {
        switch (exportKindOf(file).value_or(ExportKind::Picture)) {
        case ExportKind::Picture:
            saveTimetablePicture(form.grid(), name, file);
            break;
        case ExportKind::Workbook:
            writeWorkbook(form.grid(), name, file);
            break;
        case ExportKind::Calendar:
            saveScheduleCalendar(form.scheduleDb(), form.selectedScheduleId(), name, line.weeks, file);
            break;
        }
    } catch (const std::exception& e) {
        return failed(QStringLiteral("cannot write %1: %2").arg(file, describe(e)));
    }
    return {};
}

} // namespace quorvane
