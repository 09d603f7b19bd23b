#include "sim/PtyServer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

using namespace zentrola;
using namespace std::chrono_literals;

namespace {

int openSlave(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    termios tio{};
    if (fd >= 0 && ::tcgetattr(fd, &tio) == 0) {
        ::cfmakeraw(&tio);
        ::tcsetattr(fd, TCSANOW, &tio);
    }
    return fd;
}

// Reads until a whole frame is in or a second has passed.
std::vector<std::uint8_t> readFrame(int fd) {
    std::vector<std::uint8_t> got;
    const auto until = std::chrono::steady_clock::now() + 1s;
    while (got.size() < kFrameSize && std::chrono::steady_clock::now() < until) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 50) <= 0)
            continue;
        std::uint8_t buf[64];
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n > 0)
            got.insert(got.end(), buf, buf + n);
    }
    return got;
}

// Runs the server's loop in a thread of its own while a test plays the PC.
class Serving {
  public:
    explicit Serving(PtyServer& server)
        : thread_([this, &server] {
              while (!stop_) {
                  server.poll(10);
                  ++steps_;
              }
          }) {}
    ~Serving() {
        stop_ = true;
        thread_.join();
    }
    int steps() const { return steps_; }

  private:
    std::atomic<bool> stop_{false};
    std::atomic<int> steps_{0};
    std::thread thread_;
};

} // namespace

TEST(PtyServer, AnswersOnTheSlaveAndSurvivesTheProgramClosingIt) {
    VirtualUnit unit;
    PtyServer server(unit);
    ASSERT_TRUE(server.open()) << server.error();
    ASSERT_FALSE(server.slavePath().empty());
    Serving serving(server);

    int fd = openSlave(server.slavePath());
    ASSERT_GE(fd, 0);
    const Frame request = monitorRequest(0);
    ASSERT_EQ(::write(fd, request.data(), request.size()), 52);
    auto reply = readFrame(fd);
    ASSERT_EQ(reply.size(), kFrameSize);
    EXPECT_TRUE(acceptMonitorFrame(reply));
    EXPECT_EQ(reply[FrameByte::Version], 92);

    // A reply the program never collects must not greet the next one to open the port.
    const Frame read = readRequest(0x40);
    ASSERT_EQ(::write(fd, read.data(), read.size()), 52);
    std::this_thread::sleep_for(100ms);
    ::close(fd);

    // With nobody on the slave the loop must still wait, not spin.
    const int before = serving.steps();
    std::this_thread::sleep_for(300ms);
    EXPECT_LT(serving.steps() - before, 100);

    fd = openSlave(server.slavePath());
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::write(fd, request.data(), request.size()), 52);
    reply = readFrame(fd);
    ASSERT_EQ(reply.size(), kFrameSize);
    EXPECT_EQ(reply[0], Lead::MonitorFrame);
    ::close(fd);
}

TEST(PtyServer, TicksTheUnitInWallTime) {
    VirtualUnit unit;
    PtyServer server(unit);
    ASSERT_TRUE(server.open());
    unit.receive(pageFrame(0x02, Page{}));
    unit.takeOutput();
    const auto until = std::chrono::steady_clock::now() + 550ms;
    while (std::chrono::steady_clock::now() < until)
        server.poll(20);
    // About ten ticks in 550 ms; a loaded machine may fall a little behind.
    EXPECT_GE(unit.savingCountdown(), 103 - 12);
    EXPECT_LE(unit.savingCountdown(), 103 - 7);
}
