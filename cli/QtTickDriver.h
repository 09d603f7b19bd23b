// Ticks from a QTimer every 55 ms inside a Qt event loop, the same beat as the window's; the
// serial port takes bytes in while the loop runs. SIGINT and SIGTERM end a run cleanly.
#pragma once

#include "cli/Cli.h"

#include <QElapsedTimer>

namespace zentrola {

class QtTickDriver : public TickDriver {
  public:
    // Catches SIGINT and SIGTERM from now on; a run then ends at its next tick.
    QtTickDriver();
    bool run(const std::function<bool()>& tick) override;
    double seconds() const override;

  private:
    QElapsedTimer clock_;
};

} // namespace zentrola
