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

void ScheduleList::Rows::append(const Recordset& rs, int idColumn, int nameColumn)
{
    rs.appendText(idColumn, m_ids);
    rs.appendText(nameColumn, m_names);
    m_idEnds.append(m_ids.size());
    m_nameEnds.append(m_names.size());
}

void ScheduleList::setRows(Rows rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

QStringView ScheduleList::part(const QString& text, const QVector<qsizetype>& ends, int index)
{
    const qsizetype start = index == 0 ? 0 : ends.at(index - 1);
    return QStringView(text).mid(start, ends.at(index) - start);
}

ScheduleList::Row ScheduleList::row(int index) const
{
    return {part(m_rows.m_ids, m_rows.m_idEnds, index).toString(),
            part(m_rows.m_names, m_rows.m_nameEnds, index).toString()};
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
    // The hidden id column reads out as the name, so that assistive
    // technology, which still lists it, never says the bare id.
    if (index.isValid() && index.column() == 0 && role == Qt::AccessibleTextRole)
        return data(index.siblingAtColumn(1), Qt::DisplayRole);
    if (!index.isValid() || role != Qt::DisplayRole)
        return {};
    if (index.column() == 0)
        return part(m_rows.m_ids, m_rows.m_idEnds, index.row()).toString();
    const QStringView name = part(m_rows.m_names, m_rows.m_nameEnds, index.row());
    return shownText(name);
}

QVariant ScheduleList::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && (section == 0 || section == 1))
        return m_headers[section];
    return {};
}

} // namespace quorvane
