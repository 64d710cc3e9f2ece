#pragma once

#include "export/calendar_file.h"

#include <QDialog>

class QDateEdit;
class QLineEdit;

namespace quorvane {

class Prompts;

// "Calendar Export": the first and the last day of classes and the days
// without classes, asked after a calendar file has been chosen. OK checks
// them (a box says what is wrong and the dialog stays); term() is what was
// accepted.
class CalendarTermDialog : public QDialog
{
    Q_OBJECT
public:
    CalendarTermDialog(const CalendarTerm& preset, Prompts& prompts, QWidget* parent = nullptr);

    CalendarTerm term() const { return m_term; }
    void accept() override;

private:
    Prompts& m_prompts;
    QDateEdit* m_first = nullptr;
    QDateEdit* m_last = nullptr;
    QLineEdit* m_free = nullptr;
    CalendarTerm m_term;
};

} // namespace quorvane
