// The native Windows serial port under Wine against zentrola-unit, whose pseudo-terminal is a
// COM port of the test's Wine prefix. A real terminal is in the loop, so these run in wall
// time: one tick period passes between two ticks, as under the window's timer. Each test has
// a COM number of its own, so that they run side by side.
#include "link/Frame.h"
#include "link/PortNames.h"
#include "link/WinSerialPort.h"
#include "sim/VirtualUnit.h"
#include "support/Bench.h"
#include "support/WineUnit.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <functional>
#include <thread>

using namespace zentrola;
using namespace zentrola::testing;
using namespace std::chrono_literals;

namespace {

constexpr auto kTickPeriod = 55ms;

struct ComLink {
    WineUnit unit;
    std::string com;
    WinSerialPort port;
    RecordingView view;
    Configurator c{port, view};

    explicit ComLink(int number)
        : unit(ZENTROLA_UNIT_EXE, number), com("COM" + std::to_string(number)) {}

    void startWithUnit(const std::vector<std::string>& options = {}) {
        ASSERT_TRUE(unit.start(options)) << "zentrola-unit did not come up on " << com;
        StartOptions start;
        start.port = com; // as a Windows user writes it after --port
        c.start(start);
        ASSERT_TRUE(view.messages.empty()) << view.details.front();
        ASSERT_TRUE(port.isOpen());
        ASSERT_TRUE(runUntil([&] { return c.monitor().haveFrame(); }, 40));
    }
    void tick() {
        std::this_thread::sleep_for(kTickPeriod);
        c.tick();
    }
    bool runUntil(const std::function<bool()>& done, int limit) {
        for (int i = 0; i < limit && !done(); ++i)
            tick();
        return done();
    }
    bool transfer() {
        return runUntil([&] { return c.transfer().idle(); }, 80);
    }
};

bool sameSettings(const VirtualUnit& unit, const ParameterImage& image) {
    return std::equal(unit.eeprom().begin(), unit.eeprom().end(), image.span().begin());
}

} // namespace

TEST(WinSerialPortLink, ProgramThenReadBackIsByteExact) {
    ComLink a(23); // above COM20, where only the \\.\ form opens
    ASSERT_NO_FATAL_FAILURE(a.startWithUnit({"--eeprom", a.unit.unixFile("eeprom.txt")}));
    EXPECT_EQ(a.c.comLabel(), "COM= COM23");
    a.c.image()[Offset::BaseAdvance] = 17;
    a.c.image()[Offset::LimiterA] = 95;
    refresh(a.c.image(), a.c.shown(), a.c.form());
    a.c.program();
    ASSERT_TRUE(a.transfer());
    EXPECT_EQ(a.c.lastResult(), TransferResult::ProgramOk);
    EXPECT_EQ(a.c.status().text, "Programing: OK");
    const ParameterImage programmed = a.c.image();

    // A fresh program reads the unit back.
    a.c.shutdown();
    a.port.close();
    RecordingView view;
    WinSerialPort port;
    Configurator b(port, view);
    StartOptions start;
    start.port = "\\\\.\\COM23";
    b.start(start);
    ASSERT_TRUE(port.isOpen()) << (view.details.empty() ? "" : view.details.front());
    b.read();
    for (int i = 0; i < 80 && !b.transfer().idle(); ++i) {
        std::this_thread::sleep_for(kTickPeriod);
        b.tick();
    }
    EXPECT_EQ(b.lastResult(), TransferResult::VerifyOk);
    EXPECT_EQ(b.status().text, "Verify: OK");
    EXPECT_TRUE(std::equal(programmed.span().begin(), programmed.span().begin() + kRecordSize,
                           b.image().span().begin()));
    b.shutdown();
    port.close();

    // What the unit keeps is what was programmed.
    a.unit.stop();
    VirtualUnit stored;
    ASSERT_TRUE(stored.loadEeprom(a.unit.windowsFile("eeprom.txt")));
    EXPECT_TRUE(sameSettings(stored, programmed));
    EXPECT_EQ(stored.eeprom()[Offset::BaseAdvance], 17);
    EXPECT_EQ(stored.programmings(), 1);
}

TEST(WinSerialPortLink, ReadsOnlyWhatIsQueuedAndNeverMoreThanAsked) {
    WineUnit unit(ZENTROLA_UNIT_EXE, 24);
    ASSERT_TRUE(unit.start({"--stopped"}));
    WinSerialPort port;
    std::string error;
    ASSERT_TRUE(port.open("com24", error)) << error;
    std::array<std::uint8_t, kFrameSize> frame{};
    EXPECT_EQ(port.read(frame), 0u); // nothing asked, nothing there: no wait either

    for (int i = 0; i < 3; ++i) {
        port.write(monitorRequest(0));
        port.waitTransmitted();
    }
    for (int i = 0; i < 200 && port.queued() < 3 * kFrameSize; ++i)
        std::this_thread::sleep_for(10ms);
    ASSERT_EQ(port.queued(), 3 * kFrameSize);

    std::array<std::uint8_t, 10> small{};
    EXPECT_EQ(port.read(small), small.size());
    EXPECT_EQ(port.queued(), 3 * kFrameSize - small.size());
    std::array<std::uint8_t, 3 * kFrameSize> rest{};
    EXPECT_EQ(port.read(rest), rest.size() - small.size());
    EXPECT_EQ(port.queued(), 0u);
    EXPECT_EQ(small[0], Lead::MonitorFrame);
    std::copy(rest.begin() + 42, rest.begin() + 42 + kFrameSize, frame.begin());
    EXPECT_EQ(frame[0], Lead::MonitorFrame);
    EXPECT_TRUE(frameIntact(frame));

    port.close();
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(port.queued(), 0u);
    port.write(monitorRequest(0)); // ignored on a closed port
    port.waitTransmitted();
}

TEST(WinSerialPortOpen, AMissingPortCarriesTheSystemsReasonOnce) {
    WinSerialPort port;
    std::string error;
    EXPECT_FALSE(port.open("COM39", error));
    EXPECT_EQ(error, systemErrorText(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(port.isOpen());

    RecordingView view;
    Configurator c(port, view);
    StartOptions start;
    start.port = "COM39";
    c.start(start);
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0], "Com opening error!");
    EXPECT_EQ(view.details[0], error);
    EXPECT_EQ(c.comLabel(), "COM= COM39");
    // The watchdog's reopens stay silent.
    for (int i = 0; i < kSilenceTicks + 2 * kReopenTicks + 2; ++i)
        c.tick();
    EXPECT_TRUE(c.connectionLost());
    EXPECT_EQ(view.messages.size(), 1u);
}

TEST(WinSerialPortLink, AnUnpluggedUnitIsLostAndFoundAgainOnTheSamePort) {
    ComLink a(25);
    ASSERT_NO_FATAL_FAILURE(a.startWithUnit());
    ASSERT_TRUE(a.unit.pullPlug());
    EXPECT_TRUE(a.runUntil([&] { return a.c.connectionLost(); }, kSilenceTicks + 10));
    // The vanished device is let go of rather than polled for ever.
    EXPECT_FALSE(a.port.isOpen());
    // Plugged in again: the watchdog reopens COM25 by its name and finds the unit behind it.
    ASSERT_TRUE(a.unit.plugBack());
    EXPECT_TRUE(a.runUntil([&] { return !a.c.connectionLost(); }, 2 * kReopenTicks + 20));
    EXPECT_TRUE(a.port.isOpen());
    EXPECT_TRUE(a.view.messages.empty());
    a.c.read();
    ASSERT_TRUE(a.transfer());
    EXPECT_EQ(a.c.lastResult(), TransferResult::VerifyOk);
}

TEST(WinSerialPortNames, TheComMenuShowsTheRegistrysDeviceNames) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, nullptr,
                              REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const char value[] = "COM7";
    ASSERT_EQ(RegSetValueExA(key, "\\Device\\VCP0", 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                             sizeof value),
              ERROR_SUCCESS);
    WinSerialPort port;
    RecordingView view;
    Configurator c(port, view);
    const auto menu = c.comMenu();
    RegDeleteValueA(key, "\\Device\\VCP0");
    RegCloseKey(key);
    ASSERT_EQ(menu.size(), 21u);
    EXPECT_EQ(menu[6], "Com 7 (VCP0)");
    EXPECT_EQ(menu[7], "Com 8");
    EXPECT_EQ(menu[20], "Com Auto");
}
