// The .xls file layer: what XlsWriter writes, FreeXL reads back (sheet count,
// names, every cell), the program's own reader restores values, centring and
// decimals, limits are kept, and bad or damaged files are refused without
// harm; the .xlsx of the same workbook holds the same cells (openpyxl).

#include "files/compoundfile.h"
#include "files/safefile.h"
#include "files/workbookfile.h"
#include "files/xlsreader.h"
#include "files/xlsworkbook.h"
#include "files/xlswriter.h"

#include "testenv.h"
#include "savefaults.h"
#include "xlscheck.h"

#include <QCryptographicHash>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <climits>
#include <cmath>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <grp.h>
#include <limits>
#include <memory>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

Q_DECLARE_METATYPE(XlsWorkbook)

namespace {

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// Deterministic text of the given length mixing one-byte and wide characters.
QString mixedText(int index, int length, bool wide)
{
    const QString alphabet = wide ? QStringLiteral("μ²中文測試Ωabc") : QStringLiteral("abcdefghij");
    QString text = QStringLiteral("%1:").arg(index);
    while (text.size() < length)
        text += alphabet.at((index + text.size()) % alphabet.size());
    return text.left(length);
}

XlsWorkbook sampleBook()
{
    XlsWorkbook book;
    XlsSheet table(QStringLiteral("Table"));
    table.setValue(0, 0, QStringLiteral("NO"));
    table.setValue(0, 1, QStringLiteral("Power(μW/cm²)"));
    table.setValue(0, 2, QStringLiteral("时间"));
    table.setValue(1, 0, 1.0);
    table.setValue(1, 1, 12.345);
    table.setValue(1, 2, QStringLiteral("2024-12-31 23:59:59"));
    table.setValue(2, 0, -7.0);
    table.setValue(2, 1, 1e-9);
    table.setValue(2, 2, 123456789012.0);
    table.setCentred(0, 0, true);
    table.setCentred(1, 1, true);
    book.sheets.append(table);
    book.sheets.append(XlsSheet(QStringLiteral("Empty")));
    XlsSheet far(QStringLiteral("运行 2"));
    far.setValue(300, 40, QStringLiteral("far away"));
    far.setValue(65535, 255, 3.5);
    book.sheets.append(far);
    return book;
}

void compareWithFreeXl(const XlsWorkbook &book, const FreeXlBook &read)
{
    QVERIFY2(read.ok, qPrintable(read.error));
    QCOMPARE(read.sheets.size(), book.sheets.size());
    for (int s = 0; s < book.sheets.size(); ++s) {
        const XlsSheet &sheet = book.sheets.at(s);
        const FreeXlSheet &got = read.sheets.at(s);
        QCOMPARE(got.name, sheet.name);
        QCOMPARE(int(got.rows), sheet.endRow());
        QCOMPARE(int(got.columns), sheet.endColumn());
        int valued = 0;
        for (const XlsSheet::Entry &entry : sheet.cells()) {
            const QVariant &value = entry.cell.value;
            if (!value.isValid())
                continue;
            ++valued;
            const QVariant v = got.cells.value(
                qMakePair(XlsSheet::rowOf(entry.key), XlsSheet::columnOf(entry.key)));
            if (value.type() == QVariant::String) {
                QCOMPARE(v.type(), QVariant::String);
                QCOMPARE(v.toString(), value.toString());
            } else {
                QCOMPARE(v.type(), QVariant::Double);
                QCOMPARE(v.toDouble(), value.toDouble());
            }
        }
        QCOMPARE(got.cells.size(), valued);
    }
}

// A text for the generated tables: NUL, quotes and separators, Latin-1,
// CJK, pairs of surrogates and now and then a lone half of one, at lengths
// from 0 to the cell limit.
QString generatedText(QRandomGenerator &random)
{
    static const int lengths[] = {0, 1, 2, 255, 256, 4096, XlsSheet::maxTextLength - 1,
                                  XlsSheet::maxTextLength};
    const int length = random.bounded(4) == 0 ? lengths[random.bounded(8)] : random.bounded(300);
    QString text;
    while (text.size() < length) {
        switch (random.bounded(8)) {
        case 0:
            text += QChar(0);
            break;
        case 1:
            text += QLatin1String("\"',;\n\t")[random.bounded(6)];
            break;
        case 2:
            text += QChar(0xC0 + random.bounded(0x40));
            break;
        case 3:
            text += QChar(0x4E00 + random.bounded(0x5000));
            break;
        case 4:
            if (text.size() + 2 <= length)
                text += QString::fromUcs4(U"\U0001F600");
            break;
        case 5:
            text += QChar(0xD800 + random.bounded(0x800)); // lone surrogate
            break;
        default:
            text += QChar('a' + random.bounded(26));
        }
    }
    return text;
}

double generatedNumber(QRandomGenerator &random)
{
    static const double special[] = {0.0,
                                     -0.0,
                                     std::numeric_limits<double>::denorm_min(),
                                     -std::numeric_limits<double>::denorm_min(),
                                     std::numeric_limits<double>::min() / 3,
                                     std::numeric_limits<double>::max(),
                                     std::numeric_limits<double>::lowest(),
                                     std::numeric_limits<double>::quiet_NaN(),
                                     std::numeric_limits<double>::infinity(),
                                     -std::numeric_limits<double>::infinity(),
                                     137.0,
                                     536870912.0};
    switch (random.bounded(3)) {
    case 0:
        return special[random.bounded(12)];
    case 1:
        return double(qint32(random.generate())) / (1 << random.bounded(12));
    default: {
        double value;
        const quint64 bits = random.generate64();
        std::memcpy(&value, &bits, sizeof value);
        return value; // any double, NaN patterns included
    }
    }
}

bool sameValue(const QVariant &a, const QVariant &b)
{
    if (a.type() != b.type())
        return false;
    if (a.type() != QVariant::Double)
        return a == b;
    const double x = a.toDouble();
    const double y = b.toDouble();
    return std::memcmp(&x, &y, sizeof x) == 0;
}

// Owner, group and permission bits of a file.
struct Attributes
{
    uid_t uid;
    gid_t gid;
    mode_t mode;
    bool operator==(const Attributes &o) const
    {
        return uid == o.uid && gid == o.gid && mode == o.mode;
    }
};

char *toString(const Attributes &a)
{
    return QTest::toString(QStringLiteral("owner %1, group %2, mode %3")
                               .arg(a.uid)
                               .arg(a.gid)
                               .arg(a.mode, 4, 8, QLatin1Char('0')));
}

// Sets a file's (or a link's own) modification time to seconds ago.
bool setAge(const QString &path, int seconds)
{
    const struct timespec then = {::time(nullptr) - seconds, 0};
    const struct timespec times[2] = {then, then};
    return ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, AT_SYMLINK_NOFOLLOW) ==
           0;
}

QByteArray readLink(const QString &path)
{
    char target[PATH_MAX];
    const ssize_t n = ::readlink(QFile::encodeName(path).constData(), target, sizeof target);
    return n < 0 ? QByteArray() : QByteArray(target, int(n));
}

// Makes the process act as another user (effective IDs and supplementary
// groups) while it lives.
class ActingAs
{
public:
    ActingAs(uid_t uid, gid_t gid, const std::vector<gid_t> &groups)
        : m_uid(::geteuid()), m_gid(::getegid())
    {
        m_groups.resize(size_t(qMax(0, ::getgroups(0, nullptr))));
        if (::getgroups(int(m_groups.size()), m_groups.data()) < 0)
            m_groups.clear();
        m_ok = ::setgroups(groups.size(), groups.data()) == 0 && ::setegid(gid) == 0 &&
               ::seteuid(uid) == 0;
    }
    ~ActingAs()
    {
        // The user first: only root sets the groups back.
        if (::seteuid(m_uid) != 0 || ::setegid(m_gid) != 0 ||
            ::setgroups(m_groups.size(), m_groups.data()) != 0)
            qFatal("cannot act as the test's own user again");
    }
    ActingAs(const ActingAs &) = delete;
    ActingAs &operator=(const ActingAs &) = delete;
    bool ok() const { return m_ok; }

private:
    uid_t m_uid;
    gid_t m_gid;
    std::vector<gid_t> m_groups;
    bool m_ok = false;
};

} // namespace

class TestXlsFile : public QObject
{
    Q_OBJECT

private slots:
    void roundTrip_data();
    void roundTrip();
    void generatedTablesSurviveExactly();
    void centringSurvivesReading();
    void compoundFileLayout_data();
    void compoundFileLayout();
    void valuesAreKeptWithinLimits_data();
    void valuesAreKeptWithinLimits();
    void enteredNumbersKeepTheirDecimals_data();
    void enteredNumbersKeepTheirDecimals();
    void xlsxHoldsTheSameCells();
    void gridLimits();
    void saveKeepsWhatItReplaces_data();
    void saveKeepsWhatItReplaces();
    void sheetNamesMadeValid_data();
    void sheetNamesMadeValid();
    void saveFailureLeavesFileAlone_data();
    void saveFailureLeavesFileAlone();
    void badFilesAreRefused_data();
    void badFilesAreRefused();
    void truncatedFilesAreRefused();
    void contentThatWouldBeLostIsRefused_data();
    void contentThatWouldBeLostIsRefused();

private:
    QTemporaryDir m_dir;
};

void TestXlsFile::roundTrip_data()
{
    QTest::addColumn<XlsWorkbook>("book");

    QTest::newRow("numbers, texts, units, Chinese, sparse cells") << sampleBook();

    {
        // The Logger's workbook: the table, then 25 runs of "NUM"/"VAL".
        XlsWorkbook book;
        for (int s = 0; s < 26; ++s) {
            XlsSheet sheet(QStringLiteral("Sheet%1").arg(s + 1));
            if (s > 0) {
                sheet.setValue(0, 0, QStringLiteral("NUM"));
                sheet.setValue(0, 1, QStringLiteral("VAL"));
                for (int i = 0; i < 60; ++i) {
                    sheet.setValue(i + 1, 0, double(i + 1));
                    sheet.setValue(i + 1, 1, (s * 1000 + i) / 10.0);
                }
            }
            book.sheets.append(sheet);
        }
        book.activeSheet = 3;
        QTest::newRow("26 sheets") << book;
    }
    {
        // Enough distinct strings for the SST to need several CONTINUE
        // records, half of them wide, with lengths that make strings cross
        // record boundaries at different places.
        XlsWorkbook book;
        XlsSheet sheet(QStringLiteral("Strings"));
        for (int i = 0; i < 3000; ++i)
            sheet.setValue(i, i % 3, mixedText(i, 5 + (i * 7) % 40, i % 2 == 1));
        book.sheets.append(sheet);
        QTest::newRow("long string table") << book;
    }
    {
        XlsWorkbook book;
        XlsSheet sheet(QStringLiteral("Long"));
        // Longest texts, wide and one-byte, each placed after a filler
        // that leaves little room in the current record.
        sheet.setValue(0, 0, mixedText(0, 8100, false));
        sheet.setValue(1, 0, mixedText(1, XlsSheet::maxTextLength, true));
        sheet.setValue(2, 0, mixedText(2, 4000, true));
        sheet.setValue(3, 0, mixedText(3, XlsSheet::maxTextLength, false));
        sheet.setValue(4, 0, QStringLiteral("after"));
        sheet.setValue(5, 0, mixedText(1, XlsSheet::maxTextLength, true)); // shared
        book.sheets.append(sheet);
        QTest::newRow("texts longer than one record") << book;
    }
    {
        XlsWorkbook book;
        XlsSheet sheet(QStringLiteral("Numbers"));
        const double values[] = {0.0,          1.0, -1.0,  536870911.0, 536870912.0, -536870912.0,
                                 -536870913.0, 0.1, 1e300, -1e-300,     2.5,         4294967296.0};
        int row = 0;
        for (double v : values)
            sheet.setValue(row++, 0, v);
        book.sheets.append(sheet);
        QTest::newRow("integers at the RK limits and other numbers") << book;
    }
    {
        XlsWorkbook book;
        book.sheets.append(XlsSheet(QStringLiteral("Sheet1")));
        QTest::newRow("one empty sheet") << book;
    }
    {
        // Writing what was read gives the same file only if the number
        // formats came back to the same cells.
        XlsWorkbook book;
        XlsSheet sheet(QStringLiteral("Decimals"));
        for (int d = 0; d <= XlsSheet::maxDecimals; d += 3) {
            sheet.setValue(d, 0, 137.0 + d);
            sheet.setDecimals(d, 0, d);
            sheet.setValue(d, 1, -0.5);
            sheet.setDecimals(d, 1, d);
            sheet.setCentred(d, 1, true);
            sheet.setDecimals(d, 2, d); // a formatted blank
        }
        sheet.setValue(1, 0, 2.25); // General next to the formatted cells
        book.sheets.append(sheet);
        QTest::newRow("fixed decimals, centred and not, and formatted blanks") << book;
    }
}

void TestXlsFile::roundTrip()
{
    QFETCH(XlsWorkbook, book);
    const QString path = m_dir.filePath(QStringLiteral("roundtrip.xls"));
    QString error;
    QVERIFY2(XlsWriter::save(book, path, &error), qPrintable(error));
    compareWithFreeXl(book, readWithFreeXl(path));

    XlsWorkbook reread;
    QCOMPARE(XlsReader::load(path, &reread), XlsReader::Result::Ok);
    QCOMPARE(reread.sheets.size(), book.sheets.size());
    for (int s = 0; s < book.sheets.size(); ++s) {
        QCOMPARE(reread.sheets.at(s).name, book.sheets.at(s).name);
        QCOMPARE(reread.sheets.at(s).cellCount(), book.sheets.at(s).cellCount());
    }
    // Writing what was read gives the same file again.
    reread.activeSheet = book.activeSheet;
    QCOMPARE(XlsWriter::toBytes(reread), XlsWriter::toBytes(book));
}

void TestXlsFile::generatedTablesSurviveExactly()
{
    // Whatever a table holds comes back exactly as the workbook model keeps
    // it: the same texts (NUL included), the same bits of every number.
    QRandomGenerator random(20261207);
    for (int round = 0; round < 12; ++round) {
        XlsWorkbook book;
        const int sheets = round == 0 ? 30 : 1 + random.bounded(3);
        for (int s = 0; s < sheets; ++s) {
            XlsSheet sheet(QStringLiteral("S%1").arg(s));
            if (round == 0) {
                // Far corners only: reading costs what the cells cost.
                sheet.setValue(0, 0, generatedText(random));
                sheet.setValue(XlsSheet::maxRows - 1, XlsSheet::maxColumns - 1, 1.5);
            } else {
                for (int i = 0; i < 200; ++i) {
                    const int row = random.bounded(400);
                    const int column = random.bounded(12);
                    if (random.bounded(2))
                        sheet.setValue(row, column, generatedText(random));
                    else
                        sheet.setValue(row, column, generatedNumber(random));
                    if (random.bounded(5) == 0)
                        sheet.setCentred(row, column, true);
                }
            }
            book.sheets.append(sheet);
        }
        XlsWorkbook reread;
        QString error;
        QCOMPARE(XlsReader::read(XlsWriter::toBytes(book), &reread, &error), XlsReader::Result::Ok);
        QCOMPARE(reread.sheets.size(), book.sheets.size());
        for (int s = 0; s < book.sheets.size(); ++s) {
            const XlsSheet::Cells &want = book.sheets.at(s).cells();
            const XlsSheet::Cells &got = reread.sheets.at(s).cells();
            QCOMPARE(got.size(), want.size());
            for (size_t i = 0; i < want.size(); ++i) {
                QVERIFY2(got[i].key == want[i].key && got[i].cell.centred == want[i].cell.centred &&
                             sameValue(got[i].cell.value, want[i].cell.value),
                         qPrintable(QStringLiteral("round %1 sheet %2 cell %3: %4 for %5")
                                        .arg(round)
                                        .arg(s)
                                        .arg(i)
                                        .arg(got[i].cell.value.toString().left(40),
                                             want[i].cell.value.toString().left(40))));
            }
        }
    }
    // A lone half of a surrogate pair is stored as U+FFFD, a pair as it is.
    XlsSheet sheet(QStringLiteral("S"));
    sheet.setValue(0, 0, QString(QChar(0xDC00)) + QStringLiteral("x") + QChar(0xD83D));
    sheet.setValue(1, 0, QString::fromUcs4(U"\U0001F600"));
    QCOMPARE(sheet.value(0, 0).toString(), QStringLiteral("\uFFFDx\uFFFD"));
    QCOMPARE(sheet.value(1, 0).toString(), QString::fromUcs4(U"\U0001F600"));
}

void TestXlsFile::centringSurvivesReading()
{
    XlsWorkbook book = sampleBook();
    book.sheets[0].setCentred(5, 5, true); // formatted blank cell
    const QString path = m_dir.filePath(QStringLiteral("centred.xls"));
    QVERIFY(XlsWriter::save(book, path));

    XlsWorkbook reread;
    QCOMPARE(XlsReader::load(path, &reread), XlsReader::Result::Ok);
    const XlsSheet &sheet = reread.sheets.at(0);
    QVERIFY(sheet.cell(0, 0)->centred);
    QVERIFY(sheet.cell(1, 1)->centred);
    QVERIFY(!sheet.cell(0, 1)->centred);
    QVERIFY(!sheet.cell(1, 0)->centred);
    QVERIFY(sheet.cell(5, 5) && sheet.cell(5, 5)->centred && !sheet.cell(5, 5)->value.isValid());
    QVERIFY(!reread.sheets.at(2).cell(300, 40)->centred);
}

void TestXlsFile::compoundFileLayout_data()
{
    QTest::addColumn<int>("streamBytes");
    QTest::newRow("tiny stream padded past the mini stream cutoff") << 100;
    QTest::newRow("exactly 4096 bytes") << 4096;
    QTest::newRow("4097 bytes") << 4097;
    QTest::newRow("fills 109 FAT sectors") << 109 * 128 * 512 - 200 * 512;
    QTest::newRow("needs DIFAT sectors") << 8 * 1024 * 1024;
}

void TestXlsFile::compoundFileLayout()
{
    QFETCH(int, streamBytes);
    QByteArray stream(streamBytes, '\0');
    for (int i = 0; i < streamBytes; ++i)
        stream[i] = char((i * 131) >> 3);
    const QByteArray file = CompoundFile::wrap(stream);
    QCOMPARE(file.size() % 512, 0);
    QVERIFY(file.startsWith(QByteArray::fromHex("D0CF11E0A1B11AE1")));
    const quint32 fatCount = qFromLittleEndian<quint32>(file.constData() + 0x2C);
    const quint32 difatCount = qFromLittleEndian<quint32>(file.constData() + 0x48);
    QCOMPARE(difatCount > 0, fatCount > 109);
    // The FAT covers every sector of the file.
    QVERIFY(qint64(fatCount) * 128 >= file.size() / 512 - 1);

    QByteArray back;
    QVERIFY(CompoundFile::readWorkbookStream(file, &back));
    QCOMPARE(back.left(streamBytes), stream);
    QVERIFY(back.size() > 4096);
}

void TestXlsFile::valuesAreKeptWithinLimits_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QVariant>("stored");

    const double inf = std::numeric_limits<double>::infinity();
    QTest::newRow("NaN becomes its text")
        << QVariant(std::numeric_limits<double>::quiet_NaN()) << QVariant(QStringLiteral("nan"));
    QTest::newRow("infinity becomes its text") << QVariant(inf) << QVariant(QStringLiteral("inf"));
    QTest::newRow("minus infinity") << QVariant(-inf) << QVariant(QStringLiteral("-inf"));
    QTest::newRow("integer becomes a number") << QVariant(42) << QVariant(42.0);
    QTest::newRow("empty text leaves no value") << QVariant(QString()) << QVariant();
    const int limit = XlsSheet::maxTextLength;
    QTest::newRow("over-long text is cut to the cell limit")
        << QVariant(QString(40000, QChar('x'))) << QVariant(QString(limit, QChar('x')));
    QTest::newRow("over-long Chinese text is cut to the cell limit")
        << QVariant(QString(20000, QChar(0x4E2D))) << QVariant(QString(limit, QChar(0x4E2D)));
    // A surrogate pair across the limit is dropped whole.
    QString pairAtLimit(limit - 1, QChar('y'));
    pairAtLimit += QString::fromUcs4(U"\U0001F600xyz");
    QTest::newRow("no half surrogate pair at the limit")
        << QVariant(pairAtLimit) << QVariant(QString(limit - 1, QChar('y')));
}

void TestXlsFile::valuesAreKeptWithinLimits()
{
    QFETCH(QVariant, value);
    QFETCH(QVariant, stored);
    XlsWorkbook book;
    XlsSheet sheet(QStringLiteral("S"));
    QVERIFY(sheet.setValue(0, 0, value));
    sheet.setValue(0, 1, QStringLiteral("neighbour"));
    QCOMPARE(sheet.value(0, 0), stored);
    book.sheets.append(sheet);

    const QString path = m_dir.filePath(QStringLiteral("limits.xls"));
    QVERIFY(XlsWriter::save(book, path));
    const FreeXlBook read = readWithFreeXl(path);
    QVERIFY2(read.ok, qPrintable(read.error));
    QCOMPARE(read.cell(0, 0, 0), stored);
    QCOMPARE(read.cell(0, 0, 1), QVariant(QStringLiteral("neighbour")));
}

void TestXlsFile::enteredNumbersKeepTheirDecimals_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<int>("decimals");

    QTest::newRow("a table's 137.0000") << "137.0000" << QVariant(137.0) << 4;
    QTest::newRow("one decimal") << "850.0" << QVariant(850.0) << 1;
    QTest::newRow("negative with a trailing zero") << "-0.50" << QVariant(-0.5) << 2;
    QTest::newRow("no integer digits") << ".25" << QVariant(0.25) << 2;
    QTest::newRow("integer: General") << "137" << QVariant(137.0) << -1;
    QTest::newRow("point without decimals: General") << "137." << QVariant(137.0) << -1;
    QTest::newRow("exponent: General") << "1.50e3" << QVariant(1500.0) << -1;
    QTest::newRow("30 decimals") << "0." + QString(29, '0') + "1" << QVariant(1e-30) << 30;
    QTest::newRow("31 decimals: General") << "0." + QString(30, '0') + "1" << QVariant(1e-31) << -1;
    QTest::newRow("16 digits stay text")
        << "1.000000000000000" << QVariant(QStringLiteral("1.000000000000000")) << -1;
    QTest::newRow("a time stays text") << "12:30" << QVariant(QStringLiteral("12:30")) << -1;
    QTest::newRow("a leading plus") << "+2.5" << QVariant(2.5) << 1;
    QTest::newRow("leading zeros") << "-007.250" << QVariant(-7.25) << 3;
    QTest::newRow("15 digits, the nearest double")
        << "1234567890.12345" << QVariant(1234567890.12345) << 5;
    QTest::newRow("a large exponent stays text")
        << "1e999" << QVariant(QStringLiteral("1e999")) << -1;
}

void TestXlsFile::enteredNumbersKeepTheirDecimals()
{
    QFETCH(QString, text);
    QFETCH(QVariant, value);
    QFETCH(int, decimals);
    XlsWorkbook book;
    XlsSheet sheet(QStringLiteral("S"));
    QVERIFY(sheet.setEntered(1, 1, text));
    QCOMPARE(sheet.value(1, 1), value);
    QCOMPARE(int(sheet.cell(1, 1)->decimals), decimals);
    // The same over a cell that exists already, as a table's centred cells do.
    QVERIFY(sheet.setCentred(2, 1, true));
    QVERIFY(sheet.setEntered(2, 1, text));
    QCOMPARE(sheet.value(2, 1), value);
    QCOMPARE(int(sheet.cell(2, 1)->decimals), decimals);
    book.sheets.append(sheet);

    const QString path = m_dir.filePath(QStringLiteral("entered.xls"));
    QVERIFY(XlsWriter::save(book, path));
    const FreeXlBook read = readWithFreeXl(path);
    QVERIFY2(read.ok, qPrintable(read.error));
    QCOMPARE(read.cell(0, 1, 1), value);
    XlsWorkbook reread;
    QCOMPARE(XlsReader::load(path, &reread), XlsReader::Result::Ok);
    QCOMPARE(reread.sheets.at(0).value(1, 1), value);
    QCOMPARE(int(reread.sheets.at(0).cell(1, 1)->decimals), decimals);
}

void TestXlsFile::xlsxHoldsTheSameCells()
{
    // The workbook of the pages' saves, as .xls and as .xlsx: openpyxl reads
    // from the .xlsx the sheets, active sheet, values, number formats and
    // centring that the program's reader finds in the .xls.
    XlsWorkbook book = sampleBook();
    book.sheets[2] = XlsSheet(QStringLiteral("运行 2")); // without the cell at the grid's end
    book.sheets[2].setValue(30, 40, QStringLiteral("far away"));
    XlsSheet &table = book.sheets[0];
    const QStringList entered = {"137.0000", "-0.50", "12", "850.0", "_x0041_ stays", " <&> "};
    for (int i = 0; i < entered.size(); ++i) {
        table.setEntered(3 + i, i % 3, entered.at(i));
        table.setCentred(3 + i, i % 3, i % 2 == 0);
    }
    table.setDecimals(9, 0, 2);
    table.setCentred(9, 1, true);
    book.activeSheet = 2;
    const QString xls = m_dir.filePath(QStringLiteral("same.xls"));
    const QString xlsx = m_dir.filePath(QStringLiteral("same.xlsx"));
    QString error;
    QVERIFY2(WorkbookFile::save(book, xls, &error), qPrintable(error));
    QVERIFY2(WorkbookFile::save(book, xlsx, &error), qPrintable(error));
    QVERIFY(fileBytes(xlsx).startsWith("PK\x03\x04"));
    XlsWorkbook fromXls;
    QCOMPARE(XlsReader::load(xls, &fromXls), XlsReader::Result::Ok);

    const char *script = R"(
import json, sys
import openpyxl
book = openpyxl.load_workbook(sys.argv[1])
out = {"active": book.index(book.active), "sheets": []}
for ws in book.worksheets:
    cells = [[c.row - 1, c.column - 1, c.value, c.number_format,
              c.alignment.horizontal == "center"]
             for row in ws.iter_rows() for c in row
             if c.value is not None or c.number_format != "General" or c.alignment.horizontal]
    out["sheets"].append({"name": ws.title, "cells": cells})
print(json.dumps(out))
)";
    QProcess python;
    const QString program =
        QFile::exists("/usr/bin/python3") ? QStringLiteral("/usr/bin/python3") : "python3";
    python.start(program, {"-c", QString::fromUtf8(script), xlsx});
    QVERIFY(python.waitForFinished(60000));
    if (python.exitCode() != 0 && python.readAllStandardError().contains("No module named"))
        VANTREL_SKIP_UNLESS_CI("python3-openpyxl is not installed");
    QCOMPARE(python.exitCode(), 0);
    const QJsonObject read = QJsonDocument::fromJson(python.readAllStandardOutput()).object();

    QCOMPARE(read.value("active").toInt(), book.activeSheet);
    const QJsonArray sheets = read.value("sheets").toArray();
    QCOMPARE(sheets.size(), fromXls.sheets.size());
    for (int s = 0; s < sheets.size(); ++s) {
        const XlsSheet &sheet = fromXls.sheets.at(s);
        QCOMPARE(sheets.at(s)["name"].toString(), sheet.name);
        const QJsonArray cells = sheets.at(s)["cells"].toArray();
        QCOMPARE(cells.size(), sheet.cellCount());
        for (const QJsonValue &c : cells) {
            const QJsonArray cell = c.toArray();
            const XlsCell *expected = sheet.cell(cell[0].toInt(), cell[1].toInt());
            QVERIFY2(expected, qPrintable(QJsonDocument(cell).toJson()));
            if (!expected->value.isValid())
                QVERIFY(cell[2].isNull());
            else if (expected->value.type() == QVariant::String)
                QCOMPARE(cell[2].toString(), expected->value.toString());
            else
                QCOMPARE(cell[2].toDouble(), expected->value.toDouble());
            const int d = expected->decimals;
            QCOMPARE(cell[3].toString(), d < 0    ? QStringLiteral("General")
                                         : d == 0 ? QStringLiteral("0")
                                                  : "0." + QString(d, '0'));
            QCOMPARE(cell[4].toBool(), expected->centred);
        }
    }
    QCOMPARE(int(fromXls.sheets[0].cell(3, 0)->decimals), 4);
}

void TestXlsFile::gridLimits()
{
    XlsSheet sheet(QStringLiteral("S"));
    QVERIFY(sheet.setValue(65535, 255, 1.0));
    QVERIFY(!sheet.setValue(65536, 0, 1.0));
    QVERIFY(!sheet.setValue(0, 256, 1.0));
    QVERIFY(!sheet.setValue(-1, 0, 1.0));
    QVERIFY(!sheet.setCentred(65536, 0, true));
    QCOMPARE(sheet.cellCount(), 1);
    QCOMPARE(sheet.endRow(), 65536);
    QCOMPARE(sheet.endColumn(), 256);
}

// What a save leaves behind. Links: the file at the end of the chain is
// written and the links stay. Ownership: a replaced file keeps its bits and,
// as far as the saver may give them, its owner and group. Leftovers: the
// temporary files of killed saves are removed once old, those of live saves
// never. Long names: a name of up to 255 bytes can be saved.
void TestXlsFile::saveKeepsWhatItReplaces_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("saves");
    QTest::newRow("link: its target written, the link kept") << "link" << true;
    QTest::newRow("link to a relative link in another folder: the chain's end written")
        << "chain" << true;
    QTest::newRow("links that loop: refused") << "loop" << false;
    QTest::newRow("link to nothing: refused, nothing made") << "dangling" << false;
    QTest::newRow("replaced file keeps its permission bits") << "mode" << true;
    QTest::newRow("root keeps another user's owner and group") << "owner" << true;
    QTest::newRow("user of the file's group keeps the group") << "group" << true;
    QTest::newRow("owner that cannot be given for another reason: refused")
        << "chown fails" << false;
    QTest::newRow("leftovers an hour old removed") << "stale" << true;
    QTest::newRow("young leftovers kept") << "young" << true;
    QTest::newRow("a live save's temporary file kept, however old") << "live" << true;
    QTest::newRow("look-alikes of leftovers kept") << "look-alikes" << true;
    QTest::newRow("name of 255 bytes") << "long" << true;
    QTest::newRow("Chinese name of 253 bytes") << "long Chinese" << true;
}

void TestXlsFile::saveKeepsWhatItReplaces()
{
    QFETCH(QString, kind);
    QFETCH(bool, saves);
    const bool root = ::geteuid() == 0;
    if (kind == "owner" || kind == "group" || kind == "chown fails")
        if (!root)
            VANTREL_SKIP_UNLESS_CI("only root makes files of other owners");
    QTemporaryDir dir;
    const QString d = dir.path();
    auto at = [&d](const QString &name) { return d + QLatin1Char('/') + name; };
    const QByteArray before("older\n");
    const QByteArray after = XlsWriter::toBytes(sampleBook());
    constexpr int hour = 3600;
    QString path = at("out.xls");     // the name the save is given
    QString written = path;           // where the content is to land
    QMap<QString, QByteArray> links;  // links that stay, and where they point
    std::optional<Attributes> wanted; // of the written file
    std::unique_ptr<SafeFile> live;
    std::unique_ptr<SaveFaults::Injected> fault;

    if (kind == "link") {
        QVERIFY(writeBytes(at("real.xls"), before));
        links[path] = "real.xls";
        written = at("real.xls");
    } else if (kind == "chain") {
        QVERIFY(QDir(d).mkpath("a") && QDir(d).mkpath("b"));
        QVERIFY(writeBytes(at("b/real.xls"), before));
        links[at("a/mid.xls")] = "../b/real.xls";
        links[path] = "a/mid.xls";
        written = at("b/real.xls");
    } else if (kind == "loop") {
        links[path] = "loop.xls";
        links[at("loop.xls")] = "out.xls";
    } else if (kind == "dangling") {
        links[path] = "missing.xls";
        written = at("missing.xls");
    } else if (kind == "mode") {
        QVERIFY(writeBytes(path, before));
        QCOMPARE(::chmod(QFile::encodeName(path).constData(), 0604), 0);
        wanted = Attributes{::geteuid(), ::getegid(), 0604};
    } else if (kind == "owner" || kind == "chown fails") {
        QVERIFY(writeBytes(path, before));
        QCOMPARE(::chown(QFile::encodeName(path).constData(), 1234, 5678), 0);
        QCOMPARE(::chmod(QFile::encodeName(path).constData(), 0640), 0);
        if (kind == "owner")
            wanted = Attributes{1234, 5678, 0640};
        else
            fault = std::make_unique<SaveFaults::Injected>(SaveFaults::Fault::Chown);
    } else if (kind == "group") {
        // User 1234, also in group 5678, saves over a file of user 2000 and
        // group 5678 in a folder of their own.
        QVERIFY(QDir(d).mkpath("shared"));
        QCOMPARE(::chmod(QFile::encodeName(d).constData(), 0711), 0);
        QCOMPARE(::chown(QFile::encodeName(at("shared")).constData(), 1234, 1234), 0);
        path = written = at("shared/out.xls");
        QVERIFY(writeBytes(path, before));
        QCOMPARE(::chown(QFile::encodeName(path).constData(), 2000, 5678), 0);
        QCOMPARE(::chmod(QFile::encodeName(path).constData(), 02664), 0);
        wanted = Attributes{1234, 5678, 02664};
    } else if (kind == "stale" || kind == "young") {
        for (const QString name : {".old.xls.vantrel-AbC123", ".vantrel-xyz789"}) {
            QVERIFY(writeBytes(at(name), "left"));
            QVERIFY(setAge(at(name), kind == "stale" ? 2 * hour : hour / 2));
        }
    } else if (kind == "live") {
        live = std::make_unique<SafeFile>(at("other.xls"));
        QVERIFY(live->open());
        QVERIFY(live->write("live"));
        const QStringList temporary = SaveFaults::leftovers(d, "other.xls");
        QCOMPARE(temporary.size(), 1);
        QVERIFY(setAge(at(temporary[0]), 2 * hour));
    } else if (kind == "look-alikes") {
        for (const QString name :
             {".out.xls.AbC123", ".out.xls.vantrel-AbC12", ".out.xls.vantrel-AbC1234",
              ".out.xls.vantrel-AbC12_", "out.xls.vantrel-AbC123", "..vantrel-AbC123"})
            QVERIFY(writeBytes(at(name), "theirs"));
        QVERIFY(QDir(d).mkpath(".vantrel-AbC123"));
        QVERIFY(writeBytes(at("theirs.txt"), "theirs"));
        QCOMPARE(::symlink("theirs.txt", QFile::encodeName(at(".link.vantrel-AbC123"))), 0);
        if (root) {
            QVERIFY(writeBytes(at(".user.vantrel-AbC123"), "theirs"));
            QCOMPARE(::chown(QFile::encodeName(at(".user.vantrel-AbC123")), 1234, 1234), 0);
        }
        for (const QString &name : QDir(d).entryList(QDir::AllEntries | QDir::Hidden |
                                                     QDir::System | QDir::NoDotAndDotDot))
            QVERIFY(setAge(at(name), 2 * hour));
    } else if (kind == "long") {
        path = written = at(QString(251, QLatin1Char('n')) + ".xls");
        QCOMPARE(QFile::encodeName(QFileInfo(path).fileName()).size(), 255);
    } else if (kind == "long Chinese") {
        path = written = at(QString(83, QChar(0x6570)) + ".xls");
        QCOMPARE(QFile::encodeName(QFileInfo(path).fileName()).size(), 253);
    }
    for (auto link = links.cbegin(); link != links.cend(); ++link)
        QCOMPARE(::symlink(link.value().constData(), QFile::encodeName(link.key())), 0);
    const QByteArray older = fileBytes(written); // empty where there is none
    const QString folder = QFileInfo(written).absolutePath();
    QStringList names = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                               QDir::NoDotAndDotDot);
    if (kind == "stale") {
        names.removeAll(".old.xls.vantrel-AbC123");
        names.removeAll(".vantrel-xyz789");
    }
    if (saves && !names.contains(QFileInfo(written).fileName()))
        names << QFileInfo(written).fileName();
    names.sort();

    QString error;
    bool ok = false;
    {
        std::optional<ActingAs> user;
        if (kind == "group") {
            user.emplace(1234, 1234, std::vector<gid_t>{1234, 5678});
            QVERIFY(user->ok());
        }
        ok = SafeFile::writeFile(path, after, &error);
    }
    QCOMPARE(ok, saves);
    QCOMPARE(error.isEmpty(), saves);
    QCOMPARE(fileBytes(written), saves ? after : older);
    QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                    QDir::NoDotAndDotDot),
             names);
    for (auto link = links.cbegin(); link != links.cend(); ++link)
        QCOMPARE(readLink(link.key()), link.value());
    if (wanted) {
        struct stat st;
        QCOMPARE(::stat(QFile::encodeName(written).constData(), &st), 0);
        QCOMPARE((Attributes{st.st_uid, st.st_gid, st.st_mode & 07777}), *wanted);
    }
    if (live) {
        QVERIFY(live->commit());
        QCOMPARE(fileBytes(at("other.xls")), QByteArray("live"));
    }
}

void TestXlsFile::sheetNamesMadeValid_data()
{
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("written");
    QTest::newRow("kept as given") << QStringList{"Sheet1", "运行 1", "μW/cm² data"}
                                   << QStringList{"Sheet1", "运行 1", "μW_cm² data"};
    QTest::newRow("forbidden characters replaced")
        << QStringList{"a:b\\c?d*e[f]g"} << QStringList{"a_b_c_d_e_f_g"};
    QTest::newRow("too long cut to 31")
        << QStringList{QString(40, QChar('n'))} << QStringList{QString(31, QChar('n'))};
    QTest::newRow("apostrophes at the ends dropped")
        << QStringList{"'quoted'"} << QStringList{"quoted"};
    QTest::newRow("empty named after its place")
        << QStringList{"", ""} << QStringList{"Sheet1", "Sheet2"};
    QTest::newRow("duplicates ignoring case made unique")
        << QStringList{"Data", "data", "DATA"} << QStringList{"Data", "data(2)", "DATA(3)"};
}

void TestXlsFile::sheetNamesMadeValid()
{
    QFETCH(QStringList, names);
    QFETCH(QStringList, written);
    XlsWorkbook book;
    for (const QString &name : names)
        book.sheets.append(XlsSheet(name));
    const QString path = m_dir.filePath(QStringLiteral("names.xls"));
    QVERIFY(XlsWriter::save(book, path));
    const FreeXlBook read = readWithFreeXl(path);
    QVERIFY2(read.ok, qPrintable(read.error));
    QStringList got;
    for (const FreeXlSheet &sheet : read.sheets)
        got << sheet.name;
    QCOMPARE(got, written);
}

void TestXlsFile::saveFailureLeavesFileAlone_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("folder does not exist") << "missing folder";
    QTest::newRow("target is a folder") << "folder";
    QTest::newRow("folder not writable") << "read-only folder";
}

void TestXlsFile::saveFailureLeavesFileAlone()
{
    QFETCH(QString, kind);
    QTemporaryDir dir;
    QString path;
    QByteArray before;
    if (kind == "missing folder") {
        path = dir.filePath(QStringLiteral("nowhere/out.xls"));
    } else if (kind == "folder") {
        path = dir.filePath(QStringLiteral("out.xls"));
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("out.xls")));
    }
    std::unique_ptr<ReadOnlyFolder> readOnly;
    if (kind == "read-only folder") {
        path = dir.filePath(QStringLiteral("ro/out.xls"));
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("ro")));
        before = XlsWriter::toBytes(XlsWorkbook::withOneSheet());
        QVERIFY(writeBytes(path, before));
        readOnly = std::make_unique<ReadOnlyFolder>(dir.filePath(QStringLiteral("ro")));
        if (!readOnly->isReadOnly())
            VANTREL_SKIP_UNLESS_CI("no read-only folder can be made here");
    }
    QString error;
    QVERIFY(!XlsWriter::save(sampleBook(), path, &error));
    QVERIFY(!error.isEmpty());
    if (!before.isEmpty()) {
        QCOMPARE(fileBytes(path), before);
        QCOMPARE(QDir(dir.filePath(QStringLiteral("ro"))).entryList(QDir::Files).size(), 1);
    } else {
        QVERIFY(!QFileInfo(path).isFile());
    }
}

void TestXlsFile::badFilesAreRefused_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("expected");

    const QByteArray good = XlsWriter::toBytes(sampleBook());
    const int notWorkbook = int(XlsReader::Result::NotWorkbook);
    QTest::newRow("text file") << QByteArray("NUM,VAL\n1,0.5\n") << notWorkbook;
    QTest::newRow("empty file") << QByteArray() << notWorkbook;
    QTest::newRow("only the signature") << good.left(8) << notWorkbook;
    QTest::newRow("zip file (xlsx)") << QByteArray::fromHex("504B0304140000000800") << notWorkbook;
    QByteArray brokenFat = good;
    const quint32 firstFat = qFromLittleEndian<quint32>(good.constData() + 0x4C);
    for (int i = 0; i < 512; ++i) // every FAT entry points far outside the file
        brokenFat[int((firstFat + 1) * 512) + i] = char(0x7F);
    QTest::newRow("FAT pointing outside the file") << brokenFat << notWorkbook;
    QByteArray loop = good;
    for (int i = 1; i < 8; ++i) // the stream's sectors lead back to its first
        qToLittleEndian<quint32>(0, loop.data() + (firstFat + 1) * 512 + 4 * i);
    QTest::newRow("sector chain that loops") << loop << notWorkbook;
    QByteArray noWorkbookStream = good;
    const quint32 dir = qFromLittleEndian<quint32>(good.constData() + 0x30);
    noWorkbookStream[int((dir + 1) * 512 + 128)] = 'X'; // "Workbook" -> "Xorkbook"
    QTest::newRow("no Workbook stream") << noWorkbookStream << notWorkbook;
    // The first text cell names the string just past the table's last.
    QByteArray stream = XlsWriter::workbookStream(sampleBook());
    int sst = -1;
    int label = -1;
    for (int at = 0; at + 4 <= stream.size();
         at += 4 + qFromLittleEndian<quint16>(stream.constData() + at + 2)) {
        const quint16 id = qFromLittleEndian<quint16>(stream.constData() + at);
        if (id == 0x00FC && sst < 0)
            sst = at;
        if (id == 0x00FD && label < 0)
            label = at;
    }
    const quint32 unique = qFromLittleEndian<quint32>(stream.constData() + sst + 8);
    qToLittleEndian<quint32>(unique, stream.data() + label + 10);
    QTest::newRow("shared string index one past the table")
        << CompoundFile::wrap(stream) << notWorkbook;
}

void TestXlsFile::badFilesAreRefused()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, expected);
    const QString path = m_dir.filePath(QStringLiteral("bad.xls"));
    QVERIFY(writeBytes(path, bytes));
    XlsWorkbook book = sampleBook();
    QCOMPARE(int(XlsReader::load(path, &book)), expected);
    QCOMPARE(book.sheets.size(), 3); // untouched on failure
    QCOMPARE(fileBytes(path), bytes);
}

void TestXlsFile::truncatedFilesAreRefused()
{
    // Cut at every sector boundary and in between: never a crash, never a
    // workbook that claims more than is there.
    XlsWorkbook source = sampleBook();
    for (int i = 0; i < 500; ++i)
        source.sheets[1].setValue(i, 0, QStringLiteral("text %1").arg(i));
    const QByteArray good = XlsWriter::toBytes(source);
    const QString path = m_dir.filePath(QStringLiteral("truncated.xls"));
    for (int size = 0; size < good.size(); size += 509) {
        QVERIFY(writeBytes(path, good.left(size)));
        XlsWorkbook book;
        QVERIFY2(
            XlsReader::load(path, &book) != XlsReader::Result::Ok,
            qPrintable(QStringLiteral("accepted at %1 of %2 bytes").arg(size).arg(good.size())));
    }
    QVERIFY(writeBytes(path, good));
    XlsWorkbook book;
    QCOMPARE(XlsReader::load(path, &book), XlsReader::Result::Ok);
}

void TestXlsFile::contentThatWouldBeLostIsRefused_data()
{
    QTest::addColumn<QByteArray>("find");    // record header to patch
    QTest::addColumn<int>("patchAt");        // offset from it
    QTest::addColumn<QByteArray>("replace"); // bytes written there

    // Records of a workbook written here, changed into records the model
    // cannot hold (each of the same length, so the file stays well formed).
    QTest::newRow("chart sheet") << QByteArray::fromHex("8500") << 9 << QByteArray::fromHex("02");
    QTest::newRow("merged cells (in place of GUTS)")
        << QByteArray::fromHex("80000800") << 0 << QByteArray::fromHex("E500");
    QTest::newRow("comment (in place of GUTS)")
        << QByteArray::fromHex("80000800") << 0 << QByteArray::fromHex("1C00");
    QTest::newRow("hyperlink (in place of GUTS)")
        << QByteArray::fromHex("80000800") << 0 << QByteArray::fromHex("B801");
    QTest::newRow("shared formula (in place of GUTS)")
        << QByteArray::fromHex("80000800") << 0 << QByteArray::fromHex("BC04");
}

void TestXlsFile::contentThatWouldBeLostIsRefused()
{
    QFETCH(QByteArray, find);
    QFETCH(int, patchAt);
    QFETCH(QByteArray, replace);
    QByteArray stream = XlsWriter::workbookStream(sampleBook());
    const int at = stream.indexOf(find);
    QVERIFY(at > 0);
    stream.replace(at + patchAt, replace.size(), replace);
    const QString path = m_dir.filePath(QStringLiteral("foreign.xls"));
    const QByteArray file = CompoundFile::wrap(stream);
    QVERIFY(writeBytes(path, file));
    QVERIFY2(readWithFreeXl(path).ok, "FreeXL reads it: only the model could not keep it");
    XlsWorkbook book;
    QString error;
    QCOMPARE(XlsReader::load(path, &book, &error), XlsReader::Result::Unsupported);
    QVERIFY(!error.isEmpty());
    QCOMPARE(fileBytes(path), file);
}

QTEST_GUILESS_MAIN(TestXlsFile)
#include "test_xlsfile.moc"
