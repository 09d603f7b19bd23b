// zentrola-cli's commands over any serial port and any source of ticks: the program runs them
// on QSerialPort under the Qt event loop, tests on the in-process unit in a plain loop.
#pragma once

#include "link/SerialPort.h"

#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace zentrola {

namespace ExitCode {
inline constexpr int Done = 0;
inline constexpr int TransferFailed = 1;
inline constexpr int SettingsDiffer = 1; // diff
inline constexpr int Usage = 2;
inline constexpr int FileError = 3;
inline constexpr int PortError = 4; // also: an opened port on which no unit answers
inline constexpr int VersionMismatch = 5;
inline constexpr int NoReading = 6;
inline constexpr int Unexpected = 70; // an exception reached the top: one line on stderr
} // namespace ExitCode

// Where the ticks come from.
class TickDriver {
  public:
    virtual ~TickDriver() = default;
    // Calls tick() once per tick until it returns false. False when the user interrupted the
    // run (Ctrl+C) before that.
    virtual bool run(const std::function<bool()>& tick) = 0;
    // A monotonic clock in seconds: it stamps live data, so that ticks the system skipped show
    // as the gap they were.
    virtual double seconds() const = 0;
};

// Safety net for a transfer; the Configurator's own time-outs end a failing one far sooner.
inline constexpr int kTransferTicks = 400;
// A unit that sends no monitor frame for this long (2.2 s) is taken as not connected.
inline constexpr int kNoFrameTicks = 40;
// How long the unit may take to save programmed settings while it keeps answering.
inline constexpr int kSavingTicks = 1000;

// Runs one command line (without the program name). Results go to out, messages to err;
// the result is the exit status.
int runCli(const std::vector<std::string>& args, SerialPort& port, std::ostream& out,
           std::ostream& err, TickDriver& driver);

// Called from a catch handler: tells in one line on err what the exception in flight was and
// gives ExitCode::Unexpected.
int reportUnexpected(std::ostream& err);

} // namespace zentrola
