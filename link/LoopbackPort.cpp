#include "link/LoopbackPort.h"

#include <algorithm>

namespace zentrola {

bool LoopbackPort::open(const std::string& device, std::string& error) {
    if (unplugged_ || device != device_) {
        error = "No such file or directory";
        return false;
    }
    open_ = true;
    ++opens_;
    rx_.clear();
    return true;
}

std::size_t LoopbackPort::queued() {
    if (!open_ || unplugged_)
        return 0;
    peer_.tick();
    const auto out = peer_.takeOutput();
    rx_.insert(rx_.end(), out.begin(), out.end());
    return rx_.size();
}

std::size_t LoopbackPort::read(std::span<std::uint8_t> buffer) {
    const std::size_t n = std::min(buffer.size(), rx_.size());
    std::copy_n(rx_.begin(), n, buffer.begin());
    rx_.erase(rx_.begin(), rx_.begin() + static_cast<std::ptrdiff_t>(n));
    return n;
}

void LoopbackPort::write(std::span<const std::uint8_t> bytes) {
    if (!open_ || unplugged_)
        return;
    ++framesWritten_;
    peer_.receive(bytes);
}

void LoopbackPort::setUnplugged(bool unplugged) {
    unplugged_ = unplugged;
}

} // namespace zentrola
