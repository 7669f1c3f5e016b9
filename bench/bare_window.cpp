// The reference for bench_startup's whole-process figures: a bare Qt 5
// window, nothing in it, that says when its first frame is out the way the
// program does with --debug ("first paint done" on stderr).
#include "firstpainttrace.h"

#include <QApplication>
#include <QWidget>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    FirstPaintTrace<QWidget> window;
    window.resize(800, 600);
    window.show();
    return app.exec();
}
