#include "cli/QtTickDriver.h"

#include <QEventLoop>
#include <QTimer>

#include <csignal>

namespace zentrola {

namespace {

volatile std::sig_atomic_t stopRequested = 0;

extern "C" void requestStop(int) {
    stopRequested = 1;
}

} // namespace

QtTickDriver::QtTickDriver() {
    std::signal(SIGINT, requestStop);
    std::signal(SIGTERM, requestStop);
}

bool QtTickDriver::run(const std::function<bool()>& tick) {
    QEventLoop loop;
    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    timer.setInterval(kTickMilliseconds);
    bool interrupted = false;
    QObject::connect(&timer, &QTimer::timeout, &loop, [&] {
        if (stopRequested != 0)
            interrupted = true;
        if (interrupted || !tick()) {
            timer.stop();
            loop.quit();
        }
    });
    timer.start();
    loop.exec();
    return !interrupted;
}

} // namespace zentrola
