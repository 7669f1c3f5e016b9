#include "files/compoundfile.h"

#include <QtEndian>

#include <vector>

namespace {

constexpr quint32 freeSector = 0xFFFFFFFF;
constexpr quint32 endOfChain = 0xFFFFFFFE;
constexpr quint32 fatSector = 0xFFFFFFFD;
constexpr quint32 difatSector = 0xFFFFFFFC;
constexpr quint32 noStream = 0xFFFFFFFF;
constexpr int sectorSize = 512;
constexpr int entriesPerSector = sectorSize / 4;
constexpr int headerDifatSlots = 109;
const char signature[8] = {'\xD0', '\xCF', '\x11', '\xE0', '\xA1', '\xB1', '\x1A', '\xE1'};

void put16(QByteArray &bytes, int offset, quint16 value)
{
    qToLittleEndian(value, bytes.data() + offset);
}

void put32(QByteArray &bytes, int offset, quint32 value)
{
    qToLittleEndian(value, bytes.data() + offset);
}

quint16 get16(const QByteArray &bytes, qint64 offset)
{
    return qFromLittleEndian<quint16>(bytes.constData() + offset);
}

quint32 get32(const QByteArray &bytes, qint64 offset)
{
    return qFromLittleEndian<quint32>(bytes.constData() + offset);
}

// One 128-byte directory entry.
QByteArray directoryEntry(const QString &name, quint8 type, quint32 child, quint32 start,
                          quint32 size)
{
    QByteArray entry(128, '\0');
    if (type != 0) {
        for (int i = 0; i < name.size(); ++i)
            put16(entry, 2 * i, name.at(i).unicode());
        put16(entry, 0x40, quint16(2 * (name.size() + 1)));
    }
    entry[0x42] = char(type);
    entry[0x43] = char(type != 0 ? 1 : 0); // black
    put32(entry, 0x44, noStream);
    put32(entry, 0x48, noStream);
    put32(entry, 0x4C, child);
    put32(entry, 0x74, start);
    put32(entry, 0x78, size);
    return entry;
}

} // namespace

QByteArray CompoundFile::wrap(const QByteArray &workbookStream)
{
    // Streams up to the 4096-byte cutoff would belong in the mini stream;
    // zeros after the last EOF record are ignored by every reader.
    QByteArray stream = workbookStream;
    if (stream.size() <= 4096)
        stream.append(4608 - stream.size(), '\0');
    const quint32 streamSize = quint32(stream.size());
    const int w = (stream.size() + sectorSize - 1) / sectorSize;
    stream.append(w * sectorSize - stream.size(), '\0');

    int f = 1;
    int d = 0;
    for (;;) {
        const int total = w + f + d + 1;
        const int needF = (total + entriesPerSector - 1) / entriesPerSector;
        const int needD =
            needF > headerDifatSlots
                ? (needF - headerDifatSlots + entriesPerSector - 2) / (entriesPerSector - 1)
                : 0;
        if (needF == f && needD == d)
            break;
        f = needF;
        d = needD;
    }
    const quint32 firstFat = quint32(w);
    const quint32 firstDifat = quint32(w + f);
    const quint32 directory = quint32(w + f + d);

    QByteArray fat(f * sectorSize, '\xFF');
    for (int i = 0; i < w - 1; ++i)
        put32(fat, 4 * i, quint32(i + 1));
    put32(fat, 4 * (w - 1), endOfChain);
    for (int i = 0; i < f; ++i)
        put32(fat, 4 * int(firstFat + i), fatSector);
    for (int i = 0; i < d; ++i)
        put32(fat, 4 * int(firstDifat + i), difatSector);
    put32(fat, 4 * int(directory), endOfChain);

    QByteArray header(sectorSize, '\0');
    header.replace(0, 8, QByteArray(signature, 8));
    put16(header, 0x18, 0x003E);
    put16(header, 0x1A, 0x0003);
    put16(header, 0x1C, 0xFFFE);
    put16(header, 0x1E, 9);
    put16(header, 0x20, 6);
    put32(header, 0x2C, quint32(f));
    put32(header, 0x30, directory);
    put32(header, 0x38, 0x1000);
    put32(header, 0x3C, endOfChain);
    put32(header, 0x44, d > 0 ? firstDifat : endOfChain);
    put32(header, 0x48, quint32(d));
    for (int i = 0; i < headerDifatSlots; ++i)
        put32(header, 0x4C + 4 * i, i < f ? firstFat + quint32(i) : freeSector);

    QByteArray difat(d * sectorSize, '\xFF');
    for (int k = headerDifatSlots; k < f; ++k) {
        const int slot = k - headerDifatSlots;
        const int sector = slot / (entriesPerSector - 1);
        put32(difat, sector * sectorSize + 4 * (slot % (entriesPerSector - 1)),
              firstFat + quint32(k));
    }
    for (int i = 0; i < d; ++i)
        put32(difat, i * sectorSize + sectorSize - 4,
              i + 1 < d ? firstDifat + quint32(i + 1) : endOfChain);

    QByteArray dir;
    dir += directoryEntry(QStringLiteral("Root Entry"), 5, 1, endOfChain, 0);
    dir += directoryEntry(QStringLiteral("Workbook"), 2, noStream, 0, streamSize);
    dir += directoryEntry(QString(), 0, noStream, 0, 0);
    dir += directoryEntry(QString(), 0, noStream, 0, 0);

    QByteArray file;
    file.reserve(sectorSize * (w + f + d + 2));
    file += header;
    file += stream;
    file += fat;
    file += difat;
    file += dir;
    return file;
}

bool CompoundFile::readWorkbookStream(const QByteArray &file, QByteArray *stream)
{
    if (file.size() < 512 || !file.startsWith(QByteArray(signature, 8)))
        return false;
    const quint16 shift = get16(file, 0x1E);
    if (shift != 9 && shift != 12)
        return false;
    const qint64 size = 1LL << shift;
    const qint64 sectorCount = (file.size() - size) / size;
    if (sectorCount <= 0)
        return false;
    const int perSector = int(size / 4);
    auto sectorOffset = [&](quint32 sector) { return (qint64(sector) + 1) * size; };

    // FAT sector numbers: 109 in the header, the rest in the DIFAT chain.
    const quint32 fatCount = get32(file, 0x2C);
    if (fatCount == 0 || qint64(fatCount) > sectorCount)
        return false;
    std::vector<quint32> fatSectors;
    for (int i = 0; i < headerDifatSlots && fatSectors.size() < fatCount; ++i)
        fatSectors.push_back(get32(file, 0x4C + 4 * i));
    quint32 difat = get32(file, 0x44);
    for (qint64 guard = 0; fatSectors.size() < fatCount; ++guard) {
        if (difat >= quint32(sectorCount) || guard > sectorCount)
            return false;
        const qint64 base = sectorOffset(difat);
        for (int i = 0; i < perSector - 1 && fatSectors.size() < fatCount; ++i)
            fatSectors.push_back(get32(file, base + 4 * i));
        difat = get32(file, base + size - 4);
    }
    std::vector<quint32> fat;
    fat.reserve(fatSectors.size() * size_t(perSector));
    for (quint32 sector : fatSectors) {
        if (sector >= quint32(sectorCount))
            return false;
        const qint64 base = sectorOffset(sector);
        for (int i = 0; i < perSector; ++i)
            fat.push_back(get32(file, base + 4 * i));
    }

    // Follows a chain of sectors; a sector outside the file, or one visited
    // twice (a loop, or chains that merge), is malformed. So no chain is
    // longer than the file, and reading one never takes more memory than
    // the file's size.
    std::vector<bool> visited(size_t(sectorCount), false);
    auto readChain = [&](quint32 start, qint64 wanted, QByteArray *out) {
        out->clear();
        quint32 sector = start;
        while (sector != endOfChain) {
            if (sector >= quint32(sectorCount) || sector >= fat.size() || visited[sector])
                return false;
            visited[sector] = true;
            out->append(file.constData() + sectorOffset(sector), int(size));
            if (wanted >= 0 && out->size() >= wanted)
                break;
            sector = fat[sector];
        }
        if (wanted >= 0) {
            if (out->size() < wanted)
                return false;
            out->truncate(int(wanted));
        }
        return true;
    };

    QByteArray directory;
    if (!readChain(get32(file, 0x30), -1, &directory) || directory.size() < 128)
        return false;
    quint32 rootStart = endOfChain;
    quint32 rootSize = 0;
    quint32 start = 0;
    qint64 streamSize = -1;
    for (int offset = 0; offset + 128 <= directory.size(); offset += 128) {
        const quint8 type = quint8(directory.at(offset + 0x42));
        const int nameBytes = get16(directory, offset + 0x40);
        if (nameBytes < 2 || nameBytes > 64)
            continue;
        QString name;
        for (int i = 0; i + 2 < nameBytes; i += 2)
            name += QChar(get16(directory, offset + i));
        if (type == 5) {
            rootStart = get32(directory, offset + 0x74);
            rootSize = get32(directory, offset + 0x78);
        } else if (type == 2 && streamSize < 0 &&
                   (name == QLatin1String("Workbook") || name == QLatin1String("Book"))) {
            start = get32(directory, offset + 0x74);
            streamSize = get32(directory, offset + 0x78);
        }
    }
    if (streamSize <= 0)
        return false;

    if (streamSize >= qint64(get32(file, 0x38)))
        return readChain(start, streamSize, stream);

    // Small stream: 64-byte sectors inside the root entry's mini stream.
    QByteArray miniFatBytes;
    QByteArray miniStream;
    if (!readChain(get32(file, 0x3C), -1, &miniFatBytes) ||
        !readChain(rootStart, rootSize, &miniStream))
        return false;
    // The mini sector shift must be 6; checked before it is used, as a shift
    // of 32 or more would be undefined.
    if (get16(file, 0x20) != 6)
        return false;
    const int miniSize = 64;
    const quint32 miniEntries = quint32(miniFatBytes.size() / 4);
    stream->clear();
    quint32 sector = start;
    std::vector<bool> miniVisited(size_t(miniStream.size() / miniSize), false);
    while (stream->size() < streamSize) {
        if (sector >= miniEntries || sector >= miniVisited.size() || miniVisited[sector])
            return false;
        miniVisited[sector] = true;
        stream->append(miniStream.constData() + qint64(sector) * miniSize, miniSize);
        sector = get32(miniFatBytes, qint64(sector) * 4);
    }
    stream->truncate(int(streamSize));
    return true;
}
