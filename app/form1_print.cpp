// The grid's context menu and the keys of its commands; the print preview.
#include "app/form1.h"
#include "base/failure.h"
#include "base/reporting.h"
#include "export/timetable_picture.h"
#include "timetable/grid.h"
#include "timetable/grid_view.h"

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>

namespace quorvane {

namespace {

// A command of the grid's menu: its text, its key, and the button whose
// click it is (0 for the print preview). Keys of the grid's own commands
// (F2, Delete) act only while the grid has the focus; the others anywhere in
// the window.
struct GridCommand
{
    const char* objectName;
    const char* text;
    QKeySequence::StandardKey standardKey;
    int key;
    int button;
    bool inGridOnly;
};

// A separator before each entry whose text is empty.
constexpr GridCommand kGridCommands[] = {
    {"actionPrint", "Print\xE2\x80\xA6", QKeySequence::Print, 0, 0, false},
    {nullptr, nullptr, QKeySequence::UnknownKey, 0, 0, false},
    {"actionAddCourse", "Add Course", QKeySequence::New, 0, 3, false},
    {"actionEditCourse", "Edit Course", QKeySequence::UnknownKey, Qt::Key_F2, 6, true},
    {"actionDeleteCourse", "Delete Course", QKeySequence::UnknownKey, Qt::Key_Delete, 4, true},
    {"actionDeleteAllCourses", "Delete All Courses", QKeySequence::UnknownKey, 0, 10, false},
    {nullptr, nullptr, QKeySequence::UnknownKey, 0, 0, false},
    {"actionSaveImage", "Save Schedule As Image For Printing", QKeySequence::UnknownKey, 0, 7, false},
    {"actionExportWorkbook", "Export Schedule To Excel For Printing", QKeySequence::UnknownKey, 0, 8, false},
};

// Why a page could not be printed: for a file, the system's reason.
QString printFailure(QPrinter& printer)
{
    const QString file = printer.outputFileName();
    if (file.isEmpty())
        return QStringLiteral("The printer \"%1\" did not take the page.").arg(printer.printerName());
    QFile probe(file);
    const QString reason =
        probe.open(QIODevice::Append) ? QStringLiteral("it could not be written") : probe.errorString();
    return QStringLiteral("Cannot print to %1: %2.").arg(file, reason);
}

} // namespace

// The menu, built once; further commands are added to it in turn.
void Form1::buildGridMenu()
{
    m_gridMenu = new QMenu(this);
    m_gridMenu->setObjectName(QStringLiteral("gridMenu"));
    for (const GridCommand& command : kGridCommands) {
        if (!command.text) {
            m_gridMenu->addSeparator();
            continue;
        }
        auto* action = new QAction(QString::fromUtf8(command.text), this);
        action->setObjectName(QLatin1String(command.objectName));
        if (command.key)
            action->setShortcut(QKeySequence(command.key));
        else if (command.standardKey != QKeySequence::UnknownKey)
            action->setShortcut(QKeySequence(command.standardKey));
        action->setShortcutContext(command.inGridOnly ? Qt::WidgetWithChildrenShortcut : Qt::WindowShortcut);
        (command.inGridOnly ? static_cast<QWidget*>(m_gridView) : this)->addAction(action);
        m_gridMenu->addAction(action);
        const int button = command.button;
        if (button)
            connect(action, &QAction::triggered, this, [this, button] { pushButton(button)->click(); });
        else
            connect(action, &QAction::triggered, this, &Form1::PrintPreview);
    }
    m_gridView->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_gridView, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        // The Menu key opens it at the current cell.
        const QRect cell = m_gridView->visualRect(m_gridView->currentIndex());
        const QPoint where = m_gridView->viewport()->rect().contains(at) ? at : cell.center();
        m_gridMenu->popup(m_gridView->viewport()->mapToGlobal(where));
    });
}

// Steps 100 (the preview) and 102 (drawing the page, for the preview or the
// printer).
void Form1::PrintPreview()
{
    Procedure p(m_prompts, this, location("Form1", "PrintPreview"));
    p.step(100, [&] {
        QPrintPreviewDialog preview(this);
        preview.setObjectName(QStringLiteral("PrintPreview"));
        QPrinter& printer = *preview.printer();
        printer.setPageOrientation(QPageLayout::Landscape);
        connect(&preview, &QPrintPreviewDialog::paintRequested, this, [this, &preview](QPrinter* target) {
            Procedure draw(m_prompts, &preview, location("Form1", "PrintPreview"));
            draw.step(102, [&] {
                const QString title = selectedScheduleIdOrNone() ? selectedScheduleName() : QString();
                target->setDocName(title);
                printSchedule(*target, title);
            });
        });
        m_prompts.showModal(preview);
    });
}

void Form1::printSchedule(QPrinter& printer, const QString& title) const
{
    printer.setResolution(kPageDotsPerInch);
    if (!drawTimetablePage(printer, *m_grid, title))
        throw Failure(printFailure(printer));
}

} // namespace quorvane
