// The difference report: which settings two parameter images hold differently, each named
// in the window's terms and with both values as the window shows them, in the order of the
// window's groups. Compares settings, not bytes: a curve point by its row, the lobe code as
// its list item, the correction in percent.
#pragma once

#include "core/Jazyk1.h"
#include "core/ParameterImage.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace zentrola {

struct Difference {
    std::string name;   // "Limiter [rpm], curve B"
    std::string first;  // "12,000"
    std::string second; // "11,500"

    bool operator==(const Difference&) const = default;
};

struct DifferenceFormat {
    Language language = Language::English;
    // Between groups of three digits where the window shows a thousands separator; the
    // window passes its locale's, the command line ",".
    std::string_view thousandsSeparator = ",";
};

// Every setting that differs, in the window's order: the curve table (curve A, then B, row
// by row), number of points, base advance, A/B, polarity, inputs, tachometer output, bike
// type, lobes, limiters, clutch master, no reading, shift light, PWM, reverse output, test
// rpm; then the reserved bytes, which the window does not show but the unit keeps.
//
// A curve row counts on a side only while it is within that side's number of points. A row
// in use on neither side is left out; a row in use on one side only is reported with
// "unused" for the other side's rpm and advance, so that a longer curve shows what it adds.
//
// Values are formatted as the window formats them but are not clamped to the spinner's
// range, and a choice byte outside its list (or a check box byte other than 0 and 1) is
// shown as its number: two different stored values never read the same. The one exception
// is the unit's own: a PWM byte of 0 is full duty and reads as 100.
std::vector<Difference> differences(const ParameterImage& first, const ParameterImage& second,
                                    const DifferenceFormat& format = {});

// Whether the images hold the same settings (no difference above).
bool sameSettings(const ParameterImage& first, const ParameterImage& second);

// "NAME: FIRST -> SECOND", the command line's form.
std::string differenceLine(const Difference& difference);

// The number with the separator between groups of three digits: 12000 -> "12,000".
std::string groupedNumber(int value, std::string_view separator);

// The items of the choice settings in their list order, as the difference report and the
// parameter sheet name them. The lobe code of item i is (i + 1) mod 4.
namespace choice {
inline constexpr std::array<const TextRow*, 3> kCurveItems{&texts::setting::A, &texts::setting::B,
                                                           &texts::setting::Monitor};
inline constexpr std::array<const TextRow*, 3> kPolarityItems{&texts::Positive, &texts::Negative,
                                                              &texts::setting::SelfSearch};
inline constexpr std::array<const TextRow*, 5> kInput1Items{
    &texts::setting::Off, &texts::setting::KillSwitch, &texts::setting::ClutchMaster,
    &texts::setting::CurveB, &texts::setting::StartLimiterItem};
inline constexpr std::array<const TextRow*, 5> kInput2Items{
    &texts::setting::Off, &texts::setting::Blocking, &texts::setting::ClutchMaster,
    &texts::setting::CurveB, &texts::setting::StartLimiterItem};
inline constexpr std::array<const TextRow*, 4> kLobeItems{
    &texts::setting::OneLobe, &texts::setting::TwoLobes, &texts::setting::ThreeLobes,
    &texts::setting::Camshaft};
} // namespace choice

} // namespace zentrola
