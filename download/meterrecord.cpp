#include "download/meterrecord.h"

#include "protocol/frame.h"

#include <iterator>

namespace MeterRecord {

namespace {

// Smooth usable; units μW/cm², mW/cm², W/cm², W/m² usable; their decimals.
const ControlProfile kProfiles[] = {
    {1, false, {true, true, false, true}, {1, 4, -1, 3}},
    {2, true, {false, true, true, true}, {-1, 0, 3, 0}},
    {3, true, {false, true, false, true}, {-1, 1, -1, 0}},
};

struct ModelProfile
{
    const char *model;
    int profile;
};

const ModelProfile kModelProfiles[] = {
    {"QX101", 2}, {"QX102", 1}, {"QX103", 2}, {"QX104", 2}, {"QX105", 1},
    {"QX106", 2}, {"QX107", 2}, {"QX108", 1}, {"QX109", 1}, {"QX110", 1},
    {"QX111", 1}, {"QX112", 3}, {"QX113", 2}, {"QX114", 2}, {"QX115", 1},
    {"QX116", 1}, {"QX117", 2}, {"QX118", 1}, {"QX119", 1},
};

constexpr quint8 kRecordCommand = 0x42;
constexpr quint8 kNoticeCommand = 0x22;
constexpr quint8 kNoticeSelector = 0x0D;
constexpr int kNoticeStateOffset = 6;
constexpr quint16 kRecordRequestLength = 0x0040;

QString valueText(float value, int decimalCount)
{
    return decimalCount < 0 ? QString() : QString::number(double(value), 'f', decimalCount);
}

} // namespace

const ControlProfile *profileForModel(const QString &modelName)
{
    for (const ModelProfile &m : kModelProfiles) {
        if (modelName == QLatin1String(m.model))
            return &kProfiles[m.profile - 1];
    }
    return nullptr;
}

int profileNumber(const QString &modelName)
{
    const ControlProfile *p = profileForModel(modelName);
    return p ? p->number : 0;
}

int decimals(const ControlProfile *profile, int unit)
{
    if (!profile || unit < 0 || unit >= kUnitCount)
        return -1;
    return profile->decimals[unit];
}

bool decodeAnswer(const QByteArray &answer, Record *out)
{
    Record r;
    const bool ok =
        Frame::floatAt(answer, 8, &r.powerRt) && Frame::floatAt(answer, 12, &r.powerMax) &&
        Frame::floatAt(answer, 16, &r.powerMin) && Frame::floatAt(answer, 20, &r.powerAvg) &&
        Frame::floatAt(answer, 24, &r.energy) && Frame::floatAt(answer, 28, &r.duration);
    if (ok)
        *out = r;
    return ok;
}

QStringList rowTexts(int number, const Record &record, int decimalCount)
{
    return {QString::number(number),
            valueText(record.energy, decimalCount),
            QString::number(double(record.duration), 'f', 1),
            valueText(record.powerRt, decimalCount),
            valueText(record.powerMax, decimalCount),
            valueText(record.powerMin, decimalCount),
            valueText(record.powerAvg, decimalCount)};
}

QByteArray recordRequest(int k)
{
    const quint32 address = kFirstAddress + quint32(kRecordLength) * quint32(k);
    return Frame::longRequest(kRecordCommand, address, kRecordRequestLength);
}

Split splitAnswers(const QByteArray &buffer)
{
    Split split;
    int pos = 0;
    const int size = buffer.size();
    while (pos < size) {
        if (Frame::byteAt(buffer, pos) == Frame::StartByte &&
            Frame::byteAt(buffer, pos + 1) == kRecordCommand) {
            if (pos + kAnswerLength <= size) {
                split.answers.append(buffer.mid(pos, kAnswerLength));
                pos += kAnswerLength;
                continue;
            }
            split.partialTail = true;
        }
        ++pos;
    }
    return split;
}

ProbeNotice findProbeNotice(const QByteArray &buffer)
{
    for (int pos = 0; pos < buffer.size(); ++pos) {
        if (Frame::byteAt(buffer, pos) != Frame::StartByte ||
            Frame::byteAt(buffer, pos + 1) != kNoticeCommand ||
            Frame::byteAt(buffer, pos + 2) != kNoticeSelector)
            continue;
        const int state = Frame::byteAt(buffer, pos + kNoticeStateOffset);
        if (state == 1)
            return ProbeNotice::Plugged;
        if (state == 0)
            return ProbeNotice::Pulled;
    }
    return ProbeNotice::None;
}

QString powerUnitFragment(int unit)
{
    switch (unit) {
    case MicroWattPerCm2:
        return QString::fromUtf8("μW/cm<sup>2</sup>");
    case MilliWattPerCm2:
        return QStringLiteral("mW/cm<sup>2</sup>");
    case WattPerCm2:
        return QStringLiteral("W/cm<sup>2</sup>");
    case WattPerM2:
        return QStringLiteral("W/m<sup>2</sup>");
    default:
        return QString();
    }
}

QString energyUnitFragment(int unit)
{
    switch (unit) {
    case MicroWattPerCm2:
        return QString::fromUtf8("μJ/cm<sup>2</sup>");
    case MilliWattPerCm2:
        return QStringLiteral("mJ/cm<sup>2</sup>");
    case WattPerCm2:
        return QStringLiteral("J/cm<sup>2</sup>");
    case WattPerM2:
        return QStringLiteral("J/m<sup>2</sup>");
    default:
        return QString();
    }
}

} // namespace MeterRecord
