#pragma once

#include <QCursor>
#include <QObject>
#include <optional>

class QWidget;

namespace quorvane {

enum PointerState { kPointerNormal = 0, kPointerBusy = 11, kPointerHand = 99 };

// The window-wide mouse pointer of one window: 0 normal, 11 busy, 99 the hand
// cursor. Mouse movement over a watched button shows the hand, over the
// window's other watched parts the normal pointer, and never replaces the
// busy pointer.
class PointerConvention : public QObject
{
    Q_OBJECT
public:
    explicit PointerConvention(QWidget* window);

    int state() const { return m_state; }
    void set(int state);
    // Loads a cursor picture file (HAND-M.CUR) as the picture of state 99;
    // a file that is no picture raises a failure. Without one the system's
    // pointing hand serves.
    void loadMouseIcon(const QString& path);
    bool hasMouseIcon() const { return m_mouseIcon.has_value(); }

    void watchButton(QWidget* button);
    void watchBackground(QWidget* widget);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_window;
    int m_state = kPointerNormal;
    std::optional<QCursor> m_mouseIcon;
};

// Shows the busy pointer for its lifetime and the normal one again on every
// way out, a failure included.
class BusyPointer
{
public:
    explicit BusyPointer(PointerConvention& pointer) : m_pointer(pointer) { m_pointer.set(kPointerBusy); }
    ~BusyPointer() { m_pointer.set(kPointerNormal); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;

private:
    PointerConvention& m_pointer;
};

} // namespace quorvane
