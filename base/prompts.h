#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class QDialog;
class QWidget;

namespace quorvane {

enum class Buttons { Ok, YesNo };
enum class Icon { None, Warning };
enum class Answer { Ok, Yes, No };

struct MessageBoxRequest
{
    QString text;
    QString title;
    Buttons buttons = Buttons::Ok;
    Icon icon = Icon::None;
    Answer defaultButton = Answer::Ok;
};

struct InputBoxRequest
{
    QString prompt;
    QString title;
    QString preset;
};

// A pick from a list that cannot be typed into.
struct ChoiceRequest
{
    QString prompt;
    QString title;
    QStringList items;
};

struct SaveFileRequest
{
    QString fileName; // preset name, bare or with a folder
    int flags = 0;    // kept on the dialog object, as the program sets them
    QString filter;   // "Description (*.ext)|*.ext|" form
};

// Every conversation with the user goes through this one interface: message
// boxes, the input box, the save-file and open-file dialogs and the showing of our own modal
// dialogs. The program uses QtPrompts; tests answer through a scripted double.
class Prompts
{
public:
    virtual ~Prompts() = default;
    virtual Answer messageBox(QWidget* parent, const MessageBoxRequest& request) = 0;
    // nullopt when the user cancelled or closed the box.
    virtual std::optional<QString> inputBox(QWidget* parent, const InputBoxRequest& request) = 0;
    // The position of the item picked; nullopt when the user cancelled.
    virtual std::optional<int> choice(QWidget* parent, const ChoiceRequest& request) = 0;
    // The chosen file name; empty when the user cancelled.
    virtual QString saveFileName(QWidget* parent, const SaveFileRequest& request) = 0;
    // The chosen existing file; empty when the user cancelled.
    virtual QString openFileName(QWidget* parent, const SaveFileRequest& request) = 0;
    // Shows one of the program's dialogs modally and returns when it has closed.
    virtual void showModal(QDialog& dialog) = 0;
};

// A plain message: the text, an OK button, no icon, the application title.
void showMessage(Prompts& prompts, QWidget* parent, const QString& text);
// A Yes/No question with no icon and Yes as the default; true only for Yes.
bool askYesNo(Prompts& prompts, QWidget* parent, const QString& text, const QString& title);

// "BMP (*.bmp)|*.bmp|" becomes Qt's "BMP (*.bmp)".
QString qtFileFilter(const QString& filter);

} // namespace quorvane
