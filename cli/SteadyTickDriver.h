// Ticks every 55 ms from the standard library's steady clock, for a program without an event
// loop: the CLI on Windows, whose serial port needs none. Ctrl+C ends a run at its next tick.
#pragma once

#include "cli/Cli.h"

namespace zentrola {

class SteadyTickDriver : public TickDriver {
  public:
    // Catches SIGINT and SIGTERM from now on.
    SteadyTickDriver();
    bool run(const std::function<bool()>& tick) override;
    double seconds() const override;
};

} // namespace zentrola
