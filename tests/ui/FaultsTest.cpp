// The window under faults: settings files full of garbage, and the unit unplugged and plugged
// in again on the same port, also in the middle of a transfer.
#include "WindowFixture.h"

#if !defined(_WIN32) // zentrola-unit on a pseudo-terminal; under Wine, tests/win_port
#include "link/QtSerialPort.h"
#include "sim/UnitProcess.h"
#endif

#include <QEventLoop>
#include <QLabel>
#include <QScreen>
#include <QTimer>

#include <csignal>
#include <fstream>
#include <functional>

using namespace zentrola;
using namespace zentrola::uitest;

namespace {

void write(const std::filesystem::path& p, const std::string& text) {
    std::ofstream(p, std::ios::binary) << text;
}

std::string binaryGarbage(unsigned seed, std::size_t size) {
    std::string s;
    for (std::size_t i = 0; i < size; ++i) {
        seed = seed * 1103515245u + 12345u;
        s += static_cast<char>(seed >> 16);
    }
    return s;
}

} // namespace

TEST(WindowFaults, GarbageSettingsStartWithSoundValues) {
    const std::string huge =
        "[BASIC]\r\nLeft=99999999999\r\nTop=-2147483648\r\nHeight=2147483647\r\n"
        "Width=-5\r\nComPort=-7\r\nComPortAuto=99999\r\nLanguage=-1\r\n"
        "File=" +
        std::string(5000, 'x') + "\r\nCheckBoxIgnAll->Checked=77\r\n";
    const std::string noSection = "Left=10\nTop=10\nLanguage=2\nComPort=3\n";
    struct Case {
        const char* what;
        std::string ini;
        std::string backup;
    };
    for (const Case& c : {Case{"binary", binaryGarbage(1, 3000), binaryGarbage(2, 3000)},
                          Case{"huge and negative", huge,
                               "-5 99999999999 4294967295 -1 abc 300 " + std::string(2000, '9')},
                          Case{"no section", noSection, "1 2 3"}, Case{"empty", "", ""}}) {
        SCOPED_TRACE(c.what);
        Scratch dir;
        write(dir.path / "ZENTROLA_v92.ini", c.ini);
        write(dir.path / "_ZENTROLA_v92.ini", c.backup);
        Window win;
        win.start(dir.path);
        Configurator& cfg = win.cfg();
        EXPECT_GE(cfg.language(), 0);
        EXPECT_LE(cfg.language(), 3);
        EXPECT_LE(cfg.portIndex(), 20);
        EXPECT_LE(cfg.scanPosition(), 20);
        // The window is on the screen and at least as large as its controls need.
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        EXPECT_TRUE(screen.intersects(win.w->geometry())) << win.w->x() << "," << win.w->y();
        EXPECT_GE(win.w->width(), win.w->minimumSizeHint().width());
        // Every field shows a value of its range, and the curves are in order.
        for (std::size_t id = 0; id < Spin::Count; ++id) {
            const SpinnerSpec& s = spinnerTable()[id];
            EXPECT_GE(win.spin(id)->value(), s.min) << s.name;
            EXPECT_LE(win.spin(id)->value(), s.max) << s.name;
        }
        for (Curve curve : {Curve::A, Curve::B}) {
            for (std::size_t k = 1; k < kCurvePoints; ++k)
                EXPECT_LT(cfg.image().rpm(curve, k - 1), cfg.image().rpm(curve, k)) << k;
        }
        win.ticks(5);
        win.w->close(); // and it closes, writing sound files
        Window again;
        again.start(dir.path);
        EXPECT_LE(again.cfg().language(), 3);
    }
}

#if !defined(_WIN32)
namespace {

// The window over zentrola-unit on a pseudo-terminal, with real time between ticks so that
// the serial port takes its bytes in.
struct PlugTest : ::testing::Test {
    Scratch dir;
    UnitProcess unit{ZENTROLA_UNIT_EXE};
    QtSerialPort port;
    std::unique_ptr<MainWindow> w;
    QStringList messages;

    void tick() {
        QEventLoop loop;
        QTimer::singleShot(55, &loop, &QEventLoop::quit);
        loop.exec();
        w->tick();
    }
    bool until(const std::function<bool()>& done, int limit) {
        for (int i = 0; i < limit && !done(); ++i)
            tick();
        return done();
    }
    bool lost() { return !w->findChild<QLabel*>("LabelSpojeni")->isHidden(); }
};

} // namespace

TEST_F(PlugTest, UnpluggedAndPluggedInAgainOnTheSamePortAlsoMidTransfer) {
    ASSERT_TRUE(unit.start());
    w = std::make_unique<MainWindow>(port);
    w->messageHook = [this](const QString& t, const QString&) { messages << t; };
    StartOptions o;
    o.configDir = dir.path;
    o.port = unit.link();
    w->start(o);
    Configurator& cfg = w->configurator();
    ASSERT_TRUE(until([&] { return cfg.monitor().haveFrame(); }, 40));
    EXPECT_FALSE(lost());

    // Unplugged: the label shows; plugged in again: the window finds the unit by itself.
    unit.stop(SIGKILL);
    ASSERT_TRUE(until([&] { return lost(); }, 40));
    EXPECT_EQ(w->findChild<QLabel*>("LabelSpojeni")->text(), "No connection with PC");
    ASSERT_TRUE(unit.start());
    ASSERT_TRUE(until([&] { return !lost(); }, 2 * kReopenTicks + 20));

    // In the middle of a read: the read fails with its message, the window finds the unit
    // again, and the next read goes through.
    w->commandRead();
    ASSERT_TRUE(until([&] { return cfg.transfer().pageIndexByte() >= 0x41; }, 20));
    unit.stop(SIGKILL);
    ASSERT_TRUE(until([&] { return cfg.transfer().idle(); }, 60));
    EXPECT_EQ(cfg.status().text, "Read error!");
    ASSERT_TRUE(unit.start());
    ASSERT_TRUE(until([&] { return !lost() && cfg.monitor().haveFrame(); }, 2 * kReopenTicks + 20));
    w->commandRead();
    ASSERT_TRUE(until([&] { return cfg.transfer().idle(); }, 60));
    EXPECT_EQ(cfg.lastResult(), TransferResult::VerifyOk);
    EXPECT_TRUE(messages.empty()) << messages.join('\n').toStdString();
}
#endif
