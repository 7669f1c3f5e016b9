#include "link/reportdescriptor.h"

#include <QMap>
#include <QVector>

#include <algorithm>
#include <limits>

namespace ReportDescriptor {

// Short item: one prefix byte (bits 7..4 tag, 3..2 type, 1..0 size code
// 0/1/2/4 bytes) followed by its data, little-endian. Long item: prefix 0xFE,
// data size, long tag, data.
Lengths reportLengths(const QByteArray &descriptor)
{
    struct Globals
    {
        quint32 reportSize = 0;
        quint32 reportCount = 0;
        int reportId = 0;
    };
    Globals g;
    QVector<Globals> stack;
    bool numbered = false;
    QMap<int, quint64> inputBits;
    QMap<int, quint64> outputBits;

    const int n = descriptor.size();
    int i = 0;
    while (i < n) {
        const quint8 prefix = quint8(descriptor.at(i));
        if (prefix == 0xFE) { // long item
            if (i + 1 >= n)
                break;
            i += 3 + quint8(descriptor.at(i + 1));
            continue;
        }
        static const int sizes[4] = {0, 1, 2, 4};
        const int size = sizes[prefix & 0x03];
        if (i + 1 + size > n)
            break;
        quint32 value = 0;
        for (int b = 0; b < size; ++b)
            value |= quint32(quint8(descriptor.at(i + 1 + b))) << (8 * b);
        const int type = (prefix >> 2) & 0x03;
        const int tag = prefix >> 4;
        if (type == 0) { // main
            // Sizes and counts of up to 32 bits each: a report's bits are
            // summed without wrapping, a sum past any real report staying at
            // the top (the length is capped below anyway).
            const quint64 bits = quint64(g.reportSize) * g.reportCount;
            auto add = [bits](quint64 &sum) {
                sum = bits > std::numeric_limits<quint64>::max() - sum
                          ? std::numeric_limits<quint64>::max()
                          : sum + bits;
            };
            if (tag == 0x8)
                add(inputBits[g.reportId]);
            else if (tag == 0x9)
                add(outputBits[g.reportId]);
        } else if (type == 1) { // global
            switch (tag) {
            case 0x7:
                g.reportSize = value;
                break;
            case 0x8:
                g.reportId = int(value);
                numbered = true;
                break;
            case 0x9:
                g.reportCount = value;
                break;
            case 0xA:
                stack.append(g);
                break;
            case 0xB:
                if (!stack.isEmpty())
                    g = stack.takeLast();
                break;
            default:
                break;
            }
        }
        i += 1 + size;
    }

    auto longest = [&](const QMap<int, quint64> &bits) {
        quint64 most = 0;
        for (quint64 b : bits)
            most = std::max(most, b / 8 + (b % 8 != 0 ? 1 : 0));
        if (most == 0)
            return 0;
        return int(std::min<quint64>(most + (numbered ? 1 : 0), 65535));
    };
    Lengths lengths;
    lengths.input = longest(inputBits);
    lengths.output = longest(outputBits);
    return lengths;
}

} // namespace ReportDescriptor
