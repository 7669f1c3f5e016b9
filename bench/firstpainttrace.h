#pragma once

#include <QPaintEvent>
#include <QTimer>

#include <cstdio>

// A window of bench_startup's reference programs: says "first paint done" on
// stderr once its first frame is out, as the program does with --debug.
template <typename Window>
class FirstPaintTrace : public Window
{
protected:
    void paintEvent(QPaintEvent *event) override
    {
        if (!painted_)
            QTimer::singleShot(0, this, [] { std::fprintf(stderr, "first paint done\n"); });
        painted_ = true;
        Window::paintEvent(event);
    }

private:
    bool painted_ = false;
};
