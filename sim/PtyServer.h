// Serves a VirtualUnit on a pseudo-terminal, so that the PC program can open the slave side
// as if it were the serial port the unit hangs on. POSIX only.
#pragma once

#if !defined(_WIN32)

#include "sim/VirtualUnit.h"

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace zentrola {

class PtyServer {
  public:
    static constexpr std::chrono::milliseconds kTickPeriod{55};

    explicit PtyServer(VirtualUnit& unit);
    ~PtyServer();
    PtyServer(const PtyServer&) = delete;
    PtyServer& operator=(const PtyServer&) = delete;

    // Opens a new pseudo-terminal; false with error() set when that fails.
    bool open();
    // Closes it: to the PC the unit is unplugged and the slave path goes away.
    void close();
    bool isOpen() const { return master_ >= 0; }
    const std::string& slavePath() const { return slavePath_; }
    const std::string& error() const { return error_; }
    // Whether a program has the slave side open, as far as the last step saw.
    bool peerPresent() const { return peerPresent_; }

    // One step of the serving loop: waits up to timeoutMs for bytes from the PC, hands them to
    // the unit, writes the unit's replies and ticks the unit every 55 ms of wall time.
    void poll(int timeoutMs);

  private:
    bool readFromPeer(); // false when the peer has gone
    void writeToPeer();
    void peerGone();
    void runTicks();
    int msToNextTick() const;

    VirtualUnit& unit_;
    int master_ = -1;
    std::string slavePath_;
    std::string error_;
    bool peerPresent_ = false;
    std::vector<std::uint8_t> unsent_;
    std::chrono::steady_clock::time_point nextTick_;
};

} // namespace zentrola

#endif
