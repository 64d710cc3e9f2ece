#pragma once

#include "base/prompts.h"

#include <QDialog>
#include <QString>
#include <initializer_list>

class QPushButton;

namespace quorvane {

class PointerConvention;
class Repository;
class Procedure;

// What the Add, Edit and Delete Course dialogs share: the repository, the
// prompts and the program's folder they are given, the window's pointer,
// the two push buttons (PushButton2 is Cancel in all three), the first
// statements of the load procedure, and the closing, which every way out
// passes through (the dialog's own button, Cancel, the close box, Escape).
class CourseDialogBase : public QDialog
{
    Q_OBJECT
public:
    QPushButton* PushButton1() const { return m_pushButton1; }
    QPushButton* PushButton2() const { return m_pushButton2; }
    PointerConvention& pointer() { return *m_pointer; }

    void PushButton2_Click(); // Cancel: unloads the dialog, nothing is written

protected:
    CourseDialogBase(const char* windowName, Repository& repository, Prompts& prompts, const QString& programFolder,
                     QWidget* parent);

    // The two push buttons on one line, placed in twips; Cancel is wired
    // here, and Ctrl+Return (Ctrl+Enter) to the first.
    void addPushButtons(const QString& caption1, int left1, int width1, int left2, int width2, int top);
    // Keyboard focus moves along `chain`, in that order.
    static void setTabOrderChain(std::initializer_list<QWidget*> chain);
    // Statements 100 to 106 of the load procedure: the hand cursor picture
    // from the program's folder when there is one, the dialog colours and
    // the program's icon.
    void LoadDialogBasics(Procedure& p);
    void Unload(int result) { done(result); }
    // Runs once, whichever way the dialog closes.
    virtual void unloading() {}

    const char* const m_windowName;
    Repository& m_repository;
    Prompts& m_prompts;
    const QString m_programFolder;
    PointerConvention* m_pointer = nullptr;
    QPushButton* m_pushButton1 = nullptr;
    QPushButton* m_pushButton2 = nullptr;

private:
    void done(int result) override;

    bool m_unloaded = false;
};

} // namespace quorvane
