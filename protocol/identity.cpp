#include "protocol/identity.h"

#include "measurement/instrumentclock.h"
#include "protocol/frame.h"

namespace Identity {

static QDate dateAt(const QByteArray &a, int index)
{
    quint16 year = 0;
    Frame::le16At(a, index, &year);
    QDate d;
    d.setDate(year, Frame::byteAt(a, index + 2), Frame::byteAt(a, index + 3));
    return d;
}

bool decodeKeyInfo(const QByteArray &a, KeyInfo *out)
{
    if (a.size() < 24)
        return false;
    KeyInfo k;
    k.marker = quint8(a.at(6));
    k.productionDate = dateAt(a, 8);
    Frame::le32At(a, 12, &k.serialNumber);
    Frame::le32At(a, 16, &k.deviceType);
    Frame::le16At(a, 20, &k.spare1);
    Frame::le16At(a, 22, &k.spare2);
    *out = k;
    return true;
}

bool decodeProductionInfo(const QByteArray &a, ProductionInfo *out)
{
    if (a.size() < 26)
        return false;
    ProductionInfo p;
    p.firstValue = quint8(a.at(8));
    p.productionDate = dateAt(a, 10);
    Frame::le32At(a, 14, &p.serialNumber);
    Frame::le32At(a, 18, &p.deviceType);
    Frame::le16At(a, 22, &p.value16);
    p.byteValue1 = quint8(a.at(24));
    p.byteValue2 = quint8(a.at(25));
    *out = p;
    return true;
}

bool decodeCalibrationDate(const QByteArray &a, QDate *out)
{
    if (a.size() < 12)
        return false;
    *out = dateAt(a, 8);
    return true;
}

bool decodeSoftwareVersion(const QByteArray &a, quint16 *out)
{
    return Frame::le16At(a, 6, out);
}

bool decodeClock(const QByteArray &a, int offset, QDateTime *out)
{
    if (offset < 0 || a.size() < offset + 6)
        return false;
    auto b = [&](int i) { return int(quint8(a.at(offset + i))); };
    *out = InstrumentClock::at(QDate(2000 + b(0), b(1), b(2)), QTime(b(3), b(4), b(5), 0));
    return true;
}

QByteArray encodeClock(const QDateTime &when)
{
    const QDate d = when.date();
    const QTime t = when.time();
    QByteArray data;
    data.append(char(quint8(d.year() - 2000)));
    data.append(char(d.month()));
    data.append(char(d.day()));
    data.append(char(t.hour()));
    data.append(char(t.minute()));
    data.append(char(t.second()));
    return data;
}

QString versionText(quint16 tenths)
{
    return QString::number(tenths / 10.0, 'f', 1);
}

} // namespace Identity
