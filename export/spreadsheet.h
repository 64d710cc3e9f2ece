#pragma once

// In-process spreadsheet application.
//
// The timetable is exported "to Excel" by driving a spreadsheet application
// through a handful of automation operations: create the application, hide
// it, switch its alerts off, add a workbook, put texts into the cells of its
// first sheet, save the workbook under a file name and quit. This header
// offers exactly those operations; the workbook is written by the program
// itself (workbook.h), so no spreadsheet application has to be installed.
//
// Failures are thrown as SpreadsheetFailure, whose what() is a readable
// description in UTF-8.

#include "export/workbook.h"

#include <QString>

#include <memory>
#include <vector>

namespace quorvane {

class SpreadsheetApplication
{
public:
    // Only "Excel.Application" (in any case) can be created; any other
    // programmatic id throws "No spreadsheet application is available".
    static std::unique_ptr<SpreadsheetApplication> create(const QString& programmaticId);

    SpreadsheetApplication(const SpreadsheetApplication&) = delete;
    SpreadsheetApplication& operator=(const SpreadsheetApplication&) = delete;
    ~SpreadsheetApplication();

    // The stand-in never shows a window or asks a question, whatever these
    // are set to; like the other operations they fail once it has quit.
    void setVisible(bool visible);
    void setDisplayAlerts(bool displayAlerts);

    // Workbooks.Add. The workbook stays owned by the application; the
    // reference is valid until the application is destroyed.
    Workbook& addWorkbook();

    // Closes every workbook without saving and ends the application; the
    // operations above throw afterwards. Calling it again does nothing.
    void quit();

private:
    SpreadsheetApplication() = default;
    void checkRunning() const;

    std::vector<std::unique_ptr<Workbook>> m_workbooks;
    bool m_quit = false;
};

} // namespace quorvane
