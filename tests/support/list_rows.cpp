#include "tests/support/list_rows.h"

#include "app/form1.h"
#include "timetable/grid.h"

#include <QItemSelectionModel>
#include <QTreeView>

namespace quorvane::testing {

int selectedRow(const Form1& form)
{
    const QTreeView& list = form.listView();
    const QModelIndex current = list.currentIndex();
    if (!current.isValid() || !list.selectionModel()->isRowSelected(current.row(), QModelIndex()))
        return 0;
    return current.row() + 1;
}

QStringList listColumn(const Form1& form, int column)
{
    const QAbstractItemModel* model = &form.scheduleList();
    QStringList texts;
    for (int row = 0; row < model->rowCount(); ++row)
        texts << model->index(row, column).data().toString();
    return texts;
}

QStringList gridTexts(const Form1& form)
{
    QStringList cells;
    for (int r = 0; r < form.grid().rows(); ++r)
        for (int c = 0; c < form.grid().cols(); ++c)
            cells << form.grid().text(r, c);
    return cells;
}

} // namespace quorvane::testing
