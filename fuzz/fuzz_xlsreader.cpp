// libFuzzer target: any bytes as a workbook file. The reader must never
// crash, hang or run away in memory, whatever the file holds.
#include "files/xlsreader.h"
#include "files/xlsworkbook.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > 4 * 1024 * 1024)
        return 0;
    XlsWorkbook book;
    XlsReader::read(QByteArray::fromRawData(reinterpret_cast<const char *>(data), int(size)),
                    &book);
    return 0;
}
