#include "files/xlsworkbook.h"

#include <QSet>
#include <QtMath>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <iterator>

QVariant XlsSheet::normalised(const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return QVariant();
    switch (int(value.type())) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::ULong: {
        const double number = value.toDouble();
        if (!qIsFinite(number))
            return QVariant(QString::number(number)); // "nan", "inf", "-inf"
        return QVariant(number);
    }
    case QMetaType::Bool:
        return QVariant(value.toBool() ? QStringLiteral("TRUE") : QStringLiteral("FALSE"));
    default:
        break;
    }
    QString text = value.toString();
    if (text.isEmpty())
        return QVariant();
    // A lone half of a surrogate pair is no character: readers refuse a
    // file holding one, so it is stored as the replacement character.
    for (int i = 0; i < text.size(); ++i) {
        const QChar ch = text.at(i);
        if (ch.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        else if (ch.isSurrogate())
            text[i] = QChar(QChar::ReplacementCharacter);
    }
    if (text.size() > maxTextLength) {
        int length = maxTextLength;
        // Never keep half of a surrogate pair.
        if (text.at(length - 1).isHighSurrogate())
            --length;
        text.truncate(length);
    }
    return QVariant(text);
}

XlsSheet::Cells::iterator XlsSheet::find(quint32 key)
{
    if (m_cells.empty() || m_cells.back().key < key)
        return m_cells.end();
    if (m_cells.back().key == key) // the cell just written, most of the time
        return m_cells.end() - 1;
    return std::lower_bound(m_cells.begin(), m_cells.end(), key,
                            [](const Entry &e, quint32 k) { return e.key < k; });
}

bool XlsSheet::setValue(int row, int column, const QVariant &value)
{
    if (!inGrid(row, column))
        return false;
    const quint32 key = keyOf(row, column);
    const QVariant stored = normalised(value);
    auto it = find(key);
    const bool found = it != m_cells.end() && it->key == key;
    if (!stored.isValid()) {
        if (found) {
            if (it->cell.formatted())
                it->cell.value = QVariant();
            else
                m_cells.erase(it);
        }
        return true;
    }
    if (found)
        it->cell.value = stored;
    else
        m_cells.insert(it, Entry{key, XlsCell{stored, false}});
    return true;
}

bool XlsSheet::setCentred(int row, int column, bool centred)
{
    if (!inGrid(row, column))
        return false;
    const quint32 key = keyOf(row, column);
    auto it = find(key);
    const bool found = it != m_cells.end() && it->key == key;
    if (!found) {
        if (centred)
            m_cells.insert(it, Entry{key, XlsCell{QVariant(), true}});
        return true;
    }
    it->cell.centred = centred;
    if (!it->cell.formatted() && !it->cell.value.isValid())
        m_cells.erase(it);
    return true;
}

bool XlsSheet::setDecimals(int row, int column, int decimals)
{
    if (!inGrid(row, column) || decimals < -1 || decimals > maxDecimals)
        return false;
    const quint32 key = keyOf(row, column);
    auto it = find(key);
    const bool found = it != m_cells.end() && it->key == key;
    if (!found) {
        if (decimals >= 0)
            m_cells.insert(it, Entry{key, XlsCell{QVariant(), false, qint8(decimals)}});
        return true;
    }
    it->cell.decimals = qint8(decimals);
    if (!it->cell.formatted() && !it->cell.value.isValid())
        m_cells.erase(it);
    return true;
}

void XlsSheet::clear(int row, int column, int rows, int columns)
{
    const qint64 rowEnd = qMin<qint64>(qint64(row) + rows, maxRows);
    const qint64 columnEnd = qMin<qint64>(qint64(column) + columns, maxColumns);
    const int firstRow = qMax(row, 0);
    const int firstColumn = qMax(column, 0);
    if (firstRow >= rowEnd || firstColumn >= columnEnd)
        return;
    const auto inBlock = [&](const Entry &e) {
        const int r = rowOf(e.key);
        const int c = columnOf(e.key);
        return r >= firstRow && r < rowEnd && c >= firstColumn && c < columnEnd;
    };
    m_cells.erase(std::remove_if(m_cells.begin(), m_cells.end(), inBlock), m_cells.end());
}

namespace {

// A text as a user enters a number: [+-] digits [. digits] or . digits, with
// an exponent of at most three digits, up to 40 characters and at most 15
// significant digits (more would not survive as a number). Written out by
// hand: it runs for every cell of every save. decimals is the count after the
// point of a text without exponent, else 0.
//
// A text without exponent (the tables' numbers) is converted by
// std::from_chars from a copy without its sign: like QString::toDouble, it
// gives the double nearest the decimal value, and such a text (at most 40
// characters) can neither overflow nor underflow. A text with an exponent is
// left to QString::toDouble, whose answer on overflow and underflow the files
// have always had.
bool parseEnteredNumber(const QString &text, double *value, int *decimals)
{
    const int size = text.size();
    if (size == 0 || size > 40)
        return false;
    const QChar *c = text.constData();
    int i = 0;
    bool negative = false;
    if (c[i] == QLatin1Char('+') || c[i] == QLatin1Char('-')) {
        negative = c[i] == QLatin1Char('-');
        ++i;
    }
    char mantissa[40];
    int length = 0;
    int digits = 0, significant = 0, afterPoint = 0;
    bool point = false;
    for (; i < size; ++i) {
        const ushort u = c[i].unicode();
        if (u >= '0' && u <= '9') {
            ++digits;
            if (point)
                ++afterPoint;
            if (significant > 0 || u != '0')
                ++significant;
        } else if (u == '.' && !point) {
            point = true;
        } else {
            break;
        }
        mantissa[length++] = char(u);
    }
    if (digits == 0 || significant > 15)
        return false;
    bool exponent = false;
    if (i < size && (c[i] == QLatin1Char('e') || c[i] == QLatin1Char('E'))) {
        exponent = true;
        ++i;
        if (i < size && (c[i] == QLatin1Char('+') || c[i] == QLatin1Char('-')))
            ++i;
        int expDigits = 0;
        for (; i < size && c[i].unicode() >= '0' && c[i].unicode() <= '9'; ++i)
            ++expDigits;
        if (expDigits < 1 || expDigits > 3)
            return false;
    }
    if (i != size)
        return false;
    if (exponent) {
        bool ok = false;
        *value = text.toDouble(&ok);
        *decimals = 0;
        return ok;
    }
    double magnitude = 0;
    const std::from_chars_result read =
        std::from_chars(mantissa, mantissa + length, magnitude, std::chars_format::fixed);
    if (read.ec != std::errc() || read.ptr != mantissa + length)
        return false;
    *value = negative ? -magnitude : magnitude;
    *decimals = afterPoint;
    return true;
}

} // namespace

bool XlsSheet::setEntered(int row, int column, const QVariant &assigned)
{
    double number = 0;
    int decimals = 0;
    if (assigned.type() != QVariant::String ||
        !parseEnteredNumber(assigned.toString(), &number, &decimals))
        return setValue(row, column, assigned); // which normalises it
    return setNumber(row, column, number, decimals);
}

bool XlsSheet::setNumber(int row, int column, double number, int decimals)
{
    if (!qIsFinite(number)) // an exponent too large: stored as its text, as setValue() does
        return setValue(row, column, number);
    if (!inGrid(row, column))
        return false;
    // What setValue() and setDecimals() would do, in one look-up: this runs
    // for every number of every save.
    const bool shown = decimals > 0 && decimals <= maxDecimals;
    const quint32 key = keyOf(row, column);
    auto it = find(key);
    if (it != m_cells.end() && it->key == key) {
        it->cell.value = number;
        if (shown)
            it->cell.decimals = qint8(decimals);
    } else {
        m_cells.insert(it, Entry{key, XlsCell{number, false, qint8(shown ? decimals : -1)}});
    }
    return true;
}

void XlsSheet::assign(Cells cells)
{
    // Sorted and cleared of repeated cells in place first, so that the
    // vector kept holds the distinct cells only, however often a file
    // repeats one, and no third copy exists while it is filled.
    const auto byKey = [](const Entry &a, const Entry &b) { return a.key < b.key; };
    if (!std::is_sorted(cells.begin(), cells.end(), byKey))
        std::stable_sort(cells.begin(), cells.end(), byKey);
    auto end = cells.begin();
    for (auto it = cells.begin(); it != cells.end(); ++it) {
        if (end != cells.begin() && (end - 1)->key == it->key) {
            *(end - 1) = std::move(*it);
        } else {
            if (end != it)
                *end = std::move(*it);
            ++end;
        }
    }
    Cells kept;
    kept.reserve(size_t(end - cells.begin()));
    std::move(cells.begin(), end, std::back_inserter(kept));
    m_cells = std::move(kept);
}

const XlsCell *XlsSheet::cell(int row, int column) const
{
    if (!inGrid(row, column))
        return nullptr;
    const quint32 key = keyOf(row, column);
    auto it = std::lower_bound(m_cells.begin(), m_cells.end(), key,
                               [](const Entry &e, quint32 k) { return e.key < k; });
    return it != m_cells.end() && it->key == key ? &it->cell : nullptr;
}

QVariant XlsSheet::value(int row, int column) const
{
    const XlsCell *c = cell(row, column);
    return c ? c->value : QVariant();
}

int XlsSheet::firstRow() const
{
    return m_cells.empty() ? 0 : rowOf(m_cells.front().key);
}

int XlsSheet::endRow() const
{
    return m_cells.empty() ? 0 : rowOf(m_cells.back().key) + 1;
}

int XlsSheet::firstColumn() const
{
    if (m_cells.empty())
        return 0;
    int first = maxColumns;
    for (const Entry &e : m_cells)
        first = qMin(first, columnOf(e.key));
    return first;
}

int XlsSheet::endColumn() const
{
    int end = 0;
    for (const Entry &e : m_cells)
        end = qMax(end, columnOf(e.key) + 1);
    return end;
}

QVariant XlsSheet::enteredValue(const QVariant &assigned)
{
    if (assigned.type() != QVariant::String)
        return normalised(assigned);
    double value = 0;
    int decimals = 0;
    if (!parseEnteredNumber(assigned.toString(), &value, &decimals))
        return normalised(assigned);
    return normalised(value);
}

int XlsSheet::enteredDecimals(const QVariant &assigned)
{
    double value = 0;
    int decimals = 0;
    if (assigned.type() != QVariant::String ||
        !parseEnteredNumber(assigned.toString(), &value, &decimals) || !qIsFinite(value))
        return -1;
    return decimals > 0 && decimals <= maxDecimals ? decimals : -1;
}

// Numbers are estimated without formatting them (this runs for every cell
// of every save): integer digits, then the cell's decimals, or in the
// General format as many decimals as the value needs within its ten
// significant digits.
int XlsSheet::displayWidth(const XlsCell &cell)
{
    const QVariant &value = cell.value;
    if (value.type() == QVariant::String) {
        int width = 0;
        const QString text = value.toString();
        for (const QChar ch : text)
            width += ch.unicode() >= 0x1100 ? 2 : 1;
        return width;
    }
    if (!value.isValid())
        return 0;
    const double number = std::fabs(value.toDouble());
    const int sign = value.toDouble() < 0 ? 1 : 0;
    if (cell.decimals >= 0) {
        int digits = 1;
        for (double limit = 10; number >= limit && digits < 400; limit *= 10)
            ++digits;
        return sign + digits + (cell.decimals > 0 ? cell.decimals + 1 : 0);
    }
    if (number >= 1e10 || (number != 0 && number < 1e-4))
        return 11; // scientific notation
    int digits = 1;
    for (double limit = 10; number >= limit && digits < 10; limit *= 10)
        ++digits;
    double fraction = number - std::floor(number);
    int decimals = 0;
    while (fraction > 1e-9 && digits + decimals < 10) {
        fraction *= 10;
        fraction -= std::floor(fraction);
        ++decimals;
        if (fraction > 0.9999999 || fraction < 1e-7)
            break;
    }
    return sign + digits + (decimals > 0 ? decimals + 1 : 0);
}

XlsWorkbook XlsWorkbook::withOneSheet()
{
    XlsWorkbook book;
    book.sheets.append(XlsSheet(QStringLiteral("Sheet1")));
    return book;
}

bool XlsWorkbook::isValidSheetName(const QString &name)
{
    if (name.isEmpty() || name.size() > 31)
        return false;
    if (name.startsWith(QLatin1Char('\'')) || name.endsWith(QLatin1Char('\'')))
        return false;
    for (const QChar ch : name) {
        if (ch.unicode() < 0x20 || QStringLiteral(":\\/?*[]").contains(ch))
            return false;
    }
    return true;
}

QString XlsWorkbook::validSheetName(const QString &name, int index)
{
    QString result;
    for (const QChar ch : name)
        result +=
            (ch.unicode() < 0x20 || QStringLiteral(":\\/?*[]").contains(ch)) ? QChar('_') : ch;
    while (result.startsWith(QLatin1Char('\'')))
        result.remove(0, 1);
    if (result.size() > 31) {
        result.truncate(31);
        if (result.at(30).isHighSurrogate())
            result.chop(1);
    }
    while (result.endsWith(QLatin1Char('\'')))
        result.chop(1);
    if (result.isEmpty())
        result = QStringLiteral("Sheet%1").arg(index + 1);
    return result;
}

QStringList XlsWorkbook::fileSheetNames() const
{
    QStringList names;
    QSet<QString> used;
    for (int i = 0; i < sheets.size(); ++i) {
        const QString base = validSheetName(sheets.at(i).name, i);
        QString name = base;
        for (int n = 2; used.contains(name.toCaseFolded()); ++n) {
            const QString tail = QStringLiteral("(%1)").arg(n);
            name = base.left(31 - tail.size()) + tail;
        }
        used.insert(name.toCaseFolded());
        names.append(name);
    }
    return names;
}
