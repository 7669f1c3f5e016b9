#pragma once

#include "sim/simprofile.h"

#include <QAbstractButton>
#include <QByteArrayList>
#include <QStringList>
#include <QTranslator>

#include <memory>

class FirstPageForMeter;
class QRadioButton;
class QTableWidget;
class SimInstrument;

// Helpers for the tests that drive the real Meter page against the simulator.
namespace MeterTest {

// Type codes of Meter instruments, one per control profile.
constexpr quint32 kProfile1Code = 24430108; // QX102
constexpr quint32 kProfile2Code = 6120024;  // QX113
constexpr quint32 kProfile3Code = 6120068;  // QX112
constexpr quint32 kUnlistedCode = 12345;

// Starts the main window on a simulated Meter with no translation found (the
// test's working directory is moved to an empty temporary one first), so
// that the page shows its English source texts. Call from initTestCase.
void startWindow(const SimProfile &profile);

// A Meter of the given type code and unit (block 0x60 byte 3) with records.
SimProfile meterProfile(quint32 typeCode, int unit, const QList<SimMeterRecord> &records);
SimMeterRecord record(float rt, float max, float min, float avg, float energy, float duration);
// The worked record (12.625, 20, 5.375, 11, energy 137, 10.5 s).
SimMeterRecord workedRecord();

// Replugs the instrument: CloseUSB, new instrument, OpenUSB and recognition.
std::shared_ptr<SimInstrument> replug(const SimProfile &profile);

FirstPageForMeter *page();
QRadioButton *radio(const char *objectName);
QAbstractButton *button(const char *objectName);
QTableWidget *table();
QStringList row(int r);
QStringList headers();
// Object names of the checked buttons of the four groups, in group order
// (Auto Off, Smooth, Unit, Energy Display); "" for a group without one.
QStringList checkedButtons();
// Unchecks every button of the group of the given button.
void uncheckGroup(const char *objectName);

// True when nobody holds the worker's lock (a worker must be running).
bool workerLockFree();
// Request frames the instrument received with the given command byte.
QByteArrayList requests(const std::shared_ptr<SimInstrument> &sim, int command);

// Runs events until the download has ended (or the time has passed).
bool waitUntilIdle(int timeoutMs);

// A translation that marks every text of the contexts it knows, so that a
// test sees which texts went through the translation.
class MarkingTranslator : public QTranslator
{
public:
    QString translate(const char *context, const char *sourceText, const char *disambiguation,
                      int n) const override;
    static QString mark(const QString &text)
    {
        return QStringLiteral("<") + text + QStringLiteral(">");
    }
};

} // namespace MeterTest
