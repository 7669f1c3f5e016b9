#pragma once

#include "measurement/instrumentidentity.h"

#include <QWidget>

#include <functional>

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

    // Names where the data on show came from, in the language in use: asked
    // again whenever the bar is retranslated.
    using SourceName = std::function<QString()>;

    // The data on show came from this file; empty: from the instrument.
    void showSource(const QString &fileName, const InstrumentIdentity &instrument);
    // The data came from the source `name` names (empty: from the instrument).
    void showSource(const SourceName &name, const InstrumentIdentity &instrument);
    void clearSource();
    // Where the data came from, as the bar names it now; empty: from the
    // instrument.
    QString fileName() const { return m_name ? m_name() : QString(); }
    const InstrumentIdentity &instrument() const { return m_instrument; }
    QPushButton *openButton() const { return m_open; }
    // Shown while the page holds a file and the instrument connected belongs
    // to the other family: a way back to the instrument's page.
    void offerBack(bool offer);
    QPushButton *backButton() const { return m_back; }
    void retranslate();

signals:
    // The user chose a file to open.
    void openRequested(const QString &fileName);
    // The user wants the connected instrument's page again.
    void backRequested();

private:
    void askForFile();

    QLabel *m_source = nullptr;
    QPushButton *m_open = nullptr;
    QPushButton *m_back = nullptr;
    SourceName m_name;
    InstrumentIdentity m_instrument;
};
