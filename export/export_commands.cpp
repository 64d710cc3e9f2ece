// The grid saved as a picture and exported as a workbook.
#include "app/app_info.h"
#include "app/form1.h"
#include "app/reporting.h"
#include "export/spreadsheet.h"
#include "store/failure.h"
#include "timetable/grid.h"
#include "timetable/grid_view.h"

#include <QImageWriter>
#include <QSaveFile>

namespace quorvane {

namespace {

constexpr int kSaveDialogFlags = 2621953;

// Statements 100 to 118, shared by both exports: set the save dialog up anew,
// show it, and ask before replacing a file. The target, or an empty text to stop.
QString chooseTarget(Form1& form, Procedure& p, SaveFileRequest& dialog, const QString& fileName,
                     const QString& filter)
{
    p.step(100, [&] { dialog.fileName = fileName; });
    p.step(102, [&] { dialog.flags = kSaveDialogFlags; });
    p.step(104, [&] { dialog.filter = filter; });
    QString chosen;
    QString target;
    p.step(106, [&] { chosen = form.prompts().saveFileName(&form, dialog); });
    p.step(108, [&] { target = chosen; });
    if (p.test(110, [&] { return target.isEmpty(); }))
        return QString();
    bool yes = false;
    if (p.test(112, [&] { return FileExists(target); })) {
        p.step(114, [&] {
            yes = askYesNo(form.prompts(), &form,
                           QStringLiteral("Are you sure you wish to overwrite ") + target + QStringLiteral(" ?"),
                           applicationTitle());
        });
    } else {
        p.step(116, [&] { yes = true; });
    }
    if (p.test(118, [&] { return !yes; }))
        return QString();
    return target;
}

// The picture goes through a temporary file, so a failed write leaves the
// file it was to replace whole.
void saveBitmap(const QImage& picture, const QString& fileName)
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        throw Failure(file.errorString());
    QImageWriter writer(&file, "bmp");
    if (!writer.write(picture))
        throw Failure(writer.errorString());
    if (!file.commit())
        throw Failure(file.errorString());
}

} // namespace

void Form1::PushButton7_Click()
{
    Procedure p(m_prompts, this, location("Form1", "PushButton7_Click"));
    const QString target =
        chooseTarget(*this, p, m_commonDialog, QStringLiteral("Schedule.bmp"), QStringLiteral("BMP (*.bmp)|*.bmp|"));
    if (target.isEmpty())
        return;
    BusyPointer busy(*m_pointer);
    p.step(120, [] {});
    // "Done." only follows a file that was really written.
    if (p.step(122, [&] { saveBitmap(m_gridView->renderWhole(), target); }))
        p.step(124, [&] { showMessage(m_prompts, this, QStringLiteral("Done.")); });
    p.step(126, [] {});
}

void Form1::PushButton8_Click()
{
    Procedure p(m_prompts, this, location("Form1", "PushButton8_Click"));
    const QString target = chooseTarget(*this, p, m_commonDialog, QStringLiteral("Schedule.xls"),
                                        QStringLiteral("Excel files (*.xls)|*.xls|"));
    if (target.isEmpty())
        return;
    BusyPointer busy(*m_pointer);
    p.step(120, [] {});
    std::unique_ptr<SpreadsheetApplication> excel;
    Workbook* workbook = nullptr;
    // Without an application or a workbook every later statement would fail
    // in turn: one box, and the export ends.
    if (!p.step(122, [&] {
            const QString id = QStringLiteral("excel.application");
            excel = m_spreadsheetFactory ? m_spreadsheetFactory(id) : SpreadsheetApplication::create(id);
            if (!excel)
                throw Failure(QStringLiteral("ActiveX component can't create object"));
        }))
        return;
    p.step(124, [&] { excel->setVisible(false); });
    p.step(126, [&] { excel->setDisplayAlerts(false); });
    if (!p.step(128, [&] { workbook = &excel->addWorkbook(); })) {
        excel->quit();
        return;
    }
    p.step(130, [&] { workbook->sheets(1).setCellValue(1, 1, selectedScheduleName()); });
    int rows = 0;
    p.step(132, [&] { rows = m_grid->rows(); });
    for (int r = 0; r < rows; ++r) {
        int cols = 0;
        p.step(134, [&] { cols = m_grid->cols(); });
        for (int c = 0; c < cols; ++c) {
            p.step(136, [&] { workbook->sheets(1).setCellValue(r + 2, c + 1, m_grid->text(r, c)); });
            p.step(138, [] {});
        }
        p.step(140, [] {});
    }
    const bool saved = p.step(142, [&] { workbook->saveAs(target, FileFormat::WorkbookNormal); });
    p.step(144, [&] { excel->setDisplayAlerts(true); });
    // Quitting closes an unsaved workbook without asking anything.
    p.step(146, [&] { excel->quit(); });
    if (saved)
        p.step(148, [&] { showMessage(m_prompts, this, QStringLiteral("Done.")); });
    p.step(150, [] {});
}

} // namespace quorvane
