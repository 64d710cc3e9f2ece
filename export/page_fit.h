#pragma once

// Printed tables that fit their page: how wide a column may grow.

#include <QLocale>
#include <QPageSize>
#include <QSizeF>

#include <algorithm>

namespace quorvane {

// The widest a column of a printed table may grow, chosen so that the table
// prints largest on its page: wider columns wrap long texts onto fewer lines,
// narrower ones make the table less wide. Of the caps from `first` to `last`
// by `step`, the one whose table (sizeFor(cap), in the page's units) fits
// the page at the largest scale; the narrowest of those that do equally well.
template <class SizeFor>
double bestColumnCap(double first, double last, double step, const QSizeF& page, SizeFor&& sizeFor)
{
    double best = first;
    double bestScale = 0;
    for (double cap = first; cap <= last; cap += step) {
        const QSizeF size = sizeFor(cap);
        const double scale = std::min(page.width() / size.width(), page.height() / size.height());
        if (scale > bestScale * 1.000001) {
            best = cap;
            bestScale = scale;
        }
    }
    return best;
}

// The paper pictures and workbooks are laid out for: the one the user's
// locale usually prints on, Letter where it measures in US units, A4
// elsewhere.
inline QPageSize::PageSizeId localePaper()
{
    return QLocale().measurementSystem() == QLocale::ImperialUSSystem ? QPageSize::Letter : QPageSize::A4;
}

// The same as a workbook's paper code: 1 Letter, 9 A4.
inline int localePaperCode()
{
    return localePaper() == QPageSize::Letter ? 1 : 9;
}

} // namespace quorvane
