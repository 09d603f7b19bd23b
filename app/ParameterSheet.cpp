#include "app/ParameterSheet.h"

#include "app/Configurator.h"
#include "core/BikeTypes.h"
#include "core/Differences.h"
#include "core/FormValues.h"
#include "core/SheetTexts.h"

#include <algorithm>
#include <span>

namespace zentrola {

namespace {

namespace setting = texts::setting;
using namespace choice;
namespace sheet = texts::sheet;

constexpr int kRpmUnit = 100;
constexpr std::uint8_t kFullPwm = 10; // the unit takes a duty of 0 as full
constexpr std::uint8_t kHighestLobeCode = 3;
// Input functions that switch a setting on.
constexpr std::uint8_t kInputClutchMaster = 2;
constexpr std::uint8_t kInputStartLimiter = 4;

using Items = std::span<const TextRow* const>;

class Builder {
  public:
    Builder(const ParameterImage& image, Language language, std::string_view thousands)
        : image_(image), language_(language), thousands_(thousands) {}

    std::string text(const TextRow& row) const { return std::string(row[language_]); }

    // A spinner's value as the window shows it; a stored value beyond the spinner's range is
    // printed as stored, never clamped: the sheet says what the unit gets.
    std::string spinner(std::size_t id, std::uint8_t byte) const {
        const SpinnerSpec& spec = spinnerTable()[id];
        if (id == Spin::Pwm && byte == 0)
            byte = kFullPwm;
        const int value = toPosition(spec.conversion, byte);
        return spec.thousands ? groupedNumber(value, thousands_) : std::to_string(value);
    }

    std::string item(Items items, std::uint8_t byte) const {
        return byte < items.size() ? text(*items[byte]) : std::to_string(byte);
    }

    std::string check(std::uint8_t byte) const {
        return byte == 0 ? text(texts::No) : byte == 1 ? text(texts::Yes) : std::to_string(byte);
    }

    std::string bike(std::uint8_t code) const {
        if (const auto i = itemFromBikeType(code))
            return std::string(kBikeList[static_cast<std::size_t>(*i)].text);
        return std::to_string(code);
    }

    std::string lobes(std::uint8_t code) const {
        if (code > kHighestLobeCode)
            return std::to_string(code);
        return text(*kLobeItems[static_cast<std::size_t>(toPosition(Conversion::Lobes, code))]);
    }

    void common(const TextRow& caption, std::string value, std::string_view suffix = {}) {
        rows_.push_back({text(caption) + std::string(suffix), std::move(value), {}, false, true});
    }

    void perCurve(const TextRow& caption, std::size_t id, bool inUse = true) {
        const SpinnerSpec& spec = spinnerTable()[id];
        rows_.push_back({text(caption), spinner(id, image_[spec.byteA]),
                         spinner(id, image_[spec.byteB]), true, inUse});
    }

    std::vector<SheetRow> take() { return std::move(rows_); }

  private:
    const ParameterImage& image_;
    Language language_;
    std::string_view thousands_;
    std::vector<SheetRow> rows_;
};

bool inputSetTo(const ParameterImage& image, std::uint8_t function) {
    return image[Offset::Input1] == function || image[Offset::Input2] == function;
}

// Grid steps that give the plot five to ten lines along each axis.
int niceStep(int end, std::initializer_list<int> steps) {
    for (int step : steps)
        if (end / step <= 10)
            return step;
    return *(steps.end() - 1);
}

SheetScale scaleOf(const std::array<SheetCurve, 2>& curves) {
    int rpm = 0;
    int degrees = 0;
    for (const SheetCurve& c : curves) {
        rpm = std::max({rpm, c.limiter, c.startLimiter.value_or(0)});
        degrees = std::max(degrees, c.baseAdvance);
        for (const SheetPoint& p : c.points) {
            rpm = std::max(rpm, p.rpm);
            degrees = std::max(degrees, p.advance);
        }
    }
    SheetScale s;
    s.rpmStep = niceStep(rpm + 1, {1000, 2000, 2500, 5000});
    s.rpmEnd = std::max(1, (rpm + s.rpmStep / 2) / s.rpmStep + 1) * s.rpmStep;
    s.degreeStep = niceStep(degrees + 1, {5, 10});
    s.degreeEnd = std::max(1, degrees / s.degreeStep + 1) * s.degreeStep;
    return s;
}

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        out.push_back(std::move(line));
        start = end + 1;
    }
    while (!out.empty() && out.back().find_first_not_of(" \t") == std::string::npos)
        out.pop_back();
    return out;
}

} // namespace

int sheetPointCount(const ParameterImage& image, Curve curve) {
    return std::clamp<int>(image.at(curve, &CurveOffsets::points), 1, kCurvePoints);
}

ParameterSheet makeSheet(const ParameterImage& image, const SheetFacts& facts, Language language,
                         std::string_view thousands) {
    Builder b(image, language, thousands);
    ParameterSheet s;
    s.language = language;
    s.thousands = std::string(thousands);
    s.title = b.text(sheet::Title);

    // The head.
    s.head.push_back({b.text(sheet::Program), std::string(kProgramName) + " Configurator, " +
                                                  b.text(sheet::VersionWord) + " " +
                                                  std::to_string(kVersion)});
    s.head.push_back({b.text(sheet::Printed), facts.printed});
    s.head.push_back({b.text(sheet::File),
                      facts.fileName.empty()
                          ? b.text(sheet::NoFile)
                          : facts.fileName + (facts.fileChanged ? b.text(sheet::FileChanged) : ""),
                      facts.fileName.empty() || facts.fileChanged});
    s.head.push_back({b.text(sheet::Unit),
                      facts.unit
                          ? facts.unit->name + "   " + facts.unit->date + "   " + facts.unit->time
                          : b.text(sheet::UnitUnknown)});
    const TextRow* holds = &sheet::HoldsUnknown;
    switch (facts.holds) {
    case UnitHolds::Confirmed:
        holds = &sheet::HoldsConfirmed;
        break;
    case UnitHolds::AsSent:
        holds = &sheet::HoldsAsSent;
        break;
    case UnitHolds::No:
        holds = &sheet::HoldsNot;
        break;
    case UnitHolds::Unknown:
        break;
    }
    s.head.push_back({b.text(sheet::UnitHolds), b.text(*holds), facts.holds == UnitHolds::No});
    s.head.push_back({b.text(sheet::Customer), facts.lines.customer});
    s.head.push_back({b.text(sheet::Bike), facts.lines.bike});
    s.noteLines = splitLines(facts.lines.notes);

    // The curves as the unit uses them: the points in use, the limiters that end them.
    const bool startLimiterInUse = inputSetTo(image, kInputStartLimiter);
    const bool clutchInUse = inputSetTo(image, kInputClutchMaster);
    for (const Curve c : {Curve::A, Curve::B}) {
        SheetCurve& curve = s.curves[static_cast<std::size_t>(c)];
        curve.name = b.text(c == Curve::A ? sheet::CurveA : sheet::CurveB);
        curve.baseAdvance = image[Offset::BaseAdvance];
        curve.limiter = image.at(c, &CurveOffsets::limiter) * kRpmUnit;
        if (startLimiterInUse)
            curve.startLimiter = image.at(c, &CurveOffsets::startLimiter) * kRpmUnit;
        const int n = sheetPointCount(image, c);
        for (int k = 0; k < n; ++k) {
            const auto point = static_cast<std::size_t>(k);
            curve.points.push_back({image.rpm(c, point) * kRpmUnit, image.advance(c, point)});
        }
    }
    s.scale = scaleOf(s.curves);

    // Every other setting, in the order of the window's groups.
    b.common(setting::BikeType, b.bike(image[Offset::BikeType]));
    b.common(setting::Lobes, b.lobes(image[Offset::Lobes]));
    b.common(setting::Polarity, b.item(kPolarityItems, image[Offset::Polarity]));
    b.common(sheet::CurveSelection, b.item(kCurveItems, image[Offset::CurveSelect]));
    b.perCurve(setting::NumberOfItems, Spin::Points);
    b.common(setting::BaseAdvance, b.spinner(Spin::BaseAdvance, image[Offset::BaseAdvance]));
    b.perCurve(setting::StartLimiter, Spin::StartLimiter, startLimiterInUse);
    b.perCurve(setting::Limiter, Spin::Limiter);
    b.perCurve(setting::ShiftLight, Spin::ShiftLight);
    b.common(setting::Pwm, b.spinner(Spin::Pwm, image[Offset::Pwm]));
    b.common(setting::ReverseOutput, b.check(image[Offset::ReverseOutput]));
    b.perCurve(setting::ClutchTime, Spin::ClutchTime, clutchInUse);
    b.perCurve(setting::ClutchPause, Spin::ClutchPause, clutchInUse);
    b.common(texts::Input, b.item(kInput1Items, image[Offset::Input1]), " 1");
    b.common(texts::Input, b.item(kInput2Items, image[Offset::Input2]), " 2");
    b.common(setting::Pulses, b.spinner(Spin::RpmPulses, image[Offset::RpmPulses]));
    b.common(setting::Correction, b.spinner(Spin::RpmCorrection, image[Offset::RpmCorrection]));
    b.common(setting::NoReading, b.check(image[Offset::NoReading]));
    b.common(sheet::TestSpeed, b.spinner(Spin::TestRpm, image[Offset::TestRpm]));
    s.rows = b.take();
    s.anyNotInUse =
        std::any_of(s.rows.begin(), s.rows.end(), [](const SheetRow& r) { return !r.inUse; });
    return s;
}

SheetFacts sheetFacts(const Configurator& cfg, const SheetLines& lines, std::string printed) {
    SheetFacts f;
    f.printed = std::move(printed);
    f.fileName = cfg.fileName();
    f.fileChanged = cfg.notSaved();
    f.lines = lines;
    // As the not-programmed marker judges it: what a verify confirmed or found, compared
    // setting by setting with the window.
    if (const std::optional<KnownUnit> unit = cfg.knownUnit()) {
        f.unit = cfg.unitTexts();
        if (!sameSettings(cfg.image(), unit->image))
            f.holds = UnitHolds::No;
        else
            f.holds =
                unit->source == UnitSource::Confirmed ? UnitHolds::Confirmed : UnitHolds::AsSent;
    }
    return f;
}

} // namespace zentrola
