#include "widgets/focus_outline.h"

#include "widgets/appearance.h"

#include <QPainter>

namespace quorvane {

void paintFocusOutline(QPainter& painter, const QStyleOptionViewItem& option, const QModelIndex& index)
{
    if (!(option.state & QStyle::State_HasFocus))
        return;
    const QPalette::ColorGroup group = option.state & QStyle::State_Active ? QPalette::Active : QPalette::Inactive;
    QColor background = option.palette.color(group, QPalette::Base);
    if (option.state & QStyle::State_Selected)
        background = option.palette.color(group, QPalette::Highlight);
    else if (const QVariant own = index.data(Qt::BackgroundRole); own.canConvert<QBrush>())
        background = own.value<QBrush>().color();
    // Along the item's edges, clear of its text.
    constexpr double kWidth = 2;
    constexpr double kMiddle = kWidth / 2;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(contrastingInk(background), kWidth, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(option.rect).adjusted(kMiddle, kMiddle, -kMiddle - 1, -kMiddle - 1));
    painter.restore();
}

void FocusOutlineDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyledItemDelegate::paint(painter, option, index);
    paintFocusOutline(*painter, option, index);
}

} // namespace quorvane
