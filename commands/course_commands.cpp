// The three course dialogs opened from the main window.
#include "app/form1.h"

namespace quorvane {

void Form1::PushButton3_Click() {}
void Form1::PushButton6_Click() {}
void Form1::PushButton4_Click() {}

} // namespace quorvane
