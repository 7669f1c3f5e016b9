#pragma once

#include "measurement/instrumentidentity.h"

#include <QWidget>

class QLabel;
class QPushButton;

// The strip below a page's table: where the data on show came from (a file
// opened without the instrument, with the instrument it names) and the
// "Open..." button that asks for a measurement file to show.
class OpenedFileBar : public QWidget
{
    Q_OBJECT
public:
    explicit OpenedFileBar(QWidget *parent = nullptr);
    // A bar placed in the grid of `table` right below it (or at the grid's
    // end when that row is taken), spanning the table's columns.
    static OpenedFileBar *placeBelow(QWidget *table);

    // The data on show came from this file; empty: from the instrument.
    void showSource(const QString &fileName, const InstrumentIdentity &instrument);
    void clearSource();
    QString fileName() const { return m_fileName; }
    const InstrumentIdentity &instrument() const { return m_instrument; }
    QPushButton *openButton() const { return m_open; }
    void retranslate();

signals:
    // The user chose a file to open.
    void openRequested(const QString &fileName);

private:
    void askForFile();

    QLabel *m_source = nullptr;
    QPushButton *m_open = nullptr;
    QString m_fileName;
    InstrumentIdentity m_instrument;
};
