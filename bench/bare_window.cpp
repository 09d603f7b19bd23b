// The yardstick for the window's start: an empty Qt window that quits after its first paint.
#include <QApplication>
#include <QTimer>
#include <QWidget>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QWidget w;
    w.resize(1074, 600);
    w.show();
    QTimer::singleShot(0, &w, [&w] {
        w.repaint();
        w.close();
    });
    return app.exec();
}
