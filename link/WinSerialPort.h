// The serial port over the Win32 communications functions, without Qt: 57600 8N1, a driver
// input queue of 10000 bytes, reads of what is queued only, and after a monitor request a wait
// until the transmit buffer is empty. A port whose device vanished (the USB adapter pulled) is
// closed at the next poll, so the link falls silent and the watchdog reopens it by name.
#pragma once

#include "link/SerialPort.h"

#include <memory>

namespace zentrola {

class WinSerialPort : public SerialPort {
  public:
    WinSerialPort();
    ~WinSerialPort() override;
    WinSerialPort(const WinSerialPort&) = delete;
    WinSerialPort& operator=(const WinSerialPort&) = delete;

    // "\\.\COM23", "COM5" or "com5"; the reason of a failure is the system's own text.
    bool open(const std::string& device, std::string& error) override;
    void close() override;
    bool isOpen() const override;
    std::size_t queued() override;
    std::size_t read(std::span<std::uint8_t> buffer) override;
    void write(std::span<const std::uint8_t> bytes) override;
    void waitTransmitted() override;
    // ZENTROLA_PORTS when set, else \\.\COM1 .. \\.\COM21 whether present or not.
    std::vector<std::string> devices() override;
    // From the registry's SERIALCOMM map, such as VCP0 for an FTDI adapter.
    std::vector<std::string> deviceNames() override;

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// The system's text for a Win32 error code, in the system's language, without the line break
// it ends with; "Error N" when the system has none.
std::string systemErrorText(unsigned long code);

} // namespace zentrola
