// libHidDevice on the simulated HID transport: report packing, left-over
// bytes, time-outs, and the choice of the instrument to open.
#include "frames.h"
#include "link/hidapitransport.h"
#include "link/libhiddevice.h"
#include "link/reportdescriptor.h"
#include "sim/simtransport.h"

#include <QElapsedTimer>
#include <QtTest>

#include <cerrno>

namespace {

constexpr quint16 kVid = 0x2047;
constexpr quint16 kPid = 0x0301;

SimProfile quietMeter(const QString &usbSerial = QStringLiteral("A1"), int interfaces = 1)
{
    SimProfile p = SimProfile::meter();
    p.usbSerial = usbSerial;
    p.interfaces = interfaces;
    return p;
}

QByteArray report(const QByteArray &payload, int length = 64, quint8 id = 0x3F, int lengthByte = -1)
{
    QByteArray r(length, '\0');
    r[0] = char(id);
    r[1] = char(lengthByte >= 0 ? lengthByte : payload.size());
    r.replace(2, payload.size(), payload);
    return r.left(length);
}

QByteArray counting(int n, int from = 0)
{
    QByteArray b;
    for (int i = 0; i < n; ++i)
        b.append(char((from + i) & 0xFF));
    return b;
}

int readInto(libHidDevice &device, QByteArray *out, int count, int timeoutMs)
{
    QByteArray buffer(count + 16, '\x77');
    const int n = device.read(reinterpret_cast<unsigned char *>(buffer.data()), count, timeoutMs);
    *out = buffer.left(qMax(n, 0));
    // Nothing past the count may be touched.
    for (int i = count; i < buffer.size(); ++i)
        if (buffer.at(i) != '\x77')
            return -1000;
    return n;
}

} // namespace

class HidDeviceTest : public QObject
{
    Q_OBJECT
private slots:
    void writePacking_data();
    void writePacking();
    void writeWhenClosed();
    void readLeftOversWithoutTransfer();
    void readPartialAfterTimeOut();
    void readSkipsForeignReports();
    void readClampsLengthByte_data();
    void readClampsLengthByte();
    void readAcrossManyReports();
    void readErrorAfterUnplug();
    void deviceRemoved();
    void serialCollection_data();
    void serialCollection();
    void openChoosesInstrument_data();
    void openChoosesInstrument();
    void openFailsWhenHeldExclusively();
    void openSharesWithNonExclusiveHolder();
    void openFailsWhenInstrumentVanishes();
    void openWithoutInstrument();
    void reportDescriptorLengths_data();
    void reportDescriptorLengths();
    void accessRetry_data();
    void accessRetry();
    void hidapiEnumerationFindsNothingQuietly();
    void hidapiRealInstrument();
};

void HidDeviceTest::writePacking_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("reportLength");
    QTest::addColumn<QList<int>>("payloads");
    QTest::newRow("16-byte request is one report") << 16 << 64 << QList<int>{16};
    QTest::newRow("100 bytes are 62 + 38") << 100 << 64 << QList<int>{62, 38};
    QTest::newRow("exactly 62 bytes") << 62 << 64 << QList<int>{62};
    QTest::newRow("124 bytes are two full reports") << 124 << 64 << QList<int>{62, 62};
    QTest::newRow("zero bytes send nothing") << 0 << 64 << QList<int>{};
    QTest::newRow("short reports carry fewer bytes") << 40 << 32 << QList<int>{30, 10};
}

void HidDeviceTest::writePacking()
{
    QFETCH(int, count);
    QFETCH(int, reportLength);
    QFETCH(QList<int>, payloads);
    SimTransport transport;
    SimProfile p = quietMeter();
    p.reportLength = reportLength;
    auto sim = transport.add(p);
    libHidDevice device(&transport);
    QCOMPARE(device.open(kVid, kPid), 0);

    const QByteArray data = counting(count, 0x10);
    const int expected = count;
    QCOMPARE(device.write(reinterpret_cast<const unsigned char *>(data.constData()), quint16(count),
                          1000),
             count == 0 ? 0 : expected);
    const QList<QByteArray> reports = sim->writtenReports();
    QCOMPARE(reports.size(), payloads.size());
    int offset = 0;
    for (int i = 0; i < reports.size(); ++i) {
        const QByteArray &r = reports.at(i);
        QCOMPARE(r.size(), reportLength);
        QCOMPARE(quint8(r.at(0)), quint8(0x3F));
        QCOMPARE(int(quint8(r.at(1))), payloads.at(i));
        QCOMPARE(r.mid(2, payloads.at(i)), data.mid(offset, payloads.at(i)));
        QCOMPARE(r.mid(2 + payloads.at(i)), QByteArray(reportLength - 2 - payloads.at(i), '\0'));
        offset += payloads.at(i);
    }
}

void HidDeviceTest::writeWhenClosed()
{
    SimTransport transport;
    libHidDevice device(&transport);
    const QByteArray data = counting(16);
    QCOMPARE(device.write(reinterpret_cast<const unsigned char *>(data.constData()), 16, 1000), 0);
    QByteArray got;
    QCOMPARE(readInto(device, &got, 16, 50), 0);
    QVERIFY(device.deviceRemoved());
}

void HidDeviceTest::readLeftOversWithoutTransfer()
{
    SimTransport transport;
    auto sim = transport.add(quietMeter());
    libHidDevice device(&transport);
    QCOMPARE(device.open(kVid, kPid), 0);
    sim->queueInputReport(report(counting(16)));
    sim->queueInputReport(report(counting(4, 0x40)));

    QByteArray got;
    QCOMPARE(readInto(device, &got, 10, 50), 10);
    QCOMPARE(got, counting(10));
    QCOMPARE(sim->pendingReports(), 1);
    QCOMPARE(readInto(device, &got, 6, 50), 6);
    QCOMPARE(got, counting(6, 10));
    QCOMPARE(sim->pendingReports(), 1); // the six came from the left-overs
    // Left-overs first, then the next report.
    QCOMPARE(readInto(device, &got, 4, 50), 4);
    QCOMPARE(got, counting(4, 0x40));
}

void HidDeviceTest::readPartialAfterTimeOut()
{
    SimTransport transport;
    auto sim = transport.add(quietMeter());
    libHidDevice device(&transport);
    QCOMPARE(device.open(kVid, kPid), 0);
    sim->queueInputReport(report(counting(10)));
    QByteArray got;
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(readInto(device, &got, 26, 50), 10);
    QVERIFY2(clock.elapsed() >= 45, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(got, counting(10));
    // Nothing at all: 0 after one report wait.
    QCOMPARE(readInto(device, &got, 26, 50), 0);
}

void HidDeviceTest::readSkipsForeignReports()
{
    SimTransport transport;
    auto sim = transport.add(quietMeter());
    libHidDevice device(&transport);
    QCOMPARE(device.open(kVid, kPid), 0);
    sim->queueInputReport(report(counting(8)));
    sim->queueInputReport(report(hexBytes("AB 42 00 00"), 64, 0x01));
    sim->queueInputReport(report(counting(8, 8)));
    QByteArray got;
    QCOMPARE(readInto(device, &got, 16, 50), 16);
    QCOMPARE(got, counting(16));
}

void HidDeviceTest::readClampsLengthByte_data()
{
    QTest::addColumn<int>("reportLength");
    QTest::addColumn<int>("lengthByte");
    QTest::addColumn<int>("arrived"); // bytes of the report that came, report id included
    QTest::addColumn<int>("delivered");
    QTest::newRow("255 in a 64-byte report") << 64 << 255 << 64 << 62;
    QTest::newRow("63 in a 64-byte report") << 64 << 63 << 64 << 62;
    QTest::newRow("62 is the whole area") << 64 << 62 << 64 << 62;
    QTest::newRow("40 in a 32-byte report") << 32 << 40 << 32 << 30;
    QTest::newRow("62 in a report cut to 10 bytes") << 64 << 62 << 10 << 8;
    QTest::newRow("5 in a report cut to 10 bytes") << 64 << 5 << 10 << 5;
    QTest::newRow("report of its id alone") << 64 << 62 << 1 << 0;
}

void HidDeviceTest::readClampsLengthByte()
{
    QFETCH(int, reportLength);
    QFETCH(int, lengthByte);
    QFETCH(int, arrived);
    QFETCH(int, delivered);
    SimTransport transport;
    SimProfile p = quietMeter();
    p.reportLength = reportLength;
    auto sim = transport.add(p);
    libHidDevice device(&transport);
    QCOMPARE(device.open(kVid, kPid), 0);
    sim->queueInputReport(
        report(counting(reportLength - 2), reportLength, 0x3F, lengthByte).left(arrived));
    QByteArray got;
    QCOMPARE(readInto(device, &got, 1000, 30), delivered);
    QCOMPARE(got, counting(delivered));
}

void HidDeviceTest::readAcrossManyReports()
{
    SimTransport transport;
    auto sim = transport.add(quietMeter());
    libHidDevice device(&transport);
    QCOMPARE(device.open(kVid, kPid), 0);
    const QByteArray stream = counting(1000, 3);
    sim->queueStream(stream);
    QByteArray got;
    QCOMPARE(readInto(device, &got, 1000, 50), 1000);
    QCOMPARE(got, stream);
}

void HidDeviceTest::readErrorAfterUnplug()
{
    SimTransport transport;
    auto sim = transport.add(quietMeter());
    libHidDevice device(&transport);
    QCOMPARE(device.open(kVid, kPid), 0);
    sim->queueInputReport(report(counting(10)));
    sim->unplug();
    QByteArray got;
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(readInto(device, &got, 26, 5000), 0);
    QVERIFY(clock.elapsed() < 5000); // an error, not a time-out
    const QByteArray data = counting(16);
    QCOMPARE(device.write(reinterpret_cast<const unsigned char *>(data.constData()), 16, 1000), 0);
}

void HidDeviceTest::deviceRemoved()
{
    SimTransport transport;
    auto sim = transport.add(quietMeter());
    libHidDevice device(&transport);
    QCOMPARE(device.open(kVid, kPid), 0);
    QVERIFY(!device.deviceRemoved());
    sim->unplug();
    QVERIFY(device.deviceRemoved());
    // The same instrument plugged in again is a new device: the old handle stays dead.
    sim->plug();
    QVERIFY(device.deviceRemoved());
    libHidDevice again(&transport);
    QCOMPARE(again.open(kVid, kPid), 0);
    QVERIFY(!again.deviceRemoved());
}

void HidDeviceTest::serialCollection_data()
{
    QTest::addColumn<QStringList>("serials");
    QTest::addColumn<int>("interfaces");
    QTest::addColumn<int>("count");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<int>("perInstrument");
    QTest::newRow("one instrument") << QStringList{"A1"} << 1 << 1 << QStringList{"A1"} << 1;
    QTest::newRow("two instruments")
        << QStringList{"A1", "B2"} << 1 << 2 << QStringList{"A1", "B2"} << 1;
    QTest::newRow("empty serial") << QStringList{""} << 1 << 1 << QStringList{"SerNum 0"} << 1;
    QTest::newRow("two empty serials")
        << QStringList{"", ""} << 1 << 2 << QStringList{"SerNum 0", "SerNum 1"} << 1;
    QTest::newRow("three empty serials") << QStringList{"", "", ""} << 1 << 3
                                         << QStringList{"SerNum 0", "SerNum 1", "SerNum 2"} << 1;
    QTest::newRow("composite, two interfaces")
        << QStringList{"A1"} << 2 << 1 << QStringList{"A1"} << 2;
    QTest::newRow("two composite, empty serials")
        << QStringList{"", ""} << 2 << 2 << QStringList{"SerNum 0", "SerNum 1"} << 2;
    QTest::newRow("seven instruments, six kept")
        << QStringList{"S1", "S2", "S3", "S4", "S5", "S6", "S7"} << 1 << 6
        << QStringList{"S1", "S2", "S3", "S4", "S5", "S6"} << 1;
}

void HidDeviceTest::serialCollection()
{
    QFETCH(QStringList, serials);
    QFETCH(int, interfaces);
    QFETCH(int, count);
    QFETCH(QStringList, texts);
    QFETCH(int, perInstrument);
    SimTransport transport;
    for (const QString &s : serials)
        transport.add(quietMeter(s, interfaces));
    const libHidDevice::SerialList list =
        libHidDevice::collectSerialNumbers(&transport, kVid, kPid);
    QCOMPARE(list.count, count);
    QCOMPARE(list.texts, texts);
    QCOMPARE(libHidDevice::countInterfaces(&transport, kVid, kPid, list.count), perInstrument);
}

void HidDeviceTest::openChoosesInstrument_data()
{
    QTest::addColumn<QStringList>("serials");
    QTest::addColumn<int>("interfaces");
    QTest::addColumn<int>("chosen");          // which instrument gets the writes
    QTest::addColumn<int>("chosenInterface"); // on which interface
    QTest::newRow("one instrument") << QStringList{"A1"} << 1 << 0 << 0;
    QTest::newRow("two instruments: the last collected") << QStringList{"A1", "B2"} << 1 << 1 << 0;
    QTest::newRow("empty serial number") << QStringList{""} << 1 << 0 << 0;
    QTest::newRow("two with empty serials: the last") << QStringList{"", ""} << 1 << 1 << 0;
    QTest::newRow("composite: the last interface") << QStringList{"A1"} << 2 << 0 << 1;
    QTest::newRow("two composite with empty serials") << QStringList{"", ""} << 2 << 1 << 1;
}

void HidDeviceTest::openChoosesInstrument()
{
    QFETCH(QStringList, serials);
    QFETCH(int, interfaces);
    QFETCH(int, chosen);
    QFETCH(int, chosenInterface);
    SimTransport transport;
    QList<std::shared_ptr<SimInstrument>> sims;
    for (const QString &s : serials)
        sims << transport.add(quietMeter(s, interfaces));
    QStringList opened;
    transport.setBeforeOpen([&opened](const QString &path) { opened << path; });
    libHidDevice device(&transport);
    QCOMPARE(device.open(kVid, kPid), 0);
    QVERIFY(device.isOpen());
    const QByteArray data = counting(8);
    QCOMPARE(device.write(reinterpret_cast<const unsigned char *>(data.constData()), 8, 1000), 8);
    for (int i = 0; i < sims.size(); ++i)
        QCOMPARE(sims.at(i)->writtenReports().size(), i == chosen ? 1 : 0);
    // The last open is the one kept.
    QVERIFY(opened.last().endsWith(QStringLiteral("/%1").arg(chosenInterface)));
    // Kept exclusively when the instrument has one interface.
    HidTransport::OpenError error = HidTransport::OpenError::None;
    auto other = transport.open(opened.last(), false, &error);
    QCOMPARE(other == nullptr, interfaces == 1);
    if (interfaces == 1)
        QCOMPARE(int(error), int(HidTransport::OpenError::Sharing));
}

void HidDeviceTest::openFailsWhenHeldExclusively()
{
    SimTransport transport;
    transport.add(quietMeter());
    HidTransport::OpenError error = HidTransport::OpenError::None;
    auto holder = transport.open(transport.enumerate(kVid, kPid).first().path, true, &error);
    QVERIFY(holder);
    libHidDevice device(&transport);
    QCOMPARE(device.open(kVid, kPid), -1);
    QVERIFY(!device.isOpen());
    holder->close();
    QCOMPARE(device.open(kVid, kPid), 0);
}

void HidDeviceTest::openSharesWithNonExclusiveHolder()
{
    SimTransport transport;
    auto sim = transport.add(quietMeter());
    HidTransport::OpenError error = HidTransport::OpenError::None;
    auto holder = transport.open(transport.enumerate(kVid, kPid).first().path, false, &error);
    QVERIFY(holder);
    libHidDevice device(&transport);
    // The exclusive attempt meets a sharing violation; the shared one works.
    QCOMPARE(device.open(kVid, kPid), 0);
    const QByteArray data = counting(4);
    QCOMPARE(device.write(reinterpret_cast<const unsigned char *>(data.constData()), 4, 1000), 4);
}

void HidDeviceTest::openFailsWhenInstrumentVanishes()
{
    SimTransport transport;
    auto sim = transport.add(quietMeter());
    int opens = 0;
    // Gone after the serial numbers were collected.
    transport.setBeforeOpen([&](const QString &) {
        if (++opens == 2)
            sim->unplug();
    });
    libHidDevice device(&transport);
    QCOMPARE(device.open(kVid, kPid), -1);
    QVERIFY(!device.isOpen());
    QVERIFY(device.deviceRemoved());
}

void HidDeviceTest::openWithoutInstrument()
{
    SimTransport transport;
    libHidDevice device(&transport);
    QCOMPARE(device.open(kVid, kPid), -1);
    QCOMPARE(libHidDevice::collectSerialNumbers(&transport, kVid, kPid).count, 0);
    QCOMPARE(libHidDevice::countInterfaces(&transport, kVid, kPid, 1), 0);
    // Another vendor's device is not looked at.
    transport.add(quietMeter());
    QCOMPARE(device.open(0x1234, kPid), -1);
}

void HidDeviceTest::reportDescriptorLengths_data()
{
    QTest::addColumn<QByteArray>("descriptor");
    QTest::addColumn<int>("input");
    QTest::addColumn<int>("output");
    // Vendor page, report id 0x3F, 63 bytes in and out: 64-byte reports.
    const QByteArray instrument = hexBytes("06 00 FF 09 01 A1 01 85 3F 95 3F 75 08 25 01 15 01"
                                           "09 01 81 02 09 01 91 02 C0");
    QTest::newRow("instrument: id 0x3F, 63 bytes") << instrument << 64 << 64;
    QTest::newRow("no report id: no extra byte")
        << hexBytes("06 00 FF 09 01 A1 01 95 40 75 08 09 01 81 02 95 20 91 02 C0") << 64 << 32;
    QTest::newRow("two ids: the longest")
        << hexBytes("06 00 FF 09 01 A1 01 85 01 95 08 75 08 81 02 85 02 95 10 81 02 C0") << 17 << 0;
    QTest::newRow("bits rounded up") << hexBytes("A1 01 75 01 95 0C 81 02 C0") << 2 << 0;
    QTest::newRow("push and pop") << hexBytes("A1 01 75 08 95 04 A4 95 20 81 02 B4 91 02 C0") << 32
                                  << 4;
    QTest::newRow("truncated item") << hexBytes("A1 01 75 08 95 10 81 02 96 01") << 16 << 0;
    QTest::newRow("long item skipped") << hexBytes("FE 02 01 AA BB 75 08 95 05 81 02") << 5 << 0;
    QTest::newRow("empty") << QByteArray() << 0 << 0;
    // 2^31 bits of 2^31 reports four times over add up past 64 bits.
    QTest::newRow("huge sizes stay at the cap")
        << hexBytes("77 00 00 00 80 97 00 00 00 80 81 02 81 02 81 02 81 02") << 65535 << 0;
}

void HidDeviceTest::reportDescriptorLengths()
{
    QFETCH(QByteArray, descriptor);
    QFETCH(int, input);
    QFETCH(int, output);
    const ReportDescriptor::Lengths lengths = ReportDescriptor::reportLengths(descriptor);
    QCOMPARE(lengths.input, input);
    QCOMPARE(lengths.output, output);
}

void HidDeviceTest::accessRetry_data()
{
    QTest::addColumn<QList<int>>("results");
    QTest::addColumn<int>("expected");
    QTest::addColumn<int>("attemptsMade");
    QTest::newRow("first attempt works") << QList<int>{5} << 5 << 1;
    QTest::newRow("permissions arrive late") << QList<int>{-EACCES, -EACCES, 7} << 7 << 3;
    QTest::newRow("never allowed")
        << QList<int>{-EACCES, -EACCES, -EACCES, -EACCES} << -EACCES << 4;
    QTest::newRow("gone: no retry") << QList<int>{-ENOENT, 9} << -ENOENT << 1;
    QTest::newRow("EPERM retried too") << QList<int>{-EPERM, 3} << 3 << 2;
}

void HidDeviceTest::accessRetry()
{
    QFETCH(QList<int>, results);
    QFETCH(int, expected);
    QFETCH(int, attemptsMade);
    int made = 0;
    const int r = HidapiTransport::retryOnAccessDenied(
        [&] { return results.at(qMin(made++, results.size() - 1)); }, 4, 1);
    QCOMPARE(r, expected);
    QCOMPARE(made, attemptsMade);
}

void HidDeviceTest::hidapiEnumerationFindsNothingQuietly()
{
    HidapiTransport transport;
    // No instrument here: an empty list and a failed open, no crash, no error.
    const QList<HidTransport::InterfaceInfo> found = transport.enumerate(kVid, kPid);
    if (!found.isEmpty())
        QSKIP("an instrument is plugged in");
    libHidDevice device(&transport);
    QCOMPARE(device.open(kVid, kPid), -1);
    HidTransport::OpenError error = HidTransport::OpenError::None;
    QVERIFY(!transport.open(QStringLiteral("/dev/hidraw-none"), false, &error));
    QCOMPARE(int(error), int(HidTransport::OpenError::NotFound));
}

void HidDeviceTest::hidapiRealInstrument()
{
    // VANTREL_HID_DEVICE=/dev/hidrawN names a plugged-in instrument.
    const QString node = qEnvironmentVariable("VANTREL_HID_DEVICE");
    if (node.isEmpty())
        QSKIP("set VANTREL_HID_DEVICE to the instrument's hidraw node");
    HidapiTransport transport;
    bool listed = false;
    for (const HidTransport::InterfaceInfo &info : transport.enumerate(kVid, kPid))
        listed = listed || info.path == node;
    QVERIFY2(listed, "the node is not an interface of 2047:0301");
    libHidDevice device(&transport);
    QCOMPARE(device.open(kVid, kPid), 0);
    QVERIFY(!device.deviceRemoved());
    // Key information request; the answer (26 bytes) or the A0 04 refusal.
    const QByteArray request = withTrailer("AB 20 05 00 12 00");
    QCOMPARE(device.write(reinterpret_cast<const unsigned char *>(request.constData()),
                          quint16(request.size()), 1000),
             request.size());
    QByteArray answer(64, '\0');
    const int n = device.read(reinterpret_cast<unsigned char *>(answer.data()), 26, 500);
    QVERIFY2(n > 2, "no answer");
    QCOMPARE(quint8(answer.at(0)), quint8(0xAB));
    device.close();
}

QTEST_GUILESS_MAIN(HidDeviceTest)
#include "test_hiddevice.moc"
