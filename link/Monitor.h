// Live data: a monitor frame decoded into what the window's monitor labels show, the active
// channel, the saving countdown, the test command flags and the curve row highlight.
#pragma once

#include "core/Jazyk1.h"
#include "core/Look.h"
#include "core/ParameterImage.h"
#include "link/Frame.h"

#include <array>
#include <string>
#include <string_view>

namespace zentrola {

namespace MonitorByte {
inline constexpr std::size_t Rpm = 1; // 16-bit values are little-endian
inline constexpr std::size_t Voltage = 3;
inline constexpr std::size_t ProgramCount = 5;
inline constexpr std::size_t TestValues = 7; // eight 16-bit values
inline constexpr std::size_t Input1 = 29;
inline constexpr std::size_t Input2 = 30;
inline constexpr std::size_t Advance = 31; // degrees + 100
inline constexpr std::size_t MaxAdvance = 32;
inline constexpr std::size_t PolarityNegative = 33;
inline constexpr std::size_t PolarityCheck = 34;
inline constexpr std::size_t StartLimiter = 35;
inline constexpr std::size_t Limiter = 36;
inline constexpr std::size_t Blocking = 37;
inline constexpr std::size_t KillSwitch = 38;
inline constexpr std::size_t ShiftLight = 39;
inline constexpr std::size_t Clutch = 41;
inline constexpr std::size_t Pickup = 42;
inline constexpr std::size_t BaseAdvance = 43;
inline constexpr std::size_t CurveA = 44; // non-zero curve A, zero curve B
inline constexpr std::size_t SavingCountdown = 47;
inline constexpr std::size_t DataError = 49;
inline constexpr std::size_t Version = 50;
} // namespace MonitorByte

namespace TestFlag {
inline constexpr std::uint8_t Ignition = 0x01;
inline constexpr std::uint8_t PilotLight = 0x02;
inline constexpr std::uint8_t Rpm = 0x04;
} // namespace TestFlag

// The monitor labels of the window, in the order a line of the command line prints them.
enum class MonLabel : std::uint8_t {
    Rpm,
    Advance,
    Voltage,
    StartLimiter,
    Limiter,
    ShiftLight,
    Clutch,
    Curve,
    Blocking,
    KillSwitch,
    Input1,
    Input2,
    Pickup,
    Polarity,
    Channel,
    ProgramCount,
    Version,
    DataError,
    Test1,
    Test2,
    Test3,
    Test4,
    Test5,
    Test6,
    Test7,
    Test8,
    Count
};
inline constexpr std::size_t kMonLabelCount = static_cast<std::size_t>(MonLabel::Count);

// The window's name of each label, indexed by MonLabel.
extern const std::array<std::string_view, kMonLabelCount> kMonLabelNames;

// A monitor label: its look and its text.
struct Label : Look {
    std::string text;
};

struct MonitorDisplay {
    std::array<Label, kMonLabelCount> labels{};
    int rpmGauge = 0; // percent of the limiter speed

    Label& operator[](MonLabel l) { return labels[static_cast<std::size_t>(l)]; }
    const Label& operator[](MonLabel l) const { return labels[static_cast<std::size_t>(l)]; }
};

inline constexpr int kNoHighlight = -1;

class Monitor {
  public:
    Monitor();

    // An accepted monitor frame: stored and shown. True when the active channel changed,
    // so that the controls follow the curve in use.
    bool onFrame(std::span<const std::uint8_t> frame, const ParameterImage& image,
                 const MessageTable& texts);
    // The labels' empty form, written on a language change while there is no connection.
    void placeholders(const MessageTable& texts);
    // The curve row nearest the engine speed; -1 when none.
    void highlight(const ParameterImage& image);

    // The connection was lost: the channel is unknown again. True when it was known.
    bool forgetChannel();
    // No frame is coming: the labels keep their last texts but are shown greyed, and no
    // curve row is highlighted, until the next frame. Greyed from the start, too.
    void lost();
    bool live() const { return live_; }

    const MonitorDisplay& display() const { return display_; }
    MonitorDisplay& display() { return display_; }
    // Bytes 0..50 of the latest accepted frame (all zero before the first).
    const std::array<std::uint8_t, kFrameSize - 1>& lastFrame() const { return frame_; }
    bool haveFrame() const { return haveFrame_; }
    int displayedRpm() const { return displayedRpm_; }
    int savingCountdown() const { return savingCountdown_; }
    // The unit that reported it is gone: what it counts down is no longer known.
    void forgetSaving() { savingCountdown_ = 0; }
    int activeChannel() const { return activeChannel_; }
    int highlightedRow() const { return highlightRow_; }

    // Test commands ride on the next monitor request, once.
    void pressTest(std::uint8_t flag) { testFlags_ |= flag; }
    std::uint8_t takeTestFlags() {
        const std::uint8_t f = testFlags_;
        testFlags_ = 0;
        return f;
    }

  private:
    std::array<std::uint8_t, kFrameSize - 1> frame_{};
    bool haveFrame_ = false;
    bool live_ = false;
    MonitorDisplay display_;
    int displayedRpm_ = 0;
    int savingCountdown_ = 0;
    int activeChannel_ = -1;
    std::uint8_t testFlags_ = 0;
    int highlightRow_ = kNoHighlight;
};

} // namespace zentrola
