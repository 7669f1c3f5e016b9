#include "files/workbookfile.h"

#include "files/safefile.h"
#include "files/xlsworkbook.h"
#include "files/xlswriter.h"
#include "files/xlsxwriter.h"

#include <QDir>
#include <QFileInfo>

namespace WorkbookFile {

Format formatOf(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("xlsx"))
        return Format::Xlsx;
    if (suffix == QLatin1String("xlsm") || suffix == QLatin1String("xlsb"))
        return Format::Unwritable;
    return Format::Xls;
}

bool writeBytes(const QString &path, const QByteArray &bytes, QString *error)
{
    auto fail = [error](const QString &reason) {
        if (error)
            *error = reason;
        return false;
    };
    if (path.isEmpty())
        return fail(QStringLiteral("no file name"));
    const QFileInfo info(path);
    if (!info.absoluteDir().exists())
        return fail(QStringLiteral("folder does not exist"));
    if (info.exists() && !info.isFile())
        return fail(QStringLiteral("not a file"));
    return SafeFile::writeFile(path, bytes, error);
}

bool save(const XlsWorkbook &book, const QString &path, QString *error)
{
    switch (formatOf(path)) {
    case Format::Xls:
        return XlsWriter::save(book, path, error);
    case Format::Xlsx: {
        const QByteArray bytes = XlsxWriter::toBytes(book, error);
        return !bytes.isEmpty() && writeBytes(path, bytes, error);
    }
    case Format::Unwritable:
        break;
    }
    if (error)
        *error = QStringLiteral("only .xls and .xlsx workbooks can be written");
    return false;
}

} // namespace WorkbookFile
