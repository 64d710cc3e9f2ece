#pragma once

#include <QIcon>
#include <QImage>

namespace quorvane {

// The icon of the main window and the course dialogs: a small timetable.
QIcon programIcon();

// The same drawing at any size in pixels, for the desktop's icon theme.
QImage programIconImage(int size);

} // namespace quorvane
