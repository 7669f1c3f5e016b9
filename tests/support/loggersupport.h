#pragma once

// Helpers for the tests that drive the Logger page of the main window against
// the simulated Logger.

#include "sim/siminstrument.h"
#include "sim/simprofile.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QTimer>
#include <QVector>

#include <functional>
#include <initializer_list>
#include <memory>

class FirstPageForLogger;

namespace LoggerSupport {

FirstPageForLogger *page();
template <class T>
T *child(const char *name);

// Calls a slot of the page by name (private slots included).
void invoke(const char *slot);
void invoke(const char *slot, int row);

int rows();
QString cell(int row, int column);
QStringList rowTexts(int row);

QByteArray floatBytes(std::initializer_list<float> values);
SimLoggerRun run(const QDateTime &start, const QVector<float> &samples);
SimLoggerRun rawRun(const QByteArray &payload);
// The built-in Logger without runs and faults, settings off / 10 min / 10 s.
SimProfile loggerProfile(const QList<SimLoggerRun> &runs = {});

// Request frames the instrument has understood with the given command byte.
QList<QByteArray> requestsWith(const std::shared_ptr<SimInstrument> &sim, int command);

// Runs `tick` every few milliseconds; timers run while a download lets its
// progress dialog paint, so tick sees the page in the middle of a download.
class Ticker : public QObject
{
public:
    explicit Ticker(std::function<void()> tick, int intervalMs = 2);
    QTimer timer;
};

// Answers run requests with scripted byte streams instead of the
// instrument's own: the instrument swallows every run request, and when the
// k-th one has arrived the pieces of answer k are queued, piece i gapMs * i
// after the request (a gap above 50 ms makes each piece its own collection
// pass).
class RunAnswerScript : public QObject
{
public:
    RunAnswerScript(std::shared_ptr<SimInstrument> sim, QList<QList<QByteArray>> answers,
                    int gapMs = 0);
    std::shared_ptr<SimInstrument> sim;
    QList<QList<QByteArray>> answers;
    int gapMs;
    int served = 0;
    QTimer timer;
};

// Watches the progress dialogs that open with the given parent: how they are
// shown and every value their bar takes.
class ProgressWatcher : public QObject
{
public:
    explicit ProgressWatcher(QWidget *parent);
    ~ProgressWatcher() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

    QWidget *parent;
    int dialogs = 0;
    Qt::WindowModality modality = Qt::NonModal;
    QString label;
    int maximum = 0;
    QList<int> values;
};

// A packet of a run answer: AB 42 address n data trailer.
QByteArray runPacket(const QByteArray &data, quint32 address = 0x180);
QByteArray runEndPacket(quint32 address = 0x180);

// The cells of every worksheet of an .xls file, read with FreeXL (numbers as
// they print with %g); empty when the file cannot be read.
QList<QList<QStringList>> readWorkbook(const QString &path);

} // namespace LoggerSupport

#include "logger/firstpageforlogger.h"

template <class T>
T *LoggerSupport::child(const char *name)
{
    return page()->findChild<T *>(QString::fromLatin1(name));
}
