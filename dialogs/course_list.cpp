#include "dialogs/course_list.h"

#include "base/failure.h"
#include "base/shown_text.h"
#include "store/connection.h"
#include "store/statements.h"

#include <QComboBox>
#include <QListView>
#include <QProxyStyle>
#include <QSignalBlocker>

namespace quorvane {

namespace {

// The list of a combo box drawn as a plain list rather than a menu: a menu
// measures the width of every entry each time it opens.
class PlainListStyle : public QProxyStyle
{
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returned) const override
    {
        if (hint == SH_ComboBox_Popup)
            return 0;
        return QProxyStyle::styleHint(hint, option, widget, returned);
    }
};

} // namespace

CourseList::CourseList(QComboBox* combo) : QAbstractListModel(combo), m_combo(combo)
{
    combo->setEditable(false);
    combo->setModel(this);
    // The box keeps its fixed width: no measuring of every entry's text.
    combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    combo->setMinimumContentsLength(1);
    auto* style = new PlainListStyle;
    style->setParent(combo);
    combo->setStyle(style);
    if (auto* view = qobject_cast<QListView*>(combo->view())) {
        view->setUniformItemSizes(true);
        view->setLayoutMode(QListView::Batched);
    }
}

void CourseList::fill(const Connection& db)
{
    Recordset rs;
    rs.open(sql::selectCourses(), db);

    QVector<qint64> ids;
    QVector<qint64> schedules;
    QString names;
    QVector<qsizetype> nameEnds;
    // The entries go into the box in one go, with its signals held back:
    // filling selects nothing and loads no course. Entry and id are appended
    // together, so the two stay parallel whatever happens.
    const auto commit = [&] {
        const QSignalBlocker block(m_combo);
        m_combo->setCurrentIndex(-1);
        beginResetModel();
        m_ids = std::move(ids);
        m_scheduleIds = std::move(schedules);
        m_names = std::move(names);
        m_nameEnds = std::move(nameEnds);
        endResetModel();
        m_combo->setCurrentIndex(-1);
    };
    try {
        int id = -1;
        int scheduleId = -1;
        int courseName = -1;
        while (!rs.eof()) {
            if (id < 0) {
                id = rs.column(QStringLiteral("id"));
                scheduleId = rs.column(QStringLiteral("ScheduleID"));
                courseName = rs.column(QStringLiteral("CourseName"));
            }
            const qint64 rowId = rs.integer(id);
            const qint64 rowSchedule = rs.integer(scheduleId);
            rs.appendText(courseName, names);
            ids.append(rowId);
            schedules.append(rowSchedule);
            nameEnds.append(names.size());
            rs.moveNext();
        }
    } catch (...) {
        names.truncate(nameEnds.isEmpty() ? 0 : nameEnds.last());
        commit();
        throw;
    }
    commit();
    if (rs.isOpen())
        rs.close();
}

void CourseList::release()
{
    m_ids.clear();
    m_scheduleIds.clear();
}

QString CourseList::courseId(int index) const
{
    if (index < 0 || index >= m_ids.size())
        throw Failure(QStringLiteral("The course list has no entry %1").arg(index));
    return QString::number(m_ids.at(index));
}

QStringView CourseList::nameView(int index) const
{
    const qsizetype start = index == 0 ? 0 : m_nameEnds.at(index - 1);
    return QStringView(m_names).mid(start, m_nameEnds.at(index) - start);
}

QString CourseList::name(int index) const
{
    return nameView(index).toString();
}

int CourseList::preselect(const QString& name, const QString& scheduleId)
{
    bool isNumber = false;
    const qint64 preferred = scheduleId.toLongLong(&isNumber);
    int first = -1;
    const int entries = int(std::min(m_nameEnds.size(), m_scheduleIds.size()));
    for (int i = 0; i < entries; ++i) {
        if (nameView(i) != name)
            continue;
        if (first < 0)
            first = i;
        if (isNumber && m_scheduleIds.at(i) == preferred) {
            first = i;
            break;
        }
    }
    if (first >= 0)
        m_combo->setCurrentIndex(first);
    return first;
}

int CourseList::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_nameEnds.size());
}

QVariant CourseList::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    // Only the beginning of a long name is copied out.
    return shownText(nameView(index.row()));
}

} // namespace quorvane
