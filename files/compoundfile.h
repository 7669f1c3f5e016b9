#pragma once

#include <QByteArray>

// The OLE2 compound file ("Compound File Binary", version 3, 512-byte
// sectors) that holds an Excel 97-2003 workbook as its stream "Workbook".
//
// Layout written: the stream's sectors first (0 .. W-1), then the FAT
// sectors, then DIFAT sectors when more than 109 FAT sectors are needed,
// then one directory sector with "Root Entry" and "Workbook". The stream is
// padded to more than 4096 bytes so that it never goes to the mini stream.
class CompoundFile
{
public:
    static QByteArray wrap(const QByteArray &workbookStream);

    // Extracts the "Workbook" (or older "Book") stream of a compound file,
    // following the FAT or the mini FAT; false for anything malformed.
    static bool readWorkbookStream(const QByteArray &file, QByteArray *stream);
};
