#include "app/LiveSample.h"

#include "app/Configurator.h"
#include "link/Monitor.h"

#include <limits>

namespace zentrola {

const std::array<std::string_view, kChannelCount> kChannelNames{"time_s",
                                                                "rpm",
                                                                "advance_deg",
                                                                "base_advance",
                                                                "max_advance_deg",
                                                                "supply_v",
                                                                "limiter",
                                                                "start_limiter",
                                                                "shift_light",
                                                                "clutch_master",
                                                                "motor_off",
                                                                "kill_switch",
                                                                "input1",
                                                                "input2",
                                                                "pickup",
                                                                "polarity_check",
                                                                "polarity_negative",
                                                                "curve",
                                                                "programmings",
                                                                "data_error",
                                                                "version",
                                                                "test1",
                                                                "test2",
                                                                "test3",
                                                                "test4",
                                                                "test5",
                                                                "test6",
                                                                "test7",
                                                                "test8",
                                                                "mark"};

namespace {

constexpr int kAdvanceOffset = 100;
constexpr double kMillivoltsPerVolt = 1000.0;
constexpr double kMillisecondsPerSecond = 1000.0;

int word(std::span<const std::uint8_t> f, std::size_t at) {
    return f[at] | f[at + 1] << 8;
}

bool on(std::span<const std::uint8_t> f, std::size_t at) {
    return f[at] != 0;
}

double flag(bool b) {
    return b ? 1.0 : 0.0;
}

} // namespace

LiveSample liveSample(std::span<const std::uint8_t> frame, long ticks) {
    // Whole milliseconds first: 6 ticks are 0.33 s, not 0.32999...
    return liveSampleAt(frame,
                        static_cast<double>(ticks * kTickMilliseconds) / kMillisecondsPerSecond);
}

LiveSample liveSampleAt(std::span<const std::uint8_t> frame, double seconds) {
    LiveSample s;
    s.timeS = seconds;
    if (frame.size() <= MonitorByte::Version)
        return s;
    s.pickup = on(frame, MonitorByte::Pickup);
    s.baseAdvance = on(frame, MonitorByte::BaseAdvance);
    // What the window shows: no engine speed without the pick-up signal, and no advance
    // figure while the unit holds the base advance or the engine stands.
    s.rpm = s.pickup ? word(frame, MonitorByte::Rpm) : 0;
    if (s.pickup && !s.baseAdvance)
        s.advanceDeg = frame[MonitorByte::Advance] - kAdvanceOffset;
    s.maxAdvanceDeg = frame[MonitorByte::MaxAdvance];
    // Division, not times 0.001: 13800 mV becomes the double nearest 13.8.
    s.supplyV = word(frame, MonitorByte::Voltage) / kMillivoltsPerVolt;
    s.limiter = on(frame, MonitorByte::Limiter);
    s.startLimiter = on(frame, MonitorByte::StartLimiter);
    s.shiftLight = on(frame, MonitorByte::ShiftLight);
    s.clutchMaster = on(frame, MonitorByte::Clutch);
    s.motorOff = on(frame, MonitorByte::Blocking);
    s.killSwitch = on(frame, MonitorByte::KillSwitch);
    s.input1 = on(frame, MonitorByte::Input1);
    s.input2 = on(frame, MonitorByte::Input2);
    s.polarityCheck = on(frame, MonitorByte::PolarityCheck);
    s.polarityNegative = on(frame, MonitorByte::PolarityNegative);
    s.curve = on(frame, MonitorByte::CurveA) ? 'A' : 'B';
    s.programmings = word(frame, MonitorByte::ProgramCount);
    s.dataError = on(frame, MonitorByte::DataError);
    s.version = frame[MonitorByte::Version];
    for (std::size_t i = 0; i < s.test.size(); ++i)
        s.test[i] = word(frame, MonitorByte::TestValues + 2 * i);
    return s;
}

double channelValue(const LiveSample& s, Channel channel) {
    switch (channel) {
    case Channel::Time:
        return s.timeS;
    case Channel::Rpm:
        return s.rpm;
    case Channel::Advance:
        return s.advanceDeg ? *s.advanceDeg : std::numeric_limits<double>::quiet_NaN();
    case Channel::BaseAdvance:
        return flag(s.baseAdvance);
    case Channel::MaxAdvance:
        return s.maxAdvanceDeg;
    case Channel::Supply:
        return s.supplyV;
    case Channel::Limiter:
        return flag(s.limiter);
    case Channel::StartLimiter:
        return flag(s.startLimiter);
    case Channel::ShiftLight:
        return flag(s.shiftLight);
    case Channel::ClutchMaster:
        return flag(s.clutchMaster);
    case Channel::MotorOff:
        return flag(s.motorOff);
    case Channel::KillSwitch:
        return flag(s.killSwitch);
    case Channel::Input1:
        return flag(s.input1);
    case Channel::Input2:
        return flag(s.input2);
    case Channel::Pickup:
        return flag(s.pickup);
    case Channel::PolarityCheck:
        return flag(s.polarityCheck);
    case Channel::PolarityNegative:
        return flag(s.polarityNegative);
    case Channel::Curve:
        return flag(s.curve == 'B');
    case Channel::Programmings:
        return s.programmings;
    case Channel::DataError:
        return flag(s.dataError);
    case Channel::Version:
        return s.version;
    case Channel::Test1:
    case Channel::Test2:
    case Channel::Test3:
    case Channel::Test4:
    case Channel::Test5:
    case Channel::Test6:
    case Channel::Test7:
    case Channel::Test8:
        return s.test[static_cast<std::size_t>(channel) - static_cast<std::size_t>(Channel::Test1)];
    case Channel::Mark:
        return s.mark;
    case Channel::Count:
        break;
    }
    return std::numeric_limits<double>::quiet_NaN();
}

} // namespace zentrola
