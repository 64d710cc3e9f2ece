#include "dialogs/course_dialog_base.h"

#include "base/app_info.h"
#include "base/reporting.h"
#include "widgets/appearance.h"
#include "widgets/dialog_parts.h"
#include "widgets/pointer.h"
#include "widgets/program_icon.h"

#include <QAction>
#include <QPushButton>

namespace quorvane {

CourseDialogBase::CourseDialogBase(const char* windowName, Repository& repository, Prompts& prompts,
                                   const QString& programFolder, QWidget* parent)
    : QDialog(parent),
      m_windowName(windowName),
      m_repository(repository),
      m_prompts(prompts),
      m_programFolder(programFolder)
{
    m_pointer = new PointerConvention(this);
    m_pointer->watchBackground(this);
}

void CourseDialogBase::addPushButtons(const QString& caption1, int left1, int width1, int left2, int width2, int top)
{
    m_pushButton1 = addPushButton(this, 1, caption1, left1, top, width1, 405, *m_pointer);
    m_pushButton2 = addPushButton(this, 2, QStringLiteral("Cancel"), left2, top, width2, 405, *m_pointer);
    connect(m_pushButton2, &QPushButton::clicked, this, &CourseDialogBase::PushButton2_Click);
    // Ctrl+Return presses the dialog's own button from any field, as in
    // desktop dialogs; Return alone still presses the focused button.
    auto* press = new QAction(this);
    press->setObjectName(QStringLiteral("PressPushButton1"));
    press->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)});
    connect(press, &QAction::triggered, m_pushButton1, &QPushButton::click);
    addAction(press);
}

void CourseDialogBase::setTabOrderChain(std::initializer_list<QWidget*> chain)
{
    QWidget* previous = nullptr;
    for (QWidget* widget : chain) {
        if (previous)
            setTabOrder(previous, widget);
        previous = widget;
    }
}

void CourseDialogBase::LoadDialogBasics(Procedure& p)
{
    // Only loading the picture (102) can fail; 100 (FileExists never fails),
    // 104 and 106 carry no statement of their own.
    const QString cursorPath = m_programFolder + QStringLiteral("/HAND-M.CUR");
    if (FileExists(cursorPath))
        p.step(102, [&] { m_pointer->loadMouseIcon(cursorPath); });
    ApplyDialogColors(this);
    setWindowIcon(programIcon());
}

void CourseDialogBase::PushButton2_Click()
{
    // 100: unloading cannot fail.
    Unload(QDialog::Rejected);
}

void CourseDialogBase::done(int result)
{
    // Closing is never refused.
    if (!m_unloaded) {
        m_unloaded = true;
        unloading();
    }
    QDialog::done(result);
}

} // namespace quorvane
