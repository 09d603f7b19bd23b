// Transfers and the watchdog, tick by tick, against the virtual unit in the same process.
#include "support/Bench.h"

#include "core/BikeTypes.h"

#include <gtest/gtest.h>

using namespace zentrola;
using namespace zentrola::testing;

namespace {

struct Timeline : ::testing::Test {
    Bench b;
    void SetUp() override {
        b.start();
        ASSERT_TRUE(b.runUntil([&] { return b.c.activeChannel() != -1; }, 40));
    }
    const std::string& statusText() { return b.c.status().text; }
};

constexpr std::uint8_t kProgramPage1 = 0x01;
constexpr std::uint8_t kReadPage1 = 0x41;

} // namespace

TEST_F(Timeline, ProgramThenVerifyEndsInProgrammingOk) {
    b.c.image()[Offset::BaseAdvance] = 17;
    refresh(b.c.image(), b.c.shown(), b.c.form());
    b.c.program();
    EXPECT_EQ(statusText(), "Programing:");
    ASSERT_TRUE(b.runTransfer());
    EXPECT_EQ(b.c.lastResult(), TransferResult::ProgramOk);
    // The verify's "OK" is replaced by the programming's in the same tick.
    ASSERT_GE(b.view.posted.size(), 3u);
    EXPECT_EQ(b.view.posted[b.view.posted.size() - 2].text, "Verify: OK");
    EXPECT_EQ(statusText(), "Programing: OK");
    b.tick();
    // The unit now saves its settings; the label says so until the countdown ends.
    EXPECT_TRUE(b.runUntil([&] { return statusText() == "Saving:"; }, 20));
    int gauge = b.c.status().gauge;
    while (statusText() == "Saving:" && b.now < 1000) {
        EXPECT_GE(b.c.status().gauge, gauge);
        gauge = b.c.status().gauge;
        b.tick();
    }
    EXPECT_EQ(statusText(), "Programing: OK");
    EXPECT_EQ(b.c.status().gauge, 3);
    EXPECT_TRUE(
        std::equal(b.unit().eeprom().begin(), b.unit().eeprom().end(), b.c.image().span().begin()));
    EXPECT_EQ(b.unit().programmings(), 1);
    EXPECT_EQ(b.c.unitTexts().name.substr(0, 3), "ZEN");
}

TEST_F(Timeline, ReadTakesTheUnitsBytesAndEndsInVerifyOk) {
    b.unit().eeprom()[Offset::BaseAdvance] = 21;
    b.unit().eeprom()[Offset::ReservedLow] = 99; // reserved bytes come along
    b.c.read();
    EXPECT_EQ(statusText(), "Read:");
    ASSERT_TRUE(b.runTransfer());
    EXPECT_EQ(b.c.lastResult(), TransferResult::VerifyOk);
    EXPECT_EQ(statusText(), "Verify: OK");
    EXPECT_EQ(b.c.image()[Offset::BaseAdvance], 21);
    EXPECT_EQ(b.c.image()[Offset::ReservedLow], 99);
    EXPECT_EQ(b.c.form().spin[Spin::BaseAdvance], 21);
    b.tick();
    EXPECT_EQ(statusText(), "Verify: OK"); // no programming: no "Programing: OK"
}

TEST_F(Timeline, OnlyAPassedVerifyConfirmsTheUnitsSettings) {
    EXPECT_FALSE(b.c.confirmedUnitImage());
    b.c.read();
    ASSERT_TRUE(b.runTransfer());
    EXPECT_EQ(b.c.confirmedUnitImage(), b.c.image());

    // Someone else changes the unit: the verify fails on page 1 and forgets the old belief;
    // page 2, which it never compared, is read after the failure, before "Verify error!".
    b.unit().eeprom()[Offset::LimiterB] = 115;
    b.unit().eeprom()[Offset::AdvanceB + 3] = 9;
    const ParameterImage window = b.c.image();
    b.c.verify();
    ASSERT_TRUE(b.runUntil([&] { return b.c.transfer().pageIndexByte() == 0x42; }, 40));
    EXPECT_EQ(statusText(), "Verify:");
    ASSERT_TRUE(b.runTransfer());
    EXPECT_EQ(b.c.lastResult(), TransferResult::Failed);
    EXPECT_EQ(statusText(), "Verify error!");
    EXPECT_FALSE(b.c.confirmedUnitImage());
    ASSERT_TRUE(b.c.lastUnitPages()[0]);
    ASSERT_TRUE(b.c.lastUnitPages()[1]);
    const std::optional<KnownUnit> unit = b.c.knownUnit();
    ASSERT_TRUE(unit);
    EXPECT_EQ(unit->source, UnitSource::FailedVerify);
    EXPECT_EQ(unit->image[Offset::LimiterB], 115);
    EXPECT_EQ(unit->image[Offset::AdvanceB + 3], 9);
    EXPECT_EQ(b.c.image(), window) << "the window's image is untouched";
    EXPECT_EQ(b.unit().programmings(), 0);

    b.c.program();
    ASSERT_TRUE(b.runTransfer());
    EXPECT_EQ(b.c.lastResult(), TransferResult::ProgramOk);
    EXPECT_EQ(b.c.confirmedUnitImage(), b.c.image());
    EXPECT_TRUE(b.c.lastUnitPages()[1]);
}

TEST_F(Timeline, UnitOfAnotherVersionStopsTheTransfer) {
    b.unit().options().version = 91;
    b.c.program();
    ASSERT_TRUE(b.runTransfer());
    ASSERT_EQ(b.view.messages.size(), 1u);
    EXPECT_EQ(b.view.messages[0], "Unmatched version of PC and Ignition programs!  PC-92, IGN-91");
    EXPECT_EQ(b.c.lastResult(), TransferResult::VersionMismatch);
    b.tick(100);
    EXPECT_EQ(b.unit().receivedWithLead(kProgramPage1), 0u);
    EXPECT_EQ(b.unit().received(VirtualUnit::RequestKind::Program), 1u); // page 0 only
    EXPECT_FALSE(b.c.status().visible);
    EXPECT_TRUE(b.c.versionLabelVisible()); // the monitor frames tell it too
}

TEST_F(Timeline, UnitRefusingReadsLeavesTheImage) {
    b.unit().options().noReadPermission = true;
    b.unit().eeprom()[Offset::BaseAdvance] = 33;
    const ParameterImage before = b.c.image();
    b.c.read();
    ASSERT_TRUE(b.runTransfer());
    EXPECT_EQ(statusText(), "No reading!");
    EXPECT_EQ(b.c.status().colour, Colour::Red);
    EXPECT_EQ(b.c.lastResult(), TransferResult::NoReading);
    EXPECT_EQ(b.c.image(), before);
}

TEST_F(Timeline, BadEchoIsSentFiveTimesThenFails) {
    b.unit().options().corruptEcho = true;
    b.c.program();
    ASSERT_TRUE(b.runTransfer());
    const auto sends = b.peer.ticksOf(kProgramPage1);
    ASSERT_EQ(sends.size(), 5u);
    // The first send answers page 0 within the poll, so the tick's own count already runs.
    EXPECT_EQ(sends[1] - sends[0], 3);
    for (std::size_t i = 2; i < sends.size(); ++i)
        EXPECT_EQ(sends[i] - sends[i - 1], 4);
    EXPECT_EQ(statusText(), "Program error!");
    EXPECT_EQ(b.c.status().colour, Colour::Red);
    EXPECT_EQ(b.c.lastResult(), TransferResult::Failed);
    EXPECT_EQ(b.peer.ticksOf(0x02).size(), 0u);
    b.tick(199);
    EXPECT_TRUE(b.c.status().visible);
    b.tick();
    EXPECT_FALSE(b.c.status().visible);
}

TEST_F(Timeline, SilentUnitGivesTheModesError) {
    b.unit().options().silent = true;
    b.c.verify();
    ASSERT_TRUE(b.runTransfer());
    EXPECT_EQ(statusText(), "Verify error!");
    EXPECT_EQ(b.peer.ticksOf(kReadPage1).size(), 5u);
    b.c.read();
    ASSERT_TRUE(b.runTransfer());
    EXPECT_EQ(statusText(), "Read error!");
}

TEST(TimelineStart, FirstFrameOfACommandLeavesWithinOneToFourTicks) {
    // Whatever the phase of the monitor requests, the command's frame follows soon.
    for (int phase = 0; phase < 6; ++phase) {
        Bench b;
        b.start();
        b.tick(30 + phase);
        const std::size_t before = b.peer.sent.size();
        b.c.verify();
        int ticks = 0;
        while (b.peer.sent.size() == before && ticks < 10) {
            b.tick();
            ++ticks;
        }
        EXPECT_GE(ticks, 1) << phase;
        EXPECT_LE(ticks, 4) << phase;
        EXPECT_EQ(b.peer.sent.back().lead, kReadPage1);
    }
}

TEST_F(Timeline, ProgramAfterChangeAndUndo) {
    b.c.programAfterChange = true;
    b.c.form().setSpinner(Spin::BaseAdvance, 14);
    b.c.controlEdited();
    EXPECT_EQ(b.c.transfer().mode(), TransferMode::Program);
    EXPECT_EQ(statusText(), "Programing"); // without a colon
    ASSERT_TRUE(b.runTransfer());
    EXPECT_EQ(b.unit().eeprom()[Offset::BaseAdvance], 14);
    b.c.undo();
    EXPECT_EQ(b.c.image()[Offset::BaseAdvance], 10);
    EXPECT_EQ(b.c.form().spin[Spin::BaseAdvance], 10);
    ASSERT_TRUE(b.runTransfer());
    EXPECT_EQ(b.unit().eeprom()[Offset::BaseAdvance], 10);
    EXPECT_TRUE(b.c.canRedo());
}

TEST_F(Timeline, TestCommandsRideOnOneRequest) {
    b.c.testIgnition();
    b.c.testRpm();
    ASSERT_TRUE(b.runUntil([&] { return b.unit().ignitionTests() == 1; }, 10));
    ASSERT_TRUE(b.unit().lastRequest());
    EXPECT_EQ((*b.unit().lastRequest())[21], 0x05);
    b.tick(6);
    EXPECT_EQ((*b.unit().lastRequest())[21], 0x00);
}

TEST(Watchdog, LostAfter18SilentTicksThenReopensEvery30) {
    Bench b;
    b.start();
    b.c.image()[Offset::CurveSelect] = CurveSelection::Monitor;
    ASSERT_TRUE(b.runUntil([&] { return b.c.activeChannel() == 0; }, 40));
    EXPECT_EQ(b.c.shown(), Curve::A);
    b.unit().options().silent = true;
    const int refreshes = b.view.controlsShown;
    int silentTicks = 0;
    while (!b.c.connectionLost() && silentTicks < 40) {
        b.tick();
        ++silentTicks;
    }
    EXPECT_GE(silentTicks, 18);
    EXPECT_LE(silentTicks, 18 + 6); // the last frame came within one request interval
    EXPECT_EQ(b.c.activeChannel(), -1);
    EXPECT_EQ(b.c.shown(), std::nullopt);
    EXPECT_EQ(b.view.controlsShown, refreshes + 1);
    b.tick(5);
    EXPECT_EQ(b.view.controlsShown, refreshes + 1); // once

    // In automatic mode only COM1 exists here: the other positions fail at once, so the
    // scan comes round to COM1 again within one pass.
    EXPECT_TRUE(b.view.messages.empty());
    b.unit().options().silent = false;
    EXPECT_TRUE(b.runUntil([&] { return !b.c.connectionLost(); }, 30 + 21 + 6 + 1));
    EXPECT_EQ(b.c.activeChannel(), 0);
    EXPECT_EQ(b.c.comLabel(), "COM= virtual-un"); // ten characters of the name
}

TEST(Watchdog, PortChosenByHandIsReopenedEvery30LostTicks) {
    Bench b;
    b.start();
    b.c.chooseCom(0);
    b.unit().options().silent = true;
    b.tick(18);
    EXPECT_FALSE(b.c.connectionLost());
    b.tick(); // the 19th silent tick is the first lost one, and counts one
    ASSERT_TRUE(b.c.connectionLost());
    const std::size_t opens = b.port.opens();
    const int scan = b.c.scanPosition();
    b.tick(28);
    EXPECT_EQ(b.port.opens(), opens);
    b.tick();
    EXPECT_EQ(b.port.opens(), opens + 1);
    EXPECT_EQ(b.c.scanPosition(), (scan + 1) % 21);
    b.tick(30);
    EXPECT_EQ(b.port.opens(), opens + 2);
    EXPECT_TRUE(b.view.messages.empty());
}

TEST(Watchdog, FailedAutomaticOpenTriesTheNextPortAtOnce) {
    Bench b;
    b.port.setUnplugged(true);
    b.start();
    b.tick(18);
    EXPECT_FALSE(b.c.connectionLost());
    EXPECT_EQ(b.c.scanPosition(), 0);
    for (int i = 1; i <= 25; ++i) {
        b.tick();
        EXPECT_EQ(b.c.scanPosition(), i % 21) << i;
    }
    EXPECT_TRUE(b.view.messages.empty());
    EXPECT_EQ(b.c.comLabel(), "COM= COM5"); // no device behind COM5 here
}

TEST(Watchdog, PortChosenByHandReportsItsOpenErrorOnce) {
    Bench b;
    b.start();
    b.c.chooseCom(4); // COM5: nothing there
    ASSERT_EQ(b.view.messages.size(), 1u);
    EXPECT_EQ(b.view.messages[0], "Com opening error!");
    EXPECT_FALSE(b.view.details[0].empty());
    b.tick(200); // the watchdog's reopens stay silent
    EXPECT_EQ(b.view.messages.size(), 1u);
    b.c.chooseCom(0);
    EXPECT_TRUE(b.runUntil([&] { return b.c.activeChannel() != -1; }, 40));
    EXPECT_EQ(b.c.comMenu().size(), 21u);
    EXPECT_EQ(b.c.comMenu()[0], "Com 1 (virtual-unit)");
    EXPECT_EQ(b.c.comMenu()[20], "Com Auto");
}

TEST(Polling, ShortBlocksWaitAndLongOnesAreCut) {
    Bench b;
    b.start();
    b.unit().options().silent = true;
    Frame f = b.unit().monitorFrame();
    b.port.inject(std::span<const std::uint8_t>(f).first(51));
    b.tick();
    EXPECT_EQ(b.c.silence(), 1); // 51 bytes are left for the next tick
    EXPECT_FALSE(b.c.monitor().haveFrame());
    b.port.inject(std::span<const std::uint8_t>(f).subspan(51));
    b.tick();
    EXPECT_TRUE(b.c.monitor().haveFrame());

    std::vector<std::uint8_t> big(20000, 0x55);
    std::copy(f.begin(), f.end(), big.begin());
    b.port.inject(big);
    b.tick();
    EXPECT_EQ(b.port.queued(), 5000u);
}

TEST(BikeChange, StartOfLobeWithYesAndWithNo) {
    Bench b;
    b.start();
    b.c.image()[Offset::BaseAdvance] = 15;
    b.c.refreshControls();
    b.view.answer = Answer::No;
    b.c.bikeChanged(9); // "Start of lobe"
    EXPECT_EQ(b.view.questions.back(), "Do you want default setting?");
    EXPECT_EQ(b.c.image()[Offset::BikeType], kBikeStartOfLobe);
    EXPECT_EQ(b.c.image()[Offset::BaseAdvance], 15);
    EXPECT_EQ(b.c.image()[Offset::Polarity], 1);
    EXPECT_EQ(b.c.image()[Offset::Lobes], 1);
    EXPECT_TRUE(b.c.canUndo());

    b.view.answer = Answer::Yes;
    b.c.bikeChanged(2); // "Husaberg 4T SEM"
    EXPECT_EQ(b.c.image()[Offset::Polarity], 0);
    EXPECT_EQ(b.c.form().polarityItems, 2);
    b.c.bikeChanged(9);
    EXPECT_EQ(b.c.image()[Offset::BaseAdvance], 22);
    EXPECT_EQ(b.c.image()[Offset::Polarity], 1);
}

TEST(BikeChange, NewAsksFirstAndClearsTheFileName) {
    Bench b;
    b.start();
    b.c.image()[Offset::BikeType] = kBikeCappedAdvance;
    b.c.image()[Offset::BaseAdvance] = 5;
    b.c.refreshControls();
    b.c.newSet(); // Cancel
    EXPECT_EQ(b.c.image()[Offset::BaseAdvance], 5);
    b.view.answer = Answer::Yes;
    b.c.newSet();
    EXPECT_EQ(b.c.image()[Offset::BaseAdvance], 10);
    EXPECT_EQ(b.c.image().advance(Curve::A, 0), 10); // the cap of type 7 leaves it
    EXPECT_EQ(b.c.fileName(), "");
}

TEST(Enabling, LostConnectionInMonitorModeEmptiesTheCurveRows) {
    Bench b;
    b.start();
    b.c.image()[Offset::CurveSelect] = CurveSelection::Monitor;
    b.c.refreshControls();
    EXPECT_TRUE(b.c.enabling().rows[0].rpmField.emptied); // no frame yet: no curve shown
    ASSERT_TRUE(b.runUntil([&] { return b.c.activeChannel() == 0; }, 40));
    EXPECT_TRUE(b.c.enabling().rows[0].rpmField.visible); // the channel change refreshed
    b.unit().options().silent = true;
    ASSERT_TRUE(b.runUntil([&] { return b.c.connectionLost(); }, 40));
    EXPECT_FALSE(b.c.enabling().rows[0].rpmField.visible);
    EXPECT_TRUE(b.c.enabling()[Control::EditOmez2].emptied);
}
