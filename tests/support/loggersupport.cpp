#include "loggersupport.h"

#include "app/mainwindow.h"
#include "frames.h"
#include "protocol/crc16.h"
#include "protocol/frame.h"

#include <QApplication>
#include <QProgressBar>
#include <QProgressDialog>
#include <QTableWidget>

#include <freexl.h>

#include <cstring>

namespace LoggerSupport {

FirstPageForLogger *page() { return MainWindow::instance()->loggerPage(); }

void invoke(const char *slot)
{
    QMetaObject::invokeMethod(page(), slot, Qt::DirectConnection);
}

void invoke(const char *slot, int row)
{
    QMetaObject::invokeMethod(page(), slot, Qt::DirectConnection, Q_ARG(int, row));
}

int rows() { return child<QTableWidget>("tbData")->rowCount(); }

QString cell(int row, int column)
{
    const QTableWidgetItem *item = child<QTableWidget>("tbData")->item(row, column);
    return item ? item->text() : QStringLiteral("<no item>");
}

QStringList rowTexts(int row)
{
    QStringList texts;
    for (int c = 0; c < 7; ++c)
        texts << cell(row, c);
    return texts;
}

QByteArray floatBytes(std::initializer_list<float> values)
{
    QByteArray out;
    for (float v : values) {
        quint32 raw;
        std::memcpy(&raw, &v, 4);
        for (int i = 0; i < 4; ++i)
            out.append(char((raw >> (8 * i)) & 0xFF));
    }
    return out;
}

SimLoggerRun run(const QDateTime &start, const QVector<float> &samples)
{
    SimLoggerRun r;
    r.start = start;
    r.samples = samples;
    return r;
}

SimLoggerRun rawRun(const QByteArray &payload)
{
    SimLoggerRun r;
    r.raw = payload;
    return r;
}

SimProfile loggerProfile(const QList<SimLoggerRun> &runs)
{
    SimProfile p = SimProfile::logger();
    p.runs = runs;
    p.faults.clear();
    p.block80[0] = 0;
    p.block80[1] = 10;
    p.block80[2] = 1;
    p.block80[3] = 0;
    return p;
}

QList<QByteArray> requestsWith(const std::shared_ptr<SimInstrument> &sim, int command)
{
    QList<QByteArray> found;
    if (!sim)
        return found;
    const QList<QByteArray> all = sim->requests();
    for (const QByteArray &r : all)
        if (Frame::byteAt(r, 1) == command)
            found << r;
    return found;
}

Ticker::Ticker(std::function<void()> tick, int intervalMs)
{
    connect(&timer, &QTimer::timeout, this, std::move(tick));
    timer.start(intervalMs);
}

RunAnswerScript::RunAnswerScript(std::shared_ptr<SimInstrument> instrument,
                                 QList<QList<QByteArray>> scripted, int gap)
    : sim(std::move(instrument)), answers(std::move(scripted)), gapMs(gap)
{
    sim->addFault(SimFault::make(SimFault::Kind::NoAnswer, 0x42, -1, 0, 0, -1));
    connect(&timer, &QTimer::timeout, this, [this] {
        const int seen = requestsWith(sim, 0x42).size();
        while (served < seen) {
            if (served < answers.size()) {
                const QList<QByteArray> &pieces = answers.at(served);
                for (int i = 0; i < pieces.size(); ++i)
                    sim->queueStream(pieces.at(i), gapMs * i);
            }
            ++served;
        }
    });
    timer.start(1);
}

ProgressWatcher::ProgressWatcher(QWidget *watchedParent) : parent(watchedParent)
{
    qApp->installEventFilter(this);
}

ProgressWatcher::~ProgressWatcher() { qApp->removeEventFilter(this); }

bool ProgressWatcher::eventFilter(QObject *watched, QEvent *event)
{
    auto *dialog = qobject_cast<QProgressDialog *>(watched);
    if (event->type() != QEvent::Show || !dialog || dialog->parent() != parent)
        return false;
    ++dialogs;
    modality = dialog->windowModality();
    label = dialog->labelText();
    maximum = dialog->maximum();
    if (auto *bar = dialog->findChild<QProgressBar *>()) {
        connect(bar, &QProgressBar::valueChanged, this, [this](int value) {
            if (value >= 0)
                values << value;
        }, Qt::UniqueConnection);
    }
    return false;
}

QByteArray runPacket(const QByteArray &data, quint32 address)
{
    return withTrailer(Frame::longRequest(0x42, address, quint16(data.size()), data));
}

QByteArray runEndPacket(quint32 address) { return runPacket(QByteArray(), address); }

QList<QList<QStringList>> readWorkbook(const QString &path)
{
    QList<QList<QStringList>> book;
    const void *handle = nullptr;
    if (freexl_open(path.toLocal8Bit().constData(), &handle) != FREEXL_OK)
        return book;
    unsigned int sheets = 0;
    freexl_get_info(handle, FREEXL_BIFF_SHEET_COUNT, &sheets);
    for (unsigned int s = 0; s < sheets; ++s) {
        QList<QStringList> sheet;
        unsigned int rowCount = 0;
        unsigned short columnCount = 0;
        if (freexl_select_active_worksheet(handle, quint16(s)) == FREEXL_OK
            && freexl_worksheet_dimensions(handle, &rowCount, &columnCount) == FREEXL_OK) {
            for (unsigned int r = 0; r < rowCount; ++r) {
                QStringList row;
                for (unsigned short c = 0; c < columnCount; ++c) {
                    FreeXL_CellValue value;
                    if (freexl_get_cell_value(handle, r, c, &value) != FREEXL_OK) {
                        row << QString();
                        continue;
                    }
                    switch (value.type) {
                    case FREEXL_CELL_INT:
                        row << QString::number(value.value.int_value);
                        break;
                    case FREEXL_CELL_DOUBLE:
                        row << QString::number(value.value.double_value, 'g', 15);
                        break;
                    case FREEXL_CELL_TEXT:
                    case FREEXL_CELL_SST_TEXT:
                    case FREEXL_CELL_DATE:
                    case FREEXL_CELL_DATETIME:
                    case FREEXL_CELL_TIME:
                        row << QString::fromUtf8(value.value.text_value);
                        break;
                    default:
                        row << QString();
                        break;
                    }
                }
                sheet << row;
            }
        }
        book << sheet;
    }
    freexl_close(handle);
    return book;
}

} // namespace LoggerSupport
