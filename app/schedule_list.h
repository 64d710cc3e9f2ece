#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <QVector>

#include "store/connection.h"

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
    // Rows as they are read, in one text each for the ids and the names.
    class Rows
    {
    public:
        // Appends one row, reading its id and name from the recordset's
        // current row.
        void append(const Recordset& rs, int idColumn, int nameColumn);

    private:
        friend class ScheduleList;
        QString m_ids;
        QString m_names;
        QVector<qsizetype> m_idEnds;
        QVector<qsizetype> m_nameEnds;
    };

    explicit ScheduleList(QObject* parent = nullptr);

    void setHeaderTexts(const QString& id, const QString& name);
    void setRows(Rows rows);
    int count() const { return int(m_rows.m_idEnds.size()); }
    // 0-based; the caller keeps within count().
    Row row(int index) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    static QStringView part(const QString& text, const QVector<qsizetype>& ends, int index);

    Rows m_rows;
    QString m_headers[2];
};

} // namespace quorvane
