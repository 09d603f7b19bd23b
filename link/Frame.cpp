#include "link/Frame.h"

#include <algorithm>

namespace zentrola {

std::uint8_t checkByte(std::span<const std::uint8_t> frame) {
    std::uint8_t c = 0xFF;
    for (std::size_t i = 0; i < FrameByte::Check && i < frame.size(); ++i)
        c ^= frame[i];
    return c;
}

void seal(Frame& frame) {
    frame[FrameByte::Check] = checkByte(frame);
}

bool frameIntact(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < kFrameSize)
        return false;
    return checkByte(bytes) == bytes[FrameByte::Check];
}

Frame pageFrame(std::uint8_t pageIndexByte, std::span<const std::uint8_t, kPageSize> payload) {
    Frame f{};
    f[FrameByte::Lead] = pageIndexByte;
    std::copy(payload.begin(), payload.end(), f.begin() + FrameByte::Payload);
    seal(f);
    return f;
}

Frame readRequest(std::uint8_t pageIndexByte) {
    Frame f{};
    f[FrameByte::Lead] = pageIndexByte;
    seal(f);
    return f;
}

Frame monitorRequest(std::uint8_t testFlags) {
    Frame f{};
    f[FrameByte::Lead] = Lead::MonitorRequest;
    f[FrameByte::TestFlags] = testFlags;
    f[FrameByte::Version] = static_cast<std::uint8_t>(kVersion);
    seal(f);
    return f;
}

bool acceptPageReply(std::span<const std::uint8_t> bytes, std::uint8_t lastPageIndexByte) {
    return frameIntact(bytes) && (lastPageIndexByte & Lead::PageMask) <= 2 &&
           bytes[FrameByte::Lead] == replyLead(lastPageIndexByte);
}

bool acceptMonitorFrame(std::span<const std::uint8_t> bytes) {
    return frameIntact(bytes) && bytes[FrameByte::Lead] == Lead::MonitorFrame;
}

} // namespace zentrola
