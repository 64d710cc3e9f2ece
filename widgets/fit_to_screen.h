#pragma once

#include <QObject>
#include <QPoint>
#include <QSize>

class QScrollBar;
class QWidget;

namespace quorvane {

// Keeps a window of fixed layout usable on a screen smaller than it: when
// the screen's available area cannot hold the window, the window takes that
// area and two scroll bars of its own move its controls (QWidget::scroll),
// which all stay the window's direct children where they were; the control
// that gets the focus is scrolled into view. On a screen large enough the
// window keeps its size and gets no scroll bars. Made after the window has
// its fixed size; the window owns it.
class FitToScreen : public QObject
{
    Q_OBJECT
public:
    explicit FitToScreen(QWidget* window);

    // Scrolls so that `widget`, inside the window, is in view.
    void ensureVisible(const QWidget* widget);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fit();
    void scrollTo(const QPoint& offset);
    void placeBars();
    QScrollBar* bar(QScrollBar*& bar, bool needed, int range, int page);

    QWidget* m_window;
    const QSize m_layoutSize;
    QSize m_viewport;
    QPoint m_offset;
    QScrollBar* m_horizontal = nullptr;
    QScrollBar* m_vertical = nullptr;
};

} // namespace quorvane
