#include "widgets/fit_to_screen.h"

#include <QApplication>
#include <QEvent>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QWidget>

namespace quorvane {

FitToScreen::FitToScreen(QWidget* window) : QObject(window), m_window(window), m_layoutSize(window->size())
{
    m_viewport = m_layoutSize;
    window->installEventFilter(this);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (now && m_window->isAncestorOf(now) && now != m_horizontal && now != m_vertical)
            ensureVisible(now);
    });
}

bool FitToScreen::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_window && (event->type() == QEvent::Show || event->type() == QEvent::ScreenChangeInternal))
        fit();
    // The wheel over the window's background scrolls the window.
    if (watched == m_window && event->type() == QEvent::Wheel && m_vertical && m_vertical->isVisibleTo(m_window))
        return QCoreApplication::sendEvent(m_vertical, event);
    return QObject::eventFilter(watched, event);
}

void FitToScreen::fit()
{
    const QScreen* screen = m_window->screen();
    if (!screen)
        return;
    // The frame is known once the window manager has framed the window;
    // before, a title bar is taken for it.
    QSize frame = m_window->frameGeometry().size() - m_window->size();
    if (frame.isEmpty())
        frame = QSize(0, m_window->style()->pixelMetric(QStyle::PM_TitleBarHeight));
    const QSize room = screen->availableGeometry().size() - frame;
    const int extent = m_window->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    bool vertical = m_layoutSize.height() > room.height();
    const bool horizontal = m_layoutSize.width() > room.width() - (vertical ? extent : 0);
    vertical = vertical || m_layoutSize.height() > room.height() - (horizontal ? extent : 0);
    const QSize bars(vertical ? extent : 0, horizontal ? extent : 0);
    const QSize size = horizontal || vertical ? (m_layoutSize + bars).boundedTo(room) : m_layoutSize;
    m_viewport = size - bars;
    m_window->setFixedSize(size);
    const int width = m_layoutSize.width() - m_viewport.width();
    const int height = m_layoutSize.height() - m_viewport.height();
    bar(m_horizontal, horizontal, width, m_viewport.width());
    bar(m_vertical, vertical, height, m_viewport.height());
    scrollTo(QPoint(horizontal ? m_horizontal->value() : 0, vertical ? m_vertical->value() : 0));
    placeBars();
}

QScrollBar* FitToScreen::bar(QScrollBar*& bar, bool needed, int range, int page)
{
    if (!needed) {
        if (bar)
            bar->hide();
        return bar;
    }
    if (!bar) {
        const bool horizontal = &bar == &m_horizontal;
        bar = new QScrollBar(horizontal ? Qt::Horizontal : Qt::Vertical, m_window);
        bar->setObjectName(horizontal ? QStringLiteral("WindowScrollH") : QStringLiteral("WindowScrollV"));
        bar->setFocusPolicy(Qt::NoFocus);
        bar->setSingleStep(20);
        connect(bar, &QScrollBar::valueChanged, this, [this] {
            scrollTo(QPoint(m_horizontal && m_horizontal->isVisibleTo(m_window) ? m_horizontal->value() : 0,
                            m_vertical && m_vertical->isVisibleTo(m_window) ? m_vertical->value() : 0));
        });
    }
    bar->setRange(0, range);
    bar->setPageStep(page);
    bar->show();
    return bar;
}

void FitToScreen::scrollTo(const QPoint& offset)
{
    const QPoint delta = m_offset - offset;
    if (delta.isNull())
        return;
    m_offset = offset;
    // Moves every child, the scroll bars too, which go back to the edges.
    m_window->scroll(delta.x(), delta.y());
    placeBars();
}

void FitToScreen::placeBars()
{
    if (m_horizontal) {
        m_horizontal->setGeometry(0, m_viewport.height(), m_viewport.width(), m_window->height() - m_viewport.height());
        m_horizontal->raise();
    }
    if (m_vertical) {
        m_vertical->setGeometry(m_viewport.width(), 0, m_window->width() - m_viewport.width(), m_viewport.height());
        m_vertical->raise();
    }
}

void FitToScreen::ensureVisible(const QWidget* widget)
{
    const QRect place(widget->mapTo(m_window, QPoint(0, 0)), widget->size());
    const auto shift = [](int start, int end, int visible) {
        if (end > visible)
            return std::max(0, std::min(start, end - visible));
        return start < 0 ? start : 0;
    };
    const int dx = shift(place.left(), place.right() + 1, m_viewport.width());
    const int dy = shift(place.top(), place.bottom() + 1, m_viewport.height());
    if (dx != 0 && m_horizontal && m_horizontal->isVisibleTo(m_window))
        m_horizontal->setValue(m_horizontal->value() + dx);
    if (dy != 0 && m_vertical && m_vertical->isVisibleTo(m_window))
        m_vertical->setValue(m_vertical->value() + dy);
}

} // namespace quorvane
