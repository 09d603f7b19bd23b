// The difference report: names, values as the window shows them, order, unused points.
#include "core/Differences.h"

#include "core/BikeTypes.h"

#include <gtest/gtest.h>

#include <functional>

using namespace zentrola;

namespace {

ParameterImage defaults() {
    ParameterImage image;
    loadDefaults(image); // bike type 0, 15 points on both curves
    image[Offset::TestRpm] = 250;
    return image;
}

struct Case {
    std::function<void(ParameterImage& first, ParameterImage& second)> change;
    Difference expected;
};

// One of every kind of setting, in the window's order.
const std::vector<Case>& cases() {
    static const std::vector<Case> all{
        {[](auto& a, auto& b) {
             a.advance(Curve::A, 1) = 9;
             b.advance(Curve::A, 1) = 11;
         },
         {"Curve A, point 2, advance [°]", "9", "11"}},
        {[](auto&, auto& b) { b.rpm(Curve::B, 14) = 155; },
         {"Curve B, point 15, RPM", "15,000", "15,500"}},
        {[](auto&, auto& b) { b[Offset::BaseAdvance] = 22; }, {"Base advance [°]", "10", "22"}},
        {[](auto&, auto& b) { b[Offset::CurveSelect] = CurveSelection::Monitor; },
         {"A/B", "A", "Monitor"}},
        {[](auto&, auto& b) { b[Offset::Polarity] = Polarity::Negative; },
         {"Polarity of CPS", "Selfsearch", "Negative"}},
        {[](auto&, auto& b) { b[Offset::Input1] = 1; }, {"Input 1", "Off", "Kill switch"}},
        {[](auto& a, auto& b) {
             a[Offset::Input2] = 2;
             b[Offset::Input2] = 1;
         },
         {"Input 2", "Clutch master", "Blocking"}},
        {[](auto&, auto& b) { b[Offset::RpmPulses] = 4; }, {"Pulses per revolution", "1", "4"}},
        {[](auto&, auto& b) { b[Offset::RpmCorrection] = 40; }, {"Correction [%]", "0", "-60"}},
        {[](auto&, auto& b) { b[Offset::BikeType] = 3; }, {"Bike type", "Standard", "KTM 4T SEM"}},
        {[](auto&, auto& b) { b[Offset::Lobes] = 0; },
         {"Ignitions per revolution", "1 ignition per revolution",
          "1 ignition per 2 revolutions (camshaft)"}},
        {[](auto&, auto& b) { b[Offset::StartLimiterA] = 85; },
         {"Start limiter [rpm], curve A", "10,000", "8,500"}},
        {[](auto& a, auto& b) {
             a[Offset::LimiterB] = 120;
             b[Offset::LimiterB] = 115;
         },
         {"Limiter [rpm], curve B", "12,000", "11,500"}},
        {[](auto&, auto& b) { b[Offset::ClutchTimeB] = 250; },
         {"Clutch master time [ms], curve B", "100", "1,250"}},
        {[](auto&, auto& b) { b[Offset::ClutchPauseA] = 25; },
         {"Clutch master pause [ms], curve A", "500", "2,500"}},
        {[](auto&, auto& b) { b[Offset::NoReading] = 1; }, {"No Reading", "No", "Yes"}},
        {[](auto&, auto& b) { b[Offset::ShiftLightB] = 95; },
         {"Gear shift light [rpm], curve B", "12,000", "9,500"}},
        {[](auto&, auto& b) { b[Offset::Pwm] = 5; }, {"PWM [%]", "100", "50"}},
        {[](auto&, auto& b) { b[Offset::ReverseOutput] = 1; },
         {"Reverse otput polarity", "No", "Yes"}},
        {[](auto&, auto& b) { b[Offset::TestRpm] = 20; }, {"Test [rpm]", "25,000", "2,000"}},
        {[](auto&, auto& b) { b[Offset::ReservedHigh + 2] = 7; }, {"Reserved byte 93", "0", "7"}},
    };
    return all;
}

} // namespace

TEST(Differences, EveryKindOfSettingIsReportedOnceAsTheWindowShowsIt) {
    ParameterImage allA = defaults();
    ParameterImage allB = defaults();
    std::vector<Difference> expected;
    for (const Case& c : cases()) {
        ParameterImage a = defaults();
        ParameterImage b = defaults();
        c.change(a, b);
        EXPECT_EQ(differences(a, b), std::vector<Difference>{c.expected}) << c.expected.name;
        c.change(allA, allB);
        expected.push_back(c.expected);
    }
    // Together: in the order of the window's groups.
    EXPECT_EQ(differences(allA, allB), expected);
    EXPECT_FALSE(sameSettings(allA, allB));
}

TEST(Differences, IdenticalSettingsGiveNothing) {
    const ParameterImage image = defaults();
    EXPECT_TRUE(differences(image, image).empty());
    EXPECT_TRUE(sameSettings(image, image));

    // The unit's duty 0 is full duty; bytes after the settings record never reach the unit.
    ParameterImage unit = image;
    unit[Offset::Pwm] = 0;
    unit[kRecordSize + 3] = 9;
    EXPECT_TRUE(sameSettings(image, unit));
}

TEST(Differences, PointsBeyondACurvesNumberOfPointsCountOnlyWhereTheyAreUsed) {
    ParameterImage a = defaults();
    a[Offset::PointsA] = 5;
    ParameterImage b = a;
    b.rpm(Curve::A, 6) = 77;
    b.advance(Curve::A, 9) = 30;
    EXPECT_TRUE(differences(a, b).empty()); // unused on both sides

    b[Offset::PointsA] = 7;
    const std::vector<Difference> expected{
        {"Curve A, point 6, RPM", "unused", "6,000"},
        {"Curve A, point 6, advance [°]", "unused", "10"},
        {"Curve A, point 7, RPM", "unused", "7,700"},
        {"Curve A, point 7, advance [°]", "unused", "10"},
        {"Number of items, curve A", "5", "7"},
    };
    EXPECT_EQ(differences(a, b), expected);
    EXPECT_EQ(differences(b, a)[0], (Difference{"Curve A, point 6, RPM", "6,000", "unused"}));

    // A count the rules would never leave still only reaches the 15 points there are.
    b[Offset::PointsA] = 200;
    EXPECT_EQ(differences(a, b).size(), 2 * 10u + 1);
}

TEST(Differences, ValuesTheWindowCannotShowReadAsTheirNumbers) {
    struct Odd {
        std::size_t offset;
        std::uint8_t value;
        Difference expected;
    };
    const std::vector<Odd> odd{
        {Offset::Polarity, 7, {"Polarity of CPS", "Selfsearch", "7"}},
        {Offset::Input1, 7, {"Input 1", "Off", "7"}},
        {Offset::BikeType, 17, {"Bike type", "Standard", "17"}},
        {Offset::Lobes, 7, {"Ignitions per revolution", "1 ignition per revolution", "7"}},
        {Offset::NoReading, 2, {"No Reading", "No", "2"}},
        {Offset::LimiterA, 7, {"Limiter [rpm], curve A", "15,000", "700"}}, // not clamped
    };
    const ParameterImage a = defaults();
    for (const Odd& o : odd) {
        ParameterImage b = a;
        b[o.offset] = o.value;
        EXPECT_EQ(differences(a, b), std::vector<Difference>{o.expected}) << o.expected.name;
    }
}

TEST(Differences, NamesInTheChosenLanguageWithTheGivenSeparator) {
    ParameterImage a = defaults();
    ParameterImage b = defaults();
    b.advance(Curve::B, 1) = 5;
    b[Offset::Input2] = 4;
    b[Offset::LimiterB] = 115;
    b[Offset::NoReading] = 1;

    const std::vector<Difference> german{
        {"Kurve B, Stützpunkt 2, Vorzündung [°]", "4", "5"},
        {"Eingang 2", "Aus", "Startbegrenzer"},
        {"Begrenzer [rpm], Kurve B", "15.000", "11.500"},
        {"Lesen Verboten", "Nein", "Ja"},
    };
    EXPECT_EQ(differences(a, b, {Language::German, "."}), german);

    const auto czech = differences(a, b, {Language::Czech, "\u00a0"});
    ASSERT_EQ(czech.size(), 4u);
    EXPECT_EQ(czech[0].name, "Křivka B, bod 2, předstih [°]");
    EXPECT_EQ(czech[2], (Difference{"Omezovač [rpm], křivka B", "15\u00a0000", "11\u00a0500"}));
    EXPECT_EQ(differences(a, b, {Language::French, ","})[1].second, "Limitateur départ");

    EXPECT_EQ(differenceLine(german[2]), "Begrenzer [rpm], Kurve B: 15.000 -> 11.500");
}
