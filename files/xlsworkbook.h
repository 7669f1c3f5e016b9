#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include <vector>

// One cell of a worksheet: a text (QString) or a number (double), or no
// value at all (a formatted blank), whether it is centred, and its number
// format: -1 the General format, 0 to 30 a fixed number of decimals ("0",
// "0.0", "0.00", ...), so that 137 shows as "137.0000" where the table did.
struct XlsCell
{
    QVariant value;
    bool centred = false;
    qint8 decimals = -1;

    bool formatted() const { return centred || decimals >= 0; }
};

// A worksheet of an Excel 97-2003 workbook: at most 65536 rows and 256
// columns. Rows and columns are 0-based here; the automation layer adds the
// spreadsheet's 1-based numbering.
//
// Texts are cut at 8192 characters. The format allows 32767, but FreeXL,
// which reads the files back (the Logger export reopens its workbook once per
// run), cannot read a shared string continued over more than one CONTINUE
// record, and 8192 UTF-16 characters always fit in two records.
class XlsSheet
{
public:
    static constexpr int maxRows = 65536;
    static constexpr int maxColumns = 256;
    static constexpr int maxTextLength = 8192;
    static constexpr int maxDecimals = 30;

    XlsSheet() = default;
    explicit XlsSheet(const QString &name) : name(name) {}

    QString name;

    static bool inGrid(int row, int column)
    {
        return row >= 0 && row < maxRows && column >= 0 && column < maxColumns;
    }
    // Stores a value as the file can hold it: numbers as double (NaN and
    // infinities, which a workbook cannot hold, as their text), other values
    // as text cut to the cell limit; an empty text or invalid variant leaves
    // the cell without value. False outside the grid.
    bool setValue(int row, int column, const QVariant &value);
    bool setCentred(int row, int column, bool centred);
    // -1 for the General format; values outside -1..maxDecimals are refused.
    bool setDecimals(int row, int column, int decimals);
    // Room for this many more cells (growing as the vector would).
    void reserve(int more)
    {
        const size_t needed = m_cells.size() + size_t(qMax(0, more));
        if (needed > m_cells.capacity())
            m_cells.reserve(qMax(needed, 2 * m_cells.capacity()));
    }
    // A value assigned as the spreadsheet application takes it
    // (enteredValue()); a text that becomes a number with decimals
    // ("137.0000") also gives the cell that many decimals, so that it shows
    // as it was written. Any other value leaves the cell's format alone.
    bool setEntered(int row, int column, const QVariant &assigned);
    // A number as setEntered() stores the text it was read from, which
    // showed this many decimals (0 or -1: the cell's format is left alone).
    bool setNumber(int row, int column, double number, int decimals);
    // Removes every cell (value and format) of the block of rows x columns
    // from row, column on; the parts outside the grid are ignored.
    void clear(int row, int column, int rows, int columns);
    // Cell or nullptr.
    const XlsCell *cell(int row, int column) const;
    QVariant value(int row, int column) const;

    bool isEmpty() const { return m_cells.empty(); }
    int cellCount() const { return int(m_cells.size()); }
    // Bounds of the used cells (0-based first, exclusive end); all 0 when
    // the sheet is empty.
    int firstRow() const;
    int endRow() const;
    int firstColumn() const;
    int endColumn() const;

    // Cells in row order, then column order (ascending keys). A sorted
    // vector: cells arrive in this order almost always (rows written top
    // down, files read top down), and the writer walks it once per save.
    struct Entry
    {
        quint32 key;
        XlsCell cell;
    };
    using Cells = std::vector<Entry>;
    const Cells &cells() const { return m_cells; }
    static int rowOf(quint32 key) { return int(key >> 8); }
    static int columnOf(quint32 key) { return int(key & 0xFF); }
    static quint32 keyOf(int row, int column) { return (quint32(row) << 8) | quint32(column); }

    static QVariant normalised(const QVariant &value);
    // A value as the spreadsheet application takes one assigned to a cell: a
    // text that reads as a number of at most 15 significant digits becomes
    // that number; anything else as normalised().
    static QVariant enteredValue(const QVariant &assigned);
    // The decimals a text entered as a number shows: the digits after its
    // decimal point; -1 for a text without any (or with an exponent, or
    // more than maxDecimals), and for anything that enteredValue() does not
    // turn into a number.
    static int enteredDecimals(const QVariant &assigned);
    // Approximate width of a cell's contents in characters, as shown
    // (wide CJK characters count two); the writers size columns by it.
    static int displayWidth(const XlsCell &cell);

    // Takes cells in any order (a file read back): sorted by key, the last
    // of several for one cell wins; values are taken as they are.
    void assign(Cells cells);

private:
    Cells::iterator find(quint32 key);
    Cells m_cells;
};

// A workbook: its worksheets in tab order and the sheet shown on opening.
class XlsWorkbook
{
public:
    QVector<XlsSheet> sheets;
    int activeSheet = 0;

    // A workbook as the spreadsheet application makes it for a new file.
    static XlsWorkbook withOneSheet();

    // A name the file format accepts: 1-31 characters, none of : \ / ? * [ ],
    // no control characters, not starting or ending with an apostrophe.
    static QString validSheetName(const QString &name, int index);
    static bool isValidSheetName(const QString &name);
    // The sheets' names as a file holds them: made valid, and unique
    // ignoring case ("Data", "Data(2)", ...).
    QStringList fileSheetNames() const;
};
