#include "sim/VirtualUnit.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

using namespace zentrola;
namespace Mon = MonitorByte;
namespace Info = InfoByte;

namespace {

std::vector<Frame> split(const std::vector<std::uint8_t>& bytes) {
    std::vector<Frame> frames;
    for (std::size_t at = 0; at + kFrameSize <= bytes.size(); at += kFrameSize) {
        Frame f;
        std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(at), kFrameSize, f.begin());
        frames.push_back(f);
    }
    EXPECT_EQ(bytes.size() % kFrameSize, 0u);
    return frames;
}

// Sends one frame and returns the single reply (an all-zero frame when there is none).
Frame ask(VirtualUnit& unit, const Frame& request) {
    unit.receive(request);
    const auto frames = split(unit.takeOutput());
    EXPECT_EQ(frames.size(), 1u);
    return frames.empty() ? Frame{} : frames.front();
}

unsigned word(const Frame& f, std::size_t at) {
    return f[at] | (f[at + 1] << 8);
}

Page pattern(std::uint8_t seed) {
    Page p{};
    for (std::size_t i = 0; i < p.size(); ++i)
        p[i] = static_cast<std::uint8_t>(seed + i);
    return p;
}

Frame monitor(VirtualUnit& unit, std::uint8_t flags = 0) {
    return ask(unit, monitorRequest(flags));
}

} // namespace

TEST(VirtualUnit, InformationPageAnswersEveryPageZeroFrame) {
    VirtualUnit unit;
    const Frame read = ask(unit, readRequest(0x40));
    EXPECT_TRUE(frameIntact(read));
    EXPECT_EQ(read[0], 0xC0);
    const auto info = payloadOf(read);
    EXPECT_EQ(info[Info::Name], 'Z');
    EXPECT_EQ(info[Info::Name + 2], 'N');
    EXPECT_EQ(info[Info::Month], 0x0C); // "Dec"
    EXPECT_EQ(info[Info::ReadPermission], 1);
    EXPECT_EQ(info[Info::Version], 92);
    EXPECT_EQ(info[Info::Text], 0);

    // The programming transfer opens with the exchange page; same answer, other lead.
    const Frame program = ask(unit, pageFrame(0x00, pattern(1)));
    EXPECT_EQ(program[0], 0x80);
    EXPECT_TRUE(std::equal(read.begin() + 1, read.end() - 1, program.begin() + 1));
    EXPECT_EQ(unit.eeprom()[0], 0) << "page 0 never lands in the settings";
}

TEST(VirtualUnit, ReadPermissionAndVersionFollowSettingsAndOptions) {
    VirtualUnit unit;
    unit.eeprom()[Offset::NoReading] = 1;
    EXPECT_EQ(payloadOf(ask(unit, readRequest(0x40)))[Info::ReadPermission], 0);
    unit.eeprom()[Offset::NoReading] = 0;
    unit.options().noReadPermission = true;
    EXPECT_EQ(payloadOf(ask(unit, readRequest(0x40)))[Info::ReadPermission], 0);

    VirtualUnit old({.version = 91});
    EXPECT_EQ(payloadOf(ask(old, readRequest(0x40)))[Info::Version], 91);
    EXPECT_EQ(monitor(old)[Mon::Version], 91);
}

TEST(VirtualUnit, ProgrammedPagesAreEchoedStoredAndReadBack) {
    VirtualUnit unit;
    const Page one = pattern(3);
    const Page two = pattern(100);
    const Frame echo1 = ask(unit, pageFrame(0x01, one));
    EXPECT_EQ(echo1[0], 0x81);
    EXPECT_TRUE(frameIntact(echo1));
    EXPECT_TRUE(std::ranges::equal(payloadOf(echo1), one));
    EXPECT_EQ(unit.programmings(), 0) << "only the second page completes a programming";
    EXPECT_EQ(ask(unit, pageFrame(0x02, two))[0], 0x82);

    EXPECT_TRUE(std::equal(one.begin(), one.end(), unit.eeprom().begin()));
    EXPECT_TRUE(std::equal(two.begin(), two.end(), unit.eeprom().begin() + 50));
    const Frame back1 = ask(unit, readRequest(0x41));
    const Frame back2 = ask(unit, readRequest(0x42));
    EXPECT_EQ(back1[0], 0xC1);
    EXPECT_EQ(back2[0], 0xC2);
    EXPECT_TRUE(std::ranges::equal(payloadOf(back1), one));
    EXPECT_TRUE(std::ranges::equal(payloadOf(back2), two));
    EXPECT_EQ(unit.received(VirtualUnit::RequestKind::Program), 2u);
    EXPECT_EQ(unit.received(VirtualUnit::RequestKind::Read), 2u);
    EXPECT_EQ(unit.receivedWithLead(0x42), 1u);
}

TEST(VirtualUnit, CorruptEchoChangesOneByteButStoresThePage) {
    VirtualUnit unit({.corruptEcho = true});
    const Page one = pattern(7);
    const Frame echo = ask(unit, pageFrame(0x01, one));
    EXPECT_TRUE(frameIntact(echo)) << "the fault is in the content, not the check";
    int differing = 0;
    for (std::size_t i = 0; i < kPageSize; ++i)
        differing += payloadOf(echo)[i] != one[i];
    EXPECT_EQ(differing, 1);
    EXPECT_TRUE(std::equal(one.begin(), one.end(), unit.eeprom().begin()));
    EXPECT_TRUE(std::ranges::equal(payloadOf(ask(unit, readRequest(0x41))), one));
}

TEST(VirtualUnit, SavingCountdownAndProgrammingCount) {
    VirtualUnit unit;
    EXPECT_EQ(word(monitor(unit), Mon::SavingCountdown), 0u);
    ask(unit, pageFrame(0x02, pattern(0)));
    EXPECT_EQ(unit.programmings(), 1);
    Frame f = monitor(unit);
    EXPECT_EQ(word(f, Mon::SavingCountdown), 103u);
    EXPECT_EQ(word(f, Mon::ProgramCount), 1u);
    unit.tick();
    EXPECT_EQ(word(monitor(unit), Mon::SavingCountdown), 102u);
    for (int i = 0; i < 200; ++i)
        unit.tick();
    EXPECT_EQ(word(monitor(unit), Mon::SavingCountdown), 0u);
}

TEST(VirtualUnit, MonitorFrameOfAStoppedEngine) {
    VirtualUnit unit;
    unit.setEngineRunning(false);
    unit.tick();
    const Frame f = monitor(unit);
    EXPECT_TRUE(acceptMonitorFrame(f));
    EXPECT_EQ(f[Mon::Version], 92);
    EXPECT_EQ(word(f, Mon::Rpm), 0u);
    EXPECT_EQ(f[Mon::Pickup], 0);
    EXPECT_EQ(f[Mon::BaseAdvance], 1);
    EXPECT_EQ(f[Mon::Advance], 100 + 10); // base advance of the default set
    EXPECT_NE(f[Mon::CurveA], 0);
    EXPECT_EQ(f[Mon::Limiter], 0);
    EXPECT_EQ(f[Mon::ShiftLight], 0);
    EXPECT_NEAR(static_cast<int>(word(f, Mon::Voltage)), 13800, 100);
}

TEST(VirtualUnit, AdvanceFollowsTheCurveInUse) {
    VirtualUnit unit;
    auto& e = unit.eeprom();
    e[Offset::PointsA] = 3;
    const std::uint8_t rpmA[] = {10, 20, 30};
    const std::uint8_t advA[] = {10, 20, 31};
    for (std::size_t i = 0; i < 3; ++i) {
        e[Offset::RpmA + i] = rpmA[i];
        e[Offset::AdvanceA + i] = advA[i];
    }
    e[Offset::RpmA + 3] = 40; // beyond the points in use
    e[Offset::AdvanceA + 3] = 60;
    e[Offset::Input2] = 3; // curve B

    // The rpm test gives a chosen speed.
    const auto advanceAt = [&](std::uint8_t hundreds) {
        e[Offset::TestRpm] = hundreds;
        const Frame f = monitor(unit, TestFlag::Rpm);
        EXPECT_EQ(word(f, Mon::Rpm), hundreds * 100u);
        return f[Mon::Advance] - 100;
    };
    EXPECT_EQ(advanceAt(5), 10);  // below the first point
    EXPECT_EQ(advanceAt(15), 15); // half way
    EXPECT_EQ(advanceAt(25), 26); // 25.5 rounds up
    EXPECT_EQ(advanceAt(30), 31);
    EXPECT_EQ(advanceAt(50), 31); // the fourth point is not in use
    EXPECT_EQ(monitor(unit)[Mon::MaxAdvance], 31);

    unit.setInputs(false, true);
    const Frame b = monitor(unit);
    EXPECT_EQ(b[Mon::CurveA], 0);
    EXPECT_EQ(b[Mon::Input2], 1);
    EXPECT_EQ(advanceAt(50), 4); // curve B of the default set
}

TEST(VirtualUnit, BaseAdvanceWhileCranking) {
    VirtualUnit unit;
    unit.eeprom()[Offset::BaseAdvance] = 7;
    unit.setEngineRunning(false);
    unit.setEngineRunning(true);
    Frame f = monitor(unit);
    EXPECT_EQ(f[Mon::Pickup], 1);
    EXPECT_EQ(f[Mon::BaseAdvance], 1);
    EXPECT_EQ(f[Mon::Advance], 107);
    for (int i = 0; i < VirtualUnit::kCrankingTicks + 5; ++i)
        unit.tick();
    f = monitor(unit);
    EXPECT_EQ(f[Mon::BaseAdvance], 0);
    EXPECT_EQ(f[Mon::Advance], 110);
    EXPECT_NEAR(static_cast<int>(word(f, Mon::Rpm)), VirtualUnit::kIdleRpm, 50);
}

TEST(VirtualUnit, EngineRevsToTheLimiterAndBack) {
    VirtualUnit unit;
    unit.eeprom()[Offset::LimiterA] = 80;    // 8000 rpm
    unit.eeprom()[Offset::ShiftLightA] = 70; // 7000 rpm
    unsigned low = 99999, high = 0;
    bool limiter = false, shiftBelow = false, shiftAbove = false;
    for (int i = 0; i < VirtualUnit::kCycleTicks + VirtualUnit::kCrankingTicks + 10; ++i) {
        unit.tick();
        const Frame f = monitor(unit);
        const unsigned rpm = word(f, Mon::Rpm);
        if (f[Mon::BaseAdvance] == 0)
            low = std::min(low, rpm);
        high = std::max(high, rpm);
        limiter = limiter || f[Mon::Limiter];
        if (f[Mon::Limiter]) {
            EXPECT_EQ(rpm, 8000u);
        }
        shiftBelow = shiftBelow || (f[Mon::ShiftLight] && rpm < 7000);
        shiftAbove = shiftAbove || (f[Mon::ShiftLight] && rpm >= 7000);
    }
    EXPECT_EQ(high, 8000u);
    EXPECT_NEAR(static_cast<int>(low), VirtualUnit::kIdleRpm, 50);
    EXPECT_TRUE(limiter);
    EXPECT_TRUE(shiftAbove);
    EXPECT_FALSE(shiftBelow);

    // The kill switch on input 1 stops the engine; released, it cranks again.
    unit.eeprom()[Offset::Input1] = 1;
    unit.setInputs(true, false);
    unit.tick();
    Frame f = monitor(unit);
    EXPECT_EQ(f[Mon::KillSwitch], 1);
    EXPECT_EQ(f[Mon::Pickup], 0);
    unit.setInputs(false, false);
    unit.tick();
    EXPECT_EQ(word(monitor(unit), Mon::Rpm), VirtualUnit::kCrankingRpm);
}

TEST(VirtualUnit, TestCommandsLastAWhile) {
    VirtualUnit unit;
    unit.setEngineRunning(false);
    Frame f = monitor(unit, TestFlag::Rpm | TestFlag::Ignition);
    EXPECT_EQ(word(f, Mon::Rpm), 25000u);
    EXPECT_EQ(f[Mon::Pickup], 1);
    EXPECT_EQ(unit.ignitionTests(), 1u);
    for (int i = 0; i < VirtualUnit::kRpmTestTicks - 1; ++i)
        unit.tick();
    EXPECT_EQ(word(monitor(unit), Mon::Rpm), 25000u) << "a request without flags does not end it";
    unit.tick();
    EXPECT_EQ(word(monitor(unit), Mon::Rpm), 0u);

    EXPECT_EQ(monitor(unit, TestFlag::PilotLight)[Mon::ShiftLight], 1);
    for (int i = 0; i < VirtualUnit::kPilotTestTicks; ++i)
        unit.tick();
    EXPECT_EQ(monitor(unit)[Mon::ShiftLight], 0);
}

TEST(VirtualUnit, FramesArriveInPiecesTogetherOrAfterGarbage) {
    VirtualUnit unit;
    const Frame request = monitorRequest(0);

    // Byte by byte: nothing until the last byte.
    for (std::size_t i = 0; i + 1 < kFrameSize; ++i)
        unit.receive(std::span(request).subspan(i, 1));
    EXPECT_TRUE(unit.takeOutput().empty());
    unit.receive(std::span(request).subspan(kFrameSize - 1));
    EXPECT_EQ(split(unit.takeOutput()).size(), 1u);

    // Garbage, including a frame's lead byte and a torn frame, then two frames in one piece.
    std::vector<std::uint8_t> line = {0x30, 0x00, 0xFF, 0x41, 0x5C};
    line.insert(line.end(), request.begin(), request.begin() + 20);
    const Frame read = readRequest(0x41);
    line.insert(line.end(), read.begin(), read.end());
    line.insert(line.end(), request.begin(), request.end());
    unit.receive(line);
    const auto replies = split(unit.takeOutput());
    ASSERT_EQ(replies.size(), 2u);
    EXPECT_EQ(replies[0][0], 0xC1);
    EXPECT_EQ(replies[1][0], 0xB0);
    EXPECT_EQ(unit.bytesSkipped(), 25u);
    EXPECT_EQ(unit.lastRequest(), request);
}

TEST(VirtualUnit, LineFaults) {
    VirtualUnit unit({.dropEveryNth = 3});
    for (int i = 0; i < 6; ++i)
        unit.receive(monitorRequest(0));
    EXPECT_EQ(split(unit.takeOutput()).size(), 4u);
    EXPECT_EQ(unit.repliesDropped(), 2u);

    unit.options() = {.corruptCheck = true};
    const Frame bad = ask(unit, readRequest(0x41));
    EXPECT_EQ(bad[0], 0xC1);
    EXPECT_FALSE(frameIntact(bad));

    unit.options() = {.silent = true};
    unit.receive(pageFrame(0x01, pattern(9)));
    EXPECT_TRUE(unit.takeOutput().empty());
    EXPECT_EQ(unit.receivedWithLead(0x01), 1u) << "a silent unit still counts what it hears";
    EXPECT_NE(unit.eeprom()[0], 9);

    unit.options() = {};
    EXPECT_TRUE(frameIntact(ask(unit, readRequest(0x41))));
}

TEST(VirtualUnit, EepromFileRoundTripAndRejection) {
    const auto dir = std::filesystem::temp_directory_path();
    const std::string path = (dir / ("zentrola-eeprom-" + std::to_string(::getpid()))).string();
    VirtualUnit unit;
    unit.eeprom()[99] = 255;
    unit.eeprom()[0] = 9;
    unit.setProgrammings(321);
    ASSERT_TRUE(unit.saveEeprom(path));
    unit.setProgrammings(322);
    ASSERT_TRUE(unit.saveEeprom(path)); // over the file it wrote before

    VirtualUnit copy;
    ASSERT_TRUE(copy.loadEeprom(path));
    EXPECT_EQ(copy.eeprom(), unit.eeprom());
    EXPECT_EQ(copy.programmings(), 322);

    // Out of range, too short: refused, the unit keeps what it had.
    for (const char* text :
         {"1 2 3\n", "256 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 "
                     "0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 "
                     "0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 "
                     "0 0 0 0 0 0 0 0 0 0\n"}) {
        std::ofstream(path) << text;
        EXPECT_FALSE(copy.loadEeprom(path)) << text;
        EXPECT_EQ(copy.eeprom(), unit.eeprom());
    }
    EXPECT_FALSE(copy.loadEeprom(path + ".missing"));
    std::remove(path.c_str());
}

TEST(VirtualUnit, ClutchMasterAndStartLimiterFromTheInputs) {
    VirtualUnit unit;
    auto& e = unit.eeprom();
    e[Offset::Input1] = 2;         // clutch master
    e[Offset::Input2] = 4;         // start limiter
    e[Offset::ClutchTimeA] = 20;   // 100 ms: two ticks
    e[Offset::ClutchPauseA] = 5;   // 500 ms: ten ticks
    e[Offset::StartLimiterA] = 40; // 4000 rpm
    unit.tick();

    const auto clutchOver = [&](int ticks) {
        int active = 0;
        for (int i = 0; i < ticks; ++i) {
            unit.tick();
            active += monitor(unit)[Mon::Clutch];
        }
        return active;
    };
    unit.setInputs(true, false);
    EXPECT_EQ(clutchOver(20), 2) << "once per press, however long it is held";
    unit.setInputs(false, false);
    unit.tick();
    unit.setInputs(true, false);
    EXPECT_EQ(clutchOver(3), 2);
    unit.setInputs(false, false);
    unit.tick();
    unit.setInputs(true, false);
    EXPECT_EQ(clutchOver(5), 0) << "a press during the pause is ignored";

    unit.setInputs(false, true);
    unsigned high = 0;
    bool armed = false;
    for (int i = 0; i < VirtualUnit::kCycleTicks; ++i) {
        unit.tick();
        const Frame f = monitor(unit);
        high = std::max(high, word(f, Mon::Rpm));
        armed = armed || f[Mon::StartLimiter];
    }
    EXPECT_EQ(high, 4000u);
    EXPECT_TRUE(armed);
}
