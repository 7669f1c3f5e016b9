#include "export/excelengine.h"

#include "export/automationobject.h"
#include "files/safefile.h"
#include "files/xlsworkbook.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QProgressDialog>
#include <QTableWidget>

#include "files/sheettable.h"

namespace {
// The spreadsheet application's code for centred horizontal alignment.
constexpr int xlCenter = -4108;
} // namespace

ExcelEngine::ExcelEngine(const QString &fileName) : m_fileName(fileName) {}

ExcelEngine::ExcelEngine(const QString &fileName, Mode mode, const QString &templatePath)
    : m_fileName(fileName), m_mode(mode), m_templatePath(templatePath)
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
    if (m_mode == Mode::Replace && m_open) {
        const bool selected = selectSheet(sheetIndex);
        m_failure = selected ? Failure::None : Failure::File;
        return selected;
    }
    m_failure = Failure::File; // until the sheet is open
    bool previousSaved = true;
    if (m_open) {
        closeBook();
        previousSaved = m_lastCloseSaved;
    }

    if (!m_application) {
        m_application = AutomationObject::create(QStringLiteral("Excel.Application"));
        if (!m_application) {
            m_applicationPresent = false;
            m_open = false;
            return false;
        }
        m_applicationPresent = true;
    }

    // Data written before this reopen that could not be saved is lost; the
    // caller must hear of it rather than go on as if it were in the file.
    if (!previousSaved || !m_applicationPresent || m_fileName.isEmpty() ||
        (m_mode == Mode::Update ? !prepareFile(m_fileName) : !canReplace(m_fileName))) {
        m_open = false;
        return false;
    }

    m_workbooks = m_application->querySubObject("WorkBooks");
    if (!m_workbooks) {
        m_workbook = nullptr;
    } else if (m_mode == Mode::Update) {
        m_workbook = m_workbooks->querySubObject("Open(QString, QVariant)", QVariant(m_fileName),
                                                 QVariant(0));
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
        // A file that is not a workbook, or a workbook without this
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
    if (!table || !m_open)
        return false;

    const int columns = table->columnCount();
    const int rows = table->rowCount();
    if (!clearColumns(columns))
        return false;
    for (int c = 0; c < columns; ++c) {
        if (QTableWidgetItem *header = table->horizontalHeaderItem(c))
            setCell(1, c + 1, header->text());
    }
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            if (QTableWidgetItem *item = table->item(r, c))
                setCell(r + 2, c + 1, item->text());
        }
        if (progress) {
            progress->setValue(r + 1);
            if (progress->wasCanceled())
                break;
        }
    }
    // Update: what was written is kept also after a cancel; a save that
    // failed is reported rather than taken for success. Replace: the caller
    // saves once, when everything is in.
    return m_mode == Mode::Replace || saveBook();
}

bool ExcelEngine::writeRows(const QList<QList<QVariant>> &rows)
{
    if (rows.isEmpty() || !m_worksheet || m_worksheet->isNull())
        return false;

    QString rangeText = QString::number(rows.size());
    columnLetters(rows.first().size(), rangeText);
    rangeText.prepend(QLatin1String("A1:"));
    qDebug().noquote() << rangeText;

    if (!clearColumns(rows.first().size()))
        return false;
    AutomationObject *range = m_worksheet->querySubObject("Range(const QString&)", rangeText);
    if (!range || range->isNull())
        return false;

    QVariantList block;
    block.reserve(rows.size());
    for (const QList<QVariant> &row : rows)
        block.append(QVariant(QVariantList(row)));
    const bool written = range->setProperty("Value", QVariant(block));
    delete range;
    return written;
}

bool ExcelEngine::clearColumns(int columns)
{
    if (!m_worksheet || m_worksheet->isNull())
        return false;
    if (m_mode != Mode::Replace || columns <= 0)
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
        return m_mode == Mode::Update;
    const QVariant result = m_mode == Mode::Replace
                                ? m_workbook->dynamicCall("SaveAs(const QString&)", m_fileName)
                                : m_workbook->dynamicCall("Save()");
    return result.isValid() && result.toBool();
}

void ExcelEngine::closeBook()
{
    if (!m_application || !m_workbook)
        return;
    const QVariant closed = m_workbook->dynamicCall("Close(bool)", m_mode == Mode::Update);
    m_lastCloseSaved = closed.isValid() && closed.toBool();
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

bool ExcelEngine::prepareFile(const QString &fileName)
{
    // The save replaces the file through its folder: a folder that cannot
    // take the replacement shows now.
    if (QFile::exists(fileName))
        return canReplace(fileName);
    if (QFile::exists(QStringLiteral("./template.xls"))) {
        QFile::copy(QStringLiteral("./template.xls"), fileName);
    } else {
        QFile file(fileName);
        if (file.open(QIODevice::WriteOnly))
            file.close();
    }
    QFile file(fileName);
    const bool ok = file.open(QIODevice::ReadWrite);
    file.close();
    return ok;
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

bool ExcelEngine::writeTable(const SheetTable &table, QProgressDialog *progress)
{
    QTableWidget widget(table.rows.size(), table.headers.size());
    widget.setHorizontalHeaderLabels(table.headers);
    for (int r = 0; r < table.rows.size(); ++r) {
        for (int c = 0; c < table.rows.at(r).size(); ++c)
            widget.setItem(r, c, new QTableWidgetItem(table.rows.at(r).at(c)));
    }
    return writeTable(&widget, progress);
}
