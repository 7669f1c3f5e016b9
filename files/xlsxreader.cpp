#include "files/xlsxreader.h"

#include "files/xlsworkbook.h"

#include <QHash>
#include <QRegularExpression>
#include <QXmlStreamReader>

#include <zip.h>

#include <memory>

namespace {

struct ArchiveCloser
{
    void operator()(zip_t *archive) const { zip_discard(archive); }
};

class Archive
{
public:
    bool open(const QByteArray &bytes, QString *error)
    {
        zip_error_t ze;
        zip_error_init(&ze);
        zip_source_t *source = zip_source_buffer_create(bytes.constData(), zip_uint64_t(bytes.size()),
                                                        0, &ze);
        if (source) {
            m_archive.reset(zip_open_from_source(source, ZIP_RDONLY, &ze));
            if (!m_archive)
                zip_source_free(source);
        }
        if (!m_archive)
            *error = QStringLiteral("not a zip archive (%1)")
                         .arg(QString::fromLocal8Bit(zip_error_strerror(&ze)));
        zip_error_fini(&ze);
        return bool(m_archive);
    }

    // The part's bytes; false when it is missing (exists = false) or cannot
    // be read whole.
    bool part(const QString &name, QByteArray *out, bool *exists, QString *error)
    {
        zip_stat_t stat;
        zip_stat_init(&stat);
        *exists = zip_stat(m_archive.get(), name.toUtf8().constData(), 0, &stat) == 0;
        if (!*exists) {
            *error = QStringLiteral("the part %1 is missing").arg(name);
            return false;
        }
        if (!(stat.valid & ZIP_STAT_SIZE) || stat.size > zip_uint64_t(XlsxReader::maxPartSize)) {
            *error = QStringLiteral("the part %1 is larger than %2 MB")
                         .arg(name)
                         .arg(XlsxReader::maxPartSize / (1024 * 1024));
            return false;
        }
        // The parts read so far and this one: the whole workbook's bound.
        if (stat.size > zip_uint64_t(XlsxReader::maxTotalSize - m_inflated)) {
            *error = QStringLiteral("its parts come to more than %1 MB")
                         .arg(XlsxReader::maxTotalSize / (1024 * 1024));
            return false;
        }
        zip_file_t *file = zip_fopen_index(m_archive.get(), stat.index, 0);
        if (!file) {
            *error = QStringLiteral("the part %1 cannot be opened").arg(name);
            return false;
        }
        out->resize(int(stat.size));
        const zip_int64_t got = zip_fread(file, out->data(), stat.size);
        zip_fclose(file);
        m_inflated += qMax<zip_int64_t>(got, 0);
        if (got != zip_int64_t(stat.size)) {
            *error = QStringLiteral("the part %1 is damaged").arg(name);
            return false;
        }
        return true;
    }

    qint64 inflated() const { return m_inflated; }

private:
    std::unique_ptr<zip_t, ArchiveCloser> m_archive;
    qint64 m_inflated = 0;
};

// "B12" to 0-based row 11, column 1; false for anything else.
bool cellReference(QStringView text, int *row, int *column)
{
    int c = 0;
    int i = 0;
    while (i < text.size() && text.at(i) >= QLatin1Char('A') && text.at(i) <= QLatin1Char('Z') &&
           i < 3) {
        c = c * 26 + (text.at(i).unicode() - 'A' + 1);
        ++i;
    }
    if (i == 0 || i == text.size())
        return false;
    bool ok = false;
    const int r = text.mid(i).toInt(&ok);
    if (!ok || r < 1)
        return false;
    *row = r - 1;
    *column = c - 1;
    return true;
}

// Decimals of a fixed number format: "0" 0, "0.00" 2; -1 for any other.
int formatDecimals(const QString &code)
{
    static const QRegularExpression fixed(QStringLiteral("^0(\\.(0+))?$"));
    const QRegularExpressionMatch m = fixed.match(code);
    return m.hasMatch() ? int(m.captured(2).size()) : -1;
}

QString text(QXmlStreamReader &xml)
{
    // The text of an <si> or <is>: its <t> elements, those of rich text runs
    // included, without phonetic hints (<rPh>).
    QString out;
    int depth = 1;
    while (depth > 0 && !xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            if (xml.name() == QLatin1String("t"))
                out += xml.readElementText();
            else if (xml.name() == QLatin1String("rPh"))
                xml.skipCurrentElement();
            else
                ++depth;
        } else if (token == QXmlStreamReader::EndElement) {
            --depth;
        }
    }
    return out;
}

} // namespace

bool XlsxReader::read(const QByteArray &bytes, XlsWorkbook *book, QString *error, qint64 *inflated)
{
    Archive archive;
    struct Counted
    {
        const Archive &archive;
        qint64 *inflated;
        ~Counted()
        {
            if (inflated)
                *inflated = archive.inflated();
        }
    } counted{archive, inflated};
    QString why;
    if (!archive.open(bytes, &why)) {
        *error = why;
        return false;
    }
    QByteArray part;
    bool exists = false;

    // Sheets in tab order and where their parts are.
    if (!archive.part(QStringLiteral("xl/workbook.xml"), &part, &exists, error))
        return false;
    QList<QPair<QString, QString>> sheets; // name, relationship id
    {
        QXmlStreamReader xml(part);
        while (!xml.atEnd()) {
            if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("sheet"))
                sheets.append({xml.attributes().value(QLatin1String("name")).toString(),
                               xml.attributes().value(QLatin1String("r:id")).toString()});
        }
        if (xml.hasError() || sheets.isEmpty() || sheets.size() > 1024) {
            *error = QStringLiteral("xl/workbook.xml names no sheets");
            return false;
        }
    }
    QHash<QString, QString> targets;
    if (!archive.part(QStringLiteral("xl/_rels/workbook.xml.rels"), &part, &exists, error))
        return false;
    {
        QXmlStreamReader xml(part);
        while (!xml.atEnd()) {
            if (xml.readNext() == QXmlStreamReader::StartElement &&
                xml.name() == QLatin1String("Relationship")) {
                QString target = xml.attributes().value(QLatin1String("Target")).toString();
                target = target.startsWith(QLatin1Char('/')) ? target.mid(1)
                                                            : QStringLiteral("xl/") + target;
                targets.insert(xml.attributes().value(QLatin1String("Id")).toString(), target);
            }
        }
    }

    // Each sheet its own part.
    {
        QHash<QString, QString> sheetOf; // part -> the first sheet naming it
        for (const auto &[name, id] : qAsConst(sheets)) {
            const QString target = targets.value(id);
            if (target.isEmpty())
                continue; // refused as missing when it is read
            const auto first = sheetOf.constFind(target);
            if (first != sheetOf.constEnd()) {
                *error = QStringLiteral("the sheets \"%1\" and \"%2\" name one part (%3)")
                             .arg(first.value(), name, target);
                return false;
            }
            sheetOf.insert(target, name);
        }
    }

    QStringList shared;
    if (archive.part(QStringLiteral("xl/sharedStrings.xml"), &part, &exists, &why)) {
        QXmlStreamReader xml(part);
        while (!xml.atEnd()) {
            if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("si"))
                shared << text(xml);
        }
    } else if (exists) {
        *error = why;
        return false;
    }

    // Cell formats: the decimals of each and whether it is centred.
    QVector<qint8> xfDecimals;
    QVector<bool> xfCentred;
    if (archive.part(QStringLiteral("xl/styles.xml"), &part, &exists, &why)) {
        QHash<int, QString> formats{{1, QStringLiteral("0")}, {2, QStringLiteral("0.00")}};
        QXmlStreamReader xml(part);
        bool inCellXfs = false;
        while (!xml.atEnd()) {
            const auto token = xml.readNext();
            if (token == QXmlStreamReader::EndElement && xml.name() == QLatin1String("cellXfs"))
                inCellXfs = false;
            if (token != QXmlStreamReader::StartElement)
                continue;
            const QXmlStreamAttributes a = xml.attributes();
            if (xml.name() == QLatin1String("numFmt")) {
                formats.insert(a.value(QLatin1String("numFmtId")).toInt(),
                               a.value(QLatin1String("formatCode")).toString());
            } else if (xml.name() == QLatin1String("cellXfs")) {
                inCellXfs = true;
            } else if (inCellXfs && xml.name() == QLatin1String("xf") && xfDecimals.size() < 65536) {
                xfDecimals << qint8(formatDecimals(formats.value(a.value(QLatin1String("numFmtId")).toInt())));
                xfCentred << false;
            } else if (inCellXfs && xml.name() == QLatin1String("alignment") && !xfCentred.isEmpty()) {
                xfCentred.last() = a.value(QLatin1String("horizontal")) == QLatin1String("center");
            }
        }
    }

    XlsWorkbook out;
    for (const auto &[name, id] : qAsConst(sheets)) {
        if (!archive.part(targets.value(id), &part, &exists, error))
            return false;
        XlsSheet sheet(name);
        XlsSheet::Cells cells;
        QXmlStreamReader xml(part);
        int row = -1;
        int column = -1;
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement)
                continue;
            if (xml.name() == QLatin1String("row")) {
                bool ok = false;
                const int r = xml.attributes().value(QLatin1String("r")).toInt(&ok);
                row = ok ? r - 1 : row + 1;
                column = -1;
                continue;
            }
            if (xml.name() != QLatin1String("c"))
                continue;
            const QXmlStreamAttributes a = xml.attributes();
            const QStringRef reference = a.value(QLatin1String("r"));
            if (reference.isEmpty()) {
                ++column;
            } else if (!cellReference(reference, &row, &column)) {
                *error = QStringLiteral("%1: \"%2\" is no cell reference").arg(name, reference.toString());
                return false;
            }
            if (!XlsSheet::inGrid(row, column)) {
                *error = QStringLiteral("%1: a cell outside the sheet").arg(name);
                return false;
            }
            const QStringRef type = a.value(QLatin1String("t"));
            const int style = a.value(QLatin1String("s")).toInt();
            XlsCell cell;
            if (style >= 0 && style < xfDecimals.size()) {
                cell.decimals = xfDecimals.at(style);
                cell.centred = xfCentred.at(style);
            }
            QString value;
            bool hasValue = false;
            while (xml.readNextStartElement()) {
                if (xml.name() == QLatin1String("v")) {
                    value = xml.readElementText();
                    hasValue = true;
                } else if (xml.name() == QLatin1String("is")) {
                    value = text(xml);
                    hasValue = true;
                } else {
                    xml.skipCurrentElement();
                }
            }
            if (hasValue) {
                if (type == QLatin1String("s")) {
                    bool ok = false;
                    const int index = value.toInt(&ok);
                    if (!ok || index < 0 || index >= shared.size()) {
                        *error = QStringLiteral("%1: a text that is not in the workbook").arg(name);
                        return false;
                    }
                    cell.value = shared.at(index);
                } else if (type == QLatin1String("str") || type == QLatin1String("inlineStr") ||
                           type == QLatin1String("e")) {
                    cell.value = value;
                } else {
                    bool ok = false;
                    const double d = value.toDouble(&ok);
                    cell.value = ok ? QVariant(d) : QVariant(value);
                }
            }
            if (hasValue || cell.formatted())
                cells.push_back({XlsSheet::keyOf(row, column), cell});
        }
        if (xml.hasError()) {
            *error = QStringLiteral("%1: %2 (line %3)")
                         .arg(name, xml.errorString())
                         .arg(xml.lineNumber());
            return false;
        }
        sheet.assign(std::move(cells));
        out.sheets.append(sheet);
    }
    *book = out;
    return true;
}
