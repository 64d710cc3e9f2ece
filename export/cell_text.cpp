#include "export/cell_text.h"

#include "base/shown_text.h"

namespace quorvane {

QString storedCellText(const QString& value)
{
    return leftWhole(value, kMaxCellTextLength);
}

} // namespace quorvane
