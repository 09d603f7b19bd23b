#include "cli/SteadyTickDriver.h"

#include "app/Configurator.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <thread>

namespace zentrola {

namespace {

volatile std::sig_atomic_t stopRequested = 0;

extern "C" void requestSteadyStop(int) {
    stopRequested = 1;
}

} // namespace

SteadyTickDriver::SteadyTickDriver() {
    std::signal(SIGINT, requestSteadyStop);
    std::signal(SIGTERM, requestSteadyStop);
}

bool SteadyTickDriver::run(const std::function<bool()>& tick) {
    const auto period = std::chrono::milliseconds(kTickMilliseconds);
    // Each tick is due a period after the one before, so a slow tick does not shift the beat.
    auto due = std::chrono::steady_clock::now() + period;
    while (stopRequested == 0) {
        std::this_thread::sleep_until(due);
        // After a stall (a suspended laptop) the beat starts afresh instead of catching up.
        due = std::max(due + period, std::chrono::steady_clock::now());
        if (stopRequested != 0 || !tick())
            break;
    }
    return stopRequested == 0;
}

double SteadyTickDriver::seconds() const {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

} // namespace zentrola
