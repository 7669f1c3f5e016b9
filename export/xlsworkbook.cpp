#include "export/xlsworkbook.h"

#include <QtMath>

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
    if (text.size() > maxTextLength) {
        int length = maxTextLength;
        // Never keep half of a surrogate pair.
        if (text.at(length - 1).isHighSurrogate())
            --length;
        text.truncate(length);
    }
    return QVariant(text);
}

bool XlsSheet::setValue(int row, int column, const QVariant &value)
{
    if (!inGrid(row, column))
        return false;
    const quint32 key = keyOf(row, column);
    const QVariant stored = normalised(value);
    auto it = m_cells.find(key);
    if (!stored.isValid()) {
        if (it != m_cells.end()) {
            if (it->centred)
                it->value = QVariant();
            else
                m_cells.erase(it);
        }
        return true;
    }
    if (it == m_cells.end())
        m_cells.insert(key, XlsCell{stored, false});
    else
        it->value = stored;
    return true;
}

bool XlsSheet::setCentred(int row, int column, bool centred)
{
    if (!inGrid(row, column))
        return false;
    const quint32 key = keyOf(row, column);
    auto it = m_cells.find(key);
    if (it == m_cells.end()) {
        if (centred)
            m_cells.insert(key, XlsCell{QVariant(), true});
    } else if (!centred && !it->value.isValid()) {
        m_cells.erase(it);
    } else {
        it->centred = centred;
    }
    return true;
}

const XlsCell *XlsSheet::cell(int row, int column) const
{
    if (!inGrid(row, column))
        return nullptr;
    auto it = m_cells.constFind(keyOf(row, column));
    return it == m_cells.constEnd() ? nullptr : &it.value();
}

QVariant XlsSheet::value(int row, int column) const
{
    const XlsCell *c = cell(row, column);
    return c ? c->value : QVariant();
}

int XlsSheet::firstRow() const
{
    return m_cells.isEmpty() ? 0 : rowOf(m_cells.firstKey());
}

int XlsSheet::endRow() const
{
    return m_cells.isEmpty() ? 0 : rowOf(m_cells.lastKey()) + 1;
}

int XlsSheet::firstColumn() const
{
    if (m_cells.isEmpty())
        return 0;
    int first = maxColumns;
    for (auto it = m_cells.constBegin(); it != m_cells.constEnd(); ++it)
        first = qMin(first, columnOf(it.key()));
    return first;
}

int XlsSheet::endColumn() const
{
    int end = 0;
    for (auto it = m_cells.constBegin(); it != m_cells.constEnd(); ++it)
        end = qMax(end, columnOf(it.key()) + 1);
    return end;
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
        result += (ch.unicode() < 0x20 || QStringLiteral(":\\/?*[]").contains(ch))
            ? QChar('_')
            : ch;
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
