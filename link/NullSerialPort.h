// A port that never opens: a program run without any unit, such as a file conversion.
#pragma once

#include "link/SerialPort.h"

namespace zentrola {

class NullSerialPort : public SerialPort {
  public:
    bool open(const std::string&, std::string& error) override {
        error = "No port";
        return false;
    }
    void close() override {}
    bool isOpen() const override { return false; }
    std::size_t queued() override { return 0; }
    std::size_t read(std::span<std::uint8_t>) override { return 0; }
    void write(std::span<const std::uint8_t>) override {}
    void waitTransmitted() override {}
    std::vector<std::string> devices() override { return {}; }
};

} // namespace zentrola
