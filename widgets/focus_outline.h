#pragma once

#include <QStyledItemDelegate>

namespace quorvane {

// The current item of a view, outlined while the view has the keyboard
// focus: its two outermost pixels, in black or white, whichever stands out
// on the item's background (the selection's colour, the item's own, or the
// view's). Some styles show no focus in a view, or show it only after a key
// was pressed (Fusion), and a selected item looks the same with the focus or
// without.
void paintFocusOutline(QPainter& painter, const QStyleOptionViewItem& option, const QModelIndex& index);

// Items drawn as the style draws them, the focus outlined on top.
class FocusOutlineDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

} // namespace quorvane
