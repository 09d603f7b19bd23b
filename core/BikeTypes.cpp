#include "core/BikeTypes.h"

namespace zentrola {

namespace {

struct TypeRule {
    bool freeKeying;
    std::uint8_t polarity; // forced (fixed types) or default (free types)
    bool selfSearchOffered;
};

// Indexed by bike type code.
constexpr std::array<TypeRule, kBikeCount> kTypeRules{{
    {true, Polarity::SelfSearch, true},  // 0 Standard
    {false, Polarity::Positive, false},  // 1 Kawasaki
    {false, Polarity::Positive, false},  // 2 Yamaha
    {false, Polarity::Negative, false},  // 3 KTM
    {false, Polarity::SelfSearch, true}, // 4 Honda
    {false, Polarity::SelfSearch, true}, // 5 Freewind
    {false, Polarity::Positive, false},  // 6 Husaberg
    {false, Polarity::Positive, false},  // 7 2T SEM
    {true, Polarity::Negative, false},   // 8 Start of lobe
    {false, Polarity::SelfSearch, true}, // 9 DR650SE
}};

constexpr std::uint8_t kDefaultPoints = 15;
constexpr std::uint8_t kDefaultBaseAdvance = 10;
constexpr std::uint8_t kDefaultBaseAdvanceStartOfLobe = 22;
constexpr std::uint8_t kDefaultStartLimiter = 100; // 10000 rpm
constexpr std::uint8_t kDefaultLimiter = 150;      // 15000 rpm
constexpr std::uint8_t kDefaultShiftLight = 120;   // 12000 rpm
constexpr std::uint8_t kDefaultPwm = 10;           // 100 %
constexpr std::uint8_t kDefaultClutchTime = 20;    // 100 ms
constexpr std::uint8_t kDefaultClutchPause = 5;    // 500 ms
constexpr std::uint8_t kDefaultAdvanceA = 10;
constexpr std::uint8_t kDefaultAdvanceB = 4;
constexpr std::uint8_t kDefaultRpmPulses = 1;
constexpr std::uint8_t kNoCorrection = 100;
constexpr std::uint8_t kOneLobe = 1;

} // namespace

std::optional<std::uint8_t> bikeTypeFromItem(int item) {
    if (item < 0 || item >= static_cast<int>(kBikeCount))
        return std::nullopt;
    return kBikeList[static_cast<std::size_t>(item)].code;
}

std::optional<int> itemFromBikeType(std::uint8_t code) {
    for (std::size_t i = 0; i < kBikeList.size(); ++i)
        if (kBikeList[i].code == code)
            return static_cast<int>(i);
    return std::nullopt;
}

bool keyingIsFree(std::uint8_t code) {
    return code < kBikeCount && kTypeRules[code].freeKeying;
}

bool offersSelfSearch(std::uint8_t code) {
    // Unknown codes get the full list.
    return code >= kBikeCount || kTypeRules[code].selfSearchOffered;
}

std::uint8_t defaultPolarity(std::uint8_t code) {
    return code < kBikeCount ? kTypeRules[code].polarity : Polarity::Positive;
}

std::optional<Keying> fixedKeying(std::uint8_t code) {
    if (code >= kBikeCount || kTypeRules[code].freeKeying)
        return std::nullopt;
    return Keying{kOneLobe, kTypeRules[code].polarity};
}

void loadDefaults(ParameterImage& image) {
    const std::uint8_t type = image[Offset::BikeType];
    for (Curve c : {Curve::A, Curve::B}) {
        image.at(c, &CurveOffsets::points) = kDefaultPoints;
        image.at(c, &CurveOffsets::startLimiter) = kDefaultStartLimiter;
        image.at(c, &CurveOffsets::limiter) = kDefaultLimiter;
        image.at(c, &CurveOffsets::shiftLight) = kDefaultShiftLight;
        image.at(c, &CurveOffsets::clutchTime) = kDefaultClutchTime;
        image.at(c, &CurveOffsets::clutchPause) = kDefaultClutchPause;
        for (std::size_t i = 0; i < kCurvePoints; ++i) {
            image.rpm(c, i) = static_cast<std::uint8_t>(10 * (i + 1));
            image.advance(c, i) = c == Curve::A ? kDefaultAdvanceA : kDefaultAdvanceB;
        }
    }
    image[Offset::BaseAdvance] =
        type == kBikeStartOfLobe ? kDefaultBaseAdvanceStartOfLobe : kDefaultBaseAdvance;
    image[Offset::Lobes] = kOneLobe;
    image[Offset::Polarity] = defaultPolarity(type);
    image[Offset::Pwm] = kDefaultPwm;
    image[Offset::NoReading] = 0;
    image[Offset::ReverseOutput] = 0;
    image[Offset::RpmPulses] = kDefaultRpmPulses;
    image[Offset::RpmCorrection] = kNoCorrection;
    image[Offset::CurveSelect] = CurveSelection::A;
}

void resetKeying(ParameterImage& image) {
    image[Offset::Lobes] = kOneLobe;
    image[Offset::Polarity] = defaultPolarity(image[Offset::BikeType]);
}

} // namespace zentrola
