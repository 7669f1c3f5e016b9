#pragma once

#include <QWidget>

// The Logger family page. The full form comes with the Logger work; this
// holds the operations the main window calls.
class FirstPageForLogger : public QWidget
{
    Q_OBJECT
public:
    explicit FirstPageForLogger(QWidget *parent = nullptr);

    bool chineseLayout = false;

    void loadFromInstrument();
    void clear();
    void languageChange();
};
