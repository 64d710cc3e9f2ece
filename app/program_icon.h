#pragma once

#include <QIcon>

namespace quorvane {

// The icon of the main window and the course dialogs: a small timetable.
QIcon programIcon();

} // namespace quorvane
