// The OLE2 compound file around an Excel 97-2003 workbook stream.
//
// Version 3 file, 512-byte sectors, laid out as
//   header | Workbook stream sectors | FAT sectors | DIFAT sectors | directory
// The directory sector holds the Root Entry (no mini stream), the "Workbook"
// stream as its only child, and two unused entries. DIFAT sectors exist only
// when more than 109 FAT sectors are needed (streams beyond ~6.8 MB).
#include "export/workbook_files.h"
#include "export/worksheet.h"

#include <QtEndian>

#include <algorithm>

namespace quorvane {

namespace {

constexpr int kSectorSize = 512;
constexpr int kEntriesPerSector = kSectorSize / 4;
constexpr int kHeaderDifatEntries = 109;
constexpr int kMinimumStreamSize = 4096; // smaller streams would go into the mini stream

constexpr quint32 kDifSect = 0xFFFFFFFC;
constexpr quint32 kFatSect = 0xFFFFFFFD;
constexpr quint32 kEndOfChain = 0xFFFFFFFE;
constexpr quint32 kFreeSect = 0xFFFFFFFF;
constexpr quint32 kNoStream = 0xFFFFFFFF;

void put16(QByteArray& bytes, qint64 position, quint16 value)
{
    qToLittleEndian(value, bytes.data() + position);
}

void put32(QByteArray& bytes, qint64 position, quint32 value)
{
    qToLittleEndian(value, bytes.data() + position);
}

enum EntryType : quint8 { kUnused = 0, kStreamEntry = 2, kRootEntry = 5 };

QByteArray directoryEntry(const QString& name, EntryType type, quint32 child, quint32 startSector, quint32 size)
{
    QByteArray entry(128, '\0');
    put32(entry, 0x44, kNoStream); // left sibling
    put32(entry, 0x48, kNoStream); // right sibling
    put32(entry, 0x4C, child);
    if (type == kUnused)
        return entry;
    for (int i = 0; i < name.size(); ++i)
        put16(entry, 2 * i, name.at(i).unicode());
    put16(entry, 0x40, quint16((name.size() + 1) * 2)); // bytes, with the terminating zero
    entry[0x42] = char(type);
    entry[0x43] = 1; // black
    put32(entry, 0x74, startSector);
    put32(entry, 0x78, size); // the upper half of the 64-bit size stays 0
    return entry;
}

} // namespace

QByteArray compoundFileWithWorkbookStream(const QByteArray& workbookStream)
{
    if (workbookStream.size() > 0x7FFF0000)
        throw SpreadsheetFailure(QStringLiteral("The workbook is too large for an Excel 97-2003 file."));
    const quint32 streamSize = quint32(std::max<qint64>(workbookStream.size(), kMinimumStreamSize));
    const quint32 streamSectors = (streamSize + kSectorSize - 1) / kSectorSize;

    // The FAT has to describe its own sectors and the DIFAT's as well.
    quint32 fatSectors = 1;
    quint32 difatSectors = 0;
    for (;;) {
        const quint32 sectors = streamSectors + fatSectors + difatSectors + 1;
        const quint32 neededFat = (sectors + kEntriesPerSector - 1) / kEntriesPerSector;
        const quint32 neededDifat =
            neededFat > kHeaderDifatEntries
                ? (neededFat - kHeaderDifatEntries + kEntriesPerSector - 2) / (kEntriesPerSector - 1)
                : 0;
        if (neededFat <= fatSectors && neededDifat <= difatSectors)
            break;
        fatSectors = std::max(fatSectors, neededFat);
        difatSectors = std::max(difatSectors, neededDifat);
    }
    const quint32 firstFat = streamSectors;
    const quint32 firstDifat = firstFat + fatSectors;
    const quint32 directorySector = firstDifat + difatSectors;
    const quint32 sectorCount = directorySector + 1;

    QByteArray file(qint64(kSectorSize) * (1 + sectorCount), '\0');

    // Header.
    static const unsigned char signature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    for (int i = 0; i < 8; ++i)
        file[i] = char(signature[i]);
    put16(file, 0x18, 0x003E); // minor version
    put16(file, 0x1A, 0x0003); // major version
    put16(file, 0x1C, 0xFFFE); // little-endian
    put16(file, 0x1E, 9);      // 512-byte sectors
    put16(file, 0x20, 6);      // 64-byte mini sectors
    put32(file, 0x28, 0);      // directory sectors (always 0 in version 3)
    put32(file, 0x2C, fatSectors);
    put32(file, 0x30, directorySector);
    put32(file, 0x34, 0); // transaction signature
    put32(file, 0x38, kMinimumStreamSize);
    put32(file, 0x3C, kEndOfChain); // no mini FAT
    put32(file, 0x40, 0);
    put32(file, 0x44, difatSectors > 0 ? firstDifat : kEndOfChain);
    put32(file, 0x48, difatSectors);
    for (quint32 i = 0; i < kHeaderDifatEntries; ++i)
        put32(file, 0x4C + 4 * i, i < fatSectors ? firstFat + i : kFreeSect);

    const auto sectorPosition = [](quint32 sector) { return qint64(kSectorSize) * (1 + qint64(sector)); };

    // The stream, zero-padded.
    std::copy(workbookStream.begin(), workbookStream.end(), file.begin() + sectorPosition(0));

    // FAT.
    const qint64 fatPosition = sectorPosition(firstFat);
    const auto setFat = [&](quint32 sector, quint32 next) { put32(file, fatPosition + 4 * qint64(sector), next); };
    for (quint32 sector = 0; sector < fatSectors * kEntriesPerSector; ++sector)
        setFat(sector, kFreeSect);
    for (quint32 sector = 0; sector < streamSectors; ++sector)
        setFat(sector, sector + 1 < streamSectors ? sector + 1 : kEndOfChain);
    for (quint32 i = 0; i < fatSectors; ++i)
        setFat(firstFat + i, kFatSect);
    for (quint32 i = 0; i < difatSectors; ++i)
        setFat(firstDifat + i, kDifSect);
    setFat(directorySector, kEndOfChain);

    // DIFAT: the FAT sectors the header has no room for, 127 per sector, each
    // sector ending with the number of the next one.
    for (quint32 d = 0; d < difatSectors; ++d) {
        const qint64 position = sectorPosition(firstDifat + d);
        for (quint32 j = 0; j + 1 < quint32(kEntriesPerSector); ++j) {
            const quint32 fat = kHeaderDifatEntries + d * (kEntriesPerSector - 1) + j;
            put32(file, position + 4 * j, fat < fatSectors ? firstFat + fat : kFreeSect);
        }
        put32(file, position + kSectorSize - 4, d + 1 < difatSectors ? firstDifat + d + 1 : kEndOfChain);
    }

    // Directory.
    QByteArray directory = directoryEntry(QStringLiteral("Root Entry"), kRootEntry, 1, kEndOfChain, 0);
    directory += directoryEntry(QStringLiteral("Workbook"), kStreamEntry, kNoStream, 0, streamSize);
    directory += directoryEntry(QString(), kUnused, kNoStream, 0, 0);
    directory += directoryEntry(QString(), kUnused, kNoStream, 0, 0);
    std::copy(directory.begin(), directory.end(), file.begin() + sectorPosition(directorySector));
    return file;
}

} // namespace quorvane
