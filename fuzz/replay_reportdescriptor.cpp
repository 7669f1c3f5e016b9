// A HID report descriptor as the device hands it over: the report lengths
// taken from it lie within what a report can be, and one more Input item can
// only make the longest input report longer, however large the sizes and
// counts the descriptor declares.
#include "fuzz/replay.h"

#include "link/reportdescriptor.h"

namespace {

// True when the bytes end exactly after an item (short or long), so that
// bytes appended start an item of their own.
bool endsAfterItem(const QByteArray &bytes)
{
    int i = 0;
    while (i < bytes.size()) {
        const quint8 prefix = quint8(bytes.at(i));
        if (prefix == 0xFE)
            i += i + 1 < bytes.size() ? 3 + quint8(bytes.at(i + 1)) : 2;
        else
            i += 1 + ((prefix & 0x03) == 3 ? 4 : (prefix & 0x03));
    }
    return i == bytes.size();
}

} // namespace

namespace FuzzReplay {

bool reportDescriptor(const QByteArray &bytes)
{
    const ReportDescriptor::Lengths lengths = ReportDescriptor::reportLengths(bytes);
    if (lengths.input < 0 || lengths.input > 65535 || lengths.output < 0 ||
        lengths.output > 65535)
        return false;
    if (!endsAfterItem(bytes))
        return true;
    // Input (Data, Variable) with the report size and count in force.
    const ReportDescriptor::Lengths more =
        ReportDescriptor::reportLengths(bytes + QByteArray("\x81\x02", 2));
    return more.input >= lengths.input && more.output == lengths.output;
}

} // namespace FuzzReplay
