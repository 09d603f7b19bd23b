#include "link/Monitor.h"

#include <algorithm>
#include <array>
#include <charconv>

namespace zentrola {

const std::array<std::string_view, kMonLabelCount> kMonLabelNames{"LabelRpm",
                                                                  "LabelMon_Advance",
                                                                  "LabelNapeti",
                                                                  "LabelMonStartLimiterOut",
                                                                  "LabelMonHardLimiter",
                                                                  "LabelMonLedRazeni",
                                                                  "LabelClutchMon",
                                                                  "LabelMonCurve",
                                                                  "LabelBlocking",
                                                                  "LabelKillSwitch",
                                                                  "LabelMonInput1In",
                                                                  "LabelMonInput2In",
                                                                  "LabelSnimac",
                                                                  "LabelPolaritaMer",
                                                                  "LabelChan",
                                                                  "LabelPocetProgramovani",
                                                                  "LabelVersion",
                                                                  "LabelEeDataErr",
                                                                  "LabelTest1",
                                                                  "LabelTest2",
                                                                  "LabelTest3",
                                                                  "LabelTest4",
                                                                  "LabelTest5",
                                                                  "LabelTest6",
                                                                  "LabelTest7",
                                                                  "LabelTest8"};

namespace {

constexpr int kAdvanceOffset = 100;
constexpr int kSupplyRed = 17999;    // at or above: red
constexpr int kSupplyLowRed = 7000;  // at or below: red
constexpr int kSupplyYellow = 14999; // at or above: yellow
constexpr int kSupplyLowYellow = 11000;
constexpr double kVoltsPerMillivolt = 0.001;
constexpr std::size_t kVoltsWidth = 4;
constexpr int kVoltsDecimals = 1;
constexpr int kRpmGaugeDefaultLimiter = 100;
constexpr std::size_t kTestValueCount = 8;

int word(std::span<const std::uint8_t> f, std::size_t at) {
    return f[at] | f[at + 1] << 8;
}

std::string yesNo(const MessageTable& t, bool on) {
    return on ? t.TextYes : t.TextNo;
}

// "%4.1f" of the millivolts times 0.001 as printf gives it in the C locale, ties included:
// to_chars rounds exactly as that printf does and ignores the user's decimal separator.
std::string volts(int millivolts) {
    std::array<char, 32> buffer{};
    const auto end =
        std::to_chars(buffer.data(), buffer.data() + buffer.size(), millivolts * kVoltsPerMillivolt,
                      std::chars_format::fixed, kVoltsDecimals)
            .ptr;
    std::string s(buffer.data(), end);
    if (s.size() < kVoltsWidth)
        s.insert(0, kVoltsWidth - s.size(), ' ');
    return s;
}

Colour voltageColour(int v) {
    if (v >= kSupplyRed || v <= kSupplyLowRed)
        return Colour::Red;
    if (v >= kSupplyYellow || v <= kSupplyLowYellow)
        return Colour::Yellow;
    return Colour::Face;
}

} // namespace

Monitor::Monitor() {
    for (std::size_t i = static_cast<std::size_t>(MonLabel::Test1); i < kMonLabelCount; ++i)
        display_.labels[i].visible = false; // only in test mode
    display_[MonLabel::Version].visible = false;
    display_[MonLabel::DataError].visible = false;
    lost();
}

void Monitor::lost() {
    live_ = false;
    for (Label& l : display_.labels)
        l.enabled = false;
}

bool Monitor::onFrame(std::span<const std::uint8_t> f, const ParameterImage& image,
                      const MessageTable& t) {
    std::copy_n(f.begin(), frame_.size(), frame_.begin());
    haveFrame_ = true;
    auto& d = display_;
    if (!live_) {
        live_ = true;
        for (Label& l : d.labels)
            l.enabled = true;
    }
    auto flag = [&](std::size_t at) { return f[at] != 0; };
    auto set = [&](MonLabel l, std::string text, Colour onColour, bool on) {
        d[l].text = std::move(text);
        d[l].colour = on ? onColour : Colour::Face;
    };

    const bool pickup = flag(MonitorByte::Pickup);
    displayedRpm_ = pickup ? word(f, MonitorByte::Rpm) : 0;
    d[MonLabel::Rpm].text = "RPM = " + std::to_string(displayedRpm_) + " ";

    int limiter = std::max(image[Offset::LimiterA], image[Offset::LimiterB]);
    if (limiter == 0)
        limiter = kRpmGaugeDefaultLimiter;
    d.rpmGauge = displayedRpm_ / limiter;

    const int advance = f[MonitorByte::Advance] - kAdvanceOffset;
    const int maxAdvance = f[MonitorByte::MaxAdvance];
    if (pickup && !flag(MonitorByte::BaseAdvance))
        d[MonLabel::Advance].text = t.TextAdvance + " = " + std::to_string(advance) + "° /max " +
                                    std::to_string(maxAdvance) + "°";
    else
        d[MonLabel::Advance].text = t.TextAdvance + " = " + t.TextBasic;
    d[MonLabel::Advance].colour = advance >= maxAdvance ? Colour::Yellow : Colour::Face;

    const int mv = word(f, MonitorByte::Voltage);
    d[MonLabel::Voltage].text = "U = " + volts(mv) + " [V]";
    d[MonLabel::Voltage].colour = voltageColour(mv);

    const bool start = flag(MonitorByte::StartLimiter);
    set(MonLabel::StartLimiter, t.TextStartLimiter + ": " + yesNo(t, start), Colour::Fuchsia,
        start);
    const bool lim = flag(MonitorByte::Limiter);
    set(MonLabel::Limiter, t.TextLimiter + " - " + yesNo(t, lim), Colour::Red, lim);
    const bool shift = flag(MonitorByte::ShiftLight);
    set(MonLabel::ShiftLight, t.TextShiftLight + " - " + yesNo(t, shift), Colour::Yellow, shift);
    const bool clutch = flag(MonitorByte::Clutch);
    set(MonLabel::Clutch, t.TextClutchMaster + " - " + yesNo(t, clutch), Colour::Red, clutch);
    const bool curveA = flag(MonitorByte::CurveA);
    d[MonLabel::Curve].text = t.TextUsedCurve + (curveA ? " - A" : " - B");
    const bool blocking = flag(MonitorByte::Blocking);
    set(MonLabel::Blocking, t.TextBlocking + " - " + yesNo(t, blocking), Colour::Red, blocking);
    const bool kill = flag(MonitorByte::KillSwitch);
    set(MonLabel::KillSwitch, "Kill switch - " + yesNo(t, kill), Colour::Red, kill);
    const bool in1 = flag(MonitorByte::Input1);
    set(MonLabel::Input1, t.TextInput + " 1: " + yesNo(t, in1), Colour::Fuchsia, in1);
    const bool in2 = flag(MonitorByte::Input2);
    set(MonLabel::Input2, t.TextInput + " 2: " + yesNo(t, in2), Colour::Aqua, in2);
    set(MonLabel::Pickup, t.TextPickup + " - " + (pickup ? t.TextRunning : t.TextNoSignal),
        Colour::Lime, pickup);

    if (displayedRpm_ != 0)
        d[MonLabel::Polarity].text =
            t.TextPolarity + ": " +
            (flag(MonitorByte::PolarityNegative) ? t.TextNegative : t.TextPositive);
    else
        d[MonLabel::Polarity].text = t.TextPolarity + ": ---";
    d[MonLabel::Polarity].colour =
        !flag(MonitorByte::PolarityCheck) && displayedRpm_ != 0 ? Colour::Red : Colour::Face;

    const int unitVersion = f[MonitorByte::Version];
    d[MonLabel::Version].visible = unitVersion != kVersion;
    if (unitVersion != kVersion)
        d[MonLabel::Version].text = t.TextUnitMismatch + "  PC-" + std::to_string(kVersion) +
                                    ", IGN-" + std::to_string(unitVersion);

    savingCountdown_ = word(f, MonitorByte::SavingCountdown);
    d[MonLabel::DataError].text = t.TextDataError;
    d[MonLabel::DataError].visible = flag(MonitorByte::DataError);
    d[MonLabel::ProgramCount].text =
        t.TextProgramCount + std::to_string(word(f, MonitorByte::ProgramCount));
    for (std::size_t i = 0; i < kTestValueCount; ++i)
        d.labels[static_cast<std::size_t>(MonLabel::Test1) + i].text =
            "Test" + std::to_string(i + 1) + " = " +
            std::to_string(word(f, MonitorByte::TestValues + 2 * i)) + " ";

    const int before = activeChannel_;
    activeChannel_ = curveA ? 0 : 1;
    d[MonLabel::Channel].text = t.TextChannel + (curveA ? ": A" : ": B");
    return activeChannel_ != before;
}

namespace {
// The empty form of a label: its entry and a fixed tail.
struct Placeholder {
    MonLabel label;
    std::string MessageTable::*entry;
    std::string_view tail;
};
const std::array<Placeholder, 13> kPlaceholders{{
    {MonLabel::Advance, &MessageTable::TextAdvance, "= --- [°]"},
    {MonLabel::StartLimiter, &MessageTable::TextStartLimiter, ": ---"},
    {MonLabel::Limiter, &MessageTable::TextLimiter, ": ---"},
    {MonLabel::ShiftLight, &MessageTable::TextShiftLight, ": ---"},
    {MonLabel::Clutch, &MessageTable::TextClutchMaster, ": ---"},
    {MonLabel::Curve, &MessageTable::TextUsedCurve, ": ---"},
    {MonLabel::Blocking, &MessageTable::TextBlocking, ": ---"},
    {MonLabel::ProgramCount, &MessageTable::TextProgramCount, " ---"},
    {MonLabel::Pickup, &MessageTable::TextPickup, ": ---"},
    {MonLabel::Polarity, &MessageTable::TextPolarity, ": ---"},
    {MonLabel::Channel, &MessageTable::TextChannel, ": ---"},
    {MonLabel::Input1, &MessageTable::TextInput, " 1: ---"},
    {MonLabel::Input2, &MessageTable::TextInput, " 2: ---"},
}};
} // namespace

void Monitor::placeholders(const MessageTable& t) {
    for (const Placeholder& p : kPlaceholders)
        display_[p.label].text = t.*p.entry + std::string(p.tail);
}

bool Monitor::forgetChannel() {
    if (activeChannel_ == -1)
        return false;
    activeChannel_ = -1;
    return true;
}

void Monitor::highlight(const ParameterImage& image) {
    if (!live_) {
        // An old speed must not point at a row as if the engine turned at it now.
        highlightRow_ = kNoHighlight;
        return;
    }
    std::optional<Curve> curve;
    switch (image[Offset::CurveSelect]) {
    case CurveSelection::A:
        curve = Curve::A;
        break;
    case CurveSelection::B:
        curve = Curve::B;
        break;
    default:
        if (activeChannel_ == 0)
            curve = Curve::A;
        else if (activeChannel_ == 1)
            curve = Curve::B;
        break;
    }
    if (!curve)
        return; // keep the previous highlight
    // A points byte beyond the table is read as the whole table.
    const std::size_t n =
        std::min<std::size_t>(image.at(*curve, &CurveOffsets::points), kCurvePoints);
    const int r = displayedRpm_ / 100;
    std::size_t i = 0;
    while (i < n && image.rpm(*curve, i) <= r)
        ++i;
    if (i == 0)
        highlightRow_ = kNoHighlight;
    else if (i == n)
        highlightRow_ = static_cast<int>(n - 1);
    else
        highlightRow_ = image.rpm(*curve, i - 1) + image.rpm(*curve, i) >= 2 * r
                            ? static_cast<int>(i - 1)
                            : static_cast<int>(i);
}

} // namespace zentrola
