#include "export/excelengine.h"

#include "export/automationobject.h"
#include "export/sheettablewidget.h"
#include "files/safefile.h"
#include "files/xlsworkbook.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QProgressDialog>

namespace {
// The spreadsheet application's code for centred horizontal alignment.
constexpr int xlCenter = -4108;
} // namespace

ExcelEngine::ExcelEngine(const QString &fileName, const QString &templatePath)
    : m_fileName(fileName), m_templatePath(templatePath)
{
}

ExcelEngine::~ExcelEngine()
{
    if (m_open)
        closeBook();
    else
        releaseApplication();
}

bool ExcelEngine::openSheet(int sheetIndex)
{
    if (m_open) {
        const bool selected = selectSheet(sheetIndex);
        m_failure = selected ? Failure::None : Failure::File;
        return selected;
    }
    m_failure = Failure::File; // until the sheet is open

    if (!m_application) {
        m_application = AutomationObject::create(QStringLiteral("Excel.Application"));
        if (!m_application) {
            m_applicationPresent = false;
            m_open = false;
            return false;
        }
        m_applicationPresent = true;
    }

    if (!m_applicationPresent || m_fileName.isEmpty() || !canReplace(m_fileName)) {
        m_open = false;
        return false;
    }

    m_workbooks = m_application->querySubObject("WorkBooks");
    if (!m_workbooks) {
        m_workbook = nullptr;
    } else if (!m_templatePath.isEmpty() && QFile::exists(m_templatePath)) {
        // A full sheet takes hundreds of MB and much longer to read than
        // any template needs.
        if (QFileInfo(m_templatePath).size() > maxTemplateSize) {
            m_workbook = nullptr;
            m_failure = Failure::TemplateTooLarge;
        } else {
            m_workbook = m_workbooks->querySubObject("Open(QString, QVariant)",
                                                     QVariant(m_templatePath), QVariant(0));
            if (!m_workbook)
                m_failure = Failure::Template;
        }
    } else {
        m_workbook = m_workbooks->querySubObject("Add()");
    }
    m_open = true;
    if (!m_workbook || m_workbook->isNull() || !selectSheet(sheetIndex)) {
        // A template that is not a workbook, or a workbook without this
        // worksheet: every later write would silently do nothing.
        if (m_workbook)
            m_workbook->dynamicCall("Close(bool)", false);
        m_application->dynamicCall("Quit()");
        releaseApplication();
        return false;
    }
    m_failure = Failure::None;
    return true;
}

bool ExcelEngine::selectSheet(int sheetIndex)
{
    m_sheetIndex = sheetIndex;
    m_worksheet = m_workbook->querySubObject("WorkSheets(int)", QVariant(uint(sheetIndex)));
    if (!m_worksheets)
        m_worksheets = m_workbook->querySubObject("WorkSheets");
    if (!m_worksheet || m_worksheet->isNull())
        return false;

    AutomationObject *usedRange = m_worksheet->querySubObject("UsedRange");
    AutomationObject *rows = usedRange ? usedRange->querySubObject("Rows") : nullptr;
    AutomationObject *columns = usedRange ? usedRange->querySubObject("Columns") : nullptr;
    m_firstRow = usedRange ? usedRange->property("Row").toInt() : 0;
    m_firstColumn = usedRange ? usedRange->property("Column").toInt() : 0;
    m_usedRows = rows ? rows->property("Count").toInt() : 0;
    m_usedColumns = columns ? columns->property("Count").toInt() : 0;
    return true;
}

bool ExcelEngine::appendSheet(const QString &name)
{
    if (!m_open || !m_worksheets || m_worksheets->isNull())
        return false;
    AutomationObject *sheet = m_worksheets->querySubObject("Add()");
    if (!sheet || sheet->isNull() || !sheet->setProperty("Name", name))
        return false;
    return selectSheet(m_worksheets->property("Count").toInt());
}

bool ExcelEngine::setCell(int row, int column, const QVariant &value)
{
    if (!m_worksheet || m_worksheet->isNull())
        return false;
    AutomationObject *range =
        m_worksheet->querySubObject("Cells(int,int)", QVariant(uint(row)), QVariant(uint(column)));
    if (!range)
        return false;
    range->dynamicCall("SetHorizontalAlignment(const QVariant&)", QVariant(xlCenter));
    range->dynamicCall("SetValue(const QVariant&)", value);
    return true;
}

bool ExcelEngine::writeTable(QTableWidget *table)
{
    return writeTable(table, nullptr);
}

bool ExcelEngine::writeTable(QTableWidget *table, QProgressDialog *progress)
{
    return table && writeTable(sheetTableOf(*table), progress);
}

bool ExcelEngine::writeTable(const SheetTable &table, QProgressDialog *progress)
{
    if (!m_open)
        return false;

    const int columns = table.headers.size();
    if (!clearColumns(columns))
        return false;
    // A null text is a cell the table does not have (see SheetTable).
    const auto write = [this](int row, int column, const QString &text) {
        if (!text.isNull())
            setCell(row, column, text);
    };
    for (int c = 0; c < columns; ++c)
        write(1, c + 1, table.headers.at(c));
    for (int r = 0; r < table.rows.size(); ++r) {
        const QStringList &texts = table.rows.at(r);
        const int cells = qMin(int(texts.size()), columns);
        for (int c = 0; c < cells; ++c)
            write(r + 2, c + 1, texts.at(c));
        if (progress) {
            progress->setValue(r + 1);
            if (progress->wasCanceled())
                break;
        }
    }
    // The caller saves once, when everything is in; after a cancel it drops
    // the workbook.
    return true;
}

bool ExcelEngine::writeRows(const QList<QList<QVariant>> &rows)
{
    if (rows.isEmpty())
        return false;
    QVariantList block;
    block.reserve(rows.size());
    for (const QList<QVariant> &row : rows)
        block.append(QVariant(QVariantList(row)));
    return writeRange(rows.size(), rows.first().size(), QVariant(block));
}

bool ExcelEngine::writeBlock(const CellBlock &block)
{
    if (block.rows() == 0)
        return false;
    return writeRange(block.rows(), block.columns, QVariant::fromValue(block));
}

bool ExcelEngine::writeRange(int rows, int columns, const QVariant &value)
{
    if (!m_worksheet || m_worksheet->isNull())
        return false;

    QString rangeText = QString::number(rows);
    columnLetters(columns, rangeText);
    rangeText.prepend(QLatin1String("A1:"));
    qDebug().noquote() << rangeText;

    if (!clearColumns(columns))
        return false;
    AutomationObject *range = m_worksheet->querySubObject("Range(const QString&)", rangeText);
    if (!range || range->isNull())
        return false;
    const bool written = range->setProperty("Value", value);
    delete range;
    return written;
}

bool ExcelEngine::clearColumns(int columns)
{
    if (!m_worksheet || m_worksheet->isNull())
        return false;
    if (columns <= 0)
        return true;
    QString rangeText = QString::number(XlsSheet::maxRows);
    columnLetters(qMin(columns, XlsSheet::maxColumns), rangeText);
    rangeText.prepend(QLatin1String("A1:"));
    AutomationObject *range = m_worksheet->querySubObject("Range(const QString&)", rangeText);
    if (!range || range->isNull())
        return false;
    const QVariant cleared = range->dynamicCall("Clear()");
    delete range;
    return cleared.isValid() && cleared.toBool();
}

bool ExcelEngine::saveBook()
{
    if (!m_workbook)
        return false;
    const QVariant result = m_workbook->dynamicCall("SaveAs(const QString&)", m_fileName);
    return result.isValid() && result.toBool();
}

void ExcelEngine::closeBook()
{
    if (!m_application || !m_workbook)
        return;
    m_workbook->dynamicCall("Close(bool)", false);
    m_application->dynamicCall("Quit()");
    releaseApplication();
}

void ExcelEngine::releaseApplication()
{
    delete m_application; // its sub-objects go with it
    m_application = nullptr;
    m_workbooks = nullptr;
    m_workbook = nullptr;
    m_worksheets = nullptr;
    m_worksheet = nullptr;
    m_open = false;
    m_applicationPresent = false;
}

bool ExcelEngine::canReplace(const QString &fileName)
{
    // The temporary file the save will write is made and removed again:
    // a folder that is missing or read-only shows now, not after the work.
    SafeFile probe(fileName);
    return probe.open();
}

void ExcelEngine::columnLetters(int n, QString &text)
{
    // Bijective base 26: there is no digit for zero, Z follows Y and AA
    // follows Z.
    QString letters;
    while (n > 0) {
        const int digit = (n - 1) % 26;
        letters.prepend(QChar('A' + digit));
        n = (n - 1) / 26;
    }
    text.prepend(letters);
}
