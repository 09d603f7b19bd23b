// The one authoritative copy of the unit's settings: a flat byte record exchanged with the
// unit in 50-byte pages, followed by reserved bytes that only the backup and history keep.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace zentrola {

// The protocol version this program speaks; also part of the settings file names.
inline constexpr int kVersion = 92;

inline constexpr std::size_t kPageSize = 50;
inline constexpr std::size_t kRecordSize = 100; // pages 1 and 2
inline constexpr std::size_t kSpanSize = 150;   // record + 50 reserved bytes
inline constexpr std::size_t kCurvePoints = 15;

// Byte offsets into the settings record.
namespace Offset {
inline constexpr std::size_t BikeType = 0;
inline constexpr std::size_t PointsA = 1;
inline constexpr std::size_t PointsB = 2;
inline constexpr std::size_t BaseAdvance = 3;
inline constexpr std::size_t StartLimiterA = 4;
inline constexpr std::size_t StartLimiterB = 5;
inline constexpr std::size_t LimiterA = 6;
inline constexpr std::size_t LimiterB = 7;
inline constexpr std::size_t Polarity = 8;
inline constexpr std::size_t Lobes = 9;
inline constexpr std::size_t ShiftLightA = 10;
inline constexpr std::size_t ShiftLightB = 11;
inline constexpr std::size_t ClutchTimeA = 12;
inline constexpr std::size_t ClutchTimeB = 13;
inline constexpr std::size_t ClutchPauseA = 14;
inline constexpr std::size_t ClutchPauseB = 15;
inline constexpr std::size_t Input1 = 16;
inline constexpr std::size_t Input2 = 17;
inline constexpr std::size_t NoReading = 18;
inline constexpr std::size_t RpmPulses = 19;
inline constexpr std::size_t RpmCorrection = 20;
inline constexpr std::size_t ReverseOutput = 21;
inline constexpr std::size_t CurveSelect = 22;
inline constexpr std::size_t Pwm = 23;
inline constexpr std::size_t ReservedLow = 24; // 24..29
inline constexpr std::size_t RpmA = 30;        // 15 speed points of curve A
inline constexpr std::size_t RpmB = 45;        // crosses into page 2 after its 5th point
inline constexpr std::size_t AdvanceA = 60;
inline constexpr std::size_t AdvanceB = 75;
inline constexpr std::size_t TestRpm = 90;
inline constexpr std::size_t ReservedHigh = 91; // 91..99
} // namespace Offset

enum class Curve : std::uint8_t { A = 0, B = 1 };

// Where each per-curve field of one curve lives.
struct CurveOffsets {
    std::size_t points;
    std::size_t startLimiter;
    std::size_t limiter;
    std::size_t shiftLight;
    std::size_t clutchTime;
    std::size_t clutchPause;
    std::size_t rpm;
    std::size_t advance;
};

inline constexpr CurveOffsets kCurveA{
    Offset::PointsA,     Offset::StartLimiterA, Offset::LimiterA, Offset::ShiftLightA,
    Offset::ClutchTimeA, Offset::ClutchPauseA,  Offset::RpmA,     Offset::AdvanceA};
inline constexpr CurveOffsets kCurveB{
    Offset::PointsB,     Offset::StartLimiterB, Offset::LimiterB, Offset::ShiftLightB,
    Offset::ClutchTimeB, Offset::ClutchPauseB,  Offset::RpmB,     Offset::AdvanceB};

constexpr const CurveOffsets& curveOffsets(Curve c) {
    return c == Curve::A ? kCurveA : kCurveB;
}

// Values of the curve selection byte.
namespace CurveSelection {
inline constexpr std::uint8_t A = 0;
inline constexpr std::uint8_t B = 1;
inline constexpr std::uint8_t Monitor = 2;
} // namespace CurveSelection

using Page = std::array<std::uint8_t, kPageSize>;

class ParameterImage {
  public:
    using Span = std::array<std::uint8_t, kSpanSize>;

    std::uint8_t& operator[](std::size_t offset) { return bytes_[offset]; }
    std::uint8_t operator[](std::size_t offset) const { return bytes_[offset]; }

    // Page 1 or 2 of the settings record (page 0 is the exchange page, see below).
    std::span<std::uint8_t, kPageSize> page(int p);
    std::span<const std::uint8_t, kPageSize> page(int p) const;

    // Per-curve access.
    std::uint8_t& at(Curve c, std::size_t CurveOffsets::*field) {
        return bytes_[curveOffsets(c).*field];
    }
    std::uint8_t at(Curve c, std::size_t CurveOffsets::*field) const {
        return bytes_[curveOffsets(c).*field];
    }
    std::uint8_t& rpm(Curve c, std::size_t point) { return bytes_[curveOffsets(c).rpm + point]; }
    std::uint8_t rpm(Curve c, std::size_t point) const {
        return bytes_[curveOffsets(c).rpm + point];
    }
    std::uint8_t& advance(Curve c, std::size_t point) {
        return bytes_[curveOffsets(c).advance + point];
    }
    std::uint8_t advance(Curve c, std::size_t point) const {
        return bytes_[curveOffsets(c).advance + point];
    }

    Span& span() { return bytes_; }
    const Span& span() const { return bytes_; }

    bool operator==(const ParameterImage&) const = default;

  private:
    Span bytes_{};
};

// The exchange page sent as page 0 of a programming transfer: bytes 2..50 of the latest
// accepted monitor frame, then a zero; all zero before the first frame.
Page exchangePage(std::span<const std::uint8_t> lastMonitorFrame);

// Conversions between a control position and an image byte.
enum class Conversion : std::uint8_t {
    Plain,      // as is
    Hundreds,   // speeds, clutch pause
    Fives,      // clutch time
    Tens,       // PWM
    Correction, // percent + 100
    Lobes,      // item <-> (item + 1) mod 4
};

// Position to byte: signed 16-bit division truncating toward zero, low byte kept.
std::uint8_t toByte(Conversion c, int position);
// Byte to position.
int toPosition(Conversion c, std::uint8_t byte);

} // namespace zentrola
