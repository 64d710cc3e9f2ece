#include "app/calendar_term_dialog.h"

#include "base/prompts.h"

#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>

namespace quorvane {

CalendarTermDialog::CalendarTermDialog(const CalendarTerm& preset, Prompts& prompts, QWidget* parent)
    : QDialog(parent), m_prompts(prompts), m_term(preset)
{
    setObjectName(QStringLiteral("CalendarExport"));
    setWindowTitle(QStringLiteral("Calendar Export"));
    const auto dateEdit = [this](const char* name, const QDate& date) {
        auto* edit = new QDateEdit(date, this);
        edit->setObjectName(QString::fromLatin1(name));
        edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
        edit->setCalendarPopup(true);
        return edit;
    };
    m_first = dateEdit("FirstDay", preset.first);
    m_last = dateEdit("LastDay", preset.last);
    m_free = new QLineEdit(dayRangesText(preset.free), this);
    m_free->setObjectName(QStringLiteral("FreeDays"));
    m_free->setPlaceholderText(QStringLiteral("2026-10-12..2026-10-16, 2026-11-26"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("First day of classes:"), m_first);
    form->addRow(QStringLiteral("Last day of classes:"), m_last);
    form->addRow(QStringLiteral("Days without classes:"), m_free);
    form->addRow(buttons);
}

void CalendarTermDialog::accept()
{
    if (m_last->date() < m_first->date()) {
        showMessage(m_prompts, this, QStringLiteral("The last day of classes comes before the first."));
        m_last->setFocus();
        return;
    }
    const std::optional<QVector<DayRange>> free = parseDayRanges(m_free->text());
    if (!free) {
        showMessage(m_prompts, this,
                    QStringLiteral("Write each day without classes as YYYY-MM-DD, or days from one to another as "
                                   "YYYY-MM-DD..YYYY-MM-DD, separated by commas."));
        m_free->setFocus();
        return;
    }
    m_term = {m_first->date(), m_last->date(), *free};
    QDialog::accept();
}

} // namespace quorvane
