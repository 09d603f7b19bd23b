#include "files/ParameterFile.h"

#include "TestFiles.h"
#include "core/BikeTypes.h"

#include <gtest/gtest.h>

#include <random>

using namespace zentrola;
using zentrola::test::dataDir;

namespace {

FileOutcome readFrom(std::string_view text, ParameterImage& image) {
    return readParameterFile(text, image);
}

FileOutcome readFixture(std::string_view name, ParameterImage& image) {
    return readParameterFile(test::readText(dataDir() / name), image);
}

ParameterImage defaultsOf(std::uint8_t bikeType) {
    ParameterImage image;
    image[Offset::BikeType] = bikeType;
    loadDefaults(image);
    return image;
}

// Every byte set to one value, so that any byte the reader touches shows.
ParameterImage filled(std::uint8_t value) {
    ParameterImage image;
    image.span().fill(value);
    return image;
}

bool reserved(std::size_t offset) {
    return (offset >= Offset::ReservedLow && offset < Offset::RpmA) ||
           offset >= Offset::ReservedHigh;
}

constexpr std::array kCopiedToB{&CurveOffsets::points,     &CurveOffsets::startLimiter,
                                &CurveOffsets::limiter,    &CurveOffsets::shiftLight,
                                &CurveOffsets::clutchTime, &CurveOffsets::clutchPause};

void expectCurveBFromA(const ParameterImage& image, std::uint8_t retard) {
    for (std::size_t i = 0; i < kCurvePoints; ++i) {
        EXPECT_EQ(image.rpm(Curve::B, i), image.rpm(Curve::A, i)) << i;
        const int a = image.advance(Curve::A, i);
        EXPECT_EQ(image.advance(Curve::B, i), a >= retard ? a - retard : 0) << i;
    }
    for (auto field : kCopiedToB)
        EXPECT_EQ(image.at(Curve::B, field), image.at(Curve::A, field));
}

} // namespace

// ---- writing --------------------------------------------------------------------------------

TEST(ParameterFileWriter, DefaultSetMatchesTheReferenceFileByteForByte) {
    ParameterImage image = defaultsOf(0);
    image[Offset::TestRpm] = 250;
    const std::string text = parameterFileText(image, UnitTexts{}, "Feb 10 2012", "16:33:42");
    EXPECT_EQ(text, test::readText(dataDir() / "default_v92.ign"));
}

TEST(ParameterFileWriter, SignedAndFlagFieldsAndUnitTexts) {
    ParameterImage image = defaultsOf(0);
    image[Offset::RpmCorrection] = 40; // -60 %
    image[Offset::ReverseOutput] = 1;
    image[Offset::NoReading] = 1;
    image[Offset::ClutchPauseB] = 255; // widest value: 25500
    const std::string text = parameterFileText(image, UnitTexts{"KVR21\n", "01.02.2010", "08:05"},
                                               "Feb  1 2012", "01:02:03");
    EXPECT_NE(text.find("\r\nRPM             1   -60 \r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\nREV_OUT_PILOT_LIGHT   1\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\nNO_READING      1\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\nCLUTCH        100   500   100 25500 \r\n"), std::string::npos);
    // A line break from the unit must not split the HEX line.
    EXPECT_TRUE(
        text.ends_with("\r\nHEX  01.02.2010  08:05   KVR21 \r\nEXE  Feb  1 2012   01:02:03\r\n"));
}

TEST(ParameterFileWriter, BuildStampHasTheCompilerFormat) {
    EXPECT_EQ(buildDate().size(), 11u); // "Feb 10 2012"
    EXPECT_EQ(buildTime().size(), 8u);  // "16:33:42"
}

// ---- reading the current format ---------------------------------------------------------------

TEST(ParameterFileReader, ReferenceFileGivesTheDefaultSet) {
    ParameterImage image = filled(0x55);
    ASSERT_EQ(readFixture("default_v92.ign", image), FileOutcome::Current);
    ParameterImage expected = defaultsOf(0);
    expected[Offset::TestRpm] = 250;
    for (std::size_t offset = 0; offset < kSpanSize; ++offset)
        EXPECT_EQ(image[offset], reserved(offset) ? 0x55 : expected[offset]) << offset;
}

TEST(ParameterFileReader, RoundTripKeepsEveryFieldButTheReservedBytes) {
    std::mt19937 random(92);
    for (int run = 0; run < 20; ++run) {
        ParameterImage written;
        for (auto& byte : written.span())
            byte = static_cast<std::uint8_t>(random());
        // These two are written as 0 or 1 only.
        written[Offset::ReverseOutput] &= 1;
        written[Offset::NoReading] &= 1;
        const std::string text = parameterFileText(written, UnitTexts{}, buildDate(), buildTime());

        ParameterImage read = filled(0xA5);
        ASSERT_EQ(readFrom(text, read), FileOutcome::Current);
        for (std::size_t offset = 0; offset < kSpanSize; ++offset)
            ASSERT_EQ(read[offset], reserved(offset) ? 0xA5 : written[offset])
                << "run " << run << " offset " << offset;
    }
}

TEST(ParameterFileReader, KeysBeforeBikeAreReplacedByItsDefaultSet) {
    ParameterImage image = defaultsOf(0);
    const auto outcome = readFrom("MORVANTE_KEY 92\n"
                                  "TEST 3000\nAB 1\nBASE_ADV 30\nINPUT 2 3\n"
                                  "BIKE 8\n"
                                  "POLARITA 0\nLIMITER 9000 11000 8000 12000\n",
                                  image);
    EXPECT_EQ(outcome, FileOutcome::Current);
    EXPECT_EQ(image[Offset::BikeType], 8);
    EXPECT_EQ(image[Offset::CurveSelect], 0);  // AB lost to the default set
    EXPECT_EQ(image[Offset::BaseAdvance], 22); // start-of-lobe default
    EXPECT_EQ(image[Offset::TestRpm], 30);     // not covered by the default set
    EXPECT_EQ(image[Offset::Input1], 2);
    EXPECT_EQ(image[Offset::Input2], 3);
    EXPECT_EQ(image[Offset::Polarity], 0);
    EXPECT_EQ(image[Offset::StartLimiterA], 90);
    EXPECT_EQ(image[Offset::LimiterA], 110);
    EXPECT_EQ(image[Offset::StartLimiterB], 80);
    EXPECT_EQ(image[Offset::LimiterB], 120);
}

TEST(ParameterFileReader, ValuesAreTakenModulo65536ThenDividedAndCutToAByte) {
    ParameterImage image = defaultsOf(0);
    const auto outcome = readFrom("MORVANTE_KEY 65628\n" // 92 + 65536
                                  "RPM 2 -5\nAB -1\nTEST -100\n"
                                  "PILOT_LIGHT 99999999999999999999 123456789012345678901\n"
                                  "BASE_ADV 300\nPILOT_LIGHT_PWM 0\n",
                                  image);
    EXPECT_EQ(outcome, FileOutcome::Current);
    EXPECT_EQ(image[Offset::RpmPulses], 2);
    EXPECT_EQ(image[Offset::RpmCorrection], 95);
    // A minus sign before an unsigned value wraps like strtoul: -1 is 0xFFFFFFFF.
    EXPECT_EQ(image[Offset::CurveSelect], 255);
    EXPECT_EQ(image[Offset::TestRpm], 142);     // 65436 / 100 = 654, low byte
    EXPECT_EQ(image[Offset::ShiftLightA], 143); // 65535 / 100 = 655
    EXPECT_EQ(image[Offset::ShiftLightB], 21);  // 27701 / 100 = 277
    EXPECT_EQ(image[Offset::BaseAdvance], 44);  // 300 & 0xFF
    EXPECT_EQ(image[Offset::Pwm], 0);           // no range check here
}

TEST(ParameterFileReader, TextInPlaceOfAValueKeepsTheFieldAndIsReadAsTheNextToken) {
    ParameterImage image = defaultsOf(0);
    image[Offset::BikeType] = 4;
    image[Offset::BaseAdvance] = 33;
    ASSERT_EQ(readFrom("MORVANTE_KEY 92 BIKE AB 1", image), FileOutcome::Current);
    EXPECT_EQ(image[Offset::BikeType], 4);     // kept
    EXPECT_EQ(image[Offset::BaseAdvance], 10); // the default set still came
    EXPECT_EQ(image[Offset::CurveSelect], 1);  // AB was read as a key

    image = defaultsOf(0);
    ASSERT_EQ(readFrom("MORVANTE_KEY 92\nRPM_ADV_A 1200 2500 rpm TEST 4500rpm POLARITA - 1\n"
                       "GEBER_NR +3",
                       image),
              FileOutcome::Current);
    EXPECT_EQ(image.rpm(Curve::A, 0), 12);
    EXPECT_EQ(image.rpm(Curve::A, 1), 25);
    for (std::size_t i = 2; i < kCurvePoints; ++i)
        EXPECT_EQ(image.rpm(Curve::A, i), 10 * (i + 1));
    EXPECT_EQ(image[Offset::TestRpm], 45); // the digits count, "rpm" is skipped
    EXPECT_EQ(image[Offset::Polarity], 2); // "-" is no number
    EXPECT_EQ(image[Offset::Lobes], 3);
}

TEST(ParameterFileReader, WithoutTheKeyNothingChanges) {
    for (std::string_view text : {"", "   \r\n\t", "morvante_key 92 BIKE 3",
                                  "xMORVANTE_KEY 92 AB 1", "BIKE 3\nAB 1\nTEST 100\n"}) {
        ParameterImage image = filled(7);
        EXPECT_EQ(readFrom(text, image), FileOutcome::NotAFile) << text;
        EXPECT_EQ(image, filled(7)) << text;
    }
}

// ---- reading older formats -------------------------------------------------------------------

TEST(ParameterFileReader, Version46ReadsCurveAOnlyAndLowersBByTheRetard) {
    ParameterImage image = defaultsOf(0);
    image[Offset::Pwm] = 3;
    ASSERT_EQ(readFixture("older_v46.ign", image), FileOutcome::Older);
    EXPECT_EQ(image[Offset::BikeType], 3);
    EXPECT_EQ(image[Offset::PointsA], 12);
    EXPECT_EQ(image[Offset::StartLimiterA], 80); // hundreds, unchanged
    EXPECT_EQ(image[Offset::LimiterA], 120);
    EXPECT_EQ(image[Offset::ShiftLightA], 110);
    EXPECT_EQ(image[Offset::ClutchTimeA], 16);
    EXPECT_EQ(image[Offset::ClutchPauseA], 4);
    EXPECT_EQ(image[Offset::Pwm], 10); // no key in the file: full duty
    EXPECT_EQ(image[Offset::RpmPulses], 2);
    EXPECT_EQ(image[Offset::RpmCorrection], 95);
    EXPECT_EQ(image[Offset::TestRpm], 60);
    EXPECT_EQ(image.rpm(Curve::A, 0), 8);
    EXPECT_EQ(image.advance(Curve::A, 0), 5);
    EXPECT_EQ(image.advance(Curve::B, 0), 0); // 5 - 8 is never below 0
    EXPECT_EQ(image.advance(Curve::B, 6), 22);
    expectCurveBFromA(image, 8);
}

TEST(ParameterFileReader, Version19LoadsTheDefaultSetAndKnowsOnlyTheLimiter) {
    ParameterImage image = filled(0x77);
    ASSERT_EQ(readFixture("older_v19.ign", image), FileOutcome::Older);
    EXPECT_EQ(image[Offset::BikeType], 0);
    EXPECT_EQ(image[Offset::LimiterA], 120);
    EXPECT_EQ(image[Offset::StartLimiterA], 100); // from the default set
    EXPECT_EQ(image[Offset::ClutchTimeA], 20);    // from the default set
    EXPECT_EQ(image[Offset::BaseAdvance], 8);
    EXPECT_EQ(image[Offset::Lobes], 2);
    EXPECT_EQ(image[Offset::Polarity], 0);
    EXPECT_EQ(image[Offset::TestRpm], 0x77);  // the default set leaves it
    EXPECT_EQ(image.advance(Curve::B, 0), 0); // 4 - 6
    EXPECT_EQ(image.advance(Curve::B, 14), 14);
    expectCurveBFromA(image, 6);
}

TEST(ParameterFileReader, OlderLimiterNeverLeavesTheStartLimiterAboveTheLimiter) {
    ParameterImage image = defaultsOf(0);
    ASSERT_EQ(readFrom("MORVANTE_KEY 41 LIMITER 120 80", image), FileOutcome::Older);
    EXPECT_EQ(image[Offset::LimiterA], 80);
    EXPECT_EQ(image[Offset::StartLimiterA], 80);
    expectCurveBFromA(image, 6); // retard missing: stays 6

    image = defaultsOf(0);
    ASSERT_EQ(readFrom("MORVANTE_KEY 27 LIMITER 90", image), FileOutcome::Older);
    EXPECT_EQ(image[Offset::LimiterA], 90);
    EXPECT_EQ(image[Offset::StartLimiterA], 90);
}

TEST(ParameterFileReader, UnknownVersionIsReadAsAnOlderFile) {
    ParameterImage image = defaultsOf(0);
    image[Offset::BaseAdvance] = 15;
    ASSERT_EQ(readFrom("MORVANTE_KEY 50\nPOCET_BODU 7 9\nPILOT_LIGHT 9000 8000\n"
                       "CLUTCH 50 300 100 600\nLIMITER 90 110 3\n",
                       image),
              FileOutcome::Older);
    EXPECT_EQ(image[Offset::BaseAdvance], 15); // above 27: no default set
    EXPECT_EQ(image[Offset::PointsA], 7);
    EXPECT_EQ(image[Offset::ShiftLightA], 90);
    EXPECT_EQ(image[Offset::ClutchTimeA], 10);
    EXPECT_EQ(image[Offset::ClutchPauseA], 3);
    EXPECT_EQ(image[Offset::StartLimiterA], 90);
    EXPECT_EQ(image[Offset::LimiterA], 110);
    expectCurveBFromA(image, 3);
    // The curve-B values in the file were left over and skipped.
    EXPECT_EQ(image[Offset::PointsB], 7);
    EXPECT_EQ(image[Offset::ShiftLightB], 90);
}

// ---- robustness -----------------------------------------------------------------------------

TEST(ParameterFileReader, SurvivesJunkAndTruncation) {
    std::mt19937 random(7);
    std::string junk(64 * 1024, '\0');
    for (char& c : junk)
        c = static_cast<char>(random());
    ParameterImage image = filled(9);
    const auto outcome = readFrom(junk, image);
    if (outcome == FileOutcome::NotAFile) {
        EXPECT_EQ(image, filled(9));
    }

    // The key followed by junk still reads as a file, whatever the junk does to the fields.
    image = defaultsOf(0);
    EXPECT_EQ(readFrom("MORVANTE_KEY 92 " + junk, image), FileOutcome::Current);

    // The key without a version is an unknown version.
    image = defaultsOf(0);
    EXPECT_EQ(readFrom("MORVANTE_KEY", image), FileOutcome::Older);

    // Values missing at the end: what is there is read, the rest stays.
    image = defaultsOf(0);
    EXPECT_EQ(readFrom("MORVANTE_KEY 92 RPM_ADV_A 1300", image), FileOutcome::Current);
    EXPECT_EQ(image.rpm(Curve::A, 0), 13);
    EXPECT_EQ(image.rpm(Curve::A, 14), 150);
}

TEST(ParameterFileReader, MegabyteInputsAreReadInOnePass) {
    // One giant token, a giant number, and a key repeated a hundred thousand times with
    // nothing after it; each must finish quickly (ctest's time-out catches a hang).
    const std::string word(1 << 20, 'A');
    const std::string digits(1 << 20, '7');
    std::string keys;
    for (int i = 0; i < 100000; ++i)
        keys += "RPM_ADV_A ";
    for (const std::string& body : {word, "TEST " + digits + "x", keys}) {
        ParameterImage image = defaultsOf(0);
        EXPECT_EQ(readFrom("MORVANTE_KEY 92 " + body, image), FileOutcome::Current);
    }
    ParameterImage image = filled(1);
    EXPECT_EQ(readFrom(word, image), FileOutcome::NotAFile);
    EXPECT_EQ(image, filled(1));
}
