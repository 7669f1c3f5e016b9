#pragma once

#include <QByteArray>
#include <QString>

class XlsWorkbook;

// Reads an existing Excel workbook (BIFF8, also older BIFF5) into the
// in-memory model: sheet names and the values of every cell through FreeXL,
// and which cells are centred from the file's own XF records (FreeXL does
// not read alignment). Formulas, fonts, borders and the like are not read,
// so a foreign workbook written back keeps its values and its centring only.
class XlsReader
{
public:
    enum class Result
    {
        Ok,
        NotFound,    // no such file, or not a plain file
        NotReadable, // cannot be opened for reading
        NotWorkbook, // not a compound file, or FreeXL refuses it
        Protected,   // encrypted or password protected
    };

    static Result load(const QString &path, XlsWorkbook *book, QString *error = nullptr);

    // Per worksheet (in BOUNDSHEET order), the keys (XlsSheet::keyOf) of the
    // cells whose XF centres them horizontally; false when the stream cannot
    // be walked.
    static bool centredCells(const QByteArray &workbookStream, QVector<QVector<quint32>> *centred);
};
