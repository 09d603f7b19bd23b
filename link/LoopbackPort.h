// A serial port that connects the link to a peer in the same process (the virtual unit),
// for tests and the demo mode. The peer's time advances once per poll, as the unit's
// would between two ticks.
#pragma once

#include "link/SerialPort.h"

#include <deque>

namespace zentrola {

// The device name under which the in-process virtual unit answers (zentrola --demo).
inline constexpr std::string_view kVirtualUnitDevice = "virtual-unit";

class LoopbackPeer {
  public:
    virtual ~LoopbackPeer() = default;
    virtual void receive(std::span<const std::uint8_t> bytes) = 0;
    virtual std::vector<std::uint8_t> takeOutput() = 0;
    virtual void tick() = 0;
};

class LoopbackPort : public SerialPort {
  public:
    explicit LoopbackPort(LoopbackPeer& peer, std::string device = std::string(kVirtualUnitDevice))
        : peer_(peer), device_(std::move(device)) {}

    bool open(const std::string& device, std::string& error) override;
    void close() override { open_ = false; }
    bool isOpen() const override { return open_; }
    std::size_t queued() override;
    std::size_t read(std::span<std::uint8_t> buffer) override;
    void write(std::span<const std::uint8_t> bytes) override;
    void waitTransmitted() override {}
    std::vector<std::string> devices() override { return {device_}; }

    // The cable pulled: the open fails and nothing passes.
    void setUnplugged(bool unplugged);
    // Bytes written since the port was made, for tests.
    std::size_t framesWritten() const { return framesWritten_; }
    std::size_t opens() const { return opens_; }
    // Puts bytes into the receive queue as if the unit had sent them.
    void inject(std::span<const std::uint8_t> bytes) {
        rx_.insert(rx_.end(), bytes.begin(), bytes.end());
    }

  private:
    LoopbackPeer& peer_;
    std::string device_;
    std::deque<std::uint8_t> rx_;
    bool open_ = false;
    bool unplugged_ = false;
    std::size_t framesWritten_ = 0;
    std::size_t opens_ = 0;
};

} // namespace zentrola
