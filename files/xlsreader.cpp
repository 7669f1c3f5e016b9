#include "files/xlsreader.h"

#include "files/compoundfile.h"
#include "files/xlsworkbook.h"

#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QTextCodec>
#include <QVector>
#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

// A BIFF stream is a sequence of records: id (u16), length (u16), then that
// many bytes. The workbook globals come first (BOF ... EOF, with the shared
// string table SST and its CONTINUE records, the XF formats and one
// BOUNDSHEET per sheet naming the offset of the sheet's BOF); each worksheet
// follows as its own BOF ... EOF substream holding the cell records.

namespace {

quint16 get16(const char *p)
{
    return qFromLittleEndian<quint16>(p);
}

quint32 get32(const char *p)
{
    return qFromLittleEndian<quint32>(p);
}

double rkValue(quint32 rk)
{
    double value = 0;
    if (rk & 2) {
        value = double(qint32(rk) >> 2);
    } else {
        const quint64 bits = quint64(rk & 0xFFFFFFFCu) << 32;
        std::memcpy(&value, &bits, sizeof value);
    }
    return (rk & 1) ? value / 100 : value;
}

QString latin1(const char *p, int n)
{
    return QString::fromLatin1(p, n);
}

QString utf16(const char *p, int n)
{
    QString text(n, Qt::Uninitialized);
    for (int i = 0; i < n; ++i)
        text[i] = QChar(get16(p + 2 * i));
    return text;
}

// Reads the data of one record and of the CONTINUE records after it as one
// sequence, as the shared string table needs: raw bytes run on over record
// boundaries, while characters cut by a boundary resume after a flag byte
// that gives their width anew.
class Segments
{
public:
    explicit Segments(const QByteArray &stream) : m_stream(stream) {}
    void add(int data, int length) { m_segments.push_back({data, length}); }

    bool u8(quint8 *v)
    {
        char b;
        if (!raw(&b, 1))
            return false;
        *v = quint8(b);
        return true;
    }
    bool u16(quint16 *v)
    {
        char b[2];
        if (!raw(b, 2))
            return false;
        *v = get16(b);
        return true;
    }
    bool u32(quint32 *v)
    {
        char b[4];
        if (!raw(b, 4))
            return false;
        *v = get32(b);
        return true;
    }
    bool skip(quint32 n)
    {
        while (n > 0) {
            if (!nextIfEmpty())
                return false;
            const quint32 step = qMin<quint32>(n, quint32(left()));
            m_pos += int(step);
            n -= step;
        }
        return true;
    }
    bool chars(int count, bool wide, QString *out)
    {
        out->clear();
        bool first = true;
        while (count > 0) {
            if (left() == 0) {
                if (!next())
                    return false;
                if (!first) { // a cut string resumes with its width
                    quint8 flags = 0;
                    if (!u8(&flags))
                        return false;
                    wide = flags & 1;
                }
            }
            first = false;
            const int size = wide ? 2 : 1;
            const int n = qMin(count, left() / size);
            if (n == 0)
                return false; // half a character before a boundary
            const char *p = m_stream.constData() + m_segments[m_index].first + m_pos;
            out->append(wide ? utf16(p, n) : latin1(p, n));
            m_pos += n * size;
            count -= n;
        }
        return true;
    }

private:
    int left() const
    {
        return m_index < m_segments.size() ? m_segments[m_index].second - m_pos : 0;
    }
    bool next()
    {
        if (m_index + 1 >= m_segments.size())
            return false;
        ++m_index;
        m_pos = 0;
        return true;
    }
    bool nextIfEmpty()
    {
        while (left() == 0) {
            if (!next())
                return false;
        }
        return true;
    }
    bool raw(char *out, int n)
    {
        for (int i = 0; i < n; ++i) {
            if (!nextIfEmpty())
                return false;
            out[i] = m_stream.at(m_segments[m_index].first + m_pos);
            ++m_pos;
        }
        return true;
    }

    const QByteArray &m_stream;
    std::vector<std::pair<int, int>> m_segments; // data offset, length
    size_t m_index = 0;
    int m_pos = 0;
};

// Date, time or both, for a number format; 0 when it shows no date.
enum DateKind
{
    NoDate,
    DateOnly,
    TimeOnly,
    DateTime
};

DateKind builtInDateKind(int format)
{
    if (format >= 14 && format <= 17)
        return DateOnly;
    if ((format >= 18 && format <= 21) || (format >= 45 && format <= 47))
        return TimeOnly;
    return format == 22 ? DateTime : NoDate;
}

DateKind customDateKind(const QString &format)
{
    bool date = false;
    bool time = false;
    bool month = false;
    bool quoted = false;
    bool bracket = false;
    for (int i = 0; i < format.size(); ++i) {
        const QChar ch = format.at(i).toLower();
        if (ch == QLatin1Char('"'))
            quoted = !quoted;
        else if (quoted)
            continue;
        else if (ch == QLatin1Char('\\') || ch == QLatin1Char('_') || ch == QLatin1Char('*'))
            ++i;
        else if (ch == QLatin1Char('['))
            bracket = true;
        else if (ch == QLatin1Char(']'))
            bracket = false;
        else if (bracket)
            continue;
        else if (ch == QLatin1Char('y') || ch == QLatin1Char('d'))
            date = true;
        else if (ch == QLatin1Char('h') || ch == QLatin1Char('s'))
            time = true;
        else if (ch == QLatin1Char('m'))
            month = true;
    }
    if (date && time)
        return DateTime;
    if (date || (month && !time))
        return DateOnly;
    return time ? TimeOnly : NoDate;
}

// The decimals of a plain fixed number format ("0", "0.0", "0.00", ...);
// -1 for any other format.
int fixedDecimals(const QString &format)
{
    if (format == QLatin1String("0"))
        return 0;
    if (format.size() < 3 || format.size() > 2 + XlsSheet::maxDecimals ||
        !format.startsWith(QLatin1String("0.")))
        return -1;
    for (int i = 2; i < format.size(); ++i) {
        if (format.at(i) != QLatin1Char('0'))
            return -1;
    }
    return format.size() - 2;
}

int builtInDecimals(int format)
{
    return format == 1 ? 0 : format == 2 ? 2 : -1;
}

// A serial day number as the text of its date and/or time; a null string
// when it is no date (negative, or past the year 9999).
QString dateText(double serial, DateKind kind, bool from1904)
{
    if (!std::isfinite(serial) || serial < 0 || serial >= 2958466)
        return QString();
    qint64 days = qint64(std::floor(serial));
    qint64 seconds = qint64(std::llround((serial - double(days)) * 86400.0));
    if (seconds >= 86400) {
        ++days;
        seconds -= 86400;
    }
    QDate date;
    if (from1904)
        date = QDate(1904, 1, 1).addDays(days);
    else if (days >= 61) // day 60 is the 29 February 1900 that never was
        date = QDate(1899, 12, 30).addDays(days);
    else
        date = QDate(1899, 12, 31).addDays(days);
    int year = 0;
    int month = 0;
    int day = 0;
    date.getDate(&year, &month, &day);
    const int hour = int(seconds / 3600);
    const int minute = int(seconds / 60 % 60);
    const int second = int(seconds % 60);
    // Formatted directly: QDate::toString() and QString::arg() took some
    // 7 us a cell, most of the time of reading a sheet of dates.
    char text[80];
    switch (kind) {
    case DateOnly:
        std::snprintf(text, sizeof text, "%04d-%02d-%02d", year, month, day);
        break;
    case TimeOnly:
        std::snprintf(text, sizeof text, "%02d:%02d:%02d", hour, minute, second);
        break;
    case DateTime:
        std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", year, month, day, hour,
                      minute, second);
        break;
    default:
        return QString();
    }
    return QString::fromLatin1(text);
}

// Drawings are kept as Office Art records: a header of u16 version (low 4
// bits; 0xF marks a container, whose data are records again) and instance,
// u16 type and u32 length, then the data. A sheet's drawing (MSODRAWING) is a
// drawing container (0xF002) with the group of its shapes (0xF003), one
// shape container (0xF004) each, whose shape record (0xF00A: id, flags) marks
// the group every drawing has as the patriarch (flag 0x4). The drawing group
// in the globals (MSODRAWINGGROUP, container 0xF000) counts in 0xF006 the
// largest shape id, the id clusters, the shapes saved and the drawings
// saved, the patriarch of each drawing among the shapes.
//
// Spreadsheet programs write a drawing group and, on every sheet, a drawing
// that holds only its patriarch even where nothing is drawn: such records
// lose nothing when the workbook is written back without them.
//
// Whether the records from p to p + n hold a shape, or shapes are counted;
// also true for records that cannot be read whole: a drawing that goes on
// in the records after this one holds shapes.
bool officeArtHasShapes(const char *p, quint32 n, int depth = 0)
{
    quint32 at = 0;
    while (at < n) {
        if (n - at < 8)
            return true;
        const quint16 version = get16(p + at) & 0x0F;
        const quint16 type = get16(p + at + 2);
        const quint32 length = get32(p + at + 4);
        const char *data = p + at + 8;
        if (length > n - at - 8)
            return true;
        if (version == 0x0F) {
            if (depth >= 16 || officeArtHasShapes(data, length, depth + 1))
                return true;
        } else if (type == 0xF00A) { // shape: id, flags
            if (length < 8 || !(get32(data + 4) & 0x4))
                return true;
        } else if (type == 0xF006) { // drawing group's counts
            if (length < 16 || get32(data + 8) > get32(data + 12))
                return true;
        }
        at += 8 + length;
    }
    return false;
}

struct SheetCells
{
    std::vector<XlsSheet::Entry> entries;
};

class Walker
{
public:
    explicit Walker(const QByteArray &stream) : s(stream) {}

    XlsReader::Result walk(XlsWorkbook *book, QString *error);

private:
    bool sharedStrings(int &pos, int data, int length);
    bool cell(SheetCells &sheet, int row, int column, int xf, const QVariant &value);
    bool store(SheetCells &sheet, int row, int column, int xf, const QVariant &stored);
    QString text8(const char *p, int n) const;
    bool string(const char *p, int available, bool longCount, QString *out, int *used) const;

    const QByteArray &s;
    bool biff8 = true;
    bool from1904 = false;
    QTextCodec *codec = nullptr;
    bool codepageRead = false;
    std::vector<QVariant> sst; // as the cells keep them (XlsSheet::normalised)
    std::vector<quint8> alignment; // horizontal alignment of each XF
    std::vector<DateKind> xfDate;  // what each XF's number format shows
    std::vector<qint8> xfDecimals; // and its fixed decimals, or -1
    QHash<int, DateKind> customFormats;
    QHash<int, qint8> customDecimals;
    QString unsupported;
    QString damaged;

    void note(const char *what)
    {
        if (unsupported.isEmpty())
            unsupported = QString::fromLatin1(what);
    }
    bool bad(const QString &what)
    {
        if (damaged.isEmpty())
            damaged = what;
        return false;
    }
};

QString Walker::text8(const char *p, int n) const
{
    return codec ? codec->toUnicode(p, n) : latin1(p, n);
}

// A string of a cell or sheet name: count (u8 or u16), in BIFF8 a flag byte,
// then the characters.
bool Walker::string(const char *p, int available, bool longCount, QString *out, int *used) const
{
    const int countSize = longCount ? 2 : 1;
    if (available < countSize)
        return false;
    const int count = longCount ? get16(p) : quint8(*p);
    int at = countSize;
    if (!biff8) {
        if (available < at + count)
            return false;
        *out = text8(p + at, count);
        *used = at + count;
        return true;
    }
    if (available < at + 1)
        return false;
    const quint8 flags = quint8(p[at++]);
    int runs = 0;
    quint32 extra = 0;
    if (flags & 0x08) {
        if (available < at + 2)
            return false;
        runs = get16(p + at);
        at += 2;
    }
    if (flags & 0x04) {
        if (available < at + 4)
            return false;
        extra = get32(p + at);
        at += 4;
    }
    const int size = (flags & 1) ? 2 : 1;
    if (available < at + count * size)
        return false;
    *out = size == 2 ? utf16(p + at, count) : latin1(p + at, count);
    *used = int(qMin<qint64>(available, qint64(at) + count * size + 4 * runs + extra));
    return true;
}

bool Walker::sharedStrings(int &pos, int data, int length)
{
    Segments in(s);
    in.add(data, length);
    // The CONTINUE records that follow belong to the table.
    int next = data + length;
    while (next + 4 <= s.size() && get16(s.constData() + next) == 0x003C) {
        const int size = get16(s.constData() + next + 2);
        if (next + 4 + size > s.size())
            return bad(QStringLiteral("a record runs past the end of the workbook"));
        in.add(next + 4, size);
        next += 4 + size;
    }
    pos = next;
    quint32 total = 0;
    quint32 unique = 0;
    if (!in.u32(&total) || !in.u32(&unique))
        return bad(QStringLiteral("the shared string table is cut short"));
    // Each string takes at least three bytes: never trust the count further.
    sst.reserve(qMin<quint32>(unique, quint32((next - data) / 3 + 1)));
    for (quint32 i = 0; i < unique; ++i) {
        quint16 count = 0;
        quint8 flags = 0;
        quint16 runs = 0;
        quint32 extra = 0;
        if (!in.u16(&count) || !in.u8(&flags) || ((flags & 0x08) && !in.u16(&runs)) ||
            ((flags & 0x04) && !in.u32(&extra)))
            return bad(QStringLiteral("the shared string table is cut short"));
        QString text;
        if (!in.chars(count, flags & 1, &text) || !in.skip(4u * runs) || !in.skip(extra))
            return bad(QStringLiteral("the shared string table is cut short"));
        // Normalised here once: the cells that name the string share it,
        // where a copy cut or mended for each cell would cost its length in
        // time and memory for every 10-byte LABELSST record.
        sst.push_back(XlsSheet::normalised(text));
    }
    return true;
}

// A value as a record holds it: a number in a date format becomes its text,
// then the value takes the form the model keeps.
bool Walker::cell(SheetCells &sheet, int row, int column, int xf, const QVariant &value)
{
    QVariant stored = value;
    const DateKind date = xf >= 0 && size_t(xf) < xfDate.size() ? xfDate[size_t(xf)] : NoDate;
    if (date != NoDate && value.type() == QVariant::Double) {
        const QString text = dateText(value.toDouble(), date, from1904);
        if (!text.isNull())
            stored = text;
    }
    return store(sheet, row, column, xf, XlsSheet::normalised(stored));
}

// A value already in the model's form.
bool Walker::store(SheetCells &sheet, int row, int column, int xf, const QVariant &stored)
{
    // The sheet's DIMENSIONS record is only a hint: other programs read
    // cells that lie outside it, and so does this reader.
    if (!XlsSheet::inGrid(row, column))
        return bad(QStringLiteral("a cell lies outside the sheet"));
    const bool known = xf >= 0 && size_t(xf) < alignment.size();
    const XlsCell cell{stored, known && alignment[size_t(xf)] == 2,
                       known ? xfDecimals[size_t(xf)] : qint8(-1)};
    if (!stored.isValid() && !cell.formatted())
        return true;
    sheet.entries.push_back({XlsSheet::keyOf(row, column), cell});
    return true;
}

XlsReader::Result Walker::walk(XlsWorkbook *book, QString *error)
{
    auto fail = [&](XlsReader::Result result, const QString &reason) {
        if (error)
            *error = reason;
        return result;
    };
    struct SheetInfo
    {
        QString name;
        quint32 offset = 0;
    };
    std::vector<SheetInfo> infos;
    QHash<quint32, int> sheetAt; // BOF offset -> sheet
    std::vector<SheetCells> sheets;
    std::vector<int> substreams; // open BOFs: sheet index, or -1 for others
    bool first = true;
    bool encrypted = false;

    int pos = 0;
    while (pos + 4 <= s.size() && damaged.isEmpty()) {
        const char *base = s.constData();
        const quint16 id = get16(base + pos);
        const int length = get16(base + pos + 2);
        const int data = pos + 4;
        if (data + length > s.size()) {
            bad(QStringLiteral("a record runs past the end of the workbook"));
            break;
        }
        const char *p = base + data;
        pos = data + length;
        if (first) {
            // Every workbook stream starts with its BOF.
            if ((id & 0xFF) != 0x09 || length < 4)
                return fail(XlsReader::Result::NotWorkbook,
                            QStringLiteral("the workbook stream does not start with BOF"));
            first = false;
        }
        const int sheet = substreams.empty() ? -1 : substreams.back();
        SheetCells *cells = sheet >= 0 ? &sheets[size_t(sheet)] : nullptr;
        const bool globals = substreams.size() == 1 && sheet < 0;

        switch (id) {
        case 0x0809: // BOF
        case 0x0409:
        case 0x0209:
        case 0x0009: {
            if (substreams.empty() && infos.empty() && length >= 2)
                biff8 = get16(p) == 0x0600;
            substreams.push_back(sheetAt.value(quint32(data - 4), -1));
            break;
        }
        case 0x000A: // EOF
            if (!substreams.empty())
                substreams.pop_back();
            break;
        case 0x002F: // FILEPASS
            encrypted = true;
            break;
        case 0x0042: // CODEPAGE: the first counts; looking a codec up is slow
            if (length >= 2 && globals && !codepageRead) {
                codepageRead = true;
                const int page = get16(p);
                if (page != 1200 && page != 367 && page != 0x8000)
                    codec = QTextCodec::codecForName("windows-" + QByteArray::number(page));
            }
            break;
        case 0x0022: // DATEMODE
            if (length >= 2 && globals)
                from1904 = get16(p) == 1;
            break;
        case 0x041E: // FORMAT: index, format string
            if (length >= 3 && globals) {
                QString text;
                int used = 0;
                if (string(p + 2, length - 2, biff8, &text, &used)) {
                    customFormats.insert(get16(p), customDateKind(text));
                    customDecimals.insert(get16(p), qint8(fixedDecimals(text)));
                }
            }
            break;
        case 0x00E0: // XF
            if (length >= 7 && globals) {
                alignment.push_back(quint8(p[6]) & 0x07);
                const int format = get16(p + 2);
                xfDate.push_back(customFormats.contains(format) ? customFormats.value(format)
                                                                : builtInDateKind(format));
                xfDecimals.push_back(customDecimals.contains(format)
                                         ? customDecimals.value(format)
                                         : qint8(builtInDecimals(format)));
            }
            break;
        case 0x0085: // BOUNDSHEET: offset, visibility, type (0 worksheet), name
            if (length >= 7 && globals) {
                SheetInfo info;
                info.offset = get32(p);
                int used = 0;
                if (!string(p + 6, length - 6, false, &info.name, &used)) {
                    bad(QStringLiteral("a sheet name is cut short"));
                    break;
                }
                if (quint8(p[5]) != 0)
                    note("a chart, macro or module sheet");
                if (!sheetAt.contains(info.offset))
                    sheetAt.insert(info.offset, int(infos.size()));
                infos.push_back(info);
                sheets.emplace_back();
            }
            break;
        case 0x00FC: // SST
            if (globals && sst.empty())
                sharedStrings(pos, data, length);
            break;
        case 0x0006: // FORMULA
        case 0x0406:
        case 0x04BC: // SHRFMLA
        case 0x0221: // ARRAY
            note("formulas");
            break;
        case 0x00E5: // MERGECELLS
            note("merged cells");
            break;
        case 0x001C: // NOTE
            note("comments");
            break;
        case 0x005D: // OBJ
            note("drawings or objects");
            break;
        case 0x00EB: // MSODRAWINGGROUP
        case 0x00EC: // MSODRAWING
            if (officeArtHasShapes(p, quint32(length)))
                note("drawings or objects");
            break;
        case 0x01B8: // HLINK
            note("hyperlinks");
            break;
        default:
            break;
        }
        if (!cells || length < 6)
            continue;
        const int row = get16(p);
        const int column = get16(p + 2);
        const int xf = get16(p + 4);
        switch (id) {
        case 0x00FD: { // LABELSST: string index
            if (length < 10)
                break;
            const quint32 index = get32(p + 6);
            if (index >= sst.size()) {
                bad(QStringLiteral("a cell names a missing shared string"));
                break;
            }
            store(*cells, row, column, xf, sst[index]);
            break;
        }
        case 0x0203: // NUMBER
            if (length >= 14) {
                const quint64 bits = qFromLittleEndian<quint64>(p + 6);
                double value;
                std::memcpy(&value, &bits, sizeof value);
                cell(*cells, row, column, xf, value);
            }
            break;
        case 0x027E: // RK
            if (length >= 10)
                cell(*cells, row, column, xf, rkValue(get32(p + 6)));
            break;
        case 0x00BD: // MULRK: row, first column, (xf, rk) ..., last column
            for (int i = 0; i < (length - 6) / 6; ++i)
                cell(*cells, row, column + i, get16(p + 4 + 6 * i),
                     rkValue(get32(p + 6 + 6 * i)));
            break;
        case 0x00BE: // MULBLANK: row, first column, xf ..., last column
            for (int i = 0; i < (length - 6) / 2; ++i)
                cell(*cells, row, column + i, get16(p + 4 + 2 * i), QVariant());
            break;
        case 0x0201: // BLANK
            cell(*cells, row, column, xf, QVariant());
            break;
        case 0x0205: // BOOLERR: value, is an error
            if (length >= 8 && p[7] == 0)
                cell(*cells, row, column, xf, double(quint8(p[6]) ? 1 : 0));
            else
                cell(*cells, row, column, xf, QVariant());
            break;
        case 0x0204: // LABEL
        case 0x00D6: { // RSTRING
            QString text;
            int used = 0;
            if (!string(p + 6, length - 6, true, &text, &used)) {
                bad(QStringLiteral("a text cell is cut short"));
                break;
            }
            cell(*cells, row, column, xf, text);
            break;
        }
        default:
            break;
        }
    }
    if (encrypted)
        return fail(XlsReader::Result::Protected, QStringLiteral("the workbook is protected"));
    if (!damaged.isEmpty())
        return fail(XlsReader::Result::NotWorkbook, QStringLiteral("damaged workbook: ") + damaged);
    if (infos.empty())
        return fail(XlsReader::Result::NotWorkbook, QStringLiteral("the workbook has no worksheet"));
    if (!unsupported.isEmpty())
        return fail(XlsReader::Result::Unsupported,
                    QStringLiteral("the workbook holds %1, which would be lost").arg(unsupported));

    XlsWorkbook result;
    result.sheets.reserve(int(infos.size()));
    for (size_t i = 0; i < infos.size(); ++i) {
        XlsSheet sheet(infos[i].name);
        sheet.assign(std::move(sheets[i].entries));
        result.sheets.append(std::move(sheet));
    }
    *book = std::move(result);
    return XlsReader::Result::Ok;
}

} // namespace

XlsReader::Result XlsReader::read(const QByteArray &file, XlsWorkbook *book, QString *error)
{
    // Only compound files are taken for workbooks, so that no other kind of
    // file is ever overwritten as one.
    if (!file.startsWith(QByteArray::fromHex("D0CF11E0A1B11AE1"))) {
        if (error)
            *error = QStringLiteral("not an Excel 97-2003 workbook");
        return Result::NotWorkbook;
    }
    QByteArray stream;
    if (!CompoundFile::readWorkbookStream(file, &stream)) {
        if (error)
            *error = QStringLiteral("the workbook stream cannot be read");
        return Result::NotWorkbook;
    }
    return Walker(stream).walk(book, error);
}

XlsReader::Result XlsReader::load(const QString &path, XlsWorkbook *book, QString *error)
{
    auto fail = [error](Result result, const QString &reason) {
        if (error)
            *error = reason;
        return result;
    };
    const QFileInfo info(path);
    if (!info.exists() || !info.isFile())
        return fail(Result::NotFound, QStringLiteral("no such file"));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(Result::NotReadable, file.errorString());
    if (file.size() > maxFileSize)
        return fail(Result::NotReadable, QStringLiteral("the file is too large for a workbook"));
    const QByteArray bytes = file.read(maxFileSize + 1);
    if (bytes.size() > maxFileSize)
        return fail(Result::NotReadable, QStringLiteral("the file is too large for a workbook"));
    return read(bytes, book, error);
}
