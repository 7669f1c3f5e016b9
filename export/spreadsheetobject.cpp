#include "export/spreadsheetobject.h"

#include "files/sheettable.h"
#include "files/workbookfile.h"
#include "files/xlsreader.h"
#include "files/xlsworkbook.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QMetaObject>
#include <QRegularExpression>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {
// The spreadsheet application's code for centred horizontal alignment.
constexpr int xlCenter = -4108;

bool is(const char *name, const char *member)
{
    // Callers name members as they are written here, and in a chain of
    // these most comparisons fail on the name before "(": the signatures are
    // normalised only when the names agree and the rest differs.
    if (std::strcmp(name, member) == 0)
        return true;
    const char *a = name;
    const char *b = member;
    while (*a && *a == *b && *a != '(') {
        ++a;
        ++b;
    }
    const auto ends = [](char c) { return c == '\0' || c == '('; };
    if (!ends(*a) || !ends(*b))
        return false;
    return QMetaObject::normalizedSignature(name) == QMetaObject::normalizedSignature(member);
}

// Reads a workbook file, or gives the copy of the workbook read before from
// the very same bytes: "Save Data" opens the same template for every save,
// and reading the file costs little beside making the workbook of it (the
// copy costs nothing until a sheet is written). Small files only (a
// template), the last few.
bool loadWorkbook(const QString &path, XlsWorkbook *model, QString *error)
{
    constexpr qint64 kKeptSize = 1024 * 1024;
    QFile file(path);
    if (file.size() > kKeptSize || !file.open(QIODevice::ReadOnly))
        return XlsReader::load(path, model, error) == XlsReader::Result::Ok;
    const QByteArray bytes = file.read(kKeptSize + 1);
    struct Read
    {
        QByteArray bytes;
        XlsWorkbook model;
    };
    static QMutex mutex;
    static std::vector<Read> kept; // the most recent last
    const QMutexLocker lock(&mutex);
    const auto same = std::find_if(kept.begin(), kept.end(),
                                   [&bytes](const Read &r) { return r.bytes == bytes; });
    if (same != kept.end()) {
        Read read = std::move(*same);
        kept.erase(same);
        *model = read.model;
        kept.push_back(std::move(read));
        return true;
    }
    if (XlsReader::read(bytes, model, error) != XlsReader::Result::Ok)
        return false;
    if (bytes.size() <= kKeptSize) {
        if (kept.size() >= 4)
            kept.erase(kept.begin());
        kept.push_back(Read{bytes, *model});
    }
    return true;
}

} // namespace

struct SpreadsheetObject::Book
{
    QString path;
    XlsWorkbook model;
    bool dirty = false;
    bool open = true;

    bool save()
    {
        if (!dirty)
            return true;
        return saveAs(path);
    }
    bool saveAs(const QString &target)
    {
        QString error;
        if (target.isEmpty() || !WorkbookFile::save(model, target, &error)) {
            qWarning().noquote() << "Saving" << target << "failed:" << error;
            return false;
        }
        path = target;
        dirty = false;
        return true;
    }
};

struct SpreadsheetObject::Session
{
    bool quit = false;
    std::vector<std::shared_ptr<Book>> books;
};

SpreadsheetObject *SpreadsheetObject::createApplication(QObject *parent)
{
    return new SpreadsheetObject(Kind::Application, std::make_shared<Session>(), parent);
}

SpreadsheetObject::SpreadsheetObject(Kind kind, std::shared_ptr<Session> session, QObject *parent)
    : AutomationObject(parent), m_kind(kind), m_session(std::move(session))
{
}

SpreadsheetObject::~SpreadsheetObject() = default;

SpreadsheetObject *SpreadsheetObject::child(Kind kind)
{
    auto *object = new SpreadsheetObject(kind, m_session, this);
    object->m_book = m_book;
    object->m_sheet = m_sheet;
    return object;
}

bool SpreadsheetObject::isNull() const
{
    if (m_session->quit)
        return true;
    if (m_kind == Kind::Application || m_kind == Kind::Workbooks)
        return false;
    return !m_book || !m_book->open;
}

bool SpreadsheetObject::parseCellAddress(const QString &text, int *row, int *column)
{
    static const QRegularExpression pattern(
        QStringLiteral("^\\$?([A-Za-z]{1,3})\\$?([0-9]{1,7})$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return false;
    int c = 0;
    for (const QChar ch : match.captured(1))
        c = c * 26 + (ch.toUpper().unicode() - 'A' + 1);
    const int r = match.captured(2).toInt();
    if (r < 1)
        return false;
    *row = r;
    *column = c;
    return true;
}

QVariant SpreadsheetObject::cellValue(const QVariant &assigned)
{
    return XlsSheet::enteredValue(assigned);
}

AutomationObject *SpreadsheetObject::querySubObject(const char *name, const QVariant &v1,
                                                    const QVariant &v2, const QVariant &,
                                                    const QVariant &, const QVariant &,
                                                    const QVariant &, const QVariant &,
                                                    const QVariant &)
{
    if (isNull())
        return nullptr;
    switch (m_kind) {
    case Kind::Application:
        if (is(name, "WorkBooks"))
            return child(Kind::Workbooks);
        break;
    case Kind::Workbooks:
        if (is(name, "Add()")) {
            // A new workbook with one worksheet and no file until SaveAs.
            auto book = std::make_shared<Book>();
            book->model = XlsWorkbook::withOneSheet();
            book->dirty = true;
            m_session->books.push_back(book);
            SpreadsheetObject *workbook = child(Kind::Workbook);
            workbook->m_book = book;
            return workbook;
        }
        if (is(name, "Open(QString, QVariant)")) {
            const QString path = v1.toString();
            const QFileInfo info(path);
            if (path.isEmpty() || !info.exists() || !info.isFile())
                return nullptr;
            std::shared_ptr<Book> book;
            for (const auto &open : m_session->books) {
                if (QFileInfo(open->path) == info)
                    book = open;
            }
            if (!book) {
                book = std::make_shared<Book>();
                book->path = path;
                if (info.size() == 0) {
                    // A new, empty file becomes a workbook on the first save.
                    book->model = XlsWorkbook::withOneSheet();
                    book->dirty = true;
                } else {
                    QString error;
                    if (!loadWorkbook(path, &book->model, &error)) {
                        qWarning().noquote() << "Cannot open" << path << ":" << error;
                        return nullptr;
                    }
                }
                m_session->books.push_back(book);
            }
            SpreadsheetObject *workbook = child(Kind::Workbook);
            workbook->m_book = book;
            return workbook;
        }
        break;
    case Kind::Workbook:
        if (is(name, "WorkSheets(int)")) {
            bool ok = false;
            const int index = v1.toInt(&ok);
            if (!ok || index < 1 || index > m_book->model.sheets.size())
                return nullptr;
            SpreadsheetObject *sheet = child(Kind::Worksheet);
            sheet->m_sheet = index - 1;
            return sheet;
        }
        if (is(name, "WorkSheets"))
            return child(Kind::Worksheets);
        break;
    case Kind::Worksheets:
        if (is(name, "Add()")) {
            // This application adds the new worksheet after the last one.
            XlsWorkbook &model = m_book->model;
            model.sheets.append(XlsSheet(QStringLiteral("Sheet%1").arg(model.sheets.size() + 1)));
            m_book->dirty = true;
            SpreadsheetObject *sheet = child(Kind::Worksheet);
            sheet->m_sheet = model.sheets.size() - 1;
            return sheet;
        }
        break;
    case Kind::Worksheet: {
        const XlsSheet &sheet = m_book->model.sheets.at(m_sheet);
        if (is(name, "UsedRange")) {
            SpreadsheetObject *range = child(Kind::Range);
            if (sheet.isEmpty()) {
                range->m_rows = range->m_columns = 1;
            } else {
                range->m_row = sheet.firstRow();
                range->m_column = sheet.firstColumn();
                range->m_rows = sheet.endRow() - range->m_row;
                range->m_columns = sheet.endColumn() - range->m_column;
            }
            return range;
        }
        if (is(name, "Cells(int,int)")) {
            bool rowOk = false;
            bool columnOk = false;
            const int row = v1.toInt(&rowOk) - 1;
            const int column = v2.toInt(&columnOk) - 1;
            if (!rowOk || !columnOk || !XlsSheet::inGrid(row, column))
                return nullptr;
            SpreadsheetObject *range = child(Kind::Range);
            range->m_row = row;
            range->m_column = column;
            range->m_rows = range->m_columns = 1;
            return range;
        }
        if (is(name, "Range(const QString&)")) {
            const QStringList corners = v1.toString().split(QLatin1Char(':'));
            int r1 = 0, c1 = 0, r2 = 0, c2 = 0;
            if (corners.size() < 1 || corners.size() > 2 ||
                !parseCellAddress(corners.first(), &r1, &c1) ||
                !parseCellAddress(corners.last(), &r2, &c2))
                return nullptr;
            if (r2 < r1)
                std::swap(r1, r2);
            if (c2 < c1)
                std::swap(c1, c2);
            if (!XlsSheet::inGrid(r1 - 1, c1 - 1))
                return nullptr;
            SpreadsheetObject *range = child(Kind::Range);
            range->m_row = r1 - 1;
            range->m_column = c1 - 1;
            range->m_rows = qMin(r2, XlsSheet::maxRows) - r1 + 1;
            range->m_columns = qMin(c2, XlsSheet::maxColumns) - c1 + 1;
            range->m_clipped = r2 > XlsSheet::maxRows || c2 > XlsSheet::maxColumns;
            return range;
        }
        break;
    }
    case Kind::Range:
        if (is(name, "Rows") || is(name, "Columns")) {
            const bool rows = is(name, "Rows");
            SpreadsheetObject *count = child(rows ? Kind::RowCount : Kind::ColumnCount);
            count->m_count = rows ? m_rows : m_columns;
            return count;
        }
        break;
    default:
        break;
    }
    qWarning() << "Spreadsheet: no sub-object" << name;
    return nullptr;
}

QVariant SpreadsheetObject::dynamicCall(const char *name, const QVariant &v1, const QVariant &,
                                        const QVariant &, const QVariant &, const QVariant &,
                                        const QVariant &, const QVariant &, const QVariant &)
{
    if (m_kind == Kind::Application && is(name, "Quit()")) {
        // Workbooks still open are dropped unsaved, as after "Don't save".
        for (const auto &book : m_session->books)
            book->open = false;
        m_session->books.clear();
        m_session->quit = true;
        return QVariant(true);
    }
    if (isNull())
        return QVariant();
    switch (m_kind) {
    case Kind::Workbook:
        if (is(name, "Save()"))
            return QVariant(m_book->save());
        if (is(name, "SaveAs(const QString&)"))
            return QVariant(m_book->saveAs(v1.toString()));
        if (is(name, "Close(bool)")) {
            const bool saved = v1.toBool() ? m_book->save() : true;
            m_book->open = false;
            auto &books = m_session->books;
            books.erase(std::remove(books.begin(), books.end(), m_book), books.end());
            return QVariant(saved);
        }
        break;
    case Kind::Range: {
        XlsSheet &sheet = m_book->model.sheets[m_sheet];
        if (is(name, "SetHorizontalAlignment(const QVariant&)")) {
            const bool centred = v1.toInt() == xlCenter;
            for (int r = 0; r < m_rows; ++r) {
                for (int c = 0; c < m_columns; ++c)
                    sheet.setCentred(m_row + r, m_column + c, centred);
            }
            m_book->dirty = true;
            return QVariant(true);
        }
        if (is(name, "SetValue(const QVariant&)"))
            return QVariant(setProperty("Value", v1));
        if (is(name, "Clear()")) {
            sheet.clear(m_row, m_column, m_rows, m_columns);
            m_book->dirty = true;
            return QVariant(true);
        }
        break;
    }
    default:
        break;
    }
    qWarning() << "Spreadsheet: no member" << name;
    return QVariant();
}

QVariant SpreadsheetObject::property(const char *name) const
{
    if (isNull())
        return QVariant();
    const QByteArray key(name);
    switch (m_kind) {
    case Kind::Workbooks:
        if (key == "Count")
            return int(m_session->books.size());
        break;
    case Kind::Worksheets:
        if (key == "Count")
            return m_book->model.sheets.size();
        break;
    case Kind::Worksheet:
        if (key == "Name")
            return m_book->model.sheets.at(m_sheet).name;
        break;
    case Kind::RowCount:
    case Kind::ColumnCount:
        if (key == "Count")
            return m_count;
        break;
    case Kind::Range: {
        if (key == "Row")
            return m_row + 1;
        if (key == "Column")
            return m_column + 1;
        if (key == "Value") {
            const XlsSheet &sheet = m_book->model.sheets.at(m_sheet);
            if (m_rows == 1 && m_columns == 1)
                return sheet.value(m_row, m_column);
            QVariantList rows;
            for (int r = 0; r < m_rows; ++r) {
                QVariantList row;
                for (int c = 0; c < m_columns; ++c)
                    row.append(sheet.value(m_row + r, m_column + c));
                rows.append(QVariant(row));
            }
            return rows;
        }
        break;
    }
    default:
        break;
    }
    return QVariant();
}

bool SpreadsheetObject::setProperty(const char *name, const QVariant &value)
{
    if (!isNull() && m_kind == Kind::Worksheet && std::strcmp(name, "Name") == 0) {
        const QString wanted = value.toString();
        if (!XlsWorkbook::isValidSheetName(wanted))
            return false;
        m_book->model.sheets[m_sheet].name = wanted;
        m_book->dirty = true;
        return true;
    }
    if (isNull() || m_kind != Kind::Range || std::strcmp(name, "Value") != 0)
        return false;
    XlsSheet &sheet = m_book->model.sheets[m_sheet];
    m_book->dirty = true;
    if (value.userType() == qMetaTypeId<CellBlock>()) {
        const CellBlock &block = *static_cast<const CellBlock *>(value.constData());
        const int rowCount = qMin(m_rows, block.rows());
        const int columnCount = qMin(m_columns, block.columns);
        sheet.reserve(rowCount * columnCount);
        for (int r = 0; r < rowCount; ++r) {
            for (int c = 0; c < columnCount; ++c) {
                const CellBlock::Cell &cell = block.at(r, c);
                if (cell.text.isNull())
                    sheet.setNumber(m_row + r, m_column + c, cell.number,
                                    block.numberDecimals.value(c, -1));
                else
                    sheet.setEntered(m_row + r, m_column + c, cell.text);
            }
        }
        return !m_clipped;
    }
    if (value.type() != QVariant::List) {
        for (int r = 0; r < m_rows; ++r) {
            for (int c = 0; c < m_columns; ++c)
                sheet.setEntered(m_row + r, m_column + c, value);
        }
        return !m_clipped;
    }
    // A block: one list per row; what lies outside the range is not written.
    // The lists are read where they are (a block holds tens of thousands of
    // values).
    const QVariantList &rows = *static_cast<const QVariantList *>(value.constData());
    const int rowCount = qMin(m_rows, rows.size());
    sheet.reserve(rowCount * m_columns);
    for (int r = 0; r < rowCount; ++r) {
        const QVariant &row = rows.at(r);
        if (row.type() != QVariant::List) {
            if (m_columns > 0)
                sheet.setEntered(m_row + r, m_column, row);
            continue;
        }
        const QVariantList &items = *static_cast<const QVariantList *>(row.constData());
        const int columnCount = qMin(m_columns, items.size());
        for (int c = 0; c < columnCount; ++c)
            sheet.setEntered(m_row + r, m_column + c, items.at(c));
    }
    return !m_clipped;
}
