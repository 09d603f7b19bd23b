// The parameter sheet's content: what it says of the settings, the file and the unit.
#include "support/Bench.h"

#include "app/ParameterSheet.h"
#include "core/BikeTypes.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace zentrola;
using namespace zentrola::testing;

namespace {

ParameterImage defaults() {
    ParameterImage image;
    loadDefaults(image);
    return image;
}

const SheetRow& row(const ParameterSheet& s, const std::string& caption) {
    const auto it = std::find_if(s.rows.begin(), s.rows.end(),
                                 [&](const SheetRow& r) { return r.caption == caption; });
    if (it == s.rows.end())
        throw std::runtime_error("no row " + caption);
    return *it;
}

std::string head(const ParameterSheet& s, const std::string& label) {
    for (const SheetHeadLine& h : s.head)
        if (h.label == label)
            return h.value;
    return "<none>";
}

} // namespace

TEST(ParameterSheet, CurvesAndPerCurveSettingsAreTheImages) {
    ParameterImage image = defaults();
    image[Offset::PointsA] = 3;
    image[Offset::PointsB] = 15;
    for (std::size_t k = 0; k < kCurvePoints; ++k) {
        image.rpm(Curve::A, k) = static_cast<std::uint8_t>(10 + 10 * k);
        image.advance(Curve::A, k) = static_cast<std::uint8_t>(5 + k);
        image.rpm(Curve::B, k) = static_cast<std::uint8_t>(12 + 8 * k);
        image.advance(Curve::B, k) = static_cast<std::uint8_t>(30 - k);
    }
    image[Offset::LimiterA] = 120;
    image[Offset::LimiterB] = 95;
    image[Offset::ShiftLightA] = 110;
    image[Offset::ShiftLightB] = 90;
    image[Offset::ClutchTimeA] = 20; // 100 ms
    image[Offset::ClutchTimeB] = 30;
    const ParameterSheet s = makeSheet(image, {}, Language::English, ".");

    ASSERT_EQ(s.curves[0].points.size(), 3u) << "only the points in use";
    ASSERT_EQ(s.curves[1].points.size(), 15u);
    EXPECT_EQ(s.curves[0].points[2].rpm, 3000);
    EXPECT_EQ(s.curves[0].points[2].advance, 7);
    EXPECT_EQ(s.curves[1].points[14].rpm, 12400);
    EXPECT_EQ(s.curves[1].points[14].advance, 16);
    EXPECT_EQ(s.curves[0].limiter, 12000);
    EXPECT_EQ(s.curves[1].limiter, 9500);

    struct Case {
        std::string caption, a, b;
    };
    for (const Case& c :
         {Case{"Limiter [rpm]", "12.000", "9.500"},
          Case{"Gear shift light [rpm]", "11.000", "9.000"},
          Case{"Clutch master time [ms]", "100", "150"}, Case{"Number of items", "3", "15"}}) {
        const SheetRow& r = row(s, c.caption);
        EXPECT_TRUE(r.perCurve) << c.caption;
        EXPECT_EQ(r.a, c.a) << c.caption;
        EXPECT_EQ(r.b, c.b) << c.caption;
    }
    // The plot reaches past the highest limiter and point.
    EXPECT_GT(s.scale.rpmEnd, 12400);
    EXPECT_GT(s.scale.degreeEnd, 30);
    EXPECT_LE(s.scale.rpmEnd / s.scale.rpmStep, 11);
    EXPECT_LE(s.scale.degreeEnd / s.scale.degreeStep, 11);
}

TEST(ParameterSheet, CommonSettingsAsTheWindowShowsThem) {
    ParameterImage image = defaults();
    image[Offset::BikeType] = 3; // KTM 4T SEM
    image[Offset::Lobes] = 0;    // camshaft
    image[Offset::RpmCorrection] = 40;
    image[Offset::Pwm] = 0; // the unit's full duty
    image[Offset::NoReading] = 1;
    image[Offset::Input2] = 1;
    image[Offset::TestRpm] = 35;
    image[Offset::CurveSelect] = CurveSelection::Monitor;
    const ParameterSheet s = makeSheet(image, {}, Language::German, ".");
    struct Case {
        std::string caption, value;
    };
    for (const Case& c :
         {Case{"Motorradtyp", "KTM 4T SEM"},
          Case{"Zündungen pro Umdrehung", "1 Zündung pro 2 Umdrehungen (Nockenwelle)"},
          Case{"Korrektion [%]", "-60"}, Case{"PWM [%]", "100"}, Case{"Lesen Verboten", "Ja"},
          Case{"Eingang 2", "Blockierung"}, Case{"Testdrehzahl [rpm]", "3.500"},
          Case{"Kurvenwahl (A/B)", "Monitor"}}) {
        const SheetRow& r = row(s, c.caption);
        EXPECT_FALSE(r.perCurve) << c.caption;
        EXPECT_EQ(r.a, c.value) << c.caption;
    }
}

TEST(ParameterSheet, StartLimiterAndClutchAreInUseOnlyWhenAnInputSwitchesThemOn) {
    ParameterImage image = defaults();
    image[Offset::Input1] = 0;
    image[Offset::Input2] = 0;
    ParameterSheet s = makeSheet(image, {}, Language::English, ",");
    EXPECT_FALSE(row(s, "Start limiter [rpm]").inUse);
    EXPECT_FALSE(row(s, "Clutch master pause [ms]").inUse);
    EXPECT_TRUE(s.anyNotInUse);
    EXPECT_FALSE(s.curves[0].startLimiter) << "no start limiter line in the plot";

    image[Offset::Input1] = 4; // start limiter
    image[Offset::Input2] = 2; // clutch master
    s = makeSheet(image, {}, Language::English, ",");
    EXPECT_TRUE(row(s, "Start limiter [rpm]").inUse);
    EXPECT_TRUE(row(s, "Clutch master pause [ms]").inUse);
    EXPECT_FALSE(s.anyNotInUse);
    EXPECT_EQ(s.curves[1].startLimiter, image[Offset::StartLimiterB] * 100);
}

TEST(ParameterSheet, DamagedCountsStillGiveAPrintableCurve) {
    ParameterImage image = defaults();
    image[Offset::PointsA] = 0;
    image[Offset::PointsB] = 200;
    const ParameterSheet s = makeSheet(image, {}, Language::English, ",");
    EXPECT_EQ(s.curves[0].points.size(), 1u);
    EXPECT_EQ(s.curves[1].points.size(), kCurvePoints);
    EXPECT_EQ(row(s, "Number of items").b, "200") << "the stored value, not a clamped one";
}

TEST(ParameterSheet, HeadSaysWhatIsKnownOfTheFileAndTheUnit) {
    Bench b;
    b.start();
    const SheetLines lines{"J. Novak", "KTM 640 LC4", "Pick-up replaced\nNew plug"};
    auto sheet = [&] {
        return makeSheet(b.c.image(), sheetFacts(b.c, lines, "1/2/26    10:00:00"),
                         Language::English, ",");
    };

    ParameterSheet s = sheet();
    EXPECT_EQ(head(s, "File"), "not saved");
    EXPECT_EQ(head(s, "Unit"), "not known");
    EXPECT_EQ(head(s, "In the unit"), "not known: the unit was not read, programmed or verified");
    EXPECT_EQ(head(s, "Date and time"), "1/2/26    10:00:00");
    EXPECT_EQ(head(s, "Customer"), "J. Novak");
    EXPECT_EQ(head(s, "Program"), "ZENTROLA Configurator, version 92");
    EXPECT_EQ(s.noteLines, (std::vector<std::string>{"Pick-up replaced", "New plug"}));

    b.c.read();
    ASSERT_TRUE(b.runTransfer());
    s = sheet();
    EXPECT_EQ(head(s, "In the unit"), "yes, confirmed by the last verify");
    EXPECT_NE(head(s, "Unit"), "not known");
    EXPECT_NE(head(s, "Unit").find(b.c.unitTexts().name), std::string::npos);

    // An edit the unit has not got: the sheet must not claim it has.
    b.c.image()[Offset::BaseAdvance] =
        static_cast<std::uint8_t>(b.c.image()[Offset::BaseAdvance] + 1);
    s = sheet();
    EXPECT_EQ(head(s, "In the unit"), "no, the unit holds other settings (not programmed)");
    const auto holds = std::find_if(s.head.begin(), s.head.end(), [](const SheetHeadLine& h) {
        return h.label == "In the unit";
    });
    EXPECT_TRUE(holds->warning);
}
