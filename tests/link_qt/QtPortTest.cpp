// The QSerialPort adapter against zentrola-unit on a pseudo-terminal. A real terminal is in
// the loop, so these run in wall time: the event loop runs for one tick period between two
// ticks, as under the window's timer.
#include "link/PortNames.h"
#include "link/QtSerialPort.h"
#include "sim/UnitProcess.h"
#include "support/Bench.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <functional>
#include <sys/resource.h>
#include <unistd.h>

using namespace zentrola;
using namespace zentrola::testing;
using namespace std::chrono_literals;

namespace {

constexpr auto kTickPeriod = 55ms;

// Runs the event loop for a while, so that QSerialPort takes in what arrived.
void runEvents(std::chrono::milliseconds period) {
    QEventLoop loop;
    QTimer::singleShot(period, &loop, &QEventLoop::quit);
    loop.exec();
}

std::chrono::duration<double> cpuTime() {
    rusage use{};
    ::getrusage(RUSAGE_SELF, &use);
    const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return std::chrono::duration<double>(seconds(use.ru_utime) + seconds(use.ru_stime));
}

struct PtyLink : ::testing::Test {
    UnitProcess unit{ZENTROLA_UNIT_EXE};
    QtSerialPort port;
    RecordingView view;
    Configurator c{port, view};
    int ticks = 0;
    int lastFrameTick = 0;

    void startWithUnit(const std::vector<std::string>& options = {}) {
        ASSERT_TRUE(unit.start(options)) << "zentrola-unit did not come up";
        StartOptions start;
        start.port = unit.link();
        c.start(start);
        ASSERT_TRUE(view.messages.empty()) << view.details.front();
        ASSERT_TRUE(port.isOpen());
        ASSERT_TRUE(runUntil([&] { return c.monitor().haveFrame(); }, 40));
    }
    void tick() {
        runEvents(kTickPeriod);
        ++ticks;
        c.tick();
        // The counter restarts at 0 on an accepted frame and the watchdog adds one.
        if (c.silence() == 1)
            lastFrameTick = ticks;
    }
    bool runUntil(const std::function<bool()>& done, int limit) {
        for (int i = 0; i < limit && !done(); ++i)
            tick();
        return done();
    }
};

} // namespace

TEST_F(PtyLink, ProgramThenVerifyLeavesTheImageInTheUnit) {
    ASSERT_NO_FATAL_FAILURE(startWithUnit({"--eeprom", unit.file("eeprom.txt")}));
    c.image()[Offset::BaseAdvance] = 17;
    refresh(c.image(), c.shown(), c.form());
    c.program();
    ASSERT_TRUE(runUntil([&] { return c.transfer().idle(); }, 60));
    EXPECT_EQ(c.lastResult(), TransferResult::ProgramOk);
    EXPECT_EQ(c.status().text, "Programing: OK");

    // The unit writes its EEPROM file when it is stopped.
    unit.stop(SIGTERM);
    VirtualUnit stored;
    ASSERT_TRUE(stored.loadEeprom(unit.file("eeprom.txt")));
    EXPECT_TRUE(
        std::equal(stored.eeprom().begin(), stored.eeprom().end(), c.image().span().begin()));
    EXPECT_EQ(stored.eeprom()[Offset::BaseAdvance], 17);
    EXPECT_EQ(stored.programmings(), 1);
}

TEST_F(PtyLink, ReadThenVerifyTakesTheUnitsBytes) {
    VirtualUnit stored;
    stored.eeprom()[Offset::BaseAdvance] = 21;
    ASSERT_TRUE(stored.saveEeprom(unit.file("eeprom.txt")));
    ASSERT_NO_FATAL_FAILURE(startWithUnit({"--eeprom", unit.file("eeprom.txt")}));
    c.read();
    ASSERT_TRUE(runUntil([&] { return c.transfer().idle(); }, 60));
    EXPECT_EQ(c.lastResult(), TransferResult::VerifyOk);
    EXPECT_EQ(c.status().text, "Verify: OK");
    EXPECT_TRUE(
        std::equal(stored.eeprom().begin(), stored.eeprom().end(), c.image().span().begin()));
}

TEST_F(PtyLink, UnitKilledMidTransferFailsWithoutSpinningAndIsFoundAgain) {
    ASSERT_NO_FATAL_FAILURE(startWithUnit());
    c.program();
    // Page 0 answered: the transfer is under way.
    ASSERT_TRUE(runUntil([&] { return c.transfer().pageIndexByte() >= 1; }, 20));
    unit.stop(SIGKILL);

    const auto cpuBefore = cpuTime();
    const auto wallBefore = std::chrono::steady_clock::now();
    int lostAt = -1;
    for (int i = 0; i < 40; ++i) {
        tick();
        if (lostAt < 0 && c.connectionLost())
            lostAt = ticks;
    }
    const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - wallBefore;
    const auto cpu = cpuTime() - cpuBefore;

    EXPECT_TRUE(c.transfer().idle());
    EXPECT_EQ(c.lastResult(), TransferResult::Failed);
    EXPECT_EQ(c.status().text, "Program error!");
    ASSERT_GE(lostAt, 0);
    EXPECT_LE(lostAt - lastFrameTick, kSilenceTicks);
    // A vanished terminal must not keep the event loop busy.
    EXPECT_LT(cpu.count(), 0.5 * wall.count()) << "cpu " << cpu.count() << " s";
    EXPECT_EQ(port.queued(), 0u);
    std::array<std::uint8_t, kFrameSize> buffer{};
    EXPECT_EQ(port.read(buffer), 0u);
    // The watchdog's reopens are silent.
    EXPECT_TRUE(view.messages.empty());

    // Plugged in again at the same place: the watchdog reopens the port by its name.
    ASSERT_TRUE(unit.start());
    EXPECT_TRUE(runUntil([&] { return !c.connectionLost(); }, 2 * kReopenTicks + 20));
    EXPECT_TRUE(port.isOpen());
    c.read();
    ASSERT_TRUE(runUntil([&] { return c.transfer().idle(); }, 60));
    EXPECT_EQ(c.lastResult(), TransferResult::VerifyOk);
}

TEST_F(PtyLink, ReadsOnlyWhatIsQueuedAndNeverMoreThanAsked) {
    ASSERT_TRUE(unit.start());
    std::string error;
    ASSERT_TRUE(port.open(unit.link(), error)) << error;
    std::array<std::uint8_t, kFrameSize> frame{};
    EXPECT_EQ(port.read(frame), 0u);

    for (int i = 0; i < 3; ++i) {
        port.write(monitorRequest(0));
        port.waitTransmitted();
    }
    for (int i = 0; i < 40 && port.queued() < 3 * kFrameSize; ++i)
        runEvents(10ms);
    ASSERT_EQ(port.queued(), 3 * kFrameSize);

    std::array<std::uint8_t, 10> small{};
    EXPECT_EQ(port.read(small), small.size());
    EXPECT_EQ(port.queued(), 3 * kFrameSize - small.size());
    std::array<std::uint8_t, 3 * kFrameSize> rest{};
    EXPECT_EQ(port.read(rest), rest.size() - small.size());
    EXPECT_EQ(port.queued(), 0u);
    EXPECT_EQ(small[0], Lead::MonitorFrame);

    port.close();
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(port.queued(), 0u);
    port.write(monitorRequest(0)); // ignored on a closed port
    port.waitTransmitted();
}

TEST(QtSerialPortOpen, FailureCarriesTheSystemsReason) {
    // Unique per process: QSerialPort takes a lock file named after the path before it opens.
    const std::string missing = "/nonexistent-" + std::to_string(::getpid()) + "/zentrola-port";
    QtSerialPort port;
    std::string error;
    EXPECT_FALSE(port.open(missing, error));
    EXPECT_EQ(error, "No such file or directory");
    EXPECT_FALSE(port.isOpen());

    // The window shows its own text and puts the reason beside it.
    RecordingView view;
    Configurator c(port, view);
    StartOptions start;
    start.port = missing;
    c.start(start);
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0], "Com opening error!");
    EXPECT_EQ(view.details[0], "No such file or directory");
}

TEST(QtSerialPortOpen, APortAlreadyOpenIsRefusedUntilClosed) {
    UnitProcess unit(ZENTROLA_UNIT_EXE);
    ASSERT_TRUE(unit.start());
    QtSerialPort first, second;
    std::string error;
    ASSERT_TRUE(first.open(unit.link(), error)) << error;
    EXPECT_FALSE(second.open(unit.link(), error));
    EXPECT_FALSE(error.empty());
    first.close();
    EXPECT_TRUE(second.open(unit.link(), error)) << error;
}

TEST(QtSerialPortDevices, TheEnvironmentListComesFirstAndInItsOrder) {
    ::setenv("ZENTROLA_PORTS", "/dev/ttyS1:/tmp/unit:/dev/ttyUSB0", 1);
    QtSerialPort port;
    const auto devices = port.devices();
    ::unsetenv("ZENTROLA_PORTS");
    EXPECT_EQ(devices, (std::vector<std::string>{"/dev/ttyS1", "/tmp/unit", "/dev/ttyUSB0"}));
    // The system's list is ordered with USB adapters first.
    const auto system = port.devices();
    EXPECT_EQ(system, orderPorts(system));
}

int main(int argc, char** argv) {
    // QSerialPort's notifiers need an application object and its event loop.
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
