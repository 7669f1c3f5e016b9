#include "download/loggerdownload.h"

#include "download/loggerrun.h"
#include "link/clinkerusb.h"
#include "link/libhiddevice.h"
#include "protocol/instrumentcommands.h"
#include "protocol/instrumentlink.h"

#include <QElapsedTimer>

namespace {
constexpr int kWriteTimeoutMs = 1000;
} // namespace

int LoggerDownload::runLimitMs() const
{
    const int reports =
        (RunExpectedLength + libHidDevice::MaxPayload - 1) / libHidDevice::MaxPayload;
    return reports * CLinkerUSB::ReportWaitMs + m_silenceLimitMs;
}

LoggerDownload::Outcome LoggerDownload::downloadRun(int run, Run *out)
{
    InstrumentLink *link = m_commands->link();
    *out = Run();
    QByteArray request = LoggerRun::runRequest(run);
    link->drain();
    if (link->sendFrame(request, kWriteTimeoutMs) < 8)
        return link->deviceGone() ? Outcome::LinkLost : Outcome::SendFailed;
    if (onRequestSent)
        onRequestSent();

    // Collection passes until the end packet has been seen. Each pass gathers
    // whatever the instrument sends without a pause of 50 ms, and ends as
    // soon as the end packet is whole: nothing more is to come for the run.
    QElapsedTimer silence;
    silence.start();
    QElapsedTimer overall;
    overall.start();
    const int limit = runLimitMs();
    for (;;) {
        const int before = out->frames.size();
        const int r = link->collect(out->frames, LoggerRun::answerComplete);
        if (out->frames.size() > before) {
            const bool whole = LoggerRun::endPacketSeen(out->frames);
            if (onBytes)
                onBytes(out->frames.size() - before, whole);
            silence.restart();
            if (whole)
                break;
        }
        // A failed read: the instrument has gone, and the rest of the run
        // will never come.
        if (r < 0 || !link->isOpen()) {
            out->frames.clear();
            return Outcome::LinkLost;
        }
        if (stopRequested && stopRequested()) {
            out->frames.clear();
            return Outcome::Cancelled;
        }
        if (silence.elapsed() >= m_silenceLimitMs || overall.elapsed() >= limit) {
            out->frames.clear();
            return Outcome::Silent;
        }
    }

    out->payload = LoggerRun::extractPayload(out->frames);
    int b0 = 0, b1 = 0, b2 = 0, b3 = 0;
    const int r = m_commands->readBlock80(b0, b1, b2, b3);
    if (r == InstrumentCommands::Gone) {
        *out = Run();
        return Outcome::LinkLost;
    }
    if (r < 0 && r != -4) {
        out->payload.clear();
        return Outcome::StepUnreadable;
    }
    out->step = LoggerRun::stepSeconds(r, b0, b2);
    return Outcome::Complete;
}
