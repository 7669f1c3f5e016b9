#pragma once

#include <QWidget>

// The Meter family page. The full form comes with the Meter work; this holds
// the operations the main window calls.
class FirstPageForMeter : public QWidget
{
    Q_OBJECT
public:
    explicit FirstPageForMeter(QWidget *parent = nullptr);

    bool chineseLayout = false;

    void readDeviceAndConfiguration();
    void clear();
    void languageChange();

public slots:
    void openThreadSlot();
    void closeThreadSlot();
};
