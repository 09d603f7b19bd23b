// Live data as numbers: one monitor frame decoded into a sample of every quantity it carries,
// with fixed ASCII column names that carry the unit. A recording row, the live chart and the
// recording viewer all hold these; no text of any language is in them.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace zentrola {

// The channels of a sample, in the order of a recording's columns.
enum class Channel : std::uint8_t {
    Time,             // time_s: seconds from the start, by a monotonic clock
    Rpm,              // rpm: the displayed engine speed, 0 without pick-up signal
    Advance,          // advance_deg: advance in use; empty while the base advance is in force
    BaseAdvance,      // base_advance: 0/1
    MaxAdvance,       // max_advance_deg
    Supply,           // supply_v
    Limiter,          // limiter: 0/1
    StartLimiter,     // start_limiter: 0/1
    ShiftLight,       // shift_light: 0/1
    ClutchMaster,     // clutch_master: 0/1
    MotorOff,         // motor_off: 0/1
    KillSwitch,       // kill_switch: 0/1
    Input1,           // input1: 0/1
    Input2,           // input2: 0/1
    Pickup,           // pickup: 0/1, the pick-up signal is present
    PolarityCheck,    // polarity_check: 0/1
    PolarityNegative, // polarity_negative: 0/1, the measured polarity
    Curve,            // curve: A or B in a file, 0 (A) / 1 (B) as a number
    Programmings,     // programmings
    DataError,        // data_error: 0/1
    Version,          // version
    Test1,            // test1 .. test8
    Test2,
    Test3,
    Test4,
    Test5,
    Test6,
    Test7,
    Test8,
    Mark, // mark: 0, or the number of the mark the mechanic set at this row
    Count
};
inline constexpr std::size_t kChannelCount = static_cast<std::size_t>(Channel::Count);

// The column name of each channel, indexed by Channel.
extern const std::array<std::string_view, kChannelCount> kChannelNames;

struct LiveSample {
    double timeS = 0;
    int rpm = 0;
    std::optional<int> advanceDeg; // none while the base advance is in force or no signal
    bool baseAdvance = false;
    int maxAdvanceDeg = 0;
    double supplyV = 0;
    bool limiter = false;
    bool startLimiter = false;
    bool shiftLight = false;
    bool clutchMaster = false;
    bool motorOff = false;
    bool killSwitch = false;
    bool input1 = false;
    bool input2 = false;
    bool pickup = false;
    bool polarityCheck = false;
    bool polarityNegative = false;
    char curve = 'A'; // 'A' or 'B'
    int programmings = 0;
    bool dataError = false;
    int version = 0;
    std::array<int, 8> test{};
    int mark = 0; // not from the unit: set by the recorder
};

// Bytes 0..50 of an accepted monitor frame, taken `seconds` after the start.
LiveSample liveSampleAt(std::span<const std::uint8_t> frame, double seconds);
// The same, taken `ticks` whole ticks after the start (made-up recordings).
LiveSample liveSample(std::span<const std::uint8_t> frame, long ticks);

// A channel as a number: 0/1 for states, 0/1 for curve A/B; NaN for an empty advance.
double channelValue(const LiveSample& sample, Channel channel);

} // namespace zentrola
