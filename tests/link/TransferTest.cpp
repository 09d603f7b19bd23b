// The transfer state machine fed with hand-made replies.
#include "link/Transfer.h"
#include "link/UnitInfo.h"

#include <gtest/gtest.h>

using namespace zentrola;

namespace {

Frame reply(std::uint8_t requestLead, const Page& payload) {
    return pageFrame(replyLead(requestLead), payload);
}

Page pageOf(const ParameterImage& image, int page) {
    Page p{};
    std::copy(image.page(page).begin(), image.page(page).end(), p.begin());
    return p;
}

struct VerifyPage : ::testing::Test {
    ParameterImage image;
    Transfer t;
    VerifyPage() {
        for (std::size_t i = 0; i < kRecordSize; ++i)
            image[i] = static_cast<std::uint8_t>(i + 1);
        image[Offset::Pwm] = 10;
        t.startVerify();
    }
    // Verify page 1 against a unit whose page differs at the given offsets.
    bool passes(std::initializer_list<std::pair<std::size_t, std::uint8_t>> unitBytes) {
        Page p = pageOf(image, 1);
        for (auto [offset, value] : unitBytes)
            p[offset] = value;
        return t.onReply(reply(0x41, p), image).send;
    }
};

} // namespace

TEST_F(VerifyPage, NoReadingByteEndsTheComparison) {
    EXPECT_TRUE(passes({{Offset::NoReading, 1}}));
}

TEST_F(VerifyPage, DifferenceBeforeTheNoReadingByteStillFails) {
    EXPECT_FALSE(passes({{Offset::LimiterA, 3}, {Offset::NoReading, 1}}));
}

TEST_F(VerifyPage, DifferenceAfterTheNoReadingByteIsNotSeen) {
    EXPECT_TRUE(passes({{Offset::NoReading, 1}, {Offset::RpmA, 3}}));
}

TEST_F(VerifyPage, OtherDifferenceFails) {
    EXPECT_FALSE(passes({{Offset::RpmA, 3}}));
}

TEST_F(VerifyPage, UnitDutyZeroIsFullDuty) {
    EXPECT_TRUE(passes({{Offset::Pwm, 0}}));
    EXPECT_FALSE(passes({{Offset::Pwm, 5}}));
}

TEST(Transfer, FailedPageIsResentUntilTheSixthTimeout) {
    ParameterImage image;
    Transfer t;
    t.startVerify();
    int sends = 0;
    TimeoutEffect e = TimeoutEffect::None;
    for (int tick = 0; tick < 40 && e != TimeoutEffect::Failed; ++tick) {
        e = t.tick();
        if (e == TimeoutEffect::Resend) {
            ++sends;
            t.sent();
        }
    }
    EXPECT_EQ(sends, 5);
    EXPECT_EQ(e, TimeoutEffect::Failed);
    EXPECT_TRUE(t.idle());
    EXPECT_EQ(t.failedMode(), TransferMode::Verify);
}

TEST(Transfer, ProgramSendsTheExchangePageThenTheImage) {
    ParameterImage image;
    image[Offset::BaseAdvance] = 12;
    Page exchange{};
    exchange[0] = 0x77;
    Transfer t;
    t.startProgram();
    Frame f = t.currentFrame(image, exchange);
    EXPECT_EQ(f[0], 0x00);
    EXPECT_EQ(f[1], 0x77);

    Page info{};
    info[InfoByte::Version] = kVersion;
    info[InfoByte::ReadPermission] = 1;
    ReplyEffects fx = t.onReply(reply(0x00, info), image);
    EXPECT_TRUE(fx.infoPage && fx.rulesAndRefresh && fx.send && fx.gaugeStep);
    f = t.currentFrame(image, exchange);
    EXPECT_EQ(f[0], 0x01);
    EXPECT_EQ(f[1 + Offset::BaseAdvance], 12);

    // An echo that differs is not counted: the time-out resends.
    Page echo = pageOf(image, 1);
    echo[5] ^= 1;
    fx = t.onReply(reply(0x01, echo), image);
    EXPECT_TRUE(fx.accepted);
    EXPECT_FALSE(fx.send);
    EXPECT_EQ(t.pageIndexByte(), 0x01);
    fx = t.onReply(reply(0x01, pageOf(image, 1)), image);
    EXPECT_TRUE(fx.send);
    fx = t.onReply(reply(0x02, pageOf(image, 2)), image);
    EXPECT_TRUE(fx.verifyStarted);
    EXPECT_TRUE(t.transferOk());
    EXPECT_EQ(t.mode(), TransferMode::Verify);
    EXPECT_EQ(t.pageIndexByte(), 0x41);
    // A late echo of page 2 is no longer what is awaited.
    EXPECT_FALSE(t.onReply(reply(0x02, pageOf(image, 2)), image).accepted);
    // A Read does not carry the programming's OK along.
    t.startRead();
    EXPECT_FALSE(t.transferOk());
}

TEST(Transfer, VerifyConfirmsEachPageAsItWasComparedAndKeepsWhatTheUnitSent) {
    ParameterImage image;
    image[Offset::BaseAdvance] = 12;
    image[Offset::TestRpm] = 200;
    Transfer t;
    t.startVerify();
    ASSERT_TRUE(t.onReply(reply(0x41, pageOf(image, 1)), image).send);
    ASSERT_TRUE(t.lastUnitPages()[0]);
    // An edit between the pages: page 1 was compared before it, page 2 after.
    const ParameterImage compared = image;
    image[Offset::BaseAdvance] = 13;
    image[Offset::TestRpm] = 201;
    ASSERT_TRUE(t.onReply(reply(0x42, pageOf(image, 2)), image).verifyPassed);
    ASSERT_TRUE(t.confirmedImage());
    EXPECT_EQ((*t.confirmedImage())[Offset::BaseAdvance], 12);
    EXPECT_EQ((*t.confirmedImage())[Offset::TestRpm], 201);
    EXPECT_EQ(t.confirmedImage()->page(1)[Offset::BaseAdvance], compared[Offset::BaseAdvance]);

    // A page that differs is kept as the unit sent it; the failure forgets the confirmation.
    t.startVerify();
    EXPECT_FALSE(t.lastUnitPages()[0]);
    Page unit = pageOf(image, 1);
    unit[Offset::LimiterA] = 77;
    EXPECT_FALSE(t.onReply(reply(0x41, unit), image).send);
    for (TimeoutEffect e = t.tick(); e != TimeoutEffect::Failed; e = t.tick())
        if (e == TimeoutEffect::Resend)
            t.sent();
    EXPECT_FALSE(t.confirmedImage());
    EXPECT_EQ(t.withUnitPages(image)[Offset::LimiterA], 77);
    EXPECT_EQ(t.withUnitPages(image)[Offset::TestRpm], 201);
}

TEST(Transfer, ReadTakesBothPagesIntoTheImageOnlyAtTheEnd) {
    ParameterImage image;
    Transfer t;
    t.startRead();
    Page info{};
    info[InfoByte::Version] = kVersion;
    info[InfoByte::ReadPermission] = 1;
    ASSERT_TRUE(t.onReply(reply(0x40, info), image).send);
    Page page1{};
    page1.fill(7);
    ASSERT_TRUE(t.onReply(reply(0x41, page1), image).send);
    // Page 1 waits for page 2: a Read that fails here leaves the image as it was.
    EXPECT_EQ(image, ParameterImage{});
    Page page2{};
    page2.fill(9);
    const ReplyEffects fx = t.onReply(reply(0x42, page2), image);
    EXPECT_TRUE(fx.rulesAndRefresh && fx.verifyStarted);
    EXPECT_EQ(image[0], 7);
    EXPECT_EQ(image[kPageSize - 1], 7);
    EXPECT_EQ(image[kPageSize], 9);
    EXPECT_EQ(image[kRecordSize - 1], 9);
    EXPECT_EQ(image[kRecordSize], 0); // the reserved span is not the unit's
}

TEST(Transfer, RefusedReadShowsTheUnitButLeavesTheImageToItself) {
    struct Case {
        int version;
        std::uint8_t permission;
        bool mismatch;
    };
    for (const Case& c : {Case{91, 1, true}, Case{kVersion, 0, false}}) {
        ParameterImage image;
        Transfer t;
        t.startRead();
        Page info{};
        info[InfoByte::Version] = static_cast<std::uint8_t>(c.version);
        info[InfoByte::ReadPermission] = c.permission;
        const ReplyEffects fx = t.onReply(reply(0x40, info), image);
        EXPECT_TRUE(fx.infoPage && fx.refreshOnly);
        EXPECT_FALSE(fx.rulesAndRefresh || fx.send);
        EXPECT_EQ(fx.versionMismatch, c.mismatch);
        EXPECT_EQ(fx.noReading, !c.mismatch);
        EXPECT_TRUE(t.idle());
    }
}

TEST(Transfer, RepliesWhileIdleAreDropped) {
    ParameterImage image;
    Transfer t;
    EXPECT_FALSE(t.onReply(reply(0x00, Page{}), image).accepted);
}

TEST(UnitInfo, Texts) {
    Page info{};
    info[0] = 'Z';
    info[1] = 'E';
    info[2] = 'N';
    info[InfoByte::FirmwareNumber] = 13;
    info[InfoByte::Day] = 7;
    info[InfoByte::Month] = 0x19;
    info[InfoByte::Year] = 12;
    info[InfoByte::Hour] = 9;
    info[InfoByte::Minute] = 5;
    UnitTexts t = unitTexts(info);
    EXPECT_EQ(t.name, "ZEN13");
    EXPECT_EQ(t.date, " 7. 1.2012");
    EXPECT_EQ(t.time, "09:05");
    info[InfoByte::Day] = 25;
    info[InfoByte::Month] = 0x42; // no month
    EXPECT_EQ(unitTexts(info).date, "25.00.2012");
    const char* text = "Custom firmware";
    std::copy(text, text + 15, info.begin() + InfoByte::Text);
    EXPECT_EQ(unitTexts(info).name, "Custom firmware");
    EXPECT_EQ(monthText(monthCode("Dec")), "12");
    EXPECT_EQ(monthCode("Jan"), 0x19);
    EXPECT_EQ(designUnitTexts().date, "25.01.2003");
}
