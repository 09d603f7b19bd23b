// The serial port as the link uses it: opened by device name, polled for queued bytes
// without waiting, written a frame at a time. Implemented over the Win32 communications
// functions on Windows, over QSerialPort for real ports elsewhere, and in-process for the
// virtual unit.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace zentrola {

inline constexpr int kBaudRate = 57600;
inline constexpr std::size_t kDriverInputQueue = 10000;
inline constexpr std::size_t kReceiveBufferSize = 15000;

class SerialPort {
  public:
    virtual ~SerialPort() = default;

    // 57600 8N1. On failure the system's reason goes into error.
    virtual bool open(const std::string& device, std::string& error) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // Clears line errors and tells how many bytes wait to be read.
    virtual std::size_t queued() = 0;
    // Reads at most buffer.size() of the queued bytes; never waits.
    virtual std::size_t read(std::span<std::uint8_t> buffer) = 0;
    // The result is ignored by the link: a lost frame is caught by the time-out.
    virtual void write(std::span<const std::uint8_t> bytes) = 0;
    // Waits until the transmit buffer has drained (about one frame time).
    virtual void waitTransmitted() = 0;
    // The devices that COM 1, COM 2, ... stand for, in that order.
    virtual std::vector<std::string> devices() = 0;
    // What the system calls the device behind COM n (entry n-1), where it names one; the COM
    // menu shows it beside the number.
    virtual std::vector<std::string> deviceNames() { return {}; }
};

} // namespace zentrola
