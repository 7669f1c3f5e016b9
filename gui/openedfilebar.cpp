#include "gui/openedfilebar.h"

#include "gui/uiseam.h"

#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

OpenedFileBar::OpenedFileBar(QWidget *parent) : QWidget(parent)
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_source = new QLabel(this);
    m_source->setObjectName(QStringLiteral("openedFileLabel"));
    // The file name is shown as it is, never read as markup.
    m_source->setTextFormat(Qt::PlainText);
    m_source->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_open = new QPushButton(this);
    m_open->setObjectName(QStringLiteral("openFileBtn"));
    m_back = new QPushButton(this);
    m_back->setObjectName(QStringLiteral("backToInstrumentBtn"));
    m_back->hide();
    layout->addWidget(m_source, 1);
    layout->addWidget(m_back);
    layout->addWidget(m_open);
    connect(m_open, &QPushButton::clicked, this, &OpenedFileBar::askForFile);
    connect(m_back, &QPushButton::clicked, this, &OpenedFileBar::backRequested);
    retranslate();
}

namespace {

// The grid layout under `layout` that holds `widget`, or nullptr.
QGridLayout *gridHolding(QLayout *layout, QWidget *widget)
{
    if (!layout)
        return nullptr;
    if (auto *grid = qobject_cast<QGridLayout *>(layout)) {
        if (grid->indexOf(widget) >= 0)
            return grid;
    }
    for (int i = 0; i < layout->count(); ++i) {
        if (QGridLayout *found = gridHolding(layout->itemAt(i)->layout(), widget))
            return found;
    }
    return nullptr;
}

} // namespace

OpenedFileBar *OpenedFileBar::placeBelow(QWidget *table)
{
    auto *bar = new OpenedFileBar(table->parentWidget());
    QGridLayout *grid = gridHolding(table->parentWidget()->layout(), table);
    if (!grid)
        return bar;
    int row = 0, column = 0, rows = 1, columns = 1;
    grid->getItemPosition(grid->indexOf(table), &row, &column, &rows, &columns);
    const int below = grid->itemAtPosition(row + rows, column) ? grid->rowCount() : row + rows;
    grid->addWidget(bar, below, column, 1, columns);
    return bar;
}

void OpenedFileBar::showSource(const QString &fileName, const InstrumentIdentity &instrument)
{
    SourceName name;
    if (!fileName.isEmpty())
        name = [fileName] { return fileName; };
    showSource(name, instrument);
}

void OpenedFileBar::showSource(const SourceName &name, const InstrumentIdentity &instrument)
{
    m_name = name;
    m_instrument = instrument;
    retranslate();
}

void OpenedFileBar::clearSource()
{
    m_name = nullptr;
    m_instrument = InstrumentIdentity();
    retranslate();
}

void OpenedFileBar::offerBack(bool offer)
{
    m_back->setVisible(offer);
}

void OpenedFileBar::retranslate()
{
    m_open->setText(tr("Open..."));
    m_back->setText(tr("Back to the instrument"));
    const QString name = fileName();
    if (name.isEmpty()) {
        m_source->clear();
        return;
    }
    QString text = tr("Data from %1").arg(QDir::toNativeSeparators(name));
    if (!m_instrument.model.isEmpty() && m_instrument.serialNumber != 0)
        text += QStringLiteral(" · ") +
                tr("%1, serial number %2").arg(m_instrument.model).arg(m_instrument.serialNumber);
    else
        text += QStringLiteral(" · ") + tr("the file does not name the instrument");
    m_source->setText(text);
}

void OpenedFileBar::askForFile()
{
    const QString name =
        UiSeam::getOpenFileName(window(), tr("Open a measurement file"),
                                tr("Measurement files (*.json *.csv *.xls *.xlsx)") +
                                    QStringLiteral(";;") + tr("All files (*)"));
    if (!name.isEmpty())
        emit openRequested(name);
}
