#include "core/Differences.h"

#include "core/BikeTypes.h"
#include "core/FormValues.h"

#include <algorithm>
#include <array>
#include <span>

namespace zentrola {

namespace {

namespace setting = texts::setting;
using namespace choice;

enum class Shown : std::uint8_t { Spinner, Items, Check, Bike, Lobes };

using Items = std::span<const TextRow* const>;

struct Setting {
    const TextRow* name;
    std::string_view suffix; // " 1" of "Input 1"
    Shown shown;
    std::size_t spinner = 0; // Spinner: reported for curve A, then B, when it is per curve
    std::size_t offset = 0;  // the other kinds: the byte
    Items items{};
};

constexpr std::uint8_t kHighestLobeCode = 3;
constexpr std::uint8_t kFullPwm = 10;

// After the curve table, in the order of the window's groups and of the controls in each.
constexpr std::array kSettings{
    // curve panel
    Setting{&setting::NumberOfItems, {}, Shown::Spinner, Spin::Points},
    Setting{&setting::BaseAdvance, {}, Shown::Spinner, Spin::BaseAdvance},
    Setting{&setting::CurveSelection, {}, Shown::Items, 0, Offset::CurveSelect, kCurveItems},
    // polarity, inputs, tachometer output
    Setting{&setting::Polarity, {}, Shown::Items, 0, Offset::Polarity, kPolarityItems},
    Setting{&texts::Input, " 1", Shown::Items, 0, Offset::Input1, kInput1Items},
    Setting{&texts::Input, " 2", Shown::Items, 0, Offset::Input2, kInput2Items},
    Setting{&setting::Pulses, {}, Shown::Spinner, Spin::RpmPulses},
    Setting{&setting::Correction, {}, Shown::Spinner, Spin::RpmCorrection},
    // bike and limits
    Setting{&setting::BikeType, {}, Shown::Bike, 0, Offset::BikeType},
    Setting{&setting::Lobes, {}, Shown::Lobes, 0, Offset::Lobes},
    Setting{&setting::StartLimiter, {}, Shown::Spinner, Spin::StartLimiter},
    Setting{&setting::Limiter, {}, Shown::Spinner, Spin::Limiter},
    Setting{&setting::ClutchTime, {}, Shown::Spinner, Spin::ClutchTime},
    Setting{&setting::ClutchPause, {}, Shown::Spinner, Spin::ClutchPause},
    Setting{&setting::NoReading, {}, Shown::Check, 0, Offset::NoReading},
    // gear shift light
    Setting{&setting::ShiftLight, {}, Shown::Spinner, Spin::ShiftLight},
    Setting{&setting::Pwm, {}, Shown::Spinner, Spin::Pwm},
    Setting{&setting::ReverseOutput, {}, Shown::Check, 0, Offset::ReverseOutput},
    // test
    Setting{&setting::TestRpm, {}, Shown::Spinner, Spin::TestRpm},
};

struct ReservedRange {
    std::size_t first;
    std::size_t end;
};
constexpr std::array<ReservedRange, 2> kReserved{{
    {Offset::ReservedLow, Offset::RpmA},
    {Offset::ReservedHigh, kRecordSize},
}};

class Report {
  public:
    Report(const ParameterImage& first, const ParameterImage& second,
           const DifferenceFormat& format)
        : first_(first), second_(second), format_(format) {}

    std::vector<Difference> run() {
        curveTable(Curve::A);
        curveTable(Curve::B);
        for (const Setting& s : kSettings)
            report(s);
        for (const ReservedRange& range : kReserved)
            for (std::size_t offset = range.first; offset < range.end; ++offset)
                add(text(setting::ReservedByte) + " " + std::to_string(offset),
                    std::to_string(first_[offset]), std::to_string(second_[offset]));
        return std::move(out_);
    }

  private:
    std::string text(const TextRow& row) const { return std::string(row[format_.language]); }
    std::string letter(Curve c) const { return text(c == Curve::A ? setting::A : setting::B); }

    void add(std::string name, std::string first, std::string second) {
        if (first != second)
            out_.push_back({std::move(name), std::move(first), std::move(second)});
    }

    std::string spinnerText(std::size_t id, std::uint8_t byte) const {
        const SpinnerSpec& spec = spinnerTable()[id];
        // The unit takes a duty of 0 as full, as the rules do.
        if (id == Spin::Pwm && byte == 0)
            byte = kFullPwm;
        const int value = toPosition(spec.conversion, byte);
        return spec.thousands ? groupedNumber(value, format_.thousandsSeparator)
                              : std::to_string(value);
    }

    std::string valueText(const Setting& s, std::uint8_t byte) const {
        switch (s.shown) {
        case Shown::Items:
            return byte < s.items.size() ? text(*s.items[byte]) : std::to_string(byte);
        case Shown::Check:
            return byte == 0   ? text(texts::No)
                   : byte == 1 ? text(texts::Yes)
                               : std::to_string(byte);
        case Shown::Bike:
            if (const auto item = itemFromBikeType(byte))
                return std::string(kBikeList[static_cast<std::size_t>(*item)].text);
            return std::to_string(byte);
        case Shown::Lobes:
            if (byte <= kHighestLobeCode)
                return text(
                    *kLobeItems[static_cast<std::size_t>(toPosition(Conversion::Lobes, byte))]);
            return std::to_string(byte);
        case Shown::Spinner:
            break;
        }
        return spinnerText(s.spinner, byte);
    }

    void report(const Setting& s) {
        const std::string name = text(*s.name) + std::string(s.suffix);
        if (s.shown != Shown::Spinner) {
            add(name, valueText(s, first_[s.offset]), valueText(s, second_[s.offset]));
            return;
        }
        const SpinnerSpec& spec = spinnerTable()[s.spinner];
        if (spec.byteB == kNoByte) {
            add(name, valueText(s, first_[spec.byteA]), valueText(s, second_[spec.byteA]));
            return;
        }
        for (const Curve c : {Curve::A, Curve::B}) {
            const std::size_t byte = c == Curve::A ? spec.byteA : spec.byteB;
            add(name + ", " + text(setting::OfCurve) + " " + letter(c), valueText(s, first_[byte]),
                valueText(s, second_[byte]));
        }
    }

    // Rows within a side's number of points only; see the header.
    void curveTable(Curve c) {
        const auto rows = [&](const ParameterImage& image) {
            return std::min<std::size_t>(image.at(c, &CurveOffsets::points), kCurvePoints);
        };
        const std::size_t firstRows = rows(first_);
        const std::size_t secondRows = rows(second_);
        const std::string prefix =
            text(setting::Curve) + " " + letter(c) + ", " + text(setting::Point) + " ";
        for (std::size_t k = 0; k < std::max(firstRows, secondRows); ++k) {
            const auto cell = [&](std::size_t used, std::size_t id, std::uint8_t byte) {
                return k < used ? spinnerText(id, byte) : text(setting::Unused);
            };
            const std::string row = prefix + std::to_string(k + 1) + ", ";
            add(row + text(setting::Rpm), cell(firstRows, Spin::Rpm + k, first_.rpm(c, k)),
                cell(secondRows, Spin::Rpm + k, second_.rpm(c, k)));
            add(row + text(setting::Advance),
                cell(firstRows, Spin::Advance + k, first_.advance(c, k)),
                cell(secondRows, Spin::Advance + k, second_.advance(c, k)));
        }
    }

    const ParameterImage& first_;
    const ParameterImage& second_;
    const DifferenceFormat& format_;
    std::vector<Difference> out_;
};

} // namespace

std::vector<Difference> differences(const ParameterImage& first, const ParameterImage& second,
                                    const DifferenceFormat& format) {
    return Report(first, second, format).run();
}

bool sameSettings(const ParameterImage& first, const ParameterImage& second) {
    return differences(first, second).empty();
}

std::string differenceLine(const Difference& difference) {
    return difference.name + ": " + difference.first + " -> " + difference.second;
}

std::string groupedNumber(int value, std::string_view separator) {
    const std::string digits = std::to_string(value < 0 ? -static_cast<long long>(value) : value);
    std::string out = value < 0 ? "-" : "";
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i != 0 && (digits.size() - i) % 3 == 0)
            out += separator;
        out += digits[i];
    }
    return out;
}

} // namespace zentrola
