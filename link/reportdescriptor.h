#pragma once

#include <QByteArray>

// Report lengths from a HID report descriptor, as the device's capabilities
// give them: the longest input and output report in bytes, plus one for the
// report id when the descriptor numbers its reports.
namespace ReportDescriptor {

struct Lengths
{
    int input = 0;
    int output = 0;
};

// Walks the short items of the descriptor (long items are skipped). A
// descriptor that ends inside an item yields what was complete before it.
Lengths reportLengths(const QByteArray &descriptor);

} // namespace ReportDescriptor
