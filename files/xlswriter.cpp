#include "files/xlswriter.h"

#include "files/compoundfile.h"
#include "files/workbookfile.h"
#include "files/xlsworkbook.h"

#include <QHash>
#include <QtEndian>
#include <QtMath>

#include <cmath>
#include <cstring>
#include <vector>

namespace {

// BIFF8 record identifiers.
enum : quint16
{
    BOF = 0x0809,
    EOF_ = 0x000A,
    INTERFACEHDR = 0x00E1,
    MMS = 0x00C1,
    INTERFACEEND = 0x00E2,
    WRITEACCESS = 0x005C,
    CODEPAGE = 0x0042,
    DSF = 0x0161,
    TABID = 0x013D,
    FNGROUPCOUNT = 0x009C,
    WINDOWPROTECT = 0x0019,
    PROTECT = 0x0012,
    PASSWORD = 0x0013,
    PROT4REV = 0x01AF,
    PROT4REVPASS = 0x01BC,
    BACKUP = 0x0040,
    HIDEOBJ = 0x008D,
    WINDOW1 = 0x003D,
    DATEMODE = 0x0022,
    PRECISION = 0x000E,
    REFRESHALL = 0x01B7,
    BOOKBOOL = 0x00DA,
    FONT = 0x0031,
    FORMAT = 0x041E,
    XF = 0x00E0,
    STYLE = 0x0293,
    USESELFS = 0x0160,
    BOUNDSHEET = 0x0085,
    COUNTRY = 0x008C,
    SST = 0x00FC,
    CONTINUE = 0x003C,
    EXTSST = 0x00FF,
    CALCMODE = 0x000D,
    CALCCOUNT = 0x000C,
    REFMODE = 0x000F,
    ITERATION = 0x0011,
    DELTA = 0x0010,
    SAVERECALC = 0x005F,
    PRINTHEADERS = 0x002A,
    PRINTGRIDLINES = 0x002B,
    GRIDSET = 0x0082,
    GUTS = 0x0080,
    DEFAULTROWHEIGHT = 0x0225,
    WSBOOL = 0x0081,
    DEFCOLWIDTH = 0x0055,
    COLINFO = 0x007D,
    DIMENSIONS = 0x0200,
    ROW = 0x0208,
    LABELSST = 0x00FD,
    NUMBER = 0x0203,
    RK = 0x027E,
    BLANK = 0x0201,
    WINDOW2 = 0x023E,
};

constexpr int maxRecordData = 8224;
constexpr quint16 plainCellXf = 15;
constexpr quint16 centredCellXf = 16;
// Custom number formats are numbered from 164 on; lower numbers are the
// application's built-in ones.
constexpr quint16 firstCustomFormat = 164;

// The cell XF of every format a cell can have: 15 plain and 16 centred in
// the General format, then for each number of decimals the workbook uses
// (in ascending order) a plain and a centred XF with its FORMAT.
struct CellFormats
{
    std::vector<int> decimals; // those used, ascending
    quint16 xf[XlsSheet::maxDecimals + 2][2] = {};

    explicit CellFormats(const XlsWorkbook &book)
    {
        bool used[XlsSheet::maxDecimals + 1] = {};
        for (const XlsSheet &sheet : book.sheets) {
            for (const XlsSheet::Entry &entry : sheet.cells()) {
                if (entry.cell.decimals >= 0)
                    used[entry.cell.decimals] = true;
            }
        }
        xf[0][0] = plainCellXf;
        xf[0][1] = centredCellXf;
        quint16 next = centredCellXf + 1;
        for (int d = 0; d <= XlsSheet::maxDecimals; ++d) {
            if (!used[d])
                continue;
            decimals.push_back(d);
            xf[d + 1][0] = next++;
            xf[d + 1][1] = next++;
        }
    }
    quint16 of(const XlsCell &cell) const { return xf[cell.decimals + 1][cell.centred ? 1 : 0]; }
    // "0", "0.0", "0.00", ...
    static QString text(int decimals)
    {
        return decimals > 0 ? QStringLiteral("0.") + QString(decimals, QLatin1Char('0'))
                            : QStringLiteral("0");
    }
};

class Out
{
public:
    explicit Out(QByteArray &bytes) : b(bytes) {}
    void u8(quint8 v) { b.append(char(v)); }
    void u16(quint16 v)
    {
        char buf[2];
        qToLittleEndian(v, buf);
        b.append(buf, 2);
    }
    void u32(quint32 v)
    {
        char buf[4];
        qToLittleEndian(v, buf);
        b.append(buf, 4);
    }
    void f64(double v)
    {
        quint64 bits;
        std::memcpy(&bits, &v, 8);
        char buf[8];
        qToLittleEndian(bits, buf);
        b.append(buf, 8);
    }
    void header(quint16 id, int length)
    {
        u16(id);
        u16(quint16(length));
    }
    void record16(quint16 id, quint16 value)
    {
        header(id, 2);
        u16(value);
    }
    void record(quint16 id, const QByteArray &data)
    {
        header(id, data.size());
        b.append(data);
    }
    // Characters of a text, one byte each when every one fits (flags bit 0
    // clear) or UTF-16LE.
    void chars(const QString &text, int from, int count, bool wide)
    {
        const QChar *p = text.constData() + from;
        if (wide) {
            for (int i = 0; i < count; ++i)
                u16(p[i].unicode());
        } else {
            for (int i = 0; i < count; ++i)
                u8(quint8(p[i].unicode()));
        }
    }

    QByteArray &b;
};

bool needsWide(const QString &text)
{
    for (const QChar ch : text) {
        if (ch.unicode() > 0xFF)
            return true;
    }
    return false;
}

// ShortXLUnicodeString: cch u8, flags, characters.
QByteArray shortString(const QString &text)
{
    QByteArray bytes;
    Out out(bytes);
    const bool wide = needsWide(text);
    const int n = qMin(text.size(), 255);
    out.u8(quint8(n));
    out.u8(wide ? 1 : 0);
    out.chars(text, 0, n, wide);
    return bytes;
}

QByteArray bofData(quint16 type)
{
    QByteArray bytes;
    Out out(bytes);
    out.u16(0x0600);
    out.u16(type);
    out.u16(0x0DBB);
    out.u16(0x07CC);
    out.u32(0x00000009);
    out.u32(0x00000006);
    return bytes;
}

QByteArray fontData(quint16 grbit, quint16 weight)
{
    QByteArray bytes;
    Out out(bytes);
    out.u16(200); // 10 pt
    out.u16(grbit);
    out.u16(0x7FFF);
    out.u16(weight);
    out.u16(0);
    out.u8(0);
    out.u8(0);
    out.u8(0);
    out.u8(0);
    bytes += shortString(QStringLiteral("Arial"));
    return bytes;
}

QByteArray xfData(quint16 protection, quint8 alignment, quint8 usedAttributes)
{
    QByteArray bytes(20, '\0');
    qToLittleEndian(protection, bytes.data() + 4);
    bytes[6] = char(alignment);
    bytes[9] = char(usedAttributes);
    bytes[18] = char(0xC0);
    bytes[19] = char(0x20);
    return bytes;
}

// An integer that fits the 30 bits of an RK value.
bool rkInteger(double value, qint32 *rk)
{
    if (value != std::floor(value) || value < -(1 << 29) || value >= (1 << 29))
        return false;
    if (value == 0 && std::signbit(value))
        return false;
    *rk = (qint32(value) * 4) | 0x02;
    return true;
}

struct SharedStrings
{
    QStringList strings;
    QHash<QString, quint32> index;
    quint32 total = 0;

    quint32 add(const QString &text)
    {
        ++total;
        auto it = index.constFind(text);
        if (it != index.constEnd())
            return it.value();
        const quint32 i = quint32(strings.size());
        strings.append(text);
        index.insert(text, i);
        return i;
    }
};

// The SST record and its CONTINUE records, and the EXTSST that points into
// them. sstOffset is the stream offset at which the SST record starts.
void appendSharedStrings(QByteArray &stream, const SharedStrings &sst)
{
    const quint32 sstOffset = quint32(stream.size());
    const int unique = sst.strings.size();
    const int bucketSize = qMax(unique / 128 + 1, 8);
    struct Bucket
    {
        quint32 streamOffset;
        quint16 recordOffset;
    };
    std::vector<Bucket> buckets;

    QByteArray records;
    QByteArray body;
    bool first = true;
    Out bodyOut(body);
    auto flush = [&]() {
        Out out(records);
        out.header(first ? SST : CONTINUE, body.size());
        records.append(body);
        body.clear();
        first = false;
    };

    bodyOut.u32(sst.total);
    bodyOut.u32(quint32(unique));
    for (int i = 0; i < unique; ++i) {
        const QString &text = sst.strings.at(i);
        const bool wide = needsWide(text);
        const int width = wide ? 2 : 1;
        const int n = text.size();
        // The string header and its first character always stay together,
        // and a string continues over at most one CONTINUE record (FreeXL
        // reads no more): one that would need more starts a record of its
        // own.
        const int fitHere = (maxRecordData - body.size() - 3) / width;
        if (fitHere < 1 || (n - fitHere) * width > maxRecordData - 1)
            flush();
        if (i % bucketSize == 0)
            buckets.push_back(
                {sstOffset + quint32(records.size() + 4 + body.size()), quint16(4 + body.size())});
        bodyOut.u16(quint16(n));
        bodyOut.u8(wide ? 1 : 0);
        int pos = 0;
        for (;;) {
            const int fit = (maxRecordData - body.size()) / width;
            int chunk = qMin(fit, n - pos);
            if (chunk < n - pos && chunk > 1 && text.at(pos + chunk - 1).isHighSurrogate())
                --chunk;
            bodyOut.chars(text, pos, chunk, wide);
            pos += chunk;
            if (pos >= n)
                break;
            // The rest continues in a new record that starts with a fresh
            // flags byte.
            flush();
            bodyOut.u8(wide ? 1 : 0);
        }
    }
    flush();
    stream.append(records);

    Out out(stream);
    out.header(EXTSST, 2 + 8 * int(buckets.size()));
    out.u16(quint16(bucketSize));
    for (const Bucket &bucket : buckets) {
        out.u32(bucket.streamOffset);
        out.u16(bucket.recordOffset);
        out.u16(0);
    }
}

QByteArray sheetStream(const XlsSheet &sheet, bool active, const SharedStrings &sst,
                       const CellFormats &formats)
{
    QByteArray bytes;
    bytes.reserve(int(sheet.cells().size()) * 20 + 1024);
    Out out(bytes);
    out.record(BOF, bofData(0x0010));
    out.record16(CALCMODE, 1);
    out.record16(CALCCOUNT, 100);
    out.record16(REFMODE, 1);
    out.record16(ITERATION, 0);
    out.header(DELTA, 8);
    out.f64(0.001);
    out.record16(SAVERECALC, 1);
    out.record16(PRINTHEADERS, 0);
    out.record16(PRINTGRIDLINES, 0);
    out.record16(GRIDSET, 1);
    out.record(GUTS, QByteArray(8, '\0'));
    out.header(DEFAULTROWHEIGHT, 4);
    out.u16(0);
    out.u16(0x00FF);
    out.record16(WSBOOL, 0x0C01);
    out.record16(DEFCOLWIDTH, 8);

    const XlsSheet::Cells &cells = sheet.cells();

    // One pass over the cells: the rows, the column bounds and the widths.
    struct RowSpan
    {
        int row;
        int firstColumn;
        int endColumn;
        XlsSheet::Cells::const_iterator begin;
        XlsSheet::Cells::const_iterator end;
    };
    std::vector<RowSpan> rows;
    int firstColumn = XlsSheet::maxColumns;
    int endColumn = 0;
    QVector<int> widths(XlsSheet::maxColumns, 0);
    for (auto it = cells.cbegin(); it != cells.cend();) {
        RowSpan span{XlsSheet::rowOf(it->key), XlsSheet::columnOf(it->key), 0, it, it};
        while (it != cells.cend() && XlsSheet::rowOf(it->key) == span.row) {
            const int column = XlsSheet::columnOf(it->key);
            span.endColumn = column + 1;
            int &w = widths[column];
            w = qMax(w, XlsSheet::displayWidth(it->cell));
            ++it;
        }
        span.end = it;
        firstColumn = qMin(firstColumn, span.firstColumn);
        endColumn = qMax(endColumn, span.endColumn);
        rows.push_back(span);
    }
    if (rows.empty())
        firstColumn = 0;

    // Columns whose contents are wider than the default width get a width
    // that shows them.
    for (int c = 0; c < XlsSheet::maxColumns; ++c) {
        if (widths[c] <= 8)
            continue;
        out.header(COLINFO, 12);
        out.u16(quint16(c));
        out.u16(quint16(c));
        out.u16(quint16(qMin(widths[c] + 2, 100) * 256));
        out.u16(plainCellXf);
        out.u16(0);
        out.u16(0);
    }

    // Every cell lies inside DIMENSIONS (readers reject the file otherwise).
    out.header(DIMENSIONS, 14);
    out.u32(rows.empty() ? 0 : quint32(rows.front().row));
    out.u32(rows.empty() ? 0 : quint32(rows.back().row + 1));
    out.u16(quint16(firstColumn));
    out.u16(quint16(endColumn));
    out.u16(0);

    // Blocks of 32 rows: the ROW records of the block, then its cells.
    for (size_t blockStart = 0; blockStart < rows.size();) {
        size_t blockEnd = blockStart;
        const int block = rows[blockStart].row / 32;
        while (blockEnd < rows.size() && rows[blockEnd].row / 32 == block)
            ++blockEnd;
        for (size_t r = blockStart; r < blockEnd; ++r) {
            char rec[20];
            const quint16 fields[10] = {ROW,
                                        16,
                                        quint16(rows[r].row),
                                        quint16(rows[r].firstColumn),
                                        quint16(rows[r].endColumn),
                                        0x00FF,
                                        0,
                                        0,
                                        0x0100,
                                        plainCellXf};
            for (int i = 0; i < 10; ++i)
                qToLittleEndian(fields[i], rec + 2 * i);
            bytes.append(rec, 20);
        }
        for (size_t r = blockStart; r < blockEnd; ++r) {
            for (auto it = rows[r].begin; it != rows[r].end; ++it) {
                // One cell record, built on the stack and appended at once
                // (this loop is most of the time of a save).
                char rec[18];
                const quint16 xf = formats.of(it->cell);
                qToLittleEndian(quint16(rows[r].row), rec + 4);
                qToLittleEndian(quint16(XlsSheet::columnOf(it->key)), rec + 6);
                qToLittleEndian(xf, rec + 8);
                const QVariant &value = it->cell.value;
                quint16 id = BLANK;
                int length = 6;
                if (!value.isValid()) {
                } else if (value.type() == QVariant::String) {
                    id = LABELSST;
                    length = 10;
                    qToLittleEndian(sst.index.value(value.toString()), rec + 10);
                } else {
                    const double number = value.toDouble();
                    qint32 rk = 0;
                    if (rkInteger(number, &rk)) {
                        id = RK;
                        length = 10;
                        qToLittleEndian(quint32(rk), rec + 10);
                    } else {
                        id = NUMBER;
                        length = 14;
                        quint64 bits;
                        std::memcpy(&bits, &number, 8);
                        qToLittleEndian(bits, rec + 10);
                    }
                }
                qToLittleEndian(id, rec);
                qToLittleEndian(quint16(length), rec + 2);
                bytes.append(rec, 4 + length);
            }
        }
        blockStart = blockEnd;
    }

    // Only the active sheet is selected; several selected sheets would open
    // grouped.
    out.header(WINDOW2, 18);
    out.u16(active ? 0x06B6 : 0x00B6);
    out.u16(0);
    out.u16(0);
    out.u16(0x0040);
    for (int i = 0; i < 5; ++i)
        out.u16(0);
    out.header(EOF_, 0);
    return bytes;
}

} // namespace

QByteArray XlsWriter::workbookStream(const XlsWorkbook &input)
{
    // A workbook holds at least one worksheet.
    XlsWorkbook book = input;
    if (book.sheets.isEmpty())
        book = XlsWorkbook::withOneSheet();
    const int sheetCount = book.sheets.size();
    const int active = qBound(0, book.activeSheet, sheetCount - 1);
    const QStringList names = book.fileSheetNames();

    // Shared strings in the order the cells are written.
    SharedStrings sst;
    for (const XlsSheet &sheet : qAsConst(book.sheets)) {
        for (const XlsSheet::Entry &entry : sheet.cells()) {
            if (entry.cell.value.type() == QVariant::String)
                sst.add(entry.cell.value.toString());
        }
    }

    QByteArray globals;
    Out out(globals);
    out.record(BOF, bofData(0x0005));
    out.record16(INTERFACEHDR, 0x04B0);
    out.record16(MMS, 0);
    out.header(INTERFACEEND, 0);
    {
        QByteArray access;
        Out a(access);
        const QString user = QStringLiteral("Vantrel");
        a.u16(quint16(user.size()));
        a.u8(0);
        a.chars(user, 0, user.size(), false);
        access.append(112 - access.size(), ' ');
        out.record(WRITEACCESS, access);
    }
    out.record16(CODEPAGE, 0x04B0);
    out.record16(DSF, 0);
    out.header(TABID, 2 * sheetCount);
    for (int i = 0; i < sheetCount; ++i)
        out.u16(quint16(i + 1));
    out.record16(FNGROUPCOUNT, 0x000E);
    out.record16(WINDOWPROTECT, 0);
    out.record16(PROTECT, 0);
    out.record16(PASSWORD, 0);
    out.record16(PROT4REV, 0);
    out.record16(PROT4REVPASS, 0);
    out.record16(BACKUP, 0);
    out.record16(HIDEOBJ, 0);
    out.header(WINDOW1, 18);
    out.u16(0x01E0);
    out.u16(0x005A);
    out.u16(0x3FCF);
    out.u16(0x2A4E);
    out.u16(0x0038);
    out.u16(quint16(active));
    out.u16(0);
    out.u16(1);
    out.u16(0x0258);
    out.record16(DATEMODE, 0);
    out.record16(PRECISION, 1);
    out.record16(REFRESHALL, 0);
    out.record16(BOOKBOOL, 0);
    // Font indices 0-3 (normal, bold, italic, bold italic); the fifth
    // record is index 5, as index 4 does not exist.
    out.record(FONT, fontData(0, 400));
    out.record(FONT, fontData(0, 700));
    out.record(FONT, fontData(0x02, 400));
    out.record(FONT, fontData(0x02, 700));
    out.record(FONT, fontData(0, 400));
    const CellFormats formats(book);
    for (size_t k = 0; k < formats.decimals.size(); ++k) {
        const QString text = CellFormats::text(formats.decimals[k]);
        out.header(FORMAT, 2 + 3 + text.size());
        out.u16(quint16(firstCustomFormat + k));
        out.u16(quint16(text.size()));
        out.u8(0);
        out.chars(text, 0, text.size(), false);
    }
    // XF 0: the Normal style; 1-14: further style XFs; 15: the plain cell
    // format; 16: the centred cell format (horizontal centre, bottom).
    out.record(XF, xfData(0xFFF5, 0x20, 0x00));
    for (int i = 1; i < 15; ++i)
        out.record(XF, xfData(0xFFF5, 0x20, 0xF4));
    out.record(XF, xfData(0x0001, 0x20, 0x00));
    out.record(XF, xfData(0x0001, 0x22, 0x10));
    // Then the XFs of the number formats, each plain and centred; the
    // used-attribute bits say that they set their own number format (and
    // alignment).
    for (size_t k = 0; k < formats.decimals.size(); ++k) {
        const quint16 format = quint16(firstCustomFormat + k);
        QByteArray plain = xfData(0x0001, 0x20, 0x04);
        QByteArray centred = xfData(0x0001, 0x22, 0x14);
        qToLittleEndian(format, plain.data() + 2);
        qToLittleEndian(format, centred.data() + 2);
        out.record(XF, plain);
        out.record(XF, centred);
    }
    out.header(STYLE, 4);
    out.u16(0x8000);
    out.u8(0x00);
    out.u8(0xFF);
    out.record16(USESELFS, 1);

    std::vector<int> boundSheetOffsets;
    for (int i = 0; i < sheetCount; ++i) {
        const QByteArray name = shortString(names.at(i));
        out.header(BOUNDSHEET, 6 + name.size());
        boundSheetOffsets.push_back(globals.size());
        out.u32(0); // stream offset of the sheet's BOF, filled in below
        out.u8(0);  // visible
        out.u8(0);  // worksheet
        globals.append(name);
    }
    out.header(COUNTRY, 4);
    out.u16(1);
    out.u16(1);
    if (!sst.strings.isEmpty())
        appendSharedStrings(globals, sst);
    out.header(EOF_, 0);

    QVector<QByteArray> sheets;
    int total = globals.size();
    for (int i = 0; i < sheetCount; ++i) {
        sheets.append(sheetStream(book.sheets.at(i), i == active, sst, formats));
        total += sheets.last().size();
    }
    QByteArray stream;
    stream.reserve(total);
    stream += globals;
    for (int i = 0; i < sheetCount; ++i) {
        qToLittleEndian(quint32(stream.size()), stream.data() + boundSheetOffsets[size_t(i)]);
        stream += sheets.at(i);
    }
    return stream;
}

QByteArray XlsWriter::toBytes(const XlsWorkbook &book)
{
    return CompoundFile::wrap(workbookStream(book));
}

bool XlsWriter::save(const XlsWorkbook &book, const QString &path, QString *error)
{
    return WorkbookFile::writeBytes(path, toBytes(book), error);
}
