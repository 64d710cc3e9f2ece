#include "app/schedule_list.h"

#include "base/shown_text.h"

namespace quorvane {

ScheduleList::ScheduleList(QObject* parent) : QAbstractTableModel(parent) {}

void ScheduleList::setHeaderTexts(const QString& id, const QString& name)
{
    m_headers[0] = id;
    m_headers[1] = name;
    emit headerDataChanged(Qt::Horizontal, 0, 1);
}

void ScheduleList::setRows(QVector<Schedule> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

int ScheduleList::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : count();
}

int ScheduleList::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 2;
}

QVariant ScheduleList::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || role != Qt::DisplayRole)
        return {};
    const Schedule& schedule = m_rows.at(index.row());
    if (index.column() == 0)
        return QString::number(schedule.id.value);
    return shownText(schedule.name);
}

QVariant ScheduleList::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && (section == 0 || section == 1))
        return m_headers[section];
    return {};
}

ScheduleNames::ScheduleNames(ScheduleList* schedules, QObject* parent) : QSortFilterProxyModel(parent)
{
    setSourceModel(schedules);
}

bool ScheduleNames::filterAcceptsColumn(int column, const QModelIndex&) const
{
    return column == 1;
}

} // namespace quorvane
