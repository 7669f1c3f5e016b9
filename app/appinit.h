#pragma once

#include <QObject>

// Application-wide event filter: a widget with the dynamic property "canMove"
// set to true can be dragged with the left mouse button anywhere on it.
class AppInit : public QObject
{
    Q_OBJECT
public:
    static AppInit *instance();
    void start();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    AppInit() = default;
};
