#include "protocol/instrumentcommands.h"

#include "protocol/frame.h"
#include "protocol/instrumentlink.h"

#include <QElapsedTimer>
#include <QThread>

namespace {

constexpr int kWriteTimeoutMs = 1000;

int toByte(int value) { return value & 0xFF; }

} // namespace

int InstrumentCommands::exchange(const Frame::Command &command, const QByteArray &data,
                                 QByteArray &answer)
{
    QByteArray request = command.request + data;
    const int requestLength = request.size();
    // Bytes still there from an earlier answer would be taken for this one.
    m_link->drain();
    if (m_link->sendFrame(request, kWriteTimeoutMs) < requestLength)
        return m_link->deviceGone() ? Gone : -1;
    answer.clear();
    const int r = m_link->receiveFrame(
        answer, command.timeoutMs, command.answerLength, true,
        [&command](const QByteArray &b) { return Frame::answerComplete(command, b); });
    const int judged = Frame::judgeAnswer(command, r, answer);
    if (judged == -2 && m_link->deviceGone())
        return Gone;
    return judged;
}

int InstrumentCommands::readKeyInfo(KeyInfo &info)
{
    QByteArray answer;
    const int r = exchange(Frame::Commands::keyInfo(), QByteArray(), answer);
    if (r < 0)
        return r;
    Identity::decodeKeyInfo(answer, &info);
    return 1;
}

int InstrumentCommands::readProductionInfo(ProductionInfo &info)
{
    QByteArray answer;
    const int r = exchange(Frame::Commands::productionInfo(), QByteArray(), answer);
    if (r < 0)
        return r;
    Identity::decodeProductionInfo(answer, &info);
    return 1;
}

int InstrumentCommands::readCalibrationDate(QDate &date)
{
    QByteArray answer;
    const int r = exchange(Frame::Commands::calibrationDate(), QByteArray(), answer);
    if (r < 0)
        return r;
    Identity::decodeCalibrationDate(answer, &date);
    return 1;
}

int InstrumentCommands::readSoftwareVersion(quint16 &version)
{
    QByteArray answer;
    const int r = exchange(Frame::Commands::softwareVersion(), QByteArray(), answer);
    if (r < 0)
        return r;
    Identity::decodeSoftwareVersion(answer, &version);
    return 1;
}

int InstrumentCommands::readBlock(const Frame::Command &command, int &b0, int &b1, int &b2,
                                  int &b3)
{
    QByteArray answer;
    const int r = exchange(command, QByteArray(), answer);
    if (r < 0)
        return r;
    b0 = quint8(answer.at(8));
    b1 = quint8(answer.at(9));
    b2 = quint8(answer.at(10));
    b3 = quint8(answer.at(11));
    return 1;
}

int InstrumentCommands::writeBlock(const Frame::Command &command, int b0, int b1, int b2, int b3)
{
    QByteArray data;
    data.append(char(toByte(b0)));
    data.append(char(toByte(b1)));
    data.append(char(toByte(b2)));
    data.append(char(toByte(b3)));
    QByteArray answer;
    return exchange(command, Frame::block(data), answer);
}

int InstrumentCommands::readBlock60(int &b0, int &b1, int &b2, int &b3)
{
    return readBlock(Frame::Commands::readBlock60(), b0, b1, b2, b3);
}

int InstrumentCommands::writeBlock60(int b0, int b1, int b2, int b3)
{
    return writeBlock(Frame::Commands::writeBlock60(), b0, b1, b2, b3);
}

int InstrumentCommands::readBlock80(int &b0, int &b1, int &b2, int &b3)
{
    return readBlock(Frame::Commands::readBlock80(), b0, b1, b2, b3);
}

int InstrumentCommands::writeBlock80(int b0, int b1, int b2, int b3)
{
    return writeBlock(Frame::Commands::writeBlock80(), b0, b1, b2, b3);
}

int InstrumentCommands::readPowerGroupCount(int &count)
{
    QByteArray answer;
    const int r = exchange(Frame::Commands::powerGroupCount(), QByteArray(), answer);
    if (r < 0)
        return r;
    count = quint8(answer.at(8));
    return 1;
}

int InstrumentCommands::readClock(QDateTime &when)
{
    QByteArray answer;
    const int r = exchange(Frame::Commands::readClock(), QByteArray(), answer);
    if (r < 0)
        return r;
    Identity::decodeClock(answer, 6, &when);
    return 1;
}

int InstrumentCommands::writeClock(const QDateTime &when)
{
    QByteArray answer;
    return exchange(Frame::Commands::writeClock(), Identity::encodeClock(when), answer);
}

void InstrumentCommands::delay(int ms)
{
    // Sleeps in short steps rather than spinning: the Meter worker waits here
    // 30 ms of every pass for as long as an instrument is connected.
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() <= ms)
        QThread::usleep(500);
}
