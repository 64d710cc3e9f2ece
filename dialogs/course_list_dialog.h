#pragma once

#include "app/prompts.h"
#include "dialogs/course_list.h"

#include <QDialog>
#include <QString>

class QComboBox;
class QPushButton;

namespace quorvane {

class Connection;
class PointerConvention;

// What the Edit Course and the Delete Course dialogs share: Combo1 with
// every course of every schedule and CourseIds parallel to it, the caller's
// preselection by name, and the closing procedure that releases CourseIds
// on every way out (Update or Delete, Cancel, the close box, Escape).
class CourseListDialog : public QDialog
{
    Q_OBJECT
public:
    QComboBox* Combo1() const { return m_combo1; }
    QPushButton* PushButton1() const { return m_pushButton1; }
    QPushButton* PushButton2() const { return m_pushButton2; }
    PointerConvention& pointer() const { return *m_pointer; }
    const CourseList& courseList() const { return m_courseIds; }

    // The caller's preselection, setting the text of Combo1: the first
    // entry of that name that belongs to the schedule selected in the main
    // window, else the first of that name in list order. A name that
    // matches no entry leaves nothing selected.
    void setCombo1Text(const QString& name);

    void Form_QueryUnload();

protected:
    CourseListDialog(const char* windowName, Connection& scheduleDb, Prompts& prompts, const QString& programFolder,
                     const QString& selectedScheduleId, QWidget* parent);

    // Every way of closing passes here.
    void done(int result) override;

    // Combo1, placed in twips inside `parent`.
    void makeCombo1(QWidget* parent, int left, int top, int width, int height);
    void FillCourseList();
    void Unload(int result);

    const char* m_windowName;
    Connection& m_scheduleDb;
    Prompts& m_prompts;
    QString m_programFolder;
    QString m_selectedScheduleId;
    PointerConvention* m_pointer = nullptr;
    QComboBox* m_combo1 = nullptr;
    QPushButton* m_pushButton1 = nullptr;
    QPushButton* m_pushButton2 = nullptr;
    CourseList m_courseIds{nullptr};

private:
    bool m_unloaded = false;
};

} // namespace quorvane
