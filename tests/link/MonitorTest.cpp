// A monitor frame decoded into the window's labels.
#include "link/Monitor.h"
#include "core/BikeTypes.h"

#include <gtest/gtest.h>

#include <cstdio>

using namespace zentrola;

namespace {

struct Decode : ::testing::Test {
    ParameterImage image;
    MessageTable texts;
    Monitor m;
    Frame f{};

    Decode() {
        loadDefaults(image);
        applyLanguage(texts, 0);
        f[0] = Lead::MonitorFrame;
        f[MonitorByte::Version] = kVersion;
        f[MonitorByte::CurveA] = 1;
        voltage(12500);
    }
    void word(std::size_t at, int v) {
        f[at] = static_cast<std::uint8_t>(v & 0xFF);
        f[at + 1] = static_cast<std::uint8_t>(v >> 8);
    }
    void voltage(int mv) { word(MonitorByte::Voltage, mv); }
    bool decode() { return m.onFrame(f, image, texts); }
    const Label& label(MonLabel l) { return m.display()[l]; }
};

} // namespace

TEST_F(Decode, SpeedNeedsThePickupSignal) {
    f[MonitorByte::Rpm] = 0x10;
    f[MonitorByte::Rpm + 1] = 0x27;
    f[MonitorByte::Pickup] = 1;
    decode();
    EXPECT_EQ(m.displayedRpm(), 10000);
    EXPECT_EQ(label(MonLabel::Rpm).text, "RPM = 10000 ");
    EXPECT_EQ(m.display().rpmGauge, 66); // of the 15000 rpm limiter
    EXPECT_EQ(label(MonLabel::Pickup).text, "Pick-up (CPS) -  is running");
    EXPECT_EQ(label(MonLabel::Pickup).colour, Colour::Lime);
    EXPECT_EQ(label(MonLabel::Polarity).text, "Polarity of CKPS: Positive");
    EXPECT_EQ(label(MonLabel::Polarity).colour, Colour::Red); // check byte zero while turning

    f[MonitorByte::Pickup] = 0;
    decode();
    EXPECT_EQ(m.displayedRpm(), 0);
    EXPECT_EQ(label(MonLabel::Polarity).text, "Polarity of CKPS: ---");
    EXPECT_EQ(label(MonLabel::Polarity).colour, Colour::Face);
    EXPECT_EQ(label(MonLabel::Advance).text, "Advance = Basic");
}

TEST_F(Decode, VoltageColourThresholds) {
    const std::pair<int, Colour> cases[] = {{11000, Colour::Yellow}, {11001, Colour::Face},
                                            {14998, Colour::Face},   {14999, Colour::Yellow},
                                            {7000, Colour::Red},     {7001, Colour::Yellow},
                                            {17999, Colour::Red},    {17998, Colour::Yellow}};
    for (auto [mv, colour] : cases) {
        voltage(mv);
        decode();
        EXPECT_EQ(label(MonLabel::Voltage).colour, colour) << mv;
    }
    voltage(12500);
    decode();
    EXPECT_EQ(label(MonLabel::Voltage).text, "U = 12.5 [V]");
    voltage(7000);
    decode();
    EXPECT_EQ(label(MonLabel::Voltage).text, "U =  7.0 [V]");
}

TEST_F(Decode, VoltageIsPrintedAsPrintfPrintsIt) {
    // 12250 mV is exactly 12.25 V: printf rounds the tie to even.
    voltage(12250);
    decode();
    EXPECT_EQ(label(MonLabel::Voltage).text, "U = 12.2 [V]");
    for (int mv = 0; mv <= 0xFFFF; ++mv) {
        voltage(mv);
        decode();
        char expected[32];
        std::snprintf(expected, sizeof expected, "U = %4.1f [V]", mv * 0.001);
        ASSERT_EQ(label(MonLabel::Voltage).text, expected) << mv;
    }
}

TEST_F(Decode, DataErrorLabelHasItsCaptionInEveryLanguage) {
    decode();
    EXPECT_FALSE(label(MonLabel::DataError).visible);
    f[MonitorByte::DataError] = 1;
    for (int language = 0; language < kLanguageCount; ++language) {
        applyLanguage(texts, language);
        decode();
        EXPECT_TRUE(label(MonLabel::DataError).visible);
        EXPECT_EQ(label(MonLabel::DataError).text, "Programmed data error") << language;
    }
}

TEST_F(Decode, AdvanceAndItsMaximum) {
    f[MonitorByte::Pickup] = 1;
    f[MonitorByte::Advance] = 100;
    f[MonitorByte::MaxAdvance] = 0;
    decode();
    EXPECT_EQ(label(MonLabel::Advance).text, "Advance = 0° /max 0°");
    EXPECT_EQ(label(MonLabel::Advance).colour, Colour::Yellow);
    f[MonitorByte::Advance] = 90;
    f[MonitorByte::MaxAdvance] = 30;
    decode();
    EXPECT_EQ(label(MonLabel::Advance).text, "Advance = -10° /max 30°");
    EXPECT_EQ(label(MonLabel::Advance).colour, Colour::Face);
}

TEST_F(Decode, StatesVersionAndLanguage) {
    f[MonitorByte::Limiter] = 1;
    f[MonitorByte::Input2] = 1;
    f[MonitorByte::Version] = 91;
    word(MonitorByte::ProgramCount, 300);
    decode();
    EXPECT_EQ(label(MonLabel::Limiter).text, "Limiter - Yes");
    EXPECT_EQ(label(MonLabel::Limiter).colour, Colour::Red);
    EXPECT_EQ(label(MonLabel::Input2).colour, Colour::Aqua);
    EXPECT_EQ(label(MonLabel::KillSwitch).text, "Kill switch - No");
    EXPECT_TRUE(label(MonLabel::Version).visible);
    EXPECT_EQ(label(MonLabel::Version).text,
              "Unmatched version of PC and Ignition programs!  PC-92, IGN-91");
    EXPECT_EQ(label(MonLabel::ProgramCount).text, "Number of Programing= 300");
    applyLanguage(texts, 1);
    decode();
    EXPECT_EQ(label(MonLabel::Limiter).text, "Begrenzer - Ja");
    EXPECT_EQ(label(MonLabel::KillSwitch).text, "Kill switch - Nein");
    m.placeholders(texts);
    EXPECT_EQ(label(MonLabel::ProgramCount).text, "Programmierungsanzahl=  ---");
    EXPECT_EQ(label(MonLabel::Advance).text, "Vorzündung= --- [°]");
}

TEST_F(Decode, ActiveChannelChangeAsksForARefresh) {
    EXPECT_TRUE(decode()); // unknown -> A
    EXPECT_EQ(m.activeChannel(), 0);
    EXPECT_FALSE(decode());
    f[MonitorByte::CurveA] = 0;
    EXPECT_TRUE(decode());
    EXPECT_EQ(label(MonLabel::Channel).text, "Channel: B");
    EXPECT_TRUE(m.forgetChannel());
    EXPECT_FALSE(m.forgetChannel());
}

TEST_F(Decode, RowHighlightNearestTheSpeed) {
    image[Offset::PointsA] = 3; // points 1000, 2000, 3000 rpm
    f[MonitorByte::Pickup] = 1;
    const std::pair<int, int> cases[] = {{1400, 0},           {1600, 1}, {3500, 2},
                                         {900, kNoHighlight}, {1500, 0}, {2000, 1}};
    for (auto [rpm, row] : cases) {
        word(MonitorByte::Rpm, rpm);
        decode();
        m.highlight(image);
        EXPECT_EQ(m.highlightedRow(), row) << rpm;
    }
    // "Monitor" with the channel unknown keeps the row.
    image[Offset::CurveSelect] = CurveSelection::Monitor;
    m.forgetChannel();
    word(MonitorByte::Rpm, 3500);
    m.highlight(image);
    EXPECT_EQ(m.highlightedRow(), 1);
    // No frame coming: no row, whatever the selector; the next frame brings it back.
    image[Offset::CurveSelect] = CurveSelection::A;
    m.lost();
    m.highlight(image);
    EXPECT_EQ(m.highlightedRow(), kNoHighlight);
    decode();
    m.highlight(image);
    EXPECT_EQ(m.highlightedRow(), 2);
}

TEST(MonitorTests, FlagsRideOnce) {
    Monitor m;
    m.pressTest(TestFlag::Ignition);
    m.pressTest(TestFlag::Rpm);
    EXPECT_EQ(m.takeTestFlags(), 0x05);
    EXPECT_EQ(m.takeTestFlags(), 0x00);
}
