#include "cli/QtTickDriver.h"

#include "app/Configurator.h"

#include <QEventLoop>
#include <QTimer>

#include <csignal>
#include <exception>

namespace zentrola {

namespace {

volatile std::sig_atomic_t stopRequested = 0;

extern "C" void requestStop(int) {
    stopRequested = 1;
}

} // namespace

QtTickDriver::QtTickDriver() {
    clock_.start();
    std::signal(SIGINT, requestStop);
    std::signal(SIGTERM, requestStop);
}

double QtTickDriver::seconds() const {
    return static_cast<double>(clock_.nsecsElapsed()) / 1e9;
}

bool QtTickDriver::run(const std::function<bool()>& tick) {
    QEventLoop loop;
    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    timer.setInterval(kTickMilliseconds);
    bool interrupted = false;
    std::exception_ptr failure;
    QObject::connect(&timer, &QTimer::timeout, &loop, [&] {
        if (stopRequested != 0)
            interrupted = true;
        bool more = false;
        if (!interrupted) {
            // Qt's event loop must not be unwound by an exception: it is carried past it.
            try {
                more = tick();
            } catch (...) {
                failure = std::current_exception();
            }
        }
        if (!more) {
            timer.stop();
            loop.quit();
        }
    });
    timer.start();
    loop.exec();
    if (failure)
        std::rethrow_exception(failure);
    return !interrupted;
}

} // namespace zentrola
