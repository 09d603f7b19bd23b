#if !defined(_WIN32)

#include "sim/PtyServer.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace zentrola {

namespace {

// A unit that fell far behind (the process was stopped) does not replay every missed tick.
constexpr std::chrono::seconds kMaxCatchUp{1};

std::string systemError(const char* what) {
    return std::string(what) + ": " + std::strerror(errno);
}

} // namespace

PtyServer::PtyServer(VirtualUnit& unit) : unit_(unit) {}

PtyServer::~PtyServer() {
    close();
}

bool PtyServer::open() {
    close();
    const int fd = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (fd < 0) {
        error_ = systemError("posix_openpt");
        return false;
    }
    const char* name = nullptr;
    if (::grantpt(fd) != 0 || ::unlockpt(fd) != 0 || (name = ::ptsname(fd)) == nullptr) {
        error_ = systemError("pseudo-terminal");
        ::close(fd);
        return false;
    }
    // Raw both ways: the frames are binary, nothing may be echoed, translated or held back.
    // The settings belong to the pair, so the slave starts raw as well.
    termios tio{};
    if (::tcgetattr(fd, &tio) == 0) {
        ::cfmakeraw(&tio);
        ::tcsetattr(fd, TCSANOW, &tio);
    }
    const int flags = ::fcntl(fd, F_GETFL);
    ::fcntl(fd, F_SETFL, flags | O_NONBLOCK);

    master_ = fd;
    slavePath_ = name;
    error_.clear();
    peerPresent_ = false;
    unsent_.clear();
    nextTick_ = std::chrono::steady_clock::now() + kTickPeriod;
    return true;
}

void PtyServer::close() {
    if (master_ >= 0)
        ::close(master_);
    master_ = -1;
    slavePath_.clear();
    peerPresent_ = false;
    unsent_.clear();
}

void PtyServer::poll(int timeoutMs) {
    const int wait = std::clamp(msToNextTick(), 0, std::max(timeoutMs, 0));
    if (master_ < 0) {
        ::poll(nullptr, 0, wait); // unplugged: the unit only keeps its time
        unit_.takeOutput();
        runTicks();
        return;
    }

    pollfd p{master_, static_cast<short>(POLLIN | (unsent_.empty() ? 0 : POLLOUT)), 0};
    const int ready = ::poll(&p, 1, wait);
    bool gone = ready > 0 && (p.revents & (POLLHUP | POLLERR)) != 0;
    if (ready > 0 && (p.revents & POLLIN) != 0 && !readFromPeer())
        gone = true;
    if (gone) {
        peerGone();
        // With no slave open the master reports a hang-up at once; wait here instead of
        // coming straight back.
        ::poll(nullptr, 0, wait);
    } else {
        peerPresent_ = true;
    }
    writeToPeer();
    runTicks();
}

bool PtyServer::readFromPeer() {
    std::array<std::uint8_t, 512> buffer{};
    for (;;) {
        const ssize_t n = ::read(master_, buffer.data(), buffer.size());
        if (n > 0) {
            unit_.receive(
                std::span<const std::uint8_t>(buffer.data(), static_cast<std::size_t>(n)));
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return true;
        return false; // EIO: the last program holding the slave closed it
    }
}

void PtyServer::writeToPeer() {
    const std::vector<std::uint8_t> out = unit_.takeOutput();
    if (!peerPresent_) {
        unsent_.clear(); // nobody on the line: the bytes are lost, as on a pulled cable
        return;
    }
    unsent_.insert(unsent_.end(), out.begin(), out.end());
    while (!unsent_.empty()) {
        const ssize_t n = ::write(master_, unsent_.data(), unsent_.size());
        if (n > 0) {
            unsent_.erase(unsent_.begin(), unsent_.begin() + n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        return; // full for now; the next step waits for room
    }
}

void PtyServer::peerGone() {
    if (!peerPresent_)
        return; // already dealt with
    peerPresent_ = false;
    unsent_.clear();
    // Replies the PC never read would otherwise greet the next program that opens the
    // slave; only the slave side can drop them.
    const int slave = ::open(slavePath_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (slave >= 0) {
        ::tcflush(slave, TCIOFLUSH);
        ::close(slave);
    }
}

void PtyServer::runTicks() {
    const auto now = std::chrono::steady_clock::now();
    if (now - nextTick_ > kMaxCatchUp)
        nextTick_ = now;
    while (now >= nextTick_) {
        unit_.tick();
        nextTick_ += kTickPeriod;
    }
}

int PtyServer::msToNextTick() const {
    const auto left = nextTick_ - std::chrono::steady_clock::now();
    const auto ms = std::chrono::ceil<std::chrono::milliseconds>(left).count();
    return static_cast<int>(std::max<decltype(ms)>(ms, 0));
}

} // namespace zentrola

#endif
