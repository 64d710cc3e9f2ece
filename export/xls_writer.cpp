// Excel 97-2003 workbooks: the BIFF8 records of a workbook with one sheet of
// text cells, wrapped in a compound file.
//
// Workbook globals: BOF, the interface and protection records, WINDOW1,
// seven FONTs (index 4 does not exist in BIFF, so the fifth font gets index 5;
// 6 is bold, 7 the bold title), the 15 style XFs, the cell XF Excel expects,
// one cell XF for each printed style and one for each style and fill in use,
// the Normal STYLE, the PALETTE holding the fills' colours, the BOUNDSHEET of
// the sheet, for a sheet set up for printing its print area (SUPBOOK,
// EXTERNSHEET and the built-in NAME Print_Area), the shared string table
// (SST, CONTINUE) with its EXTSST, EOF. Sheet: BOF, INDEX, the calculation
// and page settings, DEFCOLWIDTH, the column widths (COLINFO), DIMENSIONS, the
// cells in blocks of 32 rows (ROW records, LABELSST cells, BLANK cells that
// only carry a style, DBCELL), WINDOW2, the merged title (MERGEDCELLS), EOF.
// Texts are stored 8-bit ("compressed") when every character is below U+0100
// and as UTF-16LE otherwise. Empty cells without a style are not written at
// all.
#include "export/cell_text.h"
#include "export/page_fit.h"
#include "export/workbook_files.h"
#include "export/worksheet.h"

#include <QFileDevice>
#include <QHash>
#include <QIODevice>
#include <QtEndian>

#include <optional>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <vector>

namespace quorvane {

namespace {

enum RecordType : quint16 {
    kBof = 0x0809,
    kEof = 0x000A,
    kInterfaceHdr = 0x00E1,
    kMms = 0x00C1,
    kInterfaceEnd = 0x00E2,
    kWriteAccess = 0x005C,
    kCodePage = 0x0042,
    kDsf = 0x0161,
    kTabId = 0x013D,
    kFnGroupCount = 0x009C,
    kWindowProtect = 0x0019,
    kProtect = 0x0012,
    kPassword = 0x0013,
    kProt4Rev = 0x01AF,
    kProt4RevPass = 0x01BC,
    kWindow1 = 0x003D,
    kBackup = 0x0040,
    kHideObj = 0x008D,
    kDateMode = 0x0022,
    kPrecision = 0x000E,
    kRefreshAll = 0x01B7,
    kBookBool = 0x00DA,
    kFont = 0x0031,
    kXf = 0x00E0,
    kStyle = 0x0293,
    kPalette = 0x0092,
    kUsesElfs = 0x0160,
    kBoundSheet = 0x0085,
    kSupBook = 0x01AE,
    kExternSheet = 0x0017,
    kName = 0x0018,
    kSst = 0x00FC,
    kContinue = 0x003C,
    kExtSst = 0x00FF,
    kIndex = 0x020B,
    kCalcMode = 0x000D,
    kCalcCount = 0x000C,
    kRefMode = 0x000F,
    kIteration = 0x0011,
    kDelta = 0x0010,
    kSaveRecalc = 0x005F,
    kPrintHeaders = 0x002A,
    kPrintGridlines = 0x002B,
    kGridSet = 0x0082,
    kGuts = 0x0080,
    kDefaultRowHeight = 0x0225,
    kWsBool = 0x0081,
    kHeader = 0x0014,
    kFooter = 0x0015,
    kHCenter = 0x0083,
    kVCenter = 0x0084,
    kSetup = 0x00A1,
    kDefColWidth = 0x0055,
    kColInfo = 0x007D,
    kDimensions = 0x0200,
    kRow = 0x0208,
    kLabelSst = 0x00FD,
    kBlank = 0x0201,
    kDbCell = 0x00D7,
    kWindow2 = 0x023E,
    kMergedCells = 0x00E5,
};

constexpr int kMaxRecordData = 8224; // bytes after the 4-byte record header
constexpr int kRowsPerBlock = 32;
constexpr quint16 kCellXf = 15; // the first cell XF: CellStyle::Plain
constexpr quint16 kCodePageUtf16 = 1200;
constexpr int kRowRecordSize = 4 + 16;

// The cell XF of each style, in the order of CellStyle.
quint16 cellXf(CellStyle style)
{
    return quint16(kCellXf + int(style));
}

// Twips (1/20 of a point) for a height in points.
quint16 twipsFromPoints(double points)
{
    return quint16(std::lround(points * 20));
}

// A column width as stored, in 1/256 of a character: whole pixels (7 to a
// character) and the cell's padding of 5, as Excel stores it.
quint16 storedColumnWidth(double characters)
{
    const double pixels = std::floor(characters * 7 + 0.5) + 5;
    return quint16(std::min(255.0 * 256, std::floor(pixels / 7 * 256)));
}

// Little-endian record data.
class Data
{
public:
    Data& u8(quint32 value)
    {
        m_bytes.append(char(value & 0xFF));
        return *this;
    }
    Data& u16(quint32 value) { return little(quint16(value)); }
    Data& u32(quint32 value) { return little(value); }
    Data& f64(double value)
    {
        quint64 bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        return little(bits);
    }
    Data& zeros(int count)
    {
        m_bytes.append(QByteArray(count, '\0'));
        return *this;
    }
    // The characters of text, one byte each when compressed, UTF-16LE otherwise.
    Data& chars(const QChar* text, int count, bool highBytes)
    {
        const int start = m_bytes.size();
        m_bytes.resize(start + count * (highBytes ? 2 : 1));
        char* out = m_bytes.data() + start;
        for (int i = 0; i < count; ++i) {
            const char16_t unit = text[i].unicode();
            *out++ = char(unit & 0xFF);
            if (highBytes)
                *out++ = char(unit >> 8);
        }
        return *this;
    }
    Data& append(const Data& other)
    {
        m_bytes.append(other.m_bytes);
        return *this;
    }
    int size() const { return int(m_bytes.size()); }
    const QByteArray& bytes() const { return m_bytes; }
    void clear() { m_bytes.clear(); }

private:
    template <class T>
    Data& little(T value)
    {
        char bytes[sizeof(T)];
        qToLittleEndian(value, bytes);
        m_bytes.append(bytes, sizeof(T));
        return *this;
    }

    QByteArray m_bytes;
};

bool needsHighBytes(const QString& text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.unicode() > 0xFF; });
}

// A ShortXLUnicodeString: 8-bit length, flags, characters.
Data shortString(const QString& text)
{
    const bool high = needsHighBytes(text);
    Data data;
    data.u8(text.size()).u8(high ? 1 : 0).chars(text.constData(), int(text.size()), high);
    return data;
}

// The workbook stream being written; positions are stream offsets.
class Stream
{
public:
    void reserve(qint64 size) { m_bytes.reserve(size); }
    qint64 position() const { return m_bytes.size(); }

    void record(quint16 type, const QByteArray& data = QByteArray())
    {
        Q_ASSERT(data.size() <= kMaxRecordData);
        Data header;
        header.u16(type).u16(quint16(data.size()));
        m_bytes.append(header.bytes());
        m_bytes.append(data);
    }
    void record(quint16 type, const Data& data) { record(type, data.bytes()); }

    void patch32(qint64 position, quint32 value)
    {
        for (int i = 0; i < 4; ++i)
            m_bytes[position + i] = char((value >> (8 * i)) & 0xFF);
    }

    QByteArray& bytes() { return m_bytes; }

private:
    QByteArray m_bytes;
};

void u16Record(Stream& stream, quint16 type, quint32 value)
{
    stream.record(type, Data().u16(value));
}

// A cell as written: its column (0-based), its XF, and its shared string,
// or none for a BLANK cell that only carries its style.
struct CellRecord
{
    quint16 column = 0;
    quint16 xf = kCellXf;
    std::optional<quint32> text;
};

// The cells of one row, in column order.
struct RowCells
{
    quint32 row = 0; // 0-based
    std::vector<CellRecord> cells;
    quint16 height = 0x00FF; // twips
    bool customHeight = false;
};

class SharedStrings
{
public:
    explicit SharedStrings(size_t expected) { m_indexes.reserve(qsizetype(expected)); }

    quint32 add(const QString& text)
    {
        ++m_references;
        const auto found = m_indexes.constFind(text);
        if (found != m_indexes.constEnd())
            return found.value();
        const quint32 index = quint32(m_strings.size());
        m_indexes.insert(text, index);
        m_strings.push_back(text);
        return index;
    }

    // SST (continued in CONTINUE records where it outgrows one record) and
    // EXTSST.
    void write(Stream& stream) const
    {
        const quint32 unique = quint32(m_strings.size());
        const quint32 perBucket = std::max<quint32>(unique / 128 + 1, 8);
        std::vector<std::pair<quint32, quint16>> buckets; // stream position, offset in its record

        Data record;
        quint16 recordType = kSst;
        qint64 recordStart = stream.position();
        const auto startRecord = [&](quint16 type) {
            stream.record(recordType, record);
            record.clear();
            recordType = type;
            recordStart = stream.position();
        };
        const auto room = [&] { return kMaxRecordData - record.size(); };

        record.u32(m_references).u32(unique);
        for (quint32 index = 0; index < unique; ++index) {
            const QString& text = m_strings[index];
            const int length = int(text.size());
            const bool high = needsHighBytes(text);
            const int unit = high ? 2 : 1;
            // The string's header never ends a record: it stays with its
            // first character (both halves of a surrogate pair).
            int first = length == 0 ? 0 : 1;
            if (length >= 2 && text.at(0).isHighSurrogate() && text.at(1).isLowSurrogate())
                first = 2;
            if (room() < 3 + first * unit)
                startRecord(kContinue);
            if (index % perBucket == 0) {
                const int offset = 4 + record.size();
                buckets.emplace_back(quint32(recordStart + offset), quint16(offset));
            }
            record.u16(length).u8(high ? 1 : 0);
            int done = 0;
            for (;;) {
                int count = std::min(room() / unit, length - done);
                // Keep a surrogate pair within one record.
                if (done + count < length && count > 1 && text.at(done + count - 1).isHighSurrogate())
                    --count;
                record.chars(text.constData() + done, count, high);
                done += count;
                if (done >= length)
                    break;
                // The rest continues in the next record, which repeats the
                // string's flags.
                startRecord(kContinue);
                record.u8(high ? 1 : 0);
            }
        }
        stream.record(recordType, record);

        Data extSst;
        extSst.u16(perBucket);
        for (const auto& bucket : buckets)
            extSst.u32(bucket.first).u16(bucket.second).u16(0);
        stream.record(kExtSst, extSst);
    }

private:
    std::vector<QString> m_strings;
    QHash<QString, quint32> m_indexes;
    quint32 m_references = 0;
};

Data bof(quint16 substreamType)
{
    Data data;
    data.u16(0x0600)        // BIFF8
        .u16(substreamType) // 0x0005 workbook globals, 0x0010 worksheet
        .u16(0x0DBB)        // build
        .u16(0x07CC)        // year
        .u32(0)             // file history flags
        .u32(0x06);         // lowest BIFF version that can read all records
    return data;
}

// The font of each cell style's XF, in the order of CellStyle, and whether it
// is framed by thin lines.
struct StyleLook
{
    quint16 font;
    bool framed;
};
constexpr StyleLook kStyleLooks[] = {{0, false}, {7, false}, {6, true}, {0, true}};

constexpr quint32 kThin = 1;
constexpr quint32 kMedium = 2;
constexpr quint32 kBlack = 8;
constexpr quint32 kSystemBackground = 0x41;

// A cell XF of style 0: a plain cell's general alignment at the bottom, a
// printed one's wrapped at the top; borders of the given kind and palette
// colour (none for 0); a solid fill of a palette colour, if any.
Data cellXfData(CellStyle style, quint32 border, quint32 borderColour, std::optional<quint32> fill)
{
    const bool printed = style != CellStyle::Plain;
    Data xf;
    xf.u16(kStyleLooks[int(style)].font)
        .u16(0)                    // General
        .u16(0x0001)               // locked, of style 0
        .u8(printed ? 0x08 : 0x20) // general alignment, wrapped, top / bottom
        .u8(0)
        .u8(0)
        .u8(printed || fill ? 0xF8 : 0x00); // font, alignment, borders, fill and protection of its own
    if (border)
        xf.u32(border | border << 4 | border << 8 | border << 12 | borderColour << 16 | borderColour << 23)
            .u32(borderColour | borderColour << 7 | (fill ? 1u << 26 : 0));
    else
        xf.u32(0).u32(fill ? 1u << 26 : 0);
    xf.u16(fill ? *fill | kSystemBackground << 7 : 0x20C0); // pattern colours: the fill / system colours
    return xf;
}

// The cell XFs of filled cells, after those of the styles: one for each
// style and fill in use, in the order first asked for, and the palette
// entries (from index 16 on) their colours take.
class FilledXfs
{
public:
    static constexpr int kFirstXf = kCellXf + 4;
    static constexpr int kFirstColour = 16;
    static constexpr int kColours = 64 - kFirstColour;

    quint16 xf(CellStyle style, const std::optional<CellFill>& fill)
    {
        if (!fill)
            return cellXf(style);
        const auto added = m_xfs.try_emplace({style, *fill}, quint16(kFirstXf + m_order.size()));
        if (added.second) {
            m_order.push_back(added.first->first);
            colourIndex(fill->colour);
            if (fill->frame)
                colourIndex(*fill->frame);
        }
        return added.first->second;
    }

    void writeXfs(Stream& stream) const
    {
        for (const auto& [style, fill] : m_order) {
            const StyleLook look = kStyleLooks[int(style)];
            const quint32 colour = colourIndex(fill.colour);
            if (fill.frame)
                stream.record(kXf, cellXfData(style, kMedium, colourIndex(*fill.frame), colour));
            else
                stream.record(kXf, cellXfData(style, look.framed ? kThin : 0, kBlack, colour));
        }
    }

    // Excel's default palette, its entries from index 16 on replaced by the
    // colours in use.
    void writePalette(Stream& stream) const
    {
        if (m_colours.empty())
            return;
        static constexpr QRgb kDefault[] = {
            0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0xFF00FF, 0x00FFFF, 0x800000, 0x008000,
            0x000080, 0x808000, 0x800080, 0x008080, 0xC0C0C0, 0x808080, 0x9999FF, 0x993366, 0xFFFFCC, 0xCCFFFF,
            0x660066, 0xFF8080, 0x0066CC, 0xCCCCFF, 0x000080, 0xFF00FF, 0xFFFF00, 0x00FFFF, 0x800080, 0x800000,
            0x008080, 0x0000FF, 0x00CCFF, 0xCCFFFF, 0xCCFFCC, 0xFFFF99, 0x99CCFF, 0xFF99CC, 0xCC99FF, 0xFFCC99,
            0x3366FF, 0x33CCCC, 0x99CC00, 0xFFCC00, 0xFF9900, 0xFF6600, 0x666699, 0x969696, 0x003366, 0x339966,
            0x003300, 0x333300, 0x993300, 0x993366, 0x333399, 0x333333};
        Data palette;
        palette.u16(56);
        for (int i = 0; i < 56; ++i) {
            const int own = i - (kFirstColour - 8);
            const QRgb rgb = own >= 0 && own < int(m_colours.size()) ? m_colours[size_t(own)] : kDefault[i];
            palette.u8(qRed(rgb)).u8(qGreen(rgb)).u8(qBlue(rgb)).u8(0);
        }
        stream.record(kPalette, palette);
    }

private:
    // A colour's palette index; past the palette's room, the nearest one's.
    quint32 colourIndex(QRgb rgb)
    {
        const auto found = std::find(m_colours.begin(), m_colours.end(), rgb);
        if (found == m_colours.end() && m_colours.size() < size_t(kColours)) {
            m_colours.push_back(rgb);
            return quint32(kFirstColour + m_colours.size() - 1);
        }
        return static_cast<const FilledXfs*>(this)->colourIndex(rgb);
    }
    quint32 colourIndex(QRgb rgb) const
    {
        const auto distance = [rgb](QRgb other) {
            const int r = qRed(rgb) - qRed(other);
            const int g = qGreen(rgb) - qGreen(other);
            const int b = qBlue(rgb) - qBlue(other);
            return r * r + g * g + b * b;
        };
        const auto nearest = std::min_element(m_colours.begin(), m_colours.end(),
                                              [&](QRgb a, QRgb b) { return distance(a) < distance(b); });
        return quint32(kFirstColour + (nearest - m_colours.begin()));
    }

    std::map<std::pair<CellStyle, CellFill>, quint16> m_xfs;
    std::vector<std::pair<CellStyle, CellFill>> m_order;
    std::vector<QRgb> m_colours;
};

void writeGlobals(Stream& stream, const Worksheet& sheet, const SharedStrings& strings, const FilledXfs& filled,
                  qint64& boundSheetOffsetPosition)
{
    stream.record(kBof, bof(0x0005));
    u16Record(stream, kInterfaceHdr, kCodePageUtf16);
    u16Record(stream, kMms, 0);
    stream.record(kInterfaceEnd);

    // The user name of the last writer, padded with blanks to 112 bytes.
    const QString user = QStringLiteral("Quorvane");
    Data writeAccess;
    writeAccess.u16(user.size()).u8(0).chars(user.constData(), int(user.size()), false);
    while (writeAccess.size() < 112)
        writeAccess.u8(0x20);
    stream.record(kWriteAccess, writeAccess);

    u16Record(stream, kCodePage, kCodePageUtf16);
    u16Record(stream, kDsf, 0);
    u16Record(stream, kTabId, 1);
    u16Record(stream, kFnGroupCount, 14);
    u16Record(stream, kWindowProtect, 0);
    u16Record(stream, kProtect, 0);
    u16Record(stream, kPassword, 0);
    u16Record(stream, kProt4Rev, 0);
    u16Record(stream, kProt4RevPass, 0);

    Data window1;
    window1
        .u16(0x0168) // left, twips
        .u16(0x010E) // top
        .u16(0x3840) // width
        .u16(0x2328) // height
        .u16(0x0038) // horizontal and vertical scroll bars, sheet tabs
        .u16(0)      // active sheet
        .u16(0)      // first visible tab
        .u16(1)      // selected sheets
        .u16(600);   // tab bar width ratio, per mille
    stream.record(kWindow1, window1);

    u16Record(stream, kBackup, 0);
    u16Record(stream, kHideObj, 0);
    u16Record(stream, kDateMode, 0);
    u16Record(stream, kPrecision, 1);
    u16Record(stream, kRefreshAll, 0);
    u16Record(stream, kBookBool, 0);

    // Five regular fonts, then the bold one and the title's.
    for (int i = 0; i < 7; ++i) {
        const bool bold = i >= 5;
        Data font;
        font.u16(i == 6 ? twipsFromPoints(kWorkbookTitlePoints) : 200) // 10 pt, in twips
            .u16(bold ? 1 : 0)     // bold; not italic, struck out, outlined or shadowed
            .u16(0x7FFF)           // automatic colour
            .u16(bold ? 700 : 400) // weight
            .u16(0)                // no super/subscript
            .u8(0)                 // not underlined
            .u8(0)                 // font family
            .u8(0)                 // character set
            .u8(0)
            .append(shortString(QStringLiteral("Arial")));
        stream.record(kFont, font);
    }

    // XF 0: the Normal style; 1..14: the other built-in style XFs Excel
    // always has; 15: the cell XF of plain cells.
    for (int i = 0; i < 16; ++i) {
        const bool style = i < 15;
        const quint16 font = (i == 1 || i == 2) ? 1 : (i == 3 || i == 4) ? 2 : 0;
        Data xf;
        xf.u16(font)
            .u16(0)                               // number format: General
            .u16(style ? 0xFFF5 : 0x0001)         // locked; style XF without parent / cell XF of style 0
            .u8(0x20)                             // general alignment, bottom
            .u8(0)                                // no rotation
            .u8(0)                                // no indent, no shrinking, context reading order
            .u8((i == 0 || !style) ? 0x00 : 0xF4) // attributes used
            .u32(0)                               // no borders
            .u32(0)                               // no border colours, no fill
            .u16(0x20C0);                         // fill colours: system foreground/background
        stream.record(kXf, xf);
    }
    // 16..18: the cell XFs of the printed styles, in the order of CellStyle,
    // all wrapping their text at the top of the cell; then those of filled
    // cells.
    for (const CellStyle style : {CellStyle::Title, CellStyle::Heading, CellStyle::Framed})
        stream.record(kXf, cellXfData(style, kStyleLooks[int(style)].framed ? kThin : 0, kBlack, std::nullopt));
    filled.writeXfs(stream);

    Data normalStyle;
    normalStyle
        .u16(0x8000) // built-in style of XF 0
        .u8(0)       // Normal
        .u8(0xFF);
    stream.record(kStyle, normalStyle);
    filled.writePalette(stream);

    u16Record(stream, kUsesElfs, 1);

    Data boundSheet;
    boundSheet
        .u32(0) // position of the sheet's BOF, filled in later
        .u8(0)  // visible
        .u8(0); // worksheet
    boundSheetOffsetPosition = stream.position() + 4;
    stream.record(kBoundSheet, boundSheet.append(shortString(sheet.name())));

    if (const auto& layout = sheet.printLayout()) {
        // The sheet's print area, a name local to it that refers to it
        // through the workbook's own SUPBOOK.
        stream.record(kSupBook, Data().u16(1).u16(0x0401));
        stream.record(kExternSheet, Data().u16(1).u16(0).u16(0).u16(0));
        Data area;
        area.u8(0x3B) // tArea3d
            .u16(0)   // the first EXTERNSHEET entry
            .u16(0)
            .u16(layout->lastRow - 1)
            .u16(0)
            .u16(layout->lastColumn - 1);
        Data name;
        name.u16(0x0020)      // built-in
            .u8(0)            // no shortcut key
            .u8(1)            // name length
            .u16(area.size()) // formula size
            .u16(0)           //
            .u16(1)           // local to sheet 1
            .u32(0)           // no menu, description, help or status texts
            .u8(0)            // the name, 8-bit:
            .u8(0x06)         // Print_Area
            .append(area);
        stream.record(kName, name);
    }

    strings.write(stream);
    stream.record(kEof);
}

void writeSheet(Stream& stream, const std::vector<RowCells>& rows, const std::optional<PrintLayout>& layout)
{
    stream.record(kBof, bof(0x0010));

    // Rows go in blocks of 32 (by row number), each block ending in a DBCELL
    // that INDEX points to.
    std::vector<std::pair<size_t, size_t>> blocks; // [first, last) into rows
    for (size_t i = 0; i < rows.size(); ++i) {
        if (blocks.empty() || rows[i].row / kRowsPerBlock != rows[blocks.back().first].row / kRowsPerBlock)
            blocks.emplace_back(i, i);
        blocks.back().second = i + 1;
    }

    const quint32 firstRow = rows.empty() ? 0 : rows.front().row;
    const quint32 rowsEnd = rows.empty() ? 0 : rows.back().row + 1;
    quint16 firstColumn = 0xFFFF;
    quint16 columnsEnd = 0;
    for (const auto& row : rows) {
        firstColumn = std::min(firstColumn, row.cells.front().column);
        columnsEnd = std::max<quint16>(columnsEnd, row.cells.back().column + 1);
    }
    if (rows.empty())
        firstColumn = 0;

    const qint64 indexPosition = stream.position();
    Data index;
    index.u32(0).u32(firstRow).u32(rowsEnd).u32(0).zeros(4 * int(blocks.size()));
    stream.record(kIndex, index);

    u16Record(stream, kCalcMode, 1); // automatic
    u16Record(stream, kCalcCount, 100);
    u16Record(stream, kRefMode, 1); // A1
    u16Record(stream, kIteration, 0);
    stream.record(kDelta, Data().f64(0.001));
    u16Record(stream, kSaveRecalc, 1);
    u16Record(stream, kPrintHeaders, 0);
    u16Record(stream, kPrintGridlines, 0);
    u16Record(stream, kGridSet, 1);
    stream.record(kGuts, Data().zeros(8));
    stream.record(kDefaultRowHeight, Data().u16(0).u16(0x00FF));
    // Outline symbols; printed fitted to pages when set up for printing.
    u16Record(stream, kWsBool, layout ? 0x05C1 : 0x04C1);
    stream.record(kHeader);
    stream.record(kFooter);
    u16Record(stream, kHCenter, layout ? 1 : 0);
    u16Record(stream, kVCenter, 0);
    Data setup;
    setup
        .u16(layout ? quint16(localePaperCode()) : 0) // paper size
        .u16(100)                                     // scale, percent
        .u16(1)                                       // first page number
        .u16(1)                                       // fit to 1 page wide
        .u16(1)                                       // and 1 page high
        .u16(layout ? 0 : 0x0006) // landscape, with these printer settings / portrait, no printer settings
        .u16(600)                 // resolution
        .u16(600)
        .f64(0.5) // header margin, inches
        .f64(0.5) // footer margin
        .u16(1);  // copies
    stream.record(kSetup, setup);

    const qint64 defColWidthPosition = stream.position();
    u16Record(stream, kDefColWidth, 8);
    if (layout) {
        for (size_t column = 0; column < layout->columnWidths.size(); ++column) {
            Data colInfo;
            colInfo.u16(column)
                .u16(column)
                .u16(storedColumnWidth(layout->columnWidths[column]))
                .u16(kCellXf)
                .u16(0) // shown
                .u16(0);
            stream.record(kColInfo, colInfo);
        }
    }

    Data dimensions;
    dimensions.u32(firstRow).u32(rowsEnd).u16(firstColumn).u16(columnsEnd).u16(0);
    stream.record(kDimensions, dimensions);

    std::vector<quint32> dbCellPositions;
    for (const auto& block : blocks) {
        const qint64 firstRowRecord = stream.position();
        for (size_t i = block.first; i < block.second; ++i) {
            const RowCells& row = rows[i];
            Data rowRecord;
            rowRecord.u16(row.row)
                .u16(row.cells.front().column)
                .u16(row.cells.back().column + 1)
                .u16(row.height) // in twips
                .u16(0)
                .u16(0)
                .u32(0x000F0100 | (row.customHeight ? 0x40 : 0)); // height set by hand or not, cell XF 15
            stream.record(kRow, rowRecord);
        }
        std::vector<qint64> firstCells;
        for (size_t i = block.first; i < block.second; ++i) {
            firstCells.push_back(stream.position());
            for (const CellRecord& cell : rows[i].cells) {
                if (cell.text)
                    stream.record(kLabelSst, Data().u16(rows[i].row).u16(cell.column).u16(cell.xf).u32(*cell.text));
                else
                    stream.record(kBlank, Data().u16(rows[i].row).u16(cell.column).u16(cell.xf));
            }
        }
        const qint64 dbCellPosition = stream.position();
        Data dbCell;
        dbCell.u32(quint32(dbCellPosition - firstRowRecord));
        // The first cell relative to the second ROW record, then each row's
        // first cell relative to the previous row's.
        dbCell.u16(quint32(firstCells.front() - (firstRowRecord + kRowRecordSize)));
        for (size_t i = 1; i < firstCells.size(); ++i)
            dbCell.u16(quint32(firstCells[i] - firstCells[i - 1]));
        stream.record(kDbCell, dbCell);
        dbCellPositions.push_back(quint32(dbCellPosition));
    }

    stream.patch32(indexPosition + 4 + 12, quint32(defColWidthPosition));
    for (size_t i = 0; i < dbCellPositions.size(); ++i)
        stream.patch32(indexPosition + 4 + 16 + 4 * qint64(i), dbCellPositions[i]);

    Data window2;
    window2
        .u16(0x06B6) // grid, headers, zeros, automatic grid colour, outline symbols, selected, shown
        .u16(0)      // top row
        .u16(0)      // left column
        .u32(0x40)   // grid colour: automatic
        .u16(0)      // page break preview zoom: default
        .u16(0)      // normal zoom: default
        .u32(0);
    stream.record(kWindow2, window2);
    if (layout && layout->lastColumn > 1)
        stream.record(kMergedCells, Data().u16(1).u16(0).u16(0).u16(0).u16(layout->lastColumn - 1));
    stream.record(kEof);
}

// The rows of cells to write: every non-empty cell, and the empty cells of
// the print area that carry a style, with the heights the layout gives.
std::vector<RowCells> rowsOf(const Worksheet& sheet, SharedStrings& strings, FilledXfs& filled)
{
    const auto& layout = sheet.printLayout();
    const int styledRows = layout ? layout->lastRow : 0;
    const int styledColumns = layout ? layout->lastColumn : 0;
    std::vector<RowCells> rows;
    const auto rowFor = [&](int row) -> RowCells& {
        if (rows.empty() || rows.back().row != quint32(row - 1)) {
            rows.emplace_back();
            rows.back().row = quint32(row - 1);
            if (layout && row <= layout->lastRow) {
                rows.back().height = twipsFromPoints(layout->rowHeight(row));
                rows.back().customHeight = row == 1;
            }
        }
        return rows.back();
    };
    const auto styled = [&](int row, int column) {
        rowFor(row).cells.push_back(
            {quint16(column - 1), filled.xf(sheet.cellStyle(row, column), sheet.cellFill(row, column)), std::nullopt});
    };
    // Walks the rows in order; the empty styled cells of a row go before,
    // between and after its text cells.
    int row = 1;
    int column = 1;
    const auto styledUpTo = [&](int endRow, int endColumn) {
        while (row < endRow || (row == endRow && column < endColumn)) {
            if (row > styledRows)
                return;
            if (column > styledColumns) {
                ++row;
                column = 1;
                continue;
            }
            styled(row, column);
            ++column;
        }
    };
    for (const auto& cell : sheet.cells()) {
        styledUpTo(cell.first.first, cell.first.second);
        rowFor(cell.first.first)
            .cells.push_back({quint16(cell.first.second - 1),
                              filled.xf(sheet.cellStyle(cell.first.first, cell.first.second),
                                        sheet.cellFill(cell.first.first, cell.first.second)),
                              strings.add(storedCellText(cell.second))});
        row = cell.first.first;
        column = cell.first.second + 1;
    }
    styledUpTo(styledRows + 1, 1);
    return rows;
}

} // namespace

QByteArray biff8WorkbookStream(const Worksheet& sheet)
{
    if (sheet.maxRow() > kMaxXlsRows || sheet.maxColumn() > kMaxXlsColumns)
        throw SpreadsheetFailure(
            QStringLiteral("The sheet uses %1 rows and %2 columns, but an Excel 97-2003 workbook holds at "
                           "most %3 rows and %4 columns; save it as an .xlsx workbook instead.")
                .arg(sheet.maxRow())
                .arg(sheet.maxColumn())
                .arg(kMaxXlsRows)
                .arg(kMaxXlsColumns));
    if (sheet.name().isEmpty() || sheet.name().size() > 31)
        throw SpreadsheetFailure(QStringLiteral("The sheet name \"%1\" does not fit an Excel 97-2003 workbook "
                                                "(1 to 31 characters).")
                                     .arg(sheet.name()));

    SharedStrings strings(sheet.cells().size());
    FilledXfs filled;
    const std::vector<RowCells> rows = rowsOf(sheet, strings, filled);

    Stream stream;
    qint64 textUnits = 0;
    for (const auto& cell : sheet.cells())
        textUnits += std::min<qint64>(cell.second.size(), kMaxCellTextLength);
    stream.reserve(4096 + 40 * qint64(sheet.cells().size()) + 2 * textUnits);
    qint64 boundSheetOffsetPosition = 0;
    writeGlobals(stream, sheet, strings, filled, boundSheetOffsetPosition);
    stream.patch32(boundSheetOffsetPosition, quint32(stream.position()));
    writeSheet(stream, rows, sheet.printLayout());
    return stream.bytes();
}

QByteArray xlsWorkbookBytes(const Worksheet& sheet)
{
    return compoundFileWithWorkbookStream(biff8WorkbookStream(sheet));
}

} // namespace quorvane
