#include "core/FormValues.h"

#include "core/BikeTypes.h"

#include <algorithm>

namespace zentrola {

namespace {

constexpr std::array<SpinnerSpec, Spin::Count> makeSpinnerTable() {
    std::array<SpinnerSpec, Spin::Count> t{};
    t[Spin::Points] = {"UpDownPocetBodu", 1,    15, 1, 3, Conversion::Plain, Offset::PointsA,
                       Offset::PointsB,   false};
    for (std::size_t k = 0; k < kCurvePoints; ++k) {
        // Rows 1..10 are designed with 1000..10000, rows 11..15 with 3000..7000.
        const int form =
            k < 10 ? static_cast<int>(1000 * (k + 1)) : static_cast<int>(1000 * (k - 7));
        t[Spin::Rpm + k] = {
            "UpDownRpmAdv",   600, 20100, 100, form, Conversion::Hundreds, Offset::RpmA + k,
            Offset::RpmB + k, true};
        t[Spin::Advance + k] = {
            "UpDownAdvance",      0,    60, 1, 20, Conversion::Plain, Offset::AdvanceA + k,
            Offset::AdvanceB + k, false};
    }
    t[Spin::BaseAdvance] = {"UpDownBaseAdv",     0,       40,   1, 40, Conversion::Plain,
                            Offset::BaseAdvance, kNoByte, false};
    t[Spin::StartLimiter] = {
        "UpDownOmez1",         999, 25000, 100, 15000, Conversion::Hundreds, Offset::StartLimiterA,
        Offset::StartLimiterB, true};
    t[Spin::Limiter] = {
        "UpDownOmez2",    999, 25000, 100, 15000, Conversion::Hundreds, Offset::LimiterA,
        Offset::LimiterB, true};
    t[Spin::ShiftLight] = {
        "UpDownLedRazeni",   100, 25000, 100, 15000, Conversion::Hundreds, Offset::ShiftLightA,
        Offset::ShiftLightB, true};
    t[Spin::Pwm] = {"UpDownPWM", 10, 100, 10, 100, Conversion::Tens, Offset::Pwm, kNoByte, false};
    t[Spin::ClutchTime] = {
        "UpDownClutch1",     0,   1250, 5, 1250, Conversion::Fives, Offset::ClutchTimeA,
        Offset::ClutchTimeB, true};
    t[Spin::ClutchPause] = {
        "UpDownClutch2",      0,   10000, 100, 2500, Conversion::Hundreds, Offset::ClutchPauseA,
        Offset::ClutchPauseB, true};
    t[Spin::RpmPulses] = {"UpDownRpmPulsu",  1,       6,    1, 1, Conversion::Plain,
                          Offset::RpmPulses, kNoByte, false};
    t[Spin::RpmCorrection] = {"UpDownRpmKorekce",    -60,     60,   1, 0, Conversion::Correction,
                              Offset::RpmCorrection, kNoByte, false};
    t[Spin::TestRpm] = {"UpDownTestRpm", 200,     25000, 100, 25000, Conversion::Hundreds,
                        Offset::TestRpm, kNoByte, true};
    return t;
}

constexpr std::array<SpinnerSpec, Spin::Count> kSpinnerTable = makeSpinnerTable();

constexpr bool perCurve(const SpinnerSpec& s) {
    return s.byteB != kNoByte;
}

std::size_t byteOf(const SpinnerSpec& s, Curve c) {
    return c == Curve::A ? s.byteA : s.byteB;
}

// The per-curve spinners that are not curve rows.
constexpr std::array<std::size_t, 6> kCurveFieldSpinners{Spin::Points,       Spin::Limiter,
                                                         Spin::StartLimiter, Spin::ShiftLight,
                                                         Spin::ClutchTime,   Spin::ClutchPause};

int clampItem(int value, int items) {
    return std::clamp(value, 0, items - 1);
}

} // namespace

const std::array<SpinnerSpec, Spin::Count>& spinnerTable() {
    return kSpinnerTable;
}

FormValues FormValues::designed() {
    FormValues f;
    for (std::size_t i = 0; i < Spin::Count; ++i)
        f.spin[i] = kSpinnerTable[i].formValue;
    return f;
}

void FormValues::setSpinner(std::size_t id, int value) {
    spin[id] = std::clamp(value, kSpinnerTable[id].min, kSpinnerTable[id].max);
}

std::optional<Curve> shownCurve(std::uint8_t curveSelect, int activeChannel) {
    switch (curveSelect) {
    case CurveSelection::A:
        return Curve::A;
    case CurveSelection::B:
        return Curve::B;
    case CurveSelection::Monitor:
        if (activeChannel == 0)
            return Curve::A;
        if (activeChannel == 1)
            return Curve::B;
        return std::nullopt;
    default:
        return std::nullopt;
    }
}

std::optional<Curve> shownCurve(const ParameterImage& image, int activeChannel) {
    return shownCurve(image[Offset::CurveSelect], activeChannel);
}

void refresh(const ParameterImage& image, std::optional<Curve> shown, FormValues& form) {
    if (auto item = itemFromBikeType(image[Offset::BikeType]))
        form.bikeItem = *item;
    auto show = [&](std::size_t id, std::size_t byte) {
        form.setSpinner(id, toPosition(kSpinnerTable[id].conversion, image[byte]));
    };
    if (shown) {
        for (std::size_t id : kCurveFieldSpinners)
            show(id, byteOf(kSpinnerTable[id], *shown));
    }
    show(Spin::Pwm, Offset::Pwm);
    show(Spin::BaseAdvance, Offset::BaseAdvance);
    form.polarityItems = offersSelfSearch(image[Offset::BikeType]) ? 3 : 2;
    form.polarityItem = clampItem(image[Offset::Polarity], form.polarityItems);
    form.lobeItem = toPosition(Conversion::Lobes, image[Offset::Lobes]);
    form.input1Item = clampItem(image[Offset::Input1], kInputItems);
    form.input2Item = clampItem(image[Offset::Input2], kInputItems);
    form.noReading = image[Offset::NoReading] != 0;
    show(Spin::RpmPulses, Offset::RpmPulses);
    show(Spin::RpmCorrection, Offset::RpmCorrection);
    form.reverseOutput = image[Offset::ReverseOutput] != 0;
    if (shown) {
        for (std::size_t k = 0; k < kCurvePoints; ++k) {
            show(Spin::Rpm + k, byteOf(kSpinnerTable[Spin::Rpm + k], *shown));
            show(Spin::Advance + k, byteOf(kSpinnerTable[Spin::Advance + k], *shown));
        }
    }
    form.curveItem = clampItem(image[Offset::CurveSelect], kCurveSelectItems);
    show(Spin::TestRpm, Offset::TestRpm);
}

void capture(FormValues& form, ParameterImage& image, std::optional<Curve> shown, int& marker) {
    auto take = [&](std::size_t id, std::size_t byte) {
        image[byte] = toByte(kSpinnerTable[id].conversion, form.spin[id]);
    };
    if (auto code = bikeTypeFromItem(form.bikeItem))
        image[Offset::BikeType] = *code;
    if (shown) {
        for (std::size_t id : kCurveFieldSpinners)
            take(id, byteOf(kSpinnerTable[id], *shown));
    }
    take(Spin::Pwm, Offset::Pwm);
    take(Spin::BaseAdvance, Offset::BaseAdvance);

    const std::uint8_t type = image[Offset::BikeType];
    if (keyingIsFree(type)) {
        image[Offset::Lobes] = toByte(Conversion::Lobes, form.lobeItem);
        image[Offset::Polarity] = static_cast<std::uint8_t>(form.polarityItem);
    } else if (auto fixed = fixedKeying(type)) {
        image[Offset::Lobes] = fixed->lobes;
        image[Offset::Polarity] = fixed->polarity;
        form.lobeItem = 0;
        form.polarityItem = fixed->polarity;
    }

    image[Offset::Input1] = static_cast<std::uint8_t>(form.input1Item);
    image[Offset::Input2] = static_cast<std::uint8_t>(form.input2Item);
    image[Offset::NoReading] = form.noReading ? 1 : 0;
    take(Spin::RpmPulses, Offset::RpmPulses);
    take(Spin::RpmCorrection, Offset::RpmCorrection);
    image[Offset::ReverseOutput] = form.reverseOutput ? 1 : 0;
    take(Spin::TestRpm, Offset::TestRpm);

    if (!shown)
        return;
    int changes = 0;
    for (std::size_t j = 0; j < kCurvePoints; ++j) {
        const std::uint8_t rpm = toByte(Conversion::Hundreds, form.spin[Spin::Rpm + j]);
        const auto advance = static_cast<std::uint8_t>(form.spin[Spin::Advance + j]);
        if (rpm != image.rpm(*shown, j) || advance != image.advance(*shown, j)) {
            ++changes;
            if (marker == -2)
                marker = static_cast<int>(j);
        }
        image.rpm(*shown, j) = rpm;
        image.advance(*shown, j) = advance;
    }
    if (changes > 1)
        marker = -1;
}

} // namespace zentrola
