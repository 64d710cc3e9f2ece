#pragma once

#include <QRect>
#include <QScrollArea>
#include <QSize>

namespace quorvane {

// How a control placed for a window's first size follows another size: the
// shares of the difference in width it moves right by (left) and grows by
// (width), and of the difference in height it moves down by (top) and grows
// by (height), each from 0 to 1.
struct Growth
{
    double left = 0;
    double width = 0;
    double top = 0;
    double height = 0;
};

// The body of a window whose controls were placed for one size, its first
// size: at that size every control is where it was placed; at any other, each
// takes its shares of the difference. The body becomes no smaller than its
// least size, where each control that grows keeps its minimum size. Only a
// screen that cannot hold the least size makes the body scroll, and then every
// control takes its whole size (a view shows all its rows), so that nothing
// scrolls inside the scrolling body.
class GrowingForm : public QScrollArea
{
    Q_OBJECT
public:
    GrowingForm(const QSize& firstSize, QWidget* parent);

    // The controls' parent.
    QWidget* area() const { return widget(); }
    // Places `control`, a child of area(), at `place` at the first size.
    void place(QWidget* control, const QRect& place, const Growth& growth = {});

    QSize firstSize() const;
    QSize leastSize() const;
    // The area's size while the body scrolls.
    QSize wholeSize() const;
    bool scrolls() const { return m_scrolls; }

    // The least size of the window around the body, within the screen's room.
    QSize leastWindowSize() const;

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The room the window may take on its screen, less its frame.
    QSize screenRoom() const;
    void fitWindow();

    bool m_scrolls = false;
    bool m_shownOnce = false;
};

} // namespace quorvane
