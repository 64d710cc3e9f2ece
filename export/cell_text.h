#pragma once

// How much of a cell's text a workbook file stores.

#include <QString>

namespace quorvane {

// A file stores at most this many UTF-16 code units per cell (Excel's own
// limit); a cell keeps its whole text in memory.
constexpr int kMaxCellTextLength = 32767;

// The text a saved file holds for a cell value: the value cut to
// kMaxCellTextLength UTF-16 code units. A surrogate pair that would be cut
// in half is left out entirely, so the stored text stays valid UTF-16.
QString storedCellText(const QString& value);

} // namespace quorvane
