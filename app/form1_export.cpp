// The grid saved as a picture and exported as a workbook or a calendar.
#include "app/calendar_term_dialog.h"
#include "app/form1.h"
#include "base/app_info.h"
#include "base/failure.h"
#include "base/reporting.h"
#include "export/spreadsheet.h"
#include "export/timetable_export.h"
#include "export/timetable_sheet.h"
#include "timetable/grid.h"

namespace quorvane {

namespace {

constexpr int kSaveDialogFlags = 2621953;

// Statements 100 to 118, shared by both exports: set the save dialog up anew,
// show it, and ask before replacing a file. The target, or an empty text to
// stop. Only showing the dialog (106) and asking (114) can fail; setting the
// dialog's fields (100 to 104), taking its answer (108) and the tests (110,
// 112, 116, 118) carry no statement of their own.
QString chooseTarget(Form1& form, Procedure& p, SaveFileRequest& dialog, const QString& fileName, const QString& filter)
{
    dialog.fileName = fileName;
    dialog.flags = kSaveDialogFlags;
    dialog.filter = filter;
    QString target;
    p.step(106, [&] { target = form.prompts().saveFileName(&form, dialog); });
    if (target.isEmpty())
        return QString();
    // Some files an export must never replace: they are refused, with
    // nothing written, before any question.
    const QString refusal = exportRefusal(target, form.databasePath());
    if (!refusal.isEmpty()) {
        p.step(108, [&] {
            showMessage(form.prompts(), &form, QStringLiteral("Cannot save to %1: %2.").arg(target, refusal));
        });
        return QString();
    }
    if (!FileExists(target))
        return target;
    // A question that could not be asked counts as No.
    bool yes = false;
    p.step(114, [&] {
        yes = askYesNo(form.prompts(), &form,
                       QStringLiteral("Are you sure you wish to overwrite ") + target + QStringLiteral(" ?"),
                       applicationTitle());
    });
    return yes ? target : QString();
}

// The term of the last calendar exported in this run.
std::optional<CalendarTerm> lastCalendarTerm;

// The term of a calendar export, asked in "Calendar Export"; nothing when
// the user cancelled.
std::optional<CalendarTerm> askCalendarTerm(Form1& form)
{
    CalendarTermDialog dialog(lastCalendarTerm.value_or(defaultCalendarTerm(QDate::currentDate())), form.prompts(),
                              &form);
    form.prompts().showModal(dialog);
    if (dialog.result() != QDialog::Accepted)
        return std::nullopt;
    lastCalendarTerm = dialog.term();
    return dialog.term();
}

} // namespace

// The picture is drawn for paper from the grid's texts; its format follows
// the extension typed (a bitmap for any other), a PDF page is headed by the
// selected schedule's name.
void Form1::PushButton7_Click()
{
    Procedure p(m_prompts, this, location("Form1", "PushButton7_Click"));
    const QString target = chooseTarget(*this, p, m_commonDialog, QStringLiteral("Schedule.bmp"),
                                        QStringLiteral("BMP (*.bmp)|*.bmp|PNG (*.png)|*.png|PDF (*.pdf)|*.pdf|"));
    if (target.isEmpty())
        return;
    // 120 and 126: the busy pointer, for the rest of the command.
    BusyPointer busy(*m_pointer);
    // "Done." only follows a file that was really written.
    if (p.step(122, [&] {
            const QString title = selectedScheduleIdOrNone() ? selectedScheduleName() : QString();
            saveTimetable(ExportKind::Picture, target, *m_grid, title, nullptr, {});
        }))
        p.step(124, [&] { showMessage(m_prompts, this, QStringLiteral("Done.")); });
}

// The workbook is filled cell by cell, set up for printing and saved in the
// format the extension asks for (.xlsx, .csv, an Excel 97-2003 workbook for
// any other); an .ics file is instead the selected schedule's calendar, read
// from the database.
void Form1::PushButton8_Click()
{
    ExportWorkbook(QStringLiteral("Schedule.xls"),
                   QStringLiteral("Excel files (*.xls)|*.xls|Excel workbook "
                                  "(*.xlsx)|*.xlsx|CSV (*.csv)|*.csv|iCalendar "
                                  "(*.ics)|*.ics|"),
                   "PushButton8_Click");
}

// The same export, offered for the calendar first.
void Form1::ExportCalendar_Click()
{
    ExportWorkbook(QStringLiteral("Schedule.ics"),
                   QStringLiteral("iCalendar (*.ics)|*.ics|Excel files (*.xls)|*.xls|"
                                  "Excel workbook (*.xlsx)|*.xlsx|CSV (*.csv)|*.csv|"),
                   "ExportCalendar_Click");
}

void Form1::ExportWorkbook(const QString& fileName, const QString& filter, const char* procedure)
{
    Procedure p(m_prompts, this, location("Form1", procedure));
    const QString target = chooseTarget(*this, p, m_commonDialog, fileName, filter);
    if (target.isEmpty())
        return;
    std::optional<CalendarTerm> term;
    if (exportKindOf(target) == ExportKind::Calendar && !(term = askCalendarTerm(*this)))
        return;
    // 120 and 150: the busy pointer, for the rest of the command.
    BusyPointer busy(*m_pointer);
    std::unique_ptr<SpreadsheetApplication> excel;
    Workbook* workbook = nullptr;
    // Without an application or a workbook every later statement would fail
    // in turn: one box, and the export ends.
    if (!p.step(122, [&] {
            const QString id = QStringLiteral("excel.application");
            excel = m_spreadsheetFactory(id);
            if (!excel)
                throw Failure(QStringLiteral("No spreadsheet application is available"));
        }))
        return;
    p.step(124, [&] { excel->setVisible(false); });
    p.step(126, [&] { excel->setDisplayAlerts(false); });
    if (!p.step(128, [&] { workbook = &excel->addWorkbook(); })) {
        excel->quit();
        return;
    }
    // A name that cannot be read leaves A1 empty.
    QString title;
    p.step(130, [&] { title = selectedScheduleName(); });
    fillTimetableSheet(workbook->sheets(1), title, *m_grid, p);
    const bool saved = p.step(142, [&] {
        if (term) {
            saveTimetable(ExportKind::Calendar, target, *m_grid, selectedScheduleName(), workbook,
                          {&repository(), selectedScheduleId(), *term});
            return;
        }
        saveTimetable(ExportKind::Workbook, target, *m_grid, title, workbook, {});
    });
    p.step(144, [&] { excel->setDisplayAlerts(true); });
    // Quitting closes an unsaved workbook without asking anything.
    p.step(146, [&] { excel->quit(); });
    if (saved)
        p.step(148, [&] { showMessage(m_prompts, this, QStringLiteral("Done.")); });
}

} // namespace quorvane
