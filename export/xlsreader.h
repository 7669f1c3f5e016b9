#pragma once

#include <QByteArray>
#include <QString>

class XlsWorkbook;

// Reads an existing Excel workbook (BIFF8, also older BIFF5) into the
// in-memory model: sheet names and the values of every cell through FreeXL,
// and which cells are centred from the file's own XF records (FreeXL does
// not read alignment).
//
// The model holds values and centring only, and whatever opens a workbook
// writes it back from the model. A workbook with content that would be lost
// that way (formulas, merged cells, comments, drawings, hyperlinks, chart or
// macro sheets) is therefore refused as Unsupported rather than destroyed on
// the next save; fonts, number formats and column widths are not kept.
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
        Unsupported, // holds content that writing back would lose
    };

    static Result load(const QString &path, XlsWorkbook *book, QString *error = nullptr);

    // Walks a BIFF8 workbook stream. Per worksheet (in BOUNDSHEET order), the
    // keys (XlsSheet::keyOf) of the cells whose XF centres them horizontally;
    // unsupported (optional) names the first content that the model cannot
    // hold, or stays empty. False when the stream cannot be walked.
    static bool scan(const QByteArray &workbookStream, QVector<QVector<quint32>> *centred,
                     QString *unsupported = nullptr);
};
