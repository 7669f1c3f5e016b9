#include "sim/siminstrument.h"

#include "measurement/instrumentclock.h"
#include "protocol/crc16.h"
#include "protocol/frame.h"
#include "protocol/identity.h"

#include <QFile>
#include <QtGlobal>

#include <algorithm>
#include <cstring>
#include <thread>

#include <sys/prctl.h>

namespace {

constexpr quint8 kStart = 0xAB;
constexpr int kMaxRequestData = 4096;
constexpr int kRunPacketData = 64;
constexpr quint32 kRecordBase = 0xF0;
constexpr quint32 kRecordStride = 24;
constexpr quint32 kRunBase = 0x180;
constexpr quint32 kRunStride = 0x980;
constexpr auto kUsbFrame = std::chrono::microseconds(1000);

// A device's report or the end of a frame wakes the host by an interrupt, to
// the microsecond; the simulator's timed waits instead end up to the
// thread's timer slack (50 µs by default) late. While a frame-keeping
// instrument waits on a deadline the slack is 1 µs, then what it was.
// Even then a wake-up comes tens of µs late on a busy or virtual machine,
// two per exchange, which would count the simulator's lateness against the
// host: a frame-keeping wait sleeps to kSpinMargin before its deadline and
// watches the clock for the rest.
constexpr auto kSpinMargin = std::chrono::microseconds(200);

void spinUntil(std::chrono::steady_clock::time_point until)
{
    while (std::chrono::steady_clock::now() < until) {
    }
}

class PreciseWait
{
public:
    explicit PreciseWait(bool on) : on_(on)
    {
        if (on_) {
            previous_ = prctl(PR_GET_TIMERSLACK, 0, 0, 0, 0);
            prctl(PR_SET_TIMERSLACK, 1000UL, 0, 0, 0);
        }
    }
    ~PreciseWait()
    {
        if (on_ && previous_ > 0)
            prctl(PR_SET_TIMERSLACK, static_cast<unsigned long>(previous_), 0, 0, 0);
    }
    PreciseWait(const PreciseWait &) = delete;
    PreciseWait &operator=(const PreciseWait &) = delete;

private:
    bool on_;
    int previous_ = 0;
};

bool isLongHeader(int command)
{
    return command == 0x41 || command == 0x42 || command == 0x47 || command == 0x71 ||
           command == 0x77;
}

bool isShortHeader(int command)
{
    return command == 0x20 || command == 0x21;
}

QByteArray withTrailer(QByteArray frame)
{
    Frame::appendTrailer(frame);
    return frame;
}

void appendLe32(QByteArray &b, quint32 v)
{
    for (int i = 0; i < 4; ++i)
        b.append(char((v >> (8 * i)) & 0xFF));
}

QByteArray dateBytes(const QDate &date)
{
    QByteArray b;
    appendLe16(b, quint16(date.isValid() ? date.year() : 0));
    b.append(char(date.isValid() ? date.month() : 0));
    b.append(char(date.isValid() ? date.day() : 0));
    return b;
}

// A long-header answer carrying a block: header, data + its crc16, trailer.
QByteArray blockAnswer(quint8 command, quint32 address, const QByteArray &data)
{
    return withTrailer(
        Frame::longRequest(command, address, quint16(data.size() + 2), Frame::block(data)));
}

// Error answers, 8 bytes: AB A0 04 00 00 00 refuses the key information
// read, AB C7 08 00 00 00 any long-header command; trailer after. Shorter
// than every answer they stand for (a write's answer is 10 bytes), so the
// program sees them as an incomplete answer and then by their pattern.
QByteArray refusal(int command)
{
    if (isShortHeader(command))
        return withTrailer(Frame::shortRequest(0xA0, 0x0004, 0));
    return withTrailer(Frame::shortRequest(0xC7, 0x0008, 0));
}

// The PC's wall clock as a zone-less reading, which the instrument's clock
// runs beside.
QDateTime pcReading()
{
    return InstrumentClock::reading(QDateTime::currentDateTime());
}

} // namespace

SimInstrument::SimInstrument(const SimProfile &profile) : profile_(profile)
{
    if (profile_.clock.isValid())
        clockOffsetSecs_ = pcReading().secsTo(profile_.clock);
    if (qEnvironmentVariableIntValue("VANTREL_SIM_USB_FRAMES") == 1)
        profile_.usbFrames = true;
    if (profile_.usbFrames)
        profile_.reportIntervalUs = std::max(profile_.reportIntervalUs, int(kUsbFrame.count()));
    const int n = std::max(1, profile_.interfaces);
    for (int i = 0; i < n; ++i) {
        openCount_.append(0);
        exclusiveOpen_.append(false);
    }
}

SimInstrument::~SimInstrument()
{
    const QString tally = qEnvironmentVariable("VANTREL_SIM_TALLY");
    if (tally.isEmpty())
        return;
    QFile file(tally);
    if (file.open(QIODevice::WriteOnly | QIODevice::Append))
        file.write(QStringLiteral("written %1 read %2\n")
                       .arg(written_.size())
                       .arg(reportsRead_)
                       .toLatin1());
}

SimProfile SimInstrument::state() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    SimProfile p = profile_;
    p.clock = clockLocked();
    return p;
}

QByteArray SimInstrument::block60() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return QByteArray(reinterpret_cast<const char *>(profile_.block60), 4);
}

QByteArray SimInstrument::block80() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return QByteArray(reinterpret_cast<const char *>(profile_.block80), 4);
}

QDateTime SimInstrument::clock() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return clockLocked();
}

QDateTime SimInstrument::clockLocked() const
{
    return pcReading().addSecs(clockOffsetSecs_);
}

bool SimInstrument::isPlugged() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return plugged_;
}

void SimInstrument::setPlugListener(std::function<void(bool)> listener)
{
    std::lock_guard<std::mutex> lock(mutex_);
    plugListener_ = std::move(listener);
}

void SimInstrument::notifyPlug(bool plugged)
{
    std::function<void(bool)> listener;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        listener = plugListener_;
    }
    if (listener)
        listener(plugged);
}

void SimInstrument::unplug()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!plugged_)
            return;
        plugged_ = false;
        reports_.clear();
        lastReportAt_ = {}; // answers after a replug are not paced behind the dropped ones
        requestStream_.clear();
        heldAnswer_.clear();
        held_.clear();
        for (int i = 0; i < openCount_.size(); ++i) {
            openCount_[i] = 0;
            exclusiveOpen_[i] = false;
        }
    }
    arrived_.notify_all();
    notifyPlug(false);
}

void SimInstrument::plug()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (plugged_)
            return;
        plugged_ = true;
        ++generation_;
    }
    notifyPlug(true);
}

// An unplug fault takes effect once the reader has taken every report before
// it. True when it did, so that the caller tells the listener once the lock
// is released.
bool SimInstrument::expireLocked(Clock::time_point now)
{
    if (!plugged_ || reports_.empty() || !reports_.front().unplug || now < reports_.front().at)
        return false;
    plugged_ = false;
    reports_.clear();
    lastReportAt_ = {};
    requestStream_.clear();
    heldAnswer_.clear();
    for (int i = 0; i < openCount_.size(); ++i) {
        openCount_[i] = 0;
        exclusiveOpen_[i] = false;
    }
    arrived_.notify_all();
    return true;
}

void SimInstrument::setProbeConnected(bool connected)
{
    std::lock_guard<std::mutex> lock(mutex_);
    profile_.probeConnected = connected;
    if (!plugged_)
        return;
    // Probe notice: AB 22 0D, byte 6 = 1 plugged in / 0 pulled out.
    QByteArray notice = Frame::shortRequest(0x22, 0x000D, 1);
    notice.append(char(connected ? 1 : 0));
    enqueueLocked(withTrailer(notice), 0);
}

void SimInstrument::addFault(const SimFault &fault)
{
    std::lock_guard<std::mutex> lock(mutex_);
    profile_.faults.append(fault);
}

void SimInstrument::clearFaults()
{
    std::lock_guard<std::mutex> lock(mutex_);
    profile_.faults.clear();
}

void SimInstrument::setReportIntervalUs(int us)
{
    std::lock_guard<std::mutex> lock(mutex_);
    profile_.reportIntervalUs = std::max(0, us);
}

void SimInstrument::setRecords(const QList<SimMeterRecord> &records)
{
    std::lock_guard<std::mutex> lock(mutex_);
    profile_.records = records;
}

void SimInstrument::setRuns(const QList<SimLoggerRun> &runs)
{
    std::lock_guard<std::mutex> lock(mutex_);
    profile_.runs = runs;
}

void SimInstrument::queueInputReport(const QByteArray &report, int delayMs)
{
    std::lock_guard<std::mutex> lock(mutex_);
    enqueueReportLocked(report, delayMs);
    arrived_.notify_all();
}

void SimInstrument::queueStream(const QByteArray &bytes, int delayMs)
{
    std::lock_guard<std::mutex> lock(mutex_);
    enqueueLocked(bytes, delayMs);
}

int SimInstrument::heldAnswers() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return held_.size();
}

void SimInstrument::releaseHeld()
{
    std::lock_guard<std::mutex> lock(mutex_);
    for (const QByteArray &answer : held_)
        enqueueLocked(answer, 0);
    held_.clear();
}

int SimInstrument::pendingReports() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return int(reports_.size());
}

void SimInstrument::setRequestObserver(std::function<void(const QByteArray &)> observer)
{
    std::lock_guard<std::mutex> lock(mutex_);
    requestObserver_ = std::move(observer);
}

QList<QByteArray> SimInstrument::writtenReports() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return written_;
}

QList<QByteArray> SimInstrument::requests() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return requests_;
}

void SimInstrument::clearLogs()
{
    std::lock_guard<std::mutex> lock(mutex_);
    written_.clear();
    requests_.clear();
    reportsRead_ = 0;
}

int SimInstrument::reportsRead() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return reportsRead_;
}

bool SimInstrument::usbFrames() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return profile_.usbFrames;
}

void SimInstrument::wakeReader(std::atomic<bool> *wake)
{
    if (!wake)
        return;
    {
        // Set under the lock: a reader between its check and its wait cannot miss it.
        std::lock_guard<std::mutex> lock(mutex_);
        wake->store(true);
    }
    arrived_.notify_all();
}

int SimInstrument::generation() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return generation_;
}

bool SimInstrument::alive(int generation)
{
    bool expired = false;
    bool result = false;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        expired = expireLocked(Clock::now());
        result = plugged_ && generation == generation_;
    }
    if (expired)
        notifyPlug(false);
    return result;
}

int SimInstrument::reportLength() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return profile_.reportLength;
}

int SimInstrument::interfaces() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return openCount_.size();
}

QString SimInstrument::usbSerial() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return profile_.usbSerial;
}

bool SimInstrument::acquire(int interfaceIndex, bool exclusive)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (interfaceIndex < 0 || interfaceIndex >= openCount_.size())
        return false;
    if (exclusiveOpen_[interfaceIndex] || (exclusive && openCount_[interfaceIndex] > 0))
        return false;
    ++openCount_[interfaceIndex];
    exclusiveOpen_[interfaceIndex] = exclusive;
    return true;
}

void SimInstrument::release(int interfaceIndex, bool exclusive)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (interfaceIndex < 0 || interfaceIndex >= openCount_.size())
        return;
    if (openCount_[interfaceIndex] > 0)
        --openCount_[interfaceIndex];
    if (exclusive)
        exclusiveOpen_[interfaceIndex] = false;
}

int SimInstrument::readReport(int generation, unsigned char *buffer, int length, int timeoutMs,
                              std::atomic<bool> *wake)
{
    // Counted outside the lock: readers overlap here only if they overlap in the caller.
    const int readers = ++readers_;
    int peak = readersPeak_.load();
    while (readers > peak && !readersPeak_.compare_exchange_weak(peak, readers)) {
    }
    struct Leave
    {
        std::atomic<int> &count;
        ~Leave() { --count; }
    } leave{readers_};
    bool expired = false;
    int result = 0;
    {
        std::unique_lock<std::mutex> lock(mutex_);
        const Clock::time_point deadline =
            Clock::now() + std::chrono::milliseconds(std::max(0, timeoutMs));
        for (;;) {
            const Clock::time_point now = Clock::now();
            expired = expireLocked(now) || expired;
            if (!plugged_ || generation != generation_) {
                result = -1;
                break;
            }
            if (!reports_.empty() && reports_.front().at <= now) {
                const QByteArray report = reports_.front().bytes;
                reports_.pop_front();
                result = std::min(length, report.size());
                std::memcpy(buffer, report.constData(), size_t(result));
                ++reportsRead_;
                break;
            }
            if (wake && wake->exchange(false)) {
                result = 0;
                break;
            }
            if (now >= deadline) {
                result = 0;
                break;
            }
            Clock::time_point until = deadline;
            if (!reports_.empty())
                until = std::min(until, reports_.front().at);
            const bool frameWait = profile_.usbFrames && until != deadline;
            if (frameWait && until - now <= kSpinMargin) {
                lock.unlock();
                spinUntil(until);
                lock.lock();
                continue;
            }
            PreciseWait precise(frameWait);
            arrived_.wait_until(lock, frameWait ? until - kSpinMargin : until);
        }
    }
    if (expired)
        notifyPlug(false);
    return result;
}

int SimInstrument::writeReport(int generation, const unsigned char *buffer, int length,
                               int timeoutMs)
{
    Q_UNUSED(timeoutMs)
    bool expired = false;
    int result = length;
    QList<QByteArray> understood;
    std::function<void(const QByteArray &)> observer;
    Clock::time_point frameEnd{};
    {
        // The report takes the next free frame; the instrument has it at the
        // frame's end. Waited for on the deadline, outside the lock.
        std::lock_guard<std::mutex> lock(mutex_);
        if (profile_.usbFrames) {
            frameEnd = std::max(Clock::now(), lastRequestEnd_) + kUsbFrame;
            lastRequestEnd_ = frameEnd;
        }
    }
    if (frameEnd != Clock::time_point{}) {
        PreciseWait precise(true);
        std::this_thread::sleep_until(frameEnd - kSpinMargin);
        spinUntil(frameEnd);
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        expired = expireLocked(Clock::now());
        if (!plugged_ || generation != generation_) {
            result = -1;
        } else if (length < 2 || buffer[0] != 0x3F) {
            // Not a protocol report: taken and ignored.
            written_.append(QByteArray(reinterpret_cast<const char *>(buffer), length));
        } else {
            const QByteArray report(reinterpret_cast<const char *>(buffer), length);
            const int k = std::min<int>(buffer[1], length - 2);
            const QByteArray payload = report.mid(2, k);
            SimFault fault;
            // A request that starts in this report may be set to time out.
            if (payload.size() >= 2 && quint8(payload.at(0)) == kStart) {
                qint64 address = -1;
                quint16 sel = 0;
                quint32 addr = 0;
                const int command = quint8(payload.at(1));
                if (isShortHeader(command) && Frame::le16At(payload, 2, &sel))
                    address = sel;
                else if (isLongHeader(command) && Frame::le32At(payload, 2, &addr))
                    address = addr;
                if (takeFaultLocked(command, address, true, &fault))
                    result = 0;
            }
            if (result > 0) {
                written_.append(report);
                requestStream_.append(payload);
                const int before = requests_.size();
                processRequestsLocked();
                if (requestObserver_) {
                    observer = requestObserver_;
                    understood = requests_.mid(before);
                }
            }
        }
    }
    if (expired)
        notifyPlug(false);
    for (const QByteArray &frame : qAsConst(understood))
        observer(frame);
    return result;
}

void SimInstrument::processRequestsLocked()
{
    for (;;) {
        const int start = requestStream_.indexOf(char(kStart));
        if (start < 0) {
            requestStream_.clear();
            return;
        }
        requestStream_.remove(0, start);
        if (requestStream_.size() < 2)
            return;
        const int command = quint8(requestStream_.at(1));
        int length = 0;
        quint16 n = 0;
        if (command == 0x20) {
            length = 8;
        } else if (command == 0x21) {
            if (!Frame::le16At(requestStream_, 4, &n))
                return;
            length = 6 + n + 2;
        } else if (command == 0x41 || command == 0x42 || command == 0x47) {
            length = 10;
        } else if (command == 0x71 || command == 0x77) {
            if (!Frame::le16At(requestStream_, 6, &n))
                return;
            length = 8 + n + 2;
        } else {
            requestStream_.remove(0, 1); // not a request the instrument knows
            continue;
        }
        if (n > kMaxRequestData) {
            requestStream_.remove(0, 1);
            continue;
        }
        if (requestStream_.size() < length)
            return;
        const QByteArray frame = requestStream_.left(length);
        if (!Frame::trailerMatches(frame, length)) {
            requestStream_.remove(0, 1); // damaged: look for the next start byte
            continue;
        }
        requestStream_.remove(0, length);
        handleRequestLocked(frame);
    }
}

bool SimInstrument::takeFaultLocked(int command, qint64 address, bool writeFault, SimFault *fault)
{
    for (int i = 0; i < profile_.faults.size(); ++i) {
        SimFault &f = profile_.faults[i];
        if ((f.kind == SimFault::Kind::WriteTimeout) != writeFault || f.times == 0)
            continue;
        if (f.command >= 0 && f.command != command)
            continue;
        if (f.address >= 0 && f.address != address)
            continue;
        if (f.skip > 0) {
            --f.skip; // this one passes; later ones are counted down to the fault
            continue;
        }
        *fault = f;
        if (f.times > 0 && --f.times == 0)
            profile_.faults.removeAt(i);
        return true;
    }
    return false;
}

void SimInstrument::handleRequestLocked(const QByteArray &frame)
{
    requests_.append(frame);
    const int command = quint8(frame.at(1));
    qint64 address = -1;
    quint16 sel = 0;
    quint32 addr = 0;
    if (isShortHeader(command) && Frame::le16At(frame, 2, &sel))
        address = sel;
    else if (isLongHeader(command) && Frame::le32At(frame, 2, &addr))
        address = addr;

    SimFault fault;
    const bool faulty = takeFaultLocked(command, address, false, &fault);
    const SimFault::Kind kind = faulty ? fault.kind : SimFault::Kind::Delay;
    const bool noEndPacket =
        faulty && (kind == SimFault::Kind::MissingEndPacket || kind == SimFault::Kind::Babble);
    QByteArray answer = respondLocked(frame, !noEndPacket);

    if (faulty) {
        switch (kind) {
        case SimFault::Kind::NoAnswer:
            answer.clear();
            break;
        case SimFault::Kind::Refusal:
            answer = refusal(command);
            break;
        case SimFault::Kind::BadTrailer:
            if (!answer.isEmpty())
                answer[answer.size() - 1] = char(answer.at(answer.size() - 1) ^ 0xFF);
            break;
        case SimFault::Kind::WrongHeader:
            if (answer.size() >= 8) {
                for (int i : {1, 2, 4, 6})
                    if (i < answer.size() - 2)
                        answer[i] = char(answer.at(i) ^ 0xFF);
                answer.chop(2);
                answer = withTrailer(answer);
            }
            break;
        case SimFault::Kind::BadBlockCheck:
            if (isLongHeader(command) && answer.size() >= 12) {
                answer[answer.size() - 3] = char(answer.at(answer.size() - 3) ^ 0xFF);
                // A Meter record has no block check value of its own: the
                // trailer is its check value, and it no longer matches.
                const bool meterRecord =
                    command == 0x42 && profile_.family == SimProfile::Family::Meter;
                if (!meterRecord) {
                    answer.chop(2);
                    answer = withTrailer(answer);
                }
            }
            break;
        case SimFault::Kind::StrayFrame:
            if (!answer.isEmpty() && isLongHeader(command))
                answer.prepend(withTrailer(Frame::longRequest(quint8(command), quint32(fault.value),
                                                              24, QByteArray(24, char(0x5A)))));
            break;
        case SimFault::Kind::WrongAddress:
            if (isLongHeader(command) && answer.size() >= 10 && quint8(answer.at(1)) == command) {
                answer.chop(2);
                for (int i = 0; i < 4; ++i)
                    answer[2 + i] = char((quint32(fault.value) >> (8 * i)) & 0xFF);
                answer = withTrailer(answer);
            }
            break;
        case SimFault::Kind::ShortAnswer:
            if (isLongHeader(command) && answer.size() >= 10 && quint8(answer.at(1)) == command) {
                const int keep = std::clamp(fault.value, 0, int(answer.size()) - 10);
                answer = withTrailer(Frame::longRequest(quint8(command), quint32(address),
                                                        quint16(keep), answer.mid(8, keep)));
            }
            break;
        case SimFault::Kind::Babble:
            for (int i = 0; i < fault.value; ++i)
                answer.append(withTrailer(Frame::longRequest(quint8(command), quint32(address), 64,
                                                             QByteArray(64, char(0x11)))));
            break;
        case SimFault::Kind::StrayBytes:
            if (!answer.isEmpty())
                answer.prepend(QByteArray(std::max(0, fault.value), char(0x5A)));
            break;
        default:
            break;
        }
    }
    if (answer.isEmpty())
        return;

    if (!heldAnswer_.isEmpty()) {
        answer.prepend(heldAnswer_);
        heldAnswer_.clear();
    }
    if (!faulty) {
        enqueueLocked(answer, 0);
        return;
    }
    switch (kind) {
    case SimFault::Kind::Merge:
        heldAnswer_ = answer;
        break;
    case SimFault::Kind::Delay:
        enqueueLocked(answer, fault.delayMs);
        break;
    case SimFault::Kind::Hold:
        held_.append(answer);
        break;
    case SimFault::Kind::Split: {
        const int cut = std::clamp(fault.value, 0, int(answer.size()));
        enqueueLocked(answer.left(cut), 0);
        enqueueLocked(answer.mid(cut), fault.delayMs, true);
        break;
    }
    case SimFault::Kind::ForeignReport: {
        // Looks like an answer but belongs to another report id.
        QByteArray foreign =
            QByteArray::fromHex("0104AB420000").leftJustified(profile_.reportLength, '\0');
        foreign.truncate(std::max(2, profile_.reportLength));
        enqueueReportLocked(foreign, 0);
        enqueueLocked(answer, 0);
        break;
    }
    case SimFault::Kind::Unplug: {
        const int keep = std::clamp(fault.value, 0, int(answer.size()));
        enqueueLocked(answer.left(keep), 0);
        const auto interval = std::chrono::microseconds(profile_.reportIntervalUs);
        const Clock::time_point at =
            std::max(Clock::now() + leadLocked(), lastReportAt_ + interval);
        reports_.push_back({QByteArray(), at, true});
        lastReportAt_ = at;
        arrived_.notify_all();
        break;
    }
    default:
        enqueueLocked(answer, 0);
        break;
    }
}

int SimInstrument::countLocked() const
{
    if (profile_.recordCount >= 0)
        return profile_.recordCount;
    return profile_.family == SimProfile::Family::Logger ? profile_.runs.size()
                                                         : profile_.records.size();
}

QByteArray SimInstrument::runStreamLocked(quint32 address, int run, bool withEndPacket) const
{
    QByteArray stream;
    const QByteArray payload =
        run >= 0 && run < profile_.runs.size() ? profile_.runs.at(run).payload() : QByteArray();
    for (int offset = 0; offset < payload.size(); offset += kRunPacketData) {
        const QByteArray data = payload.mid(offset, kRunPacketData);
        stream.append(withTrailer(Frame::longRequest(0x42, address, quint16(data.size()), data)));
    }
    if (withEndPacket)
        stream.append(withTrailer(Frame::longRequest(0x42, address, 0)));
    return stream;
}

QByteArray SimInstrument::respondLocked(const QByteArray &frame, bool withEndPacket)
{
    const int command = quint8(frame.at(1));
    if (isShortHeader(command)) {
        quint16 selector = 0;
        quint16 length = 0;
        Frame::le16At(frame, 2, &selector);
        Frame::le16At(frame, 4, &length);
        if (command == 0x20 && selector == 0x05) {
            if (!profile_.keyInfoSupported)
                return refusal(command);
            QByteArray data;
            data.append(char(profile_.keyInfoMarker));
            data.append('\0');
            data.append(dateBytes(profile_.productionDate));
            appendLe32(data, profile_.serialNumber);
            appendLe32(data, profile_.typeCode);
            appendLe16(data, quint16(0));
            appendLe16(data, quint16(0));
            return withTrailer(Frame::shortRequest(0x20, 0x05, 0x12, data));
        }
        if (command == 0x20 && selector == 0x1C) {
            QByteArray data;
            appendLe16(data, profile_.firmware);
            return withTrailer(Frame::shortRequest(0x20, 0x1C, 2, data));
        }
        if (command == 0x20 && selector == 0x61)
            return withTrailer(
                Frame::shortRequest(0x20, 0x61, 6, Identity::encodeClock(clockLocked())));
        if (command == 0x21 && selector == 0x21 && length == 6) {
            QDateTime when;
            if (Identity::decodeClock(frame, 6, &when) && when.isValid())
                clockOffsetSecs_ = pcReading().secsTo(when);
            return withTrailer(Frame::shortRequest(0x21, 0x21, 6));
        }
        return QByteArray(); // a selector this instrument does not have: no answer
    }

    if (!profile_.probeConnected)
        return refusal(command);
    quint32 address = 0;
    Frame::le32At(frame, 2, &address);

    auto writeBlock = [&](quint8 *target) -> QByteArray {
        const QByteArray data = frame.mid(8, 4);
        quint16 check = 0;
        if (frame.size() != 16 || !Frame::le16At(frame, 12, &check) || check != crc16(data))
            return refusal(command);
        std::memcpy(target, data.constData(), 4);
        return withTrailer(Frame::longRequest(quint8(command), address, 6));
    };

    switch (command) {
    case 0x47:
        if (address == 0x00) {
            if (profile_.productionInfoErased)
                return withTrailer(Frame::longRequest(0x47, 0, 0x14, QByteArray(20, char(0xFF))));
            QByteArray data;
            data.append(char(1));
            data.append('\0');
            data.append(dateBytes(profile_.productionDate));
            appendLe32(data, profile_.serialNumber);
            appendLe32(data, profile_.typeCode);
            appendLe16(data, quint16(0));
            data.append('\0');
            data.append('\0');
            return blockAnswer(0x47, 0x00, data);
        }
        if (address == 0x24)
            return blockAnswer(0x47, 0x24, dateBytes(profile_.calibrationDate));
        if (address == 0x60)
            return blockAnswer(0x47, 0x60,
                               QByteArray(reinterpret_cast<const char *>(profile_.block60), 4));
        break;
    case 0x41:
        if (address == 0x80)
            return blockAnswer(0x41, 0x80,
                               QByteArray(reinterpret_cast<const char *>(profile_.block80), 4));
        if (address == 0xE0) {
            const int count = countLocked();
            QByteArray data;
            data.append(char(std::min(count, 255)));
            data.append(char((count >> 8) & 0xFF));
            return blockAnswer(0x41, 0xE0, data);
        }
        break;
    case 0x77:
        if (address == 0x60)
            return writeBlock(profile_.block60);
        break;
    case 0x71:
        if (address == 0x80) {
            // New parameters clear the instrument's stored history, Meter
            // records and Logger runs alike (the program warns of it).
            const QByteArray answer = writeBlock(profile_.block80);
            if (answer != refusal(command)) {
                profile_.records.clear();
                profile_.runs.clear();
                profile_.recordCount = -1;
            }
            return answer;
        }
        break;
    case 0x42:
        if (profile_.family == SimProfile::Family::Meter) {
            if (address >= kRecordBase && (address - kRecordBase) % kRecordStride == 0) {
                const quint32 k = (address - kRecordBase) / kRecordStride;
                if (k < quint32(profile_.records.size()))
                    return withTrailer(
                        Frame::longRequest(0x42, address, 24, profile_.records.at(int(k)).bytes()));
            }
        } else if (address >= kRunBase && (address - kRunBase) % kRunStride == 0) {
            const quint32 k = (address - kRunBase) / kRunStride;
            // A run that is not stored answers with the end packet alone.
            return runStreamLocked(address, k < 0x10000 ? int(k) : -1, withEndPacket);
        }
        break;
    default:
        break;
    }
    return refusal(command);
}

// With USB frames a report is the host's at the end of the frame that
// carries it: the earliest is one frame from now.
SimInstrument::Clock::duration SimInstrument::leadLocked() const
{
    return profile_.usbFrames ? Clock::duration(kUsbFrame) : Clock::duration::zero();
}

void SimInstrument::enqueueReportLocked(const QByteArray &report, int delayMs)
{
    const Clock::time_point now = Clock::now();
    const auto interval = std::chrono::microseconds(profile_.reportIntervalUs);
    const Clock::time_point at =
        std::max(now + leadLocked() + std::chrono::milliseconds(std::max(0, delayMs)),
                 lastReportAt_ + interval);
    reports_.push_back({report, at});
    lastReportAt_ = at;
}

void SimInstrument::enqueueLocked(const QByteArray &bytes, int delayMs, bool gapOnly)
{
    const int length = std::max(3, profile_.reportLength);
    const int perReport = std::min(62, length - 2);
    const Clock::time_point now = Clock::now();
    const auto interval = std::chrono::microseconds(profile_.reportIntervalUs);
    const auto delay = std::chrono::milliseconds(std::max(0, delayMs));
    Clock::time_point at;
    if (gapOnly && !reports_.empty())
        at = lastReportAt_ + std::max<Clock::duration>(interval, delay);
    else
        at = std::max(now + leadLocked() + delay, lastReportAt_ + interval);
    for (int offset = 0; offset < bytes.size(); offset += perReport) {
        const QByteArray chunk = bytes.mid(offset, perReport);
        QByteArray report(length, '\0');
        report[0] = char(0x3F);
        report[1] = char(chunk.size());
        std::memcpy(report.data() + 2, chunk.constData(), size_t(chunk.size()));
        if (offset > 0)
            at += interval;
        reports_.push_back({report, at});
        lastReportAt_ = at;
    }
    arrived_.notify_all();
}
