#pragma once

#include "base/prompts.h"

class QFileDialog;

namespace quorvane {

// The real conversation: QMessageBox, QInputDialog, QFileDialog, QDialog::exec.
class QtPrompts : public Prompts
{
public:
    Answer messageBox(QWidget* parent, const MessageBoxRequest& request) override;
    std::optional<QString> inputBox(QWidget* parent, const InputBoxRequest& request) override;
    std::optional<int> choice(QWidget* parent, const ChoiceRequest& request) override;
    QString saveFileName(QWidget* parent, const SaveFileRequest& request) override;
    QString openFileName(QWidget* parent, const SaveFileRequest& request) override;
    void showModal(QDialog& dialog) override;

    // Where the first save dialog of a run opens: Documents, else home.
    static QString documentsFolder();
    // How wide a box must be for a window manager to show its whole title.
    static int titleWidth(const QString& title);

private:
    // The file chosen in the dialog, remembering its folder; empty when cancelled.
    QString chosenFile(QFileDialog& dialog);

    QString m_lastFolder;
};

} // namespace quorvane
