#pragma once

#include <QPushButton>

namespace quorvane {

// The windows' push buttons: Return or Enter on a focused button presses it,
// as Space does, in the main window and in every dialog. No button is a
// default button, so Return in a text box presses nothing.
class PushButton : public QPushButton
{
    Q_OBJECT
public:
    PushButton(const QString& caption, QWidget* parent);

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace quorvane
