#include "widgets/growing_form.h"

#include <QApplication>
#include <QLayout>
#include <QResizeEvent>
#include <QScreen>
#include <QStyle>

#include <algorithm>
#include <cmath>
#include <memory>
#include <utility>
#include <vector>

namespace quorvane {

namespace {

// The controls at their places for the first size, each moved and grown by
// its shares of the difference from it.
class GrowthLayout : public QLayout
{
public:
    GrowthLayout(const QSize& firstSize, QWidget* area) : QLayout(area), m_first(firstSize)
    {
        setContentsMargins(0, 0, 0, 0);
    }

    void place(QWidget* control, const QRect& rect, const Growth& growth)
    {
        addChildWidget(control);
        m_items.push_back({std::make_unique<QWidgetItem>(control), rect, growth});
        invalidate();
    }

    QSize firstSize() const { return m_first; }

    // The least difference from the first size in each direction: every
    // growing control at least its minimum size and none beyond the area;
    // never more than none, so that the first size never scrolls.
    QSize leastExtra() const
    {
        const QSize extra =
            extraWhere([](const QLayoutItem& item) { return item.minimumSize(); }, -m_first.width(), -m_first.height());
        return extra.boundedTo(QSize(0, 0));
    }
    // The difference at which every growing control has its size hint.
    QSize wholeExtra() const
    {
        return extraWhere([](const QLayoutItem& item) { return item.sizeHint(); }, 0, 0).expandedTo(leastExtra());
    }

    void addItem(QLayoutItem* item) override
    {
        m_items.push_back({std::unique_ptr<QLayoutItem>(item), item->geometry(), {}});
    }
    int count() const override { return int(m_items.size()); }
    QLayoutItem* itemAt(int index) const override
    {
        return index >= 0 && index < count() ? m_items[size_t(index)].item.get() : nullptr;
    }
    // The item, which the caller then owns.
    QLayoutItem* takeAt(int index) override
    {
        if (index < 0 || index >= count())
            return nullptr;
        QLayoutItem* taken = m_items[size_t(index)].item.release();
        m_items.erase(m_items.begin() + index);
        return taken;
    }
    QSize sizeHint() const override { return m_first; }
    QSize minimumSize() const override { return m_first + leastExtra(); }

    void setGeometry(const QRect& rect) override
    {
        QLayout::setGeometry(rect);
        const QSize extra = rect.size() - m_first;
        for (const Placed& placed : m_items) {
            const auto [left, width] =
                span(placed.rect.left(), placed.rect.width(), placed.growth.left, placed.growth.width, extra.width());
            const auto [top, height] =
                span(placed.rect.top(), placed.rect.height(), placed.growth.top, placed.growth.height, extra.height());
            // The place as given, whatever the control's own size hint
            // (a layout item would centre a button of fixed height).
            const QRect place(rect.left() + left, rect.top() + top, width, height);
            if (QWidget* control = placed.item->widget())
                control->setGeometry(place);
            else
                placed.item->setGeometry(place);
        }
    }

private:
    struct Placed
    {
        std::unique_ptr<QLayoutItem> item;
        QRect rect;
        Growth growth;
    };

    // Both edges move by their own share, rounded: neighbours that share a
    // share keep the gap between them.
    static std::pair<int, int> span(int start, int length, double before, double grows, int extra)
    {
        const int from = start + int(std::lround(extra * before));
        const int to = start + length + int(std::lround(extra * (before + grows)));
        return {from, std::max(0, to - from)};
    }

    // The least difference, from (width, height) up, at which every growing
    // control is at least `wanted` and every control stays within the area.
    template <class Wanted>
    QSize extraWhere(Wanted wanted, int width, int height) const
    {
        double across = width;
        double down = height;
        const auto need = [](double& extra, int length, int want, double grows, int end, int areaLength, double moves) {
            if (grows > 0)
                extra = std::max(extra, (want - length) / grows);
            if (moves < 1)
                extra = std::max(extra, (end - areaLength) / (1 - moves));
        };
        for (const Placed& placed : m_items) {
            if (placed.item->isEmpty())
                continue;
            const QSize want = wanted(*placed.item);
            const QRect& r = placed.rect;
            const Growth& g = placed.growth;
            need(across, r.width(), want.width(), g.width, r.right() + 1, m_first.width(), g.left + g.width);
            need(down, r.height(), want.height(), g.height, r.bottom() + 1, m_first.height(), g.top + g.height);
        }
        return QSize(int(std::ceil(across)), int(std::ceil(down)));
    }

    QSize m_first;
    std::vector<Placed> m_items;
};

GrowthLayout& layoutOf(const GrowingForm& form)
{
    return *static_cast<GrowthLayout*>(form.area()->layout());
}

} // namespace

GrowingForm::GrowingForm(const QSize& firstSize, QWidget* parent) : QScrollArea(parent)
{
    setFrameShape(QFrame::NoFrame);
    // The body is no stop of its own in the tab order; its controls are.
    setFocusPolicy(Qt::NoFocus);
    setWidgetResizable(true);
    auto* area = new QWidget;
    new GrowthLayout(firstSize, area);
    setWidget(area);
    window()->installEventFilter(this);
    // A control that gets the focus some other way than by Tab is scrolled
    // into view as well.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (m_scrolls && now && this->area()->isAncestorOf(now))
            ensureWidgetVisible(now);
    });
}

void GrowingForm::place(QWidget* control, const QRect& place, const Growth& growth)
{
    layoutOf(*this).place(control, place, growth);
}

QSize GrowingForm::firstSize() const
{
    return layoutOf(*this).firstSize();
}

QSize GrowingForm::leastSize() const
{
    return firstSize() + layoutOf(*this).leastExtra();
}

QSize GrowingForm::wholeSize() const
{
    return firstSize() + layoutOf(*this).wholeExtra();
}

void GrowingForm::resizeEvent(QResizeEvent* event)
{
    // The body's own size, scroll bars or not: the event may be the
    // viewport's, which the scroll bars make smaller.
    const QSize least = leastSize();
    m_scrolls = width() < least.width() || height() < least.height();
    area()->setMinimumSize(m_scrolls ? wholeSize() : QSize(0, 0));
    QScrollArea::resizeEvent(event);
}

bool GrowingForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == window() && ((event->type() == QEvent::Show && !std::exchange(m_shownOnce, true)) ||
                                event->type() == QEvent::ScreenChangeInternal))
        fitWindow();
    return QScrollArea::eventFilter(watched, event);
}

QSize GrowingForm::screenRoom() const
{
    const QWidget* window = this->window();
    const QScreen* screen = window->screen();
    if (!screen)
        return QSize();
    // The frame is known once the window manager has framed the window;
    // before, a title bar is taken for it.
    QSize frame = window->frameGeometry().size() - window->size();
    if (frame.isEmpty())
        frame = QSize(0, window->style()->pixelMetric(QStyle::PM_TitleBarHeight));
    return screen->availableGeometry().size() - frame;
}

QSize GrowingForm::leastWindowSize() const
{
    const QSize around = window()->size() - size();
    const QSize room = screenRoom();
    const QSize least = leastSize() + around;
    return room.isValid() ? least.boundedTo(room) : least;
}

void GrowingForm::fitWindow()
{
    QWidget* window = this->window();
    const QSize room = screenRoom();
    if (!room.isValid())
        return;
    window->setMinimumSize(leastWindowSize());
    if (!(window->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)))
        window->resize(window->size().boundedTo(room));
}

} // namespace quorvane
