// The one-click sample schedule.
#include "app/form1.h"

namespace quorvane {

void Form1::PushButton9_Click() {}

} // namespace quorvane
