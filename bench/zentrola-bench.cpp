// zentrola-bench: how many ticks and how much wall time the transfers take over a real
// pseudo-terminal against zentrola-unit, against the fewest the protocol allows; what one
// tick costs in CPU time, measured in-process against the virtual unit; and what one graph
// drag step costs without painting.

#include "app/Configurator.h"
#include "core/BikeTypes.h"
#include "link/LoopbackPort.h"
#include "link/NullSerialPort.h"
#include "link/QtSerialPort.h"
#include "sim/UnitProcess.h"
#include "sim/VirtualUnit.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <numeric>
#include <string>
#include <string_view>
#include <vector>

using namespace zentrola;
using Clock = std::chrono::steady_clock;

namespace {

constexpr auto kTickPeriod = std::chrono::milliseconds(55);
constexpr int kTickMs = 55;
constexpr int kExchanges = 5; // page 0, two pages, two verify pages
constexpr int kTransferLimit = 200;
constexpr int kDefaultRuns = 6;
constexpr int kCpuTicks = 300000;
constexpr int kWarmUpTicks = 200;
constexpr int kDragSteps = 5000;
constexpr int kDragSweep = 200; // moves from one side of the plot to the other

// ----------------------------------------------------------------- over the pseudo-terminal

double cpuSeconds(int who) {
    rusage use{};
    ::getrusage(who, &use);
    const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(use.ru_utime) + seconds(use.ru_stime);
}

void runEvents(std::chrono::milliseconds period) {
    QEventLoop loop;
    QTimer::singleShot(period, &loop, &QEventLoop::quit);
    loop.exec();
}

// One tick as the window's timer gives it: the event loop runs for a tick period first.
struct WallTicker {
    Configurator& c;
    int ticks = 0;
    void tick() {
        runEvents(kTickPeriod);
        ++ticks;
        c.tick();
    }
    bool runUntil(const std::function<bool()>& done, int limit) {
        for (int i = 0; i < limit && !done(); ++i)
            tick();
        return done();
    }
};

// The transfer sends its first page when the reply wait count, shared with the monitor
// requests, reaches 4; then every reply is taken by the next tick, which sends the next page.
int fewestTicks(int replyWaitAtCommand) {
    return std::max(1, kReplyWaitTicks - replyWaitAtCommand) + kExchanges;
}

struct Run {
    int ticks = 0;
    int fewest = 0;
    double ms = 0;
    bool ok = false;
};

Run timeTransfer(WallTicker& t, Configurator& c, void (Configurator::*command)(),
                 TransferResult expected) {
    Run r;
    r.fewest = fewestTicks(c.transfer().replyWait);
    const int before = t.ticks;
    const auto start = Clock::now();
    (c.*command)();
    const bool ended = t.runUntil([&] { return c.transfer().idle(); }, kTransferLimit);
    r.ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    r.ticks = t.ticks - before;
    r.ok = ended && c.lastResult() == expected;
    return r;
}

void report(const char* name, const std::vector<Run>& runs) {
    std::printf("%s\n  run  ticks  fewest  extra   wall ms  result\n", name);
    int ticks = 0, fewest = 0, atFewest = 0;
    double ms = 0;
    for (std::size_t i = 0; i < runs.size(); ++i) {
        const Run& r = runs[i];
        std::printf("  %3zu  %5d  %6d  %5d  %8.1f  %s\n", i + 1, r.ticks, r.fewest,
                    r.ticks - r.fewest, r.ms, r.ok ? "ok" : "FAILED");
        ticks += r.ticks;
        fewest += r.fewest;
        ms += r.ms;
        atFewest += r.ticks == r.fewest ? 1 : 0;
    }
    const double n = static_cast<double>(runs.size());
    std::printf("  mean %.2f ticks (fewest %.2f), %.1f ms; %d of %zu runs at the fewest\n\n",
                ticks / n, fewest / n, ms / n, atFewest, runs.size());
}

int benchPseudoTerminal(const std::string& unitExe, int runs) {
    UnitProcess unit(unitExe);
    if (!unit.start()) {
        std::fprintf(stderr, "zentrola-bench: cannot start %s\n", unitExe.c_str());
        return 1;
    }
    QtSerialPort port;
    View view;
    Configurator c(port, view);
    StartOptions options;
    options.port = unit.link();
    c.start(options);
    WallTicker t{c};
    if (!port.isOpen() || !t.runUntil([&] { return c.monitor().haveFrame(); }, 40)) {
        std::fprintf(stderr, "zentrola-bench: no answer from the unit on %s\n",
                     unit.link().c_str());
        return 1;
    }

    std::printf("Transfers over a pseudo-terminal against zentrola-unit, %d ms ticks\n", kTickMs);
    std::printf(
        "Fewest ticks the protocol allows: the first page frame goes out when the reply wait\n"
        "count (shared with the monitor requests, which go out when it reaches 6) reaches 4,\n"
        "i.e. 1 to 4 ticks after the command; then %d exchanges (program: page 0, pages 1\n"
        "and 2, verify of pages 1 and 2; read: pages 0, 1, 2, verify of pages 1 and 2), each\n"
        "reply taken by the next tick, which sends the next page at once: %d to %d ticks,\n"
        "%d to %d ms. \"fewest\" below is that bound for the count found at the command.\n\n",
        kExchanges, 1 + kExchanges, kReplyWaitTicks + kExchanges, (1 + kExchanges) * kTickMs,
        (kReplyWaitTicks + kExchanges) * kTickMs);

    std::vector<Run> programs, reads;
    const double cpuStart = cpuSeconds(RUSAGE_SELF);
    const int ticksStart = t.ticks;
    for (int i = 0; i < runs; ++i) {
        // Start at every phase of the monitor request cycle in turn.
        const auto atPhase = [&] { return c.transfer().replyWait == i % kMonitorInterval; };
        t.runUntil(atPhase, kMonitorInterval);
        programs.push_back(timeTransfer(t, c, &Configurator::program, TransferResult::ProgramOk));
        t.runUntil(atPhase, kMonitorInterval);
        reads.push_back(timeTransfer(t, c, &Configurator::read, TransferResult::VerifyOk));
    }
    const double cpu = cpuSeconds(RUSAGE_SELF) - cpuStart;
    const int ticks = t.ticks - ticksStart;
    report("Program + verify", programs);
    report("Read + verify", reads);
    std::printf("This process over those %d ticks (event loop, QSerialPort, Configurator):\n"
                "  %.1f ms CPU, %.1f us a tick, %.3f %% of one core\n",
                ticks, 1e3 * cpu, 1e6 * cpu / ticks, 100.0 * cpu / (ticks * kTickMs / 1e3));
    const auto failed = [](const Run& r) { return !r.ok; };
    return std::any_of(programs.begin(), programs.end(), failed) ||
                   std::any_of(reads.begin(), reads.end(), failed)
               ? 1
               : 0;
}

// ----------------------------------------------------------------- CPU time of a tick

struct CountingView : View {
    int frames = 0;
    void monitorUpdated() override { ++frames; }
};

struct UnitPeer : LoopbackPeer {
    VirtualUnit unit;
    void receive(std::span<const std::uint8_t> bytes) override { unit.receive(bytes); }
    std::vector<std::uint8_t> takeOutput() override { return unit.takeOutput(); }
    void tick() override { unit.tick(); }
};

struct Samples {
    std::vector<double> us;
    void add(double v) { us.push_back(v); }
    double mean() const {
        return us.empty() ? 0 : std::accumulate(us.begin(), us.end(), 0.0) / us.size();
    }
    double median() {
        if (us.empty())
            return 0;
        auto mid = us.begin() + static_cast<std::ptrdiff_t>(us.size() / 2);
        std::nth_element(us.begin(), mid, us.end());
        return *mid;
    }
};

void line(const char* what, Samples& s) {
    std::printf("  %-44s %8zu  %8.2f  %8.2f\n", what, s.us.size(), s.median(), s.mean());
}

void benchTickCpu() {
    UnitPeer peer;
    LoopbackPort port(peer);
    CountingView view;
    Configurator c(port, view);
    c.start({});
    for (int i = 0; i < kWarmUpTicks; ++i)
        c.tick();

    Samples idle, request, frame;
    const std::clock_t cpuStart = std::clock();
    const auto wallStart = Clock::now();
    for (int i = 0; i < kCpuTicks; ++i) {
        const int framesBefore = view.frames;
        const std::size_t writtenBefore = port.framesWritten();
        const auto t0 = Clock::now();
        c.tick();
        const auto t1 = Clock::now();
        const double us = std::chrono::duration<double, std::micro>(t1 - t0).count();
        if (view.frames != framesBefore)
            frame.add(us);
        else if (port.framesWritten() != writtenBefore)
            request.add(us);
        else
            idle.add(us);
    }
    const double cpuUs = 1e6 * static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    const double wallUs =
        std::chrono::duration<double, std::micro>(Clock::now() - wallStart).count();

    // The unit's own share: the loopback port ticks the unit at every poll.
    VirtualUnit alone;
    const std::clock_t unitStart = std::clock();
    for (int i = 0; i < kCpuTicks; ++i)
        alone.tick();
    const double unitUs =
        1e6 * static_cast<double>(std::clock() - unitStart) / CLOCKS_PER_SEC / kCpuTicks;

    std::printf("CPU time of one tick, in-process (LoopbackPort + VirtualUnit, a view that "
                "draws nothing), %d ticks\n",
                kCpuTicks);
    std::printf("  %-44s %8s  %8s  %8s\n", "tick", "count", "median us", "mean us");
    line("idle (nothing in, nothing out)", idle);
    line("sending a monitor request", request);
    line("with a monitor frame (decode, display)", frame);
    std::printf("  all ticks: %.2f us CPU each by clock(), %.2f us wall each\n", cpuUs / kCpuTicks,
                wallUs / kCpuTicks);
    std::printf("  of which the virtual unit's own tick: %.3f us\n", unitUs);
    std::printf("  at one tick per %d ms that is %.4f %% of one core\n\n", kTickMs,
                100.0 * (cpuUs / kCpuTicks) / (kTickMs * 1000.0));
}

// ----------------------------------------------------------------- a graph drag step

struct DragView : View {
    int draws = 0;
    void drawGraph(int) override { ++draws; }
};

// One point dragged to and fro across the whole plot and up and down through every degree:
// its neighbours are pushed and spring back, and both axes rescale now and then. Each move
// is a drag step (write, rules, refresh of the form values and the enabling pass, rescale);
// the tick after it builds the display list. Nothing is painted.
void benchDragStep() {
    NullSerialPort port;
    DragView view;
    Configurator c(port, view);
    c.start({});
    c.tick();
    const GraphGeometry start = c.graph().geometry();
    const ParameterImage& image = c.image();
    const GraphPoint p = c.graph().elementPosition(image, Curve::A, 7);
    c.graphMouse(GraphMouse::Press, p.x, p.y);
    if (c.graph().dragged() != 7) {
        std::fprintf(stderr, "zentrola-bench: the drag did not start\n");
        return;
    }

    Samples step, draw, both;
    int rescaled = 0;
    const int drawsBefore = view.draws;
    for (int i = 0; i < kDragSteps; ++i) {
        const int phase = i % (2 * kDragSweep);
        const int across = phase < kDragSweep ? phase : 2 * kDragSweep - phase;
        const int x = start.plotLeft + across * start.plotWidth / kDragSweep;
        const int y = start.plotTop() + (i * 7) % (start.plotHeight + 1);
        const float xScale = c.graph().geometry().xScale;
        const float yScale = c.graph().geometry().yScale;
        const auto t0 = Clock::now();
        c.graphMouse(GraphMouse::Move, x, y);
        const auto t1 = Clock::now();
        c.tick();
        const auto t2 = Clock::now();
        step.add(std::chrono::duration<double, std::micro>(t1 - t0).count());
        draw.add(std::chrono::duration<double, std::micro>(t2 - t1).count());
        both.add(std::chrono::duration<double, std::micro>(t2 - t0).count());
        if (c.graph().geometry().xScale != xScale || c.graph().geometry().yScale != yScale)
            ++rescaled;
    }
    c.graphMouse(GraphMouse::Release, 0, 0);

    std::printf("A graph drag step without painting, %d steps (%d changed a scale), %d draws\n",
                kDragSteps, rescaled, view.draws - drawsBefore);
    std::printf("  %-44s %8s  %8s  %8s\n", "part", "count", "median us", "mean us");
    line("drag step (write, rules, refresh, rescale)", step);
    line("the tick after it (display list)", draw);
    line("both", both);
    std::sort(both.us.begin(), both.us.end());
    const auto p99 = both.us[both.us.size() * 99 / 100];
    std::printf("  step and tick: 99 %% within %.2f us, slowest %.2f us (a preemption shows here)\n"
                "  display list of the last draw: %zu items\n\n",
                p99, both.us.back(), c.graph().displayList().size());
}

constexpr std::string_view kUsage = "usage: zentrola-bench [--runs N] [--unit PATH]\n"
                                    "Times transfers over a pseudo-terminal against "
                                    "zentrola-unit and the CPU time of a tick.\n";

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    int runs = kDefaultRuns;
    std::string unitExe = ZENTROLA_UNIT_EXE;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--runs" && i + 1 < argc) {
            runs = std::max(1, std::atoi(argv[++i]));
        } else if (arg == "--unit" && i + 1 < argc) {
            unitExe = argv[++i];
        } else {
            std::fputs(kUsage.data(), arg == "--help" ? stdout : stderr);
            return arg == "--help" ? 0 : 2;
        }
    }
    const int status = benchPseudoTerminal(unitExe, runs);
    // zentrola-unit has been stopped and reaped by now.
    std::printf("zentrola-unit over its whole run: %.1f ms CPU\n\n",
                1e3 * cpuSeconds(RUSAGE_CHILDREN));
    benchTickCpu();
    benchDragStep();
    return status;
}
