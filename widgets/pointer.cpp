#include "widgets/pointer.h"

#include "base/failure.h"

#include <QAbstractScrollArea>
#include <QEvent>
#include <QFile>
#include <QMouseEvent>
#include <QPixmap>
#include <QWidget>
#include <QtEndian>

namespace quorvane {

namespace {
const char* const kRole = "quorvanePointerRole";
}

PointerConvention::PointerConvention(QWidget* window) : QObject(window), m_window(window) {}

void PointerConvention::set(int state)
{
    m_state = state;
    switch (state) {
    case kPointerBusy:
        m_window->setCursor(Qt::WaitCursor);
        break;
    case kPointerHand:
        m_window->setCursor(m_mouseIcon ? *m_mouseIcon : QCursor(Qt::PointingHandCursor));
        break;
    default:
        m_window->unsetCursor();
        break;
    }
}

void PointerConvention::loadMouseIcon(const QString& path)
{
    const QPixmap picture(path);
    if (picture.isNull())
        throw Failure(QStringLiteral("Invalid picture: %1").arg(path));
    // A cursor file names the point that clicks (the finger tip) in its first
    // entry; the picture reader drops it.
    QPoint hotSpot(0, 0);
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) {
        const QByteArray header = file.read(14);
        const auto u16 = [&](int at) { return int(qFromLittleEndian<quint16>(header.constData() + at)); };
        if (header.size() == 14 && u16(0) == 0 && u16(2) == 2 && u16(4) >= 1)
            hotSpot = QPoint(u16(10), u16(12));
    }
    m_mouseIcon = QCursor(picture, hotSpot.x(), hotSpot.y());
}

void PointerConvention::watchButton(QWidget* button)
{
    button->setMouseTracking(true);
    button->setProperty(kRole, kPointerHand);
    button->installEventFilter(this);
}

void PointerConvention::watchBackground(QWidget* widget)
{
    QWidget* target = widget;
    if (auto* area = qobject_cast<QAbstractScrollArea*>(widget))
        target = area->viewport();
    target->setMouseTracking(true);
    target->setProperty(kRole, kPointerNormal);
    target->installEventFilter(this);
}

bool PointerConvention::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseMove && m_state != kPointerBusy) {
        const QVariant role = watched->property(kRole);
        auto* widget = qobject_cast<QWidget*>(watched);
        // A move over a button that the button leaves unhandled reaches the
        // window too; only a move over the background itself counts there.
        const bool overChild = widget && role.toInt() == kPointerNormal &&
                               widget->childAt(static_cast<QMouseEvent*>(event)->position().toPoint()) != nullptr;
        if (role.isValid() && !overChild && role.toInt() != m_state)
            set(role.toInt());
    }
    return QObject::eventFilter(watched, event);
}

} // namespace quorvane
