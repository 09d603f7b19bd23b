#include "core/ParameterImage.h"
#include "core/BikeTypes.h"

#include <gtest/gtest.h>

#include <vector>

using namespace zentrola;

TEST(ParameterImage, CurveBSpeedsStraddleThePageBoundary) {
    ParameterImage image;
    for (std::size_t i = 0; i < kCurvePoints; ++i)
        image.rpm(Curve::B, i) = static_cast<std::uint8_t>(100 + i);
    auto page1 = image.page(1);
    auto page2 = image.page(2);
    for (std::size_t i = 0; i < 5; ++i)
        EXPECT_EQ(page1[45 + i], 100 + i);
    for (std::size_t i = 5; i < kCurvePoints; ++i)
        EXPECT_EQ(page2[i - 5], 100 + i);
    page2[Offset::TestRpm - 50] = 250;
    EXPECT_EQ(image[Offset::TestRpm], 250);
}

TEST(ParameterImage, ExchangePageMirrorsTheLatestMonitorFrame) {
    EXPECT_EQ(exchangePage({}), Page{});
    std::vector<std::uint8_t> frame(52);
    for (std::size_t i = 0; i < frame.size(); ++i)
        frame[i] = static_cast<std::uint8_t>(i + 1);
    const Page page = exchangePage(frame);
    EXPECT_EQ(page[0], 3);   // frame byte 2
    EXPECT_EQ(page[48], 51); // frame byte 50
    EXPECT_EQ(page[49], 0);
}

TEST(ParameterImage, Conversions) {
    EXPECT_EQ(toByte(Conversion::Hundreds, 999), 9);
    EXPECT_EQ(toByte(Conversion::Hundreds, 1234), 12);
    EXPECT_EQ(toByte(Conversion::Hundreds, 25000), 250);
    EXPECT_EQ(toByte(Conversion::Fives, 1250), 250);
    EXPECT_EQ(toByte(Conversion::Tens, 100), 10);
    EXPECT_EQ(toByte(Conversion::Correction, -60), 40);
    EXPECT_EQ(toByte(Conversion::Correction, 60), 160);
    EXPECT_EQ(toPosition(Conversion::Correction, 40), -60);
    // Positions are signed 16-bit: 40000 wraps to -25536, truncated toward zero.
    EXPECT_EQ(toByte(Conversion::Hundreds, 40000), static_cast<std::uint8_t>(-255));
    for (int item = 0; item < 4; ++item)
        EXPECT_EQ(toPosition(Conversion::Lobes, toByte(Conversion::Lobes, item)), item);
    EXPECT_EQ(toByte(Conversion::Lobes, 3), 0); // one per two revolutions
}

TEST(BikeTypes, MappingsAreInverse) {
    for (int item = 0; item < static_cast<int>(kBikeCount); ++item)
        EXPECT_EQ(itemFromBikeType(*bikeTypeFromItem(item)), item);
    EXPECT_EQ(itemFromBikeType(3), 4);
    EXPECT_EQ(itemFromBikeType(9), 5);
    EXPECT_FALSE(itemFromBikeType(10));
    EXPECT_FALSE(bikeTypeFromItem(10));
    EXPECT_FALSE(bikeTypeFromItem(-1));
}

TEST(BikeTypes, DefaultSetPerType) {
    ParameterImage image;
    image[Offset::Input1] = 3;
    image[Offset::TestRpm] = 77;
    image[Offset::BikeType] = kBikeStartOfLobe;
    loadDefaults(image);
    EXPECT_EQ(image[Offset::BaseAdvance], 22);
    EXPECT_EQ(image[Offset::Polarity], Polarity::Negative);
    EXPECT_EQ(image[Offset::Input1], 3);   // untouched
    EXPECT_EQ(image[Offset::TestRpm], 77); // untouched
    EXPECT_EQ(image.rpm(Curve::B, 14), 150);
    EXPECT_EQ(image.advance(Curve::A, 0), 10);
    EXPECT_EQ(image.advance(Curve::B, 0), 4);
    EXPECT_EQ(image[Offset::ClutchTimeB], 20);
    EXPECT_EQ(image[Offset::RpmCorrection], 100);

    image[Offset::BikeType] = 7;
    loadDefaults(image);
    EXPECT_EQ(image[Offset::BaseAdvance], 10);
    EXPECT_EQ(image[Offset::Polarity], Polarity::Positive);
    image[Offset::BikeType] = 3;
    image[Offset::Lobes] = 0;
    image[Offset::BaseAdvance] = 33;
    resetKeying(image);
    EXPECT_EQ(image[Offset::Lobes], 1);
    EXPECT_EQ(image[Offset::Polarity], Polarity::Negative);
    EXPECT_EQ(image[Offset::BaseAdvance], 33);
}

TEST(BikeTypes, KeyingRules) {
    EXPECT_TRUE(keyingIsFree(0));
    EXPECT_TRUE(keyingIsFree(8));
    EXPECT_FALSE(fixedKeying(0));
    ASSERT_TRUE(fixedKeying(6)); // Husaberg 4T SEM
    EXPECT_EQ(fixedKeying(6)->polarity, Polarity::Positive);
    EXPECT_EQ(fixedKeying(6)->lobes, 1);
    EXPECT_EQ(fixedKeying(3)->polarity, Polarity::Negative);
    EXPECT_EQ(fixedKeying(9)->polarity, Polarity::SelfSearch);
    EXPECT_FALSE(fixedKeying(12)); // unknown codes change nothing
    EXPECT_FALSE(offersSelfSearch(6));
    EXPECT_FALSE(offersSelfSearch(8));
    EXPECT_TRUE(offersSelfSearch(0));
    EXPECT_TRUE(offersSelfSearch(4));
}
