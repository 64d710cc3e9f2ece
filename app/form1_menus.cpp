// The main window's menu bar: every command of the window, in the desktop's
// usual order, each entry running what its button or menu entry runs; and
// the two boxes of the Help menu.
#include "app/form1.h"
#include "app/undo_history.h"
#include "base/app_info.h"
#include "timetable/grid_view.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTreeView>

namespace quorvane {

void Form1::buildMenuBar()
{
    const auto menu = [this](const char* name, const QString& title) {
        QMenu* added = m_menuBar->addMenu(title);
        added->setObjectName(QLatin1String(name));
        return added;
    };
    const auto existing = [this](const char* name) { return findChild<QAction*>(QLatin1String(name)); };
    // An entry of the menu bar's own for a button: a click on the button, so
    // that a command that changes data is a step of the history as it is.
    const auto pressing = [this](const char* name, const QString& text, int button) {
        auto* action = new QAction(text, this);
        action->setObjectName(QLatin1String(name));
        connect(action, &QAction::triggered, this, [this, button] { pushButton(button)->click(); });
        return action;
    };
    // The places of commands that other parts of the window add, under these
    // object names: an entry when the window has the command.
    const auto placeFor = [&](QMenu* into, const char* name) {
        if (QAction* action = existing(name))
            into->addAction(action);
    };

    QMenu* file = menu("FileMenu", QStringLiteral("&File"));
    file->addAction(existing("ImportCalendar"));
    file->addAction(existing("ExportCalendar"));
    file->addSeparator();
    file->addAction(pressing("SaveImageEntry", QStringLiteral("Save Schedule As Image\u2026"), 7));
    file->addAction(pressing("ExportWorkbookEntry", QStringLiteral("Export Schedule To Excel\u2026"), 8));
    file->addAction(existing("actionPrint"));
    file->addSeparator();
    QAction* quit = file->addAction(QStringLiteral("Quit"));
    quit->setObjectName(QStringLiteral("actionQuit"));
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    connect(quit, &QAction::triggered, this, &QWidget::close);

    QMenu* edit = menu("EditMenu", QStringLiteral("&Edit"));
    edit->addAction(m_history->undoAction());
    edit->addAction(m_history->redoAction());
    edit->addSeparator();
    edit->addAction(existing("actionAddCourse"));
    edit->addAction(existing("actionEditCourse"));
    edit->addAction(existing("actionDeleteCourse"));
    placeFor(edit, "CopyCourseTo"); // "Copy Course To…"
    edit->addSeparator();
    edit->addAction(existing("actionDeleteAllCourses"));

    QMenu* schedule = menu("ScheduleMenu", QStringLiteral("&Schedule"));
    schedule->addAction(pressing("AddScheduleEntry", pushButton(1)->text(), 1));
    schedule->addAction(pressing("EditScheduleEntry", pushButton(5)->text(), 5));
    placeFor(schedule, "DuplicateSchedule"); // "Duplicate Schedule", Ctrl+D
    schedule->addAction(pressing("DeleteScheduleEntry", pushButton(2)->text(), 2));
    schedule->addAction(pressing("LoadSampleEntry", pushButton(9)->text(), 9));
    placeFor(schedule, "PlanSchedules"); // "Plan Schedules…", Ctrl+G

    QMenu* help = menu("HelpMenu", QStringLiteral("&Help"));
    QAction* keys = help->addAction(QStringLiteral("Keyboard Shortcuts"));
    keys->setObjectName(QStringLiteral("KeyboardShortcuts"));
    connect(keys, &QAction::triggered, this, &Form1::KeyboardShortcuts_Click);
    QAction* about = help->addAction(QStringLiteral("About Quorvane"));
    about->setObjectName(QStringLiteral("AboutQuorvane"));
    connect(about, &QAction::triggered, this, &Form1::AboutQuorvane_Click);
}

// One line for each entry of the menu bar that has a key, in the menus'
// order, then the keys that are in no menu.
void Form1::KeyboardShortcuts_Click()
{
    QStringList lines;
    QStringList menuKeys;
    for (const QAction* title : m_menuBar->actions()) {
        menuKeys << QKeySequence::mnemonic(title->text()).toString(QKeySequence::NativeText);
        for (const QAction* action : title->menu()->actions()) {
            if (action->isSeparator() || action->shortcuts().isEmpty())
                continue;
            // Undo and redo are named after the step they would take.
            QString line = action == m_history->undoAction()   ? QStringLiteral("Undo")
                           : action == m_history->redoAction() ? QStringLiteral("Redo")
                                                               : action->text();
            QStringList keys;
            for (const QKeySequence& key : action->shortcuts())
                keys << key.toString(QKeySequence::NativeText);
            line += QStringLiteral(": ") + keys.join(QStringLiteral(", "));
            if (action->shortcutContext() != Qt::WindowShortcut) {
                const QList<QObject*> where = action->associatedObjects();
                if (where.contains(m_gridView))
                    line += QStringLiteral(" (in the grid)");
                else if (where.contains(m_listView))
                    line += QStringLiteral(" (in the list)");
            }
            lines << line;
        }
    }
    lines << QStringLiteral("The grid's menu: Menu key");
    lines << QStringLiteral("Save, Update or Delete in a course dialog: Ctrl+Return");
    lines << QStringLiteral("The menus: ") + menuKeys.join(QStringLiteral(", "));
    m_prompts.messageBox(this, {lines.join(QLatin1Char('\n')), QStringLiteral("Keyboard Shortcuts")});
}

void Form1::AboutQuorvane_Click()
{
    m_prompts.messageBox(this,
                         {QStringLiteral("%1 %2\nWeekly college timetables.\n\nFree software under the GNU General "
                                         "Public License, version 3 or (at your option) any later version (%3).")
                              .arg(kProductName, kVersion, kLicence),
                          QStringLiteral("About Quorvane")});
}

} // namespace quorvane
