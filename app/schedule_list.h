#pragma once

#include "domain/course.h"

#include <QAbstractTableModel>
#include <QSortFilterProxyModel>
#include <QString>
#include <QVector>

namespace quorvane {

// The rows of the schedules list ListView1: each row's text is a schedule id,
// its first sub-item the schedule's name. What the list draws of a name is
// its beginning, what the commands read is whole.
class ScheduleList : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit ScheduleList(QObject* parent = nullptr);

    void setHeaderTexts(const QString& id, const QString& name);
    void setRows(QVector<Schedule> rows);
    int count() const { return int(m_rows.size()); }
    // 0-based; the caller keeps within count().
    const Schedule& row(int index) const { return m_rows.at(index); }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QVector<Schedule> m_rows;
    QString m_headers[2];
};

// What the schedules list shows of a ScheduleList: the names alone. The id
// column is left out of the view, not merely hidden in it: assistive
// technology reads every column of a view's model, hidden or not.
class ScheduleNames : public QSortFilterProxyModel
{
    Q_OBJECT
public:
    ScheduleNames(ScheduleList* schedules, QObject* parent);

protected:
    bool filterAcceptsColumn(int column, const QModelIndex& parent) const override;
};

} // namespace quorvane
