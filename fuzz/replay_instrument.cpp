// An instrument session over the real link: CLinkerUSB and libHidDevice on a
// transport whose input reports are the fuzzing bytes, InstrumentLink,
// InstrumentCommands, Recognition and both download engines on top.
//
// Input: byte 0 picks the input report length the device announces and two
// flags (writes refused; a window waiting in slices), then operations follow,
// each an operation byte and, for the downloads, one argument byte, until the
// reports run out. All remaining bytes are the report script (fuzztransport.h)
// shared by the operations in order: whatever one operation leaves unread
// meets the next.
#include "fuzz/replay.h"

#include "download/loggerdownload.h"
#include "download/loggerrun.h"
#include "download/meterdownload.h"
#include "download/meterrecord.h"
#include "fuzz/fuzztransport.h"
#include "link/clinkerusb.h"
#include "protocol/frame.h"
#include "protocol/instrumentcommands.h"
#include "protocol/instrumentlink.h"
#include "protocol/recognition.h"

#include <QVector>

namespace {

// Report lengths a device may announce: unknown, too small to count, the
// usual full-speed one, odd ones, and longer than a report can be.
constexpr int kReportLengths[] = {0, 2, 3, 64, 17, 65, 1024, 9000};

bool knownResult(int r)
{
    return r == 1 || (r <= -1 && r >= InstrumentCommands::Gone);
}

// A date decoded from two year bytes and two plain bytes, when valid at all.
bool dateFits(const QDate &d) { return !d.isValid() || (d.year() >= 1 && d.year() <= 0xFFFF); }

bool recognitionHolds(const Recognition &r)
{
    if (!knownResult(r.keyResult))
        return false;
    if (r.keyResult >= 0)
        return r.productionResult == 0 && r.typeCode == r.key.deviceType &&
               (r.outcome == Recognition::Outcome::Logger ||
                r.outcome == Recognition::Outcome::Meter) &&
               dateFits(r.key.productionDate);
    if (r.keyResult != -5)
        return r.outcome == Recognition::Outcome::KeyInfoFailed;
    if (!knownResult(r.productionResult))
        return false;
    if (r.productionResult == 1)
        return r.typeCode == r.production.deviceType && r.isKnown() &&
               r.production.firstValue >= 0 && r.production.firstValue <= 0xFF &&
               dateFits(r.production.productionDate);
    using O = Recognition::Outcome;
    return r.outcome == (r.productionResult == -5   ? O::MeterWithoutProbe
                         : r.productionResult == -4 ? O::NotConfigured
                                                    : O::ProductionInfoFailed);
}

// Four bytes of a block, as read.
bool blockHolds(const int (&b)[4])
{
    for (int v : b) {
        if (v < 0 || v > 0xFF)
            return false;
    }
    return true;
}

bool meterDownloadHolds(MeterDownload::Result result, const MeterDownload::Collected &c,
                        int count)
{
    if (result == MeterDownload::Result::Complete && !c.complete())
        return false;
    for (auto it = c.answers.cbegin(); it != c.answers.cend(); ++it) {
        const QByteArray &answer = it.value();
        if (it.key() < 0 || it.key() >= count || answer.size() != MeterRecord::kAnswerLength ||
            Frame::byteAt(answer, 0) != Frame::StartByte || Frame::byteAt(answer, 1) != 0x42)
            return false;
        MeterReading record;
        if (!MeterRecord::decodeAnswer(answer, &record))
            return false;
    }
    return c.missing(count).size() == count - c.answers.size();
}

bool loggerDownloadHolds(LoggerDownload::Outcome outcome, const LoggerDownload::Run &run)
{
    if (outcome != LoggerDownload::Outcome::Complete)
        return run.payload.isEmpty() && (run.frames.isEmpty() ||
                                         outcome == LoggerDownload::Outcome::StepUnreadable);
    return LoggerRun::endPacketSeen(run.frames) && run.payload.size() <= run.frames.size() &&
           (run.step == 1 || run.step == 10 || run.step == 60);
}

} // namespace

namespace FuzzReplay {

bool instrumentAnswers(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return true;
    const quint8 setup = quint8(bytes.at(0));
    // Operations until a byte 0xFF or eight of them; the rest is the script.
    QVector<quint8> operations;
    int pos = 1;
    while (pos < bytes.size() && operations.size() < 8 && quint8(bytes.at(pos)) != 0xFF)
        operations.append(quint8(bytes.at(pos++)));
    ++pos;
    QVector<quint8> arguments;
    for (int i = 0; i < operations.size(); ++i)
        arguments.append(pos < bytes.size() ? quint8(bytes.at(pos++)) : 0);

    FuzzTransport transport(bytes.mid(pos), kReportLengths[setup & 0x07]);
    CLinkerUSB usb(&transport);
    if (usb.open(FuzzTransport::VendorId, FuzzTransport::ProductId) != 0)
        return true;
    transport.setRefuseWrites(setup & 0x08);
    InstrumentLink link;
    link.setLink(&usb);
    if (setup & 0x10) {
        // A window waiting for an answer: the main window takes the link
        // away when the instrument is gone.
        link.waiting = [&] {
            if (usb.deviceRemoved())
                link.setLink(nullptr);
        };
    }
    InstrumentCommands commands(&link);
    qint64 received = 0;

    for (int i = 0; i < operations.size(); ++i) {
        const int argument = arguments.at(i);
        switch (operations.at(i) % 9) {
        case 0:
            if (!recognitionHolds(Recognition::run(commands)))
                return broken("recognition outcome matches the answers");
            break;
        case 1: {
            quint16 version = 0;
            if (!knownResult(commands.readSoftwareVersion(version)))
                return broken("software version result");
            break;
        }
        case 2: {
            QDateTime when;
            const int r = commands.readClock(when);
            // Year bytes 2000 + 0..255; any other field may be out of range.
            if (!knownResult(r) || (r == 1 && when.isValid() &&
                                    (when.date().year() < 2000 || when.date().year() > 2255)))
                return broken("clock within its year bytes");
            break;
        }
        case 3: {
            QDate date;
            const int r = commands.readCalibrationDate(date);
            if (!knownResult(r) || !dateFits(date))
                return broken("calibration date");
            break;
        }
        case 4:
        case 5: {
            int b[4] = {-1, -1, -1, -1};
            const int r = operations.at(i) % 9 == 4 ? commands.readBlock60(b[0], b[1], b[2], b[3])
                                                    : commands.readBlock80(b[0], b[1], b[2], b[3]);
            if (!knownResult(r) || (r == 1 && !blockHolds(b)))
                return broken("block bytes");
            break;
        }
        case 6: {
            int count = -1;
            const int r = commands.readPowerGroupCount(count);
            if (!knownResult(r) || (r == 1 && (count < 0 || count > 0xFF)))
                return broken("record count within a byte");
            break;
        }
        case 7: {
            MeterDownload download(&link);
            download.stopRequested = [&] { return transport.exhausted(); };
            int buffered = 0;
            download.onProgress = [&](int n) { buffered = n; };
            MeterDownload::Collected collected;
            const int count = argument % 40;
            const MeterDownload::Result result = download.run(count, &collected);
            if (!meterDownloadHolds(result, collected, count))
                return broken("Meter download keeps whole answers by record");
            received += buffered;
            break;
        }
        case 8: {
            LoggerDownload download(&commands);
            download.stopRequested = [&] { return transport.exhausted(); };
            download.onBytes = [&](int n, bool) { received += n; };
            LoggerDownload::Run run;
            const LoggerDownload::Outcome outcome =
                download.downloadRun(argument % LoggerRun::MaxRuns, &run);
            if (!loggerDownloadHolds(outcome, run))
                return broken("Logger download outcome matches its run");
            break;
        }
        }
    }
    // The link hands over only bytes that reports carried.
    if (received > transport.payloadOffered())
        return broken("the link hands over only bytes that reports carried");
    return true;
}

} // namespace FuzzReplay
