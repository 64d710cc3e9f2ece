// The timetable drawn for paper: as a picture and as a PDF page.
#include "export/timetable_picture.h"

#include "base/failure.h"
#include "base/shown_text.h"
#include "base/twips.h"
#include "export/page_fit.h"
#include "timetable/course_colours.h"
#include "timetable/grid.h"
#include "widgets/fonts.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTextLayout>

#include <algorithm>
#include <cmath>
#include <numeric>

namespace quorvane {

namespace {

constexpr int kDotsPerInch = kPageDotsPerInch;
constexpr qreal kPoints = 9; // the grid's text, as on screen
constexpr qreal kPictureTitlePoints = 16;
constexpr int kTitleLines = 3;
constexpr int kPadding = 3;       // between a cell's text and its left and top lines
constexpr qreal kWrapWaste = 1.2; // room lost to wrapping at word boundaries
constexpr int kColumnStep = 10;
constexpr qreal kPageMarginMm = 12;
constexpr qreal kTitleRoom = 60; // two lines of title, in pixels

// The grid's room on a landscape page of the locale's paper within the
// margins, less the title's, in pixels.
QSizeF printedPage()
{
    const QSizeF paper = QPageSize(localePaper()).size(QPageSize::Millimeter).transposed();
    return QSizeF((paper.width() - 2 * kPageMarginMm) / 25.4 * kDotsPerInch,
                  (paper.height() - 2 * kPageMarginMm) / 25.4 * kDotsPerInch - kTitleRoom);
}

const QColor kLineColour(0x80, 0x80, 0x80);
const QColor kHeadingColour(0xE8, 0xE8, 0xE8);

QFont gridFont(bool heading)
{
    QFont font = arialBold(kPoints);
    font.setBold(heading);
    return font;
}

bool isHeading(int row, int col)
{
    return row == 0 || col == 0;
}

QStringList paragraphs(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text.split(QLatin1Char('\n'));
}

// The lines text takes `width` wide: each paragraph wrapped at word
// boundaries (within a word longer than a line), at most maxLines, the last
// one holding the rest of the text, elided.
QStringList wrappedLines(const QString& text, const QFont& font, QPaintDevice* device, qreal width, int maxLines)
{
    const QStringList parts = paragraphs(text);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    QStringList lines;
    for (qsizetype p = 0; p < parts.size(); ++p) {
        QTextLayout layout(parts[p], font, device);
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width);
            if (lines.size() == maxLines - 1) {
                QString rest = parts[p].mid(line.textStart());
                for (qsizetype q = p + 1; q < parts.size(); ++q)
                    rest += QLatin1Char(' ') + parts[q];
                lines << QFontMetricsF(font, device).elidedText(rest, Qt::ElideRight, width);
                layout.endLayout();
                return lines;
            }
            lines << parts[p].mid(line.textStart(), line.textLength());
        }
        layout.endLayout();
    }
    return lines;
}

// Where each cell goes and what it shows.
struct PictureLayout
{
    QVector<int> left; // of each column, then the right end
    QVector<int> top;  // of each row, then the bottom end
    QVector<QStringList> lines;
    int lineHeight = 0;
    qreal ascent = 0;

    QSize size() const { return QSize(left.last() + 1, top.last() + 1); }
};

PictureLayout layOut(const TimetableGrid& grid, QPaintDevice* device, const QSizeF& page, ClashNames names)
{
    const int rows = grid.rows();
    const int cols = grid.cols();
    const QFont fonts[] = {gridFont(false), gridFont(true)};
    const QFontMetricsF metrics[] = {QFontMetricsF(fonts[0], device), QFontMetricsF(fonts[1], device)};
    PictureLayout layout;
    layout.lineHeight = int(std::ceil(std::max(metrics[0].lineSpacing(), metrics[1].lineSpacing())));
    layout.ascent = std::max(metrics[0].ascent(), metrics[1].ascent());

    // Each text and the width of each of its lines, measured once.
    QVector<QString> texts(rows * cols);
    QVector<QVector<qreal>> advances(rows * cols);
    QVector<int> onScreen(cols);
    for (int c = 0; c < cols; ++c) {
        onScreen[c] =
            pixelsFromTwips(grid.colWidthTwips(c) >= 0 ? grid.colWidthTwips(c) : TimetableGrid::kDayColWidthTwips);
        for (int r = 0; r < rows; ++r) {
            QString& text = texts[r * cols + c];
            text = shownText(names == ClashNames::All ? grid.displayText(r, c) : grid.text(r, c));
            if (!text.isEmpty())
                for (const QString& paragraph : paragraphs(text))
                    advances[r * cols + c] << metrics[isHeading(r, c)].horizontalAdvance(paragraph);
        }
    }
    const auto widthsWithin = [&](double cap) {
        QVector<int> widths(onScreen);
        for (int i = 0; i < rows * cols; ++i)
            for (const qreal advance : advances[i])
                widths[i % cols] =
                    std::max(widths[i % cols], std::min(int(cap), int(std::ceil(advance)) + 2 * kPadding + 1));
        return widths;
    };
    const auto rowHeight = [&](int lines) { return std::min(lines, kMaxPictureLines) * layout.lineHeight + 4; };
    // Estimated from each line's width, without wrapping every text anew.
    const auto sizeWithin = [&](double cap) {
        const QVector<int> widths = widthsWithin(cap);
        QSizeF size(std::accumulate(widths.begin(), widths.end(), 0), 0);
        for (int r = 0; r < rows; ++r) {
            int lines = 1;
            for (int c = 0; c < cols; ++c) {
                int cellLines = 0;
                const qreal room = widths[c] - 2 * kPadding;
                for (const qreal advance : advances[r * cols + c])
                    cellLines += advance <= room ? 1 : int(std::ceil(advance * kWrapWaste / room));
                lines = std::max(lines, cellLines);
            }
            size.rheight() += rowHeight(lines);
        }
        return size;
    };
    const int narrowest = *std::min_element(onScreen.begin(), onScreen.end());
    const QVector<int> widths = widthsWithin(
        bestColumnCap(narrowest, std::max(narrowest, kMaxPictureColumnWidth), kColumnStep, page, sizeWithin));
    layout.left.resize(cols + 1);
    for (int c = 0; c < cols; ++c)
        layout.left[c + 1] = layout.left[c] + widths[c];

    // As tall as the window's rows, or as the most lines in the row.
    layout.lines.resize(rows * cols);
    layout.top.resize(rows + 1);
    for (int r = 0; r < rows; ++r) {
        int lines = 1;
        for (int c = 0; c < cols; ++c) {
            QStringList& cell = layout.lines[r * cols + c];
            if (!texts[r * cols + c].isEmpty())
                cell = wrappedLines(texts[r * cols + c], fonts[isHeading(r, c)], device, widths[c] - 2 * kPadding,
                                    kMaxPictureLines);
            lines = std::max(lines, int(cell.size()));
        }
        layout.top[r + 1] = layout.top[r] + rowHeight(lines);
    }
    return layout;
}

void paint(QPainter& painter, const TimetableGrid& grid, const PictureLayout& layout)
{
    const int rows = grid.rows();
    const int cols = grid.cols();
    const QSize size = layout.size();
    painter.fillRect(QRect(QPoint(0, 0), size), Qt::white);
    painter.setPen(Qt::black);
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < cols; ++c) {
            const QRect cell(layout.left[c], layout.top[r], layout.left[c + 1] - layout.left[c],
                             layout.top[r + 1] - layout.top[r]);
            if (isHeading(r, c))
                painter.fillRect(cell, kHeadingColour);
            else if (const QColor colour = grid.courseColour(r, c); colour.isValid())
                painter.fillRect(cell, colour);
            painter.setFont(gridFont(isHeading(r, c)));
            qreal baseline = cell.top() + 2 + layout.ascent;
            for (const QString& line : layout.lines[r * cols + c]) {
                painter.drawText(QPointF(cell.left() + kPadding, baseline), line);
                baseline += layout.lineHeight;
            }
        }
    }
    painter.setPen(QPen(kLineColour, 1));
    for (const int x : layout.left)
        painter.drawLine(x, 0, x, size.height() - 1);
    for (const int y : layout.top)
        painter.drawLine(0, y, size.width() - 1, y);
    for (int r = 1; r < rows; ++r)
        for (int c = 1; c < cols; ++c)
            if (grid.isClash(r, c))
                paintClashFrame(painter, QRect(layout.left[c], layout.top[r], layout.left[c + 1] - layout.left[c] + 1,
                                               layout.top[r + 1] - layout.top[r] + 1));
}

} // namespace

QImage timetableImage(const TimetableGrid& grid, ClashNames names)
{
    // Measured on a picture of the same resolution as the one drawn.
    QImage probe(1, 1, QImage::Format_RGB32);
    const PictureLayout layout = layOut(grid, &probe, printedPage(), names);
    QImage image(layout.size(), QImage::Format_RGB32);
    QPainter painter(&image);
    paint(painter, grid, layout);
    return image;
}

QByteArray timetablePdf(const TimetableGrid& grid, const QString& title)
{
    return timetablePdf(grid, title,
                        QPageLayout(QPageSize(localePaper()), QPageLayout::Landscape,
                                    QMarginsF(kPageMarginMm, kPageMarginMm, kPageMarginMm, kPageMarginMm),
                                    QPageLayout::Millimeter));
}

QByteArray timetablePdf(const TimetableGrid& grid, const QString& title, const QPageLayout& layout)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter pdf(&buffer);
    pdf.setResolution(kDotsPerInch);
    pdf.setPageLayout(layout);
    pdf.setTitle(shownText(title));
    pdf.setCreator(QStringLiteral("Quorvane"));
    if (!drawTimetablePage(pdf, grid, title))
        throw Failure(QStringLiteral("Cannot draw the PDF document."));
    return bytes;
}

bool drawTimetablePage(QPagedPaintDevice& device, const TimetableGrid& grid, const QString& title)
{
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    const qreal width = device.width();
    const qreal height = device.height();

    const QFont titleFont = arialBold(kPictureTitlePoints);
    const QFontMetricsF titleMetrics(titleFont, &device);
    const QStringList titleLines =
        title.isEmpty() ? QStringList() : wrappedLines(shownText(title), titleFont, &device, width, kTitleLines);
    painter.setFont(titleFont);
    painter.setPen(Qt::black);
    qreal y = 0;
    for (const QString& line : titleLines) {
        painter.drawText(QPointF((width - titleMetrics.horizontalAdvance(line)) / 2, y + titleMetrics.ascent()), line);
        y += titleMetrics.lineSpacing();
    }
    if (!titleLines.isEmpty())
        y += titleMetrics.lineSpacing() / 2;

    const PictureLayout layout = layOut(grid, &device, QSizeF(width, height - kTitleRoom), ClashNames::All);
    const QSizeF size = layout.size();
    const qreal scale = std::min(width / size.width(), (height - y) / size.height());
    painter.translate((width - size.width() * scale) / 2, y);
    painter.scale(scale, scale);
    paint(painter, grid, layout);
    return painter.end();
}

} // namespace quorvane
