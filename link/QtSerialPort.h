// The serial port over QSerialPort: 57600 8N1, a driver input buffer of 10000 bytes, reads of
// what is queued only. QSerialPort takes bytes in only while the Qt event loop runs, so the
// tick comes from a QTimer and tests process events between ticks.
#pragma once

#include "link/SerialPort.h"

#include <memory>

namespace zentrola {

class QtSerialPort : public SerialPort {
  public:
    QtSerialPort();
    ~QtSerialPort() override;

    bool open(const std::string& device, std::string& error) override;
    void close() override;
    bool isOpen() const override;
    std::size_t queued() override;
    std::size_t read(std::span<std::uint8_t> buffer) override;
    void write(std::span<const std::uint8_t> bytes) override;
    void waitTransmitted() override;
    // ZENTROLA_PORTS when set, else the system's ports, USB adapters first.
    std::vector<std::string> devices() override;

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace zentrola
