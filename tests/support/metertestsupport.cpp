#include "metertestsupport.h"

#include "app/mainwindow.h"
#include "download/mythread.h"
#include "meter/firstpageformeter.h"
#include "protocol/frame.h"
#include "sim/siminstrument.h"
#include "simsetup.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QDir>
#include <QRadioButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

namespace MeterTest {

void startWindow(const SimProfile &profile)
{
    static QTemporaryDir emptyDir;
    QDir::setCurrent(emptyDir.path());
    SimSetup::install(profile);
    SimSetup::startWindow();
}

SimMeterRecord record(float rt, float max, float min, float avg, float energy, float duration)
{
    SimMeterRecord r;
    r.realTime = rt;
    r.maximum = max;
    r.minimum = min;
    r.average = avg;
    r.energy = energy;
    r.duration = duration;
    return r;
}

SimMeterRecord workedRecord()
{
    return record(12.625f, 20.f, 5.375f, 11.f, 137.f, 10.5f);
}

SimProfile meterProfile(quint32 typeCode, int unit, const QList<SimMeterRecord> &records)
{
    SimProfile p = SimProfile::meter();
    p.typeCode = typeCode;
    p.block60[3] = quint8(unit);
    p.records = records;
    return p;
}

std::shared_ptr<SimInstrument> replug(const SimProfile &profile)
{
    std::shared_ptr<SimInstrument> sim = SimSetup::replug(profile);
    QCoreApplication::processEvents();
    return sim;
}

FirstPageForMeter *page()
{
    return MainWindow::instance()->meterPage();
}

QRadioButton *radio(const char *objectName)
{
    return page()->findChild<QRadioButton *>(QLatin1String(objectName));
}

QAbstractButton *button(const char *objectName)
{
    return page()->findChild<QAbstractButton *>(QLatin1String(objectName));
}

QTableWidget *table()
{
    return page()->table();
}

QStringList row(int r)
{
    QStringList texts;
    for (int c = 0; c < 7; ++c) {
        const QTableWidgetItem *item = table()->item(r, c);
        texts << (item ? item->text() : QStringLiteral("<none>"));
    }
    return texts;
}

QStringList headers()
{
    QStringList texts;
    for (int c = 0; c < 7; ++c)
        texts << table()->horizontalHeaderItem(c)->text();
    return texts;
}

QStringList checkedButtons()
{
    QStringList names;
    for (const char *first : {"OffBtn", "OffRadioBtn", "uwcmBtn", "EnergyDisNoBtn"}) {
        QAbstractButton *checked = radio(first)->group()->checkedButton();
        names << (checked ? checked->objectName() : QString());
    }
    return names;
}

void uncheckGroup(const char *objectName)
{
    QButtonGroup *group = radio(objectName)->group();
    group->setExclusive(false);
    for (QAbstractButton *b : group->buttons())
        b->setChecked(false);
    group->setExclusive(true);
}

bool workerLockFree()
{
    MyThread *worker = page()->worker();
    // The worker itself holds the lock for each of its passes (about 80 ms).
    if (!worker)
        return false;
    worker->askForLock(); // as the page does: wakes the worker's listening pass
    const bool taken = worker->lock.tryLock(1000);
    --worker->waitingForLock;
    if (!taken)
        return false;
    MyThread::noteLocked(&worker->lock);
    MyThread::noteUnlocking(&worker->lock);
    worker->lock.unlock();
    return true;
}

QByteArrayList requests(const std::shared_ptr<SimInstrument> &sim, int command)
{
    QByteArrayList out;
    for (const QByteArray &frame : sim->requests()) {
        if (Frame::byteAt(frame, 1) == command)
            out << frame;
    }
    return out;
}

bool waitUntilIdle(int timeoutMs)
{
    return QTest::qWaitFor([] { return !page()->session()->isDownloading; }, timeoutMs);
}

QString MarkingTranslator::translate(const char *context, const char *sourceText, const char *,
                                     int) const
{
    const QByteArray ctx(context);
    // The page's texts, with those of the parts it is made of.
    static const QList<QByteArray> contexts = {"FirstPageForMeter",  "MeterDeviceInfo",
                                               "MeterRecordTable",   "MeterSettingsPanel",
                                               "ReportPageForMeter", "TableOpWidget"};
    if (!contexts.contains(ctx))
        return QString();
    return mark(QString::fromUtf8(sourceText));
}

} // namespace MeterTest
