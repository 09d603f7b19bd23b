// What every parameter control of the window shows, as plain data, with the one table of
// spinner ranges. Refresh (image -> controls) and capture (controls -> image) live here so
// the rules are tested without widgets; the window only copies widgets to and from this.
#pragma once

#include "core/ParameterImage.h"

#include <array>
#include <optional>
#include <string_view>

namespace zentrola {

// Spinner indices; the curve rows are Rpm + k and Advance + k for point k.
namespace Spin {
inline constexpr std::size_t Points = 0;
inline constexpr std::size_t Rpm = 1;
inline constexpr std::size_t Advance = Rpm + kCurvePoints;
inline constexpr std::size_t BaseAdvance = Advance + kCurvePoints;
inline constexpr std::size_t StartLimiter = BaseAdvance + 1;
inline constexpr std::size_t Limiter = StartLimiter + 1;
inline constexpr std::size_t ShiftLight = Limiter + 1;
inline constexpr std::size_t Pwm = ShiftLight + 1;
inline constexpr std::size_t ClutchTime = Pwm + 1;
inline constexpr std::size_t ClutchPause = ClutchTime + 1;
inline constexpr std::size_t RpmPulses = ClutchPause + 1;
inline constexpr std::size_t RpmCorrection = RpmPulses + 1;
inline constexpr std::size_t TestRpm = RpmCorrection + 1;
inline constexpr std::size_t Count = TestRpm + 1;
} // namespace Spin

inline constexpr std::size_t kNoByte = static_cast<std::size_t>(-1);

struct SpinnerSpec {
    std::string_view name; // the up-down control
    int min;
    int max;
    int step;
    int formValue;
    Conversion conversion;
    std::size_t byteA; // the byte of curve A, or the common byte
    std::size_t byteB; // the byte of curve B; kNoByte for common fields
    bool thousands;    // the field shows a thousands separator
};

const std::array<SpinnerSpec, Spin::Count>& spinnerTable();

// Item counts of the choice controls.
inline constexpr int kCurveSelectItems = 3;
inline constexpr int kInputItems = 5;

struct FormValues {
    std::array<int, Spin::Count> spin{};
    int bikeItem = 0;
    int lobeItem = 0;
    int polarityItem = 0;
    int polarityItems = 3; // two for the types without self-search
    int input1Item = 0;
    int input2Item = 0;
    int curveItem = 0;
    bool noReading = false;
    bool reverseOutput = false;

    // The controls as the window is designed, before the first refresh.
    static FormValues designed();

    // Writing a spinner shows the value clamped to its range, as the widget would.
    void setSpinner(std::size_t id, int value);
};

// Which curve the controls show and edit: byte 22 and the unit's active channel.
std::optional<Curve> shownCurve(std::uint8_t curveSelect, int activeChannel);
std::optional<Curve> shownCurve(const ParameterImage& image, int activeChannel);

// Writes every control from the image (the controls of a curve only when one is shown).
void refresh(const ParameterImage& image, std::optional<Curve> shown, FormValues& form);

// Takes the controls into the image. The marker is -2 before a control edit; the capture
// puts the index of the one changed curve point there, or -1 when several changed.
// The fixed keying of the bike type is forced back into the lobe and polarity selectors.
void capture(FormValues& form, ParameterImage& image, std::optional<Curve> shown, int& marker);

} // namespace zentrola
