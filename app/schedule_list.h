#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <QVector>

namespace quorvane {

// The rows of the schedules list ListView1: each row's text is a schedule id,
// its first sub-item the schedule's name. The rows come in one go, without
// an object per row, so ten thousand schedules fill the list quickly; what
// the list draws of a name is its beginning, what the commands read is whole.
class ScheduleList : public QAbstractTableModel
{
    Q_OBJECT
public:
    struct Row
    {
        QString id;
        QString name;
    };

    explicit ScheduleList(QObject* parent = nullptr);

    void setHeaderTexts(const QString& id, const QString& name);
    void setRows(QVector<Row> rows);
    int count() const { return int(m_rows.size()); }
    // 0-based; the caller keeps within count().
    const Row& row(int index) const { return m_rows.at(index); }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QVector<Row> m_rows;
    QString m_headers[2];
};

} // namespace quorvane
