// The grid's context menu and the keys of its commands; the print preview.
#include "app/form1.h"
#include "base/atomic_file.h"
#include "base/failure.h"
#include "base/reporting.h"
#include "export/save_file.h"
#include "export/timetable_picture.h"
#include "timetable/grid.h"
#include "timetable/grid_view.h"

#include <QAction>
#include <QContextMenuEvent>
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
    const char* text; // an entry with a button takes the button's caption
    QKeySequence::StandardKey standardKey;
    int key;
    int button;
    bool inGridOnly;
};

// A separator where the entry has no name.
constexpr GridCommand kGridCommands[] = {
    {"actionPrint", "Print\xE2\x80\xA6", QKeySequence::Print, 0, 0, false},
    {nullptr, nullptr, QKeySequence::UnknownKey, 0, 0, false},
    {"actionAddCourse", nullptr, QKeySequence::New, 0, 3, false},
    {"actionEditCourse", nullptr, QKeySequence::UnknownKey, Qt::Key_F2, 6, true},
    {"actionDeleteCourse", nullptr, QKeySequence::UnknownKey, Qt::Key_Delete, 4, true},
    {"actionDeleteAllCourses", nullptr, QKeySequence::UnknownKey, 0, 10, false},
    {nullptr, nullptr, QKeySequence::UnknownKey, 0, 0, false},
    {"actionSaveImage", nullptr, QKeySequence::UnknownKey, 0, 7, false},
    {"actionExportWorkbook", nullptr, QKeySequence::UnknownKey, 0, 8, false},
};

// Opens the grid's menu where the user asked for it: at the pointer for a
// right click, at the current cell for the Menu key.
class GridMenuOpener : public QObject
{
public:
    GridMenuOpener(TimetableView& view, QMenu& menu) : QObject(&view), m_view(view), m_menu(menu) {}

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::ContextMenu)
            return false;
        const auto* request = static_cast<QContextMenuEvent*>(event);
        const QPoint at = watched == m_view.viewport() && request->reason() != QContextMenuEvent::Keyboard
                              ? request->pos()
                              : m_view.visualRect(m_view.currentIndex()).center();
        m_menu.popup(m_view.viewport()->mapToGlobal(at));
        return true;
    }

private:
    TimetableView& m_view;
    QMenu& m_menu;
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
        if (!command.objectName) {
            m_gridMenu->addSeparator();
            continue;
        }
        const QString text = command.button ? pushButton(command.button)->text() : QString::fromUtf8(command.text);
        auto* action = new QAction(text, this);
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
    auto* opener = new GridMenuOpener(*m_gridView, *m_gridMenu);
    m_gridView->installEventFilter(opener);
    m_gridView->viewport()->installEventFilter(opener);
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
    const QString file = printer.outputFileName();
    if (printer.outputFormat() == QPrinter::PdfFormat && !file.isEmpty()) {
        // Printed to a file, the page is drawn in memory and the file written
        // as the exports write theirs: the printer's own writer would leave an
        // empty file on a full disk and say nothing.
        const QString refusal = exportRefusal(file, databasePath());
        if (!refusal.isEmpty())
            throw Failure(QStringLiteral("Cannot print to %1: %2.").arg(file, refusal));
        try {
            replaceFileAtomically(file, timetablePdf(*m_grid, title, printer.pageLayout()));
        } catch (const Failure& failure) {
            throw Failure(QStringLiteral("Cannot print to %1: %2.").arg(file, failure.description()));
        }
        return;
    }
    if (!drawTimetablePage(printer, *m_grid, title))
        throw Failure(printFailure(printer));
}

} // namespace quorvane
