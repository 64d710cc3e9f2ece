#include "widgets/qt_prompts.h"

#include "base/shown_text.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QStandardPaths>

namespace quorvane {

namespace {

// A box shows texts as written, never as formatting; a pasted text of a
// million characters shows its beginning, so the box opens at once.
QString shownAsWritten(const QString& text)
{
    constexpr qsizetype kMost = 4000;
    return elidedAfter(text, kMost);
}

} // namespace

int QtPrompts::titleWidth(const QString& title)
{
    // The window manager's title font is unknown here: the application's
    // title-bar font stands in, with room for the icon, the close button
    // and the frame on either side.
    const QFontMetrics metrics(QApplication::font("QMdiSubWindowTitleBar"));
    return metrics.horizontalAdvance(title) + 6 * metrics.height();
}

namespace {

// Both boxes size themselves to their layouts, so the title's width is a
// spacer across the bottom of the layout.
void holdTitleWidth(QDialog& box)
{
    auto* spacer = new QSpacerItem(QtPrompts::titleWidth(box.windowTitle()), 0);
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
        grid->addItem(spacer, grid->rowCount(), 0, 1, grid->columnCount());
    else if (box.layout())
        box.layout()->addItem(spacer);
    else
        delete spacer;
}

} // namespace

Answer QtPrompts::messageBox(QWidget* parent, const MessageBoxRequest& request)
{
    QMessageBox box(parent);
    box.setWindowTitle(request.title);
    box.setTextFormat(Qt::PlainText);
    box.setText(shownAsWritten(request.text));
    box.setIcon(request.icon == Icon::Warning ? QMessageBox::Warning : QMessageBox::NoIcon);
    holdTitleWidth(box);
    if (request.buttons == Buttons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(request.defaultButton == Answer::No ? QMessageBox::No : QMessageBox::Yes);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
        box.setDefaultButton(QMessageBox::Ok);
    }
    const int result = box.exec();
    if (request.buttons == Buttons::YesNo)
        return result == QMessageBox::Yes ? Answer::Yes : Answer::No;
    return Answer::Ok;
}

std::optional<QString> QtPrompts::inputBox(QWidget* parent, const InputBoxRequest& request)
{
    QInputDialog dialog(parent);
    dialog.setWindowTitle(request.title);
    dialog.setLabelText(request.prompt);
    dialog.setTextValue(request.preset);
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.sizeHint(); // lays the dialog out, which it otherwise does only when shown
    holdTitleWidth(dialog);
    for (QLabel* label : dialog.findChildren<QLabel*>())
        label->setTextFormat(Qt::PlainText);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue();
}

std::optional<int> QtPrompts::choice(QWidget* parent, const ChoiceRequest& request)
{
    QInputDialog dialog(parent);
    dialog.setWindowTitle(request.title);
    dialog.setLabelText(request.prompt);
    dialog.setComboBoxItems(request.items);
    dialog.setComboBoxEditable(false);
    dialog.sizeHint();
    holdTitleWidth(dialog);
    for (QLabel* label : dialog.findChildren<QLabel*>())
        label->setTextFormat(Qt::PlainText);
    // By position: two items may read alike.
    auto* list = dialog.findChild<QComboBox*>();
    if (dialog.exec() != QDialog::Accepted || !list || list->currentIndex() < 0)
        return std::nullopt;
    return list->currentIndex();
}

QString QtPrompts::saveFileName(QWidget* parent, const SaveFileRequest& request)
{
    QFileDialog dialog(parent);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // The program asks before replacing a file itself.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    dialog.setNameFilter(qtFileFilter(request.filter));
    dialog.setProperty("Flags", request.flags);
    // Where the user's files are: the folder of the last file chosen in this
    // run, else Documents, else home; never the working folder, which is
    // "/" for a program started from a desktop launcher.
    dialog.setDirectory(m_lastFolder.isEmpty() ? documentsFolder() : m_lastFolder);
    dialog.selectFile(request.fileName);
    return chosenFile(dialog);
}

QString QtPrompts::openFileName(QWidget* parent, const SaveFileRequest& request)
{
    QFileDialog dialog(parent);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilter(qtFileFilter(request.filter));
    dialog.setDirectory(m_lastFolder.isEmpty() ? documentsFolder() : m_lastFolder);
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
    return chosenFile(dialog);
}

QString QtPrompts::chosenFile(QFileDialog& dialog)
{
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    const QString chosen = dialog.selectedFiles().constFirst();
    m_lastFolder = QFileInfo(chosen).absolutePath();
    return chosen;
}

QString QtPrompts::documentsFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return !documents.isEmpty() && QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

void QtPrompts::showModal(QDialog& dialog)
{
    dialog.exec();
}

} // namespace quorvane
