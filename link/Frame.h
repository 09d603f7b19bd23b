// The 52-byte frame that travels both ways between the PC and the unit: lead byte,
// 50 payload bytes, check byte. Building the PC's two kinds and accepting the unit's two.
#pragma once

#include "core/ParameterImage.h"

#include <array>
#include <cstdint>
#include <span>

namespace zentrola {

inline constexpr std::size_t kFrameSize = 52;
using Frame = std::array<std::uint8_t, kFrameSize>;

namespace FrameByte {
inline constexpr std::size_t Lead = 0;
inline constexpr std::size_t Payload = 1;
inline constexpr std::size_t Check = 51;
inline constexpr std::size_t TestFlags = 21; // monitor request
inline constexpr std::size_t Version = 50;   // monitor request and monitor frame
} // namespace FrameByte

namespace Lead {
inline constexpr std::uint8_t MonitorRequest = 0x30;
inline constexpr std::uint8_t MonitorFrame = 0xB0;
inline constexpr std::uint8_t ReadFlag = 0x40;  // page index byte: read request
inline constexpr std::uint8_t PageMask = 0x3F;  // page index byte: page number
inline constexpr std::uint8_t ReplyFlag = 0x80; // a page reply answers lead XOR this
} // namespace Lead

// 0xFF XOR bytes 0..50.
std::uint8_t checkByte(std::span<const std::uint8_t> frame);
// Sets byte 51 from bytes 0..50.
void seal(Frame& frame);
// 0xFF XOR all 52 bytes gives 0; false for anything shorter than a frame.
bool frameIntact(std::span<const std::uint8_t> bytes);

// A page frame with the given payload (zero for read requests).
Frame pageFrame(std::uint8_t pageIndexByte, std::span<const std::uint8_t, kPageSize> payload);
Frame readRequest(std::uint8_t pageIndexByte);
// The monitor request carrying the test command flags and the version.
Frame monitorRequest(std::uint8_t testFlags);

// The unit's reply to a frame with this lead byte.
constexpr std::uint8_t replyLead(std::uint8_t pageIndexByte) {
    return static_cast<std::uint8_t>(pageIndexByte ^ Lead::ReplyFlag);
}

// Page reply acceptance (the transfer checks "a transfer is in progress" itself).
bool acceptPageReply(std::span<const std::uint8_t> bytes, std::uint8_t lastPageIndexByte);
bool acceptMonitorFrame(std::span<const std::uint8_t> bytes);

// The payload of a received frame.
inline std::span<const std::uint8_t, kPageSize> payloadOf(std::span<const std::uint8_t> bytes) {
    return std::span<const std::uint8_t, kPageSize>(bytes.data() + FrameByte::Payload, kPageSize);
}

} // namespace zentrola
