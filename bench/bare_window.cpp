// The reference for bench_startup's whole-process figures: a bare Qt 5
// window, nothing in it, that says when its first frame is out the way the
// program does with --debug ("first paint done" on stderr).
#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <cstdio>

namespace {
class Bare : public QWidget
{
protected:
    void paintEvent(QPaintEvent *) override
    {
        if (!painted)
            QTimer::singleShot(0, this, [] { std::fprintf(stderr, "first paint done\n"); });
        painted = true;
    }

private:
    bool painted = false;
};
} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    Bare window;
    window.resize(800, 600);
    window.show();
    return app.exec();
}
