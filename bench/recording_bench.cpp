// zentrola-recording-bench: a recording of ten hours of the virtual unit, made by the window's
// recorder tick by tick, and what reading it back costs: from memory, and from the file as
// the recording viewer opens it.

#include "app/Configurator.h"
#include "app/LiveRecorder.h"
#include "app/Recording.h"
#include "link/LoopbackPort.h"
#include "sim/VirtualUnit.h"

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

using namespace zentrola;
using Clock = std::chrono::steady_clock;

namespace {

constexpr long kTenHoursOfTicks = 10L * 3600 * 1000 / kTickMilliseconds;
constexpr int kDefaultRuns = 7;
constexpr double kBytesPerMegabyte = 1024.0 * 1024.0;

struct UnitPeer : LoopbackPeer {
    VirtualUnit unit;
    void receive(std::span<const std::uint8_t> bytes) override { unit.receive(bytes); }
    std::vector<std::uint8_t> takeOutput() override { return unit.takeOutput(); }
    void tick() override { unit.tick(); }
};

// Each frame to the recorder, as the window's monitorUpdated does.
struct RecorderView : View {
    LiveRecorder* recorder = nullptr;
    const Configurator* c = nullptr;
    double clock = 0; // a tick's time per tick, as a driver's clock would read
    void monitorUpdated() override { recorder->frame(c->monitor().lastFrame(), clock); }
};

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// CPU time of this process: on a shared machine the wall time also holds the waits for a core.
double cpuMs() {
    return 1e3 * static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

double peakMegabytes() {
    rusage use{};
    ::getrusage(RUSAGE_SELF, &use);
    return static_cast<double>(use.ru_maxrss) * 1024.0 / kBytesPerMegabyte; // ru_maxrss in KiB
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

std::string textOf(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

constexpr std::string_view kUsage = "usage: zentrola-recording-bench [--runs N]\n"
                                    "Records ten hours of the virtual unit and times reading "
                                    "the recording back.\n";

} // namespace

int main(int argc, char** argv) {
    int runs = kDefaultRuns;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--runs" && i + 1 < argc) {
            runs = std::max(1, std::atoi(argv[++i]));
        } else {
            std::fputs(kUsage.data(), arg == "--help" ? stdout : stderr);
            return arg == "--help" ? 0 : 2;
        }
    }
    const auto path = std::filesystem::temp_directory_path() / "zentrola-bench-ten-hours.csv";

    // Ten hours of ticks against the virtual unit, every frame a row.
    UnitPeer peer;
    LoopbackPort port(peer);
    RecorderView view;
    Configurator c(port, view);
    LiveRecorder recorder;
    view.recorder = &recorder;
    view.c = &c;
    c.start({});
    if (!recorder.start(path.string(), 0)) {
        std::fprintf(stderr, "zentrola-recording-bench: cannot write %s\n", path.c_str());
        return 1;
    }
    const auto recordStart = Clock::now();
    for (long i = 0; i < kTenHoursOfTicks; ++i) {
        view.clock = static_cast<double>(i) * 0.055;
        c.tick();
        recorder.tick();
    }
    const double recordMs = msSince(recordStart);
    const std::size_t written = recorder.rows();
    if (!recorder.stop()) {
        std::fprintf(stderr, "zentrola-recording-bench: writing %s failed\n", path.c_str());
        return 1;
    }
    const auto bytes = std::filesystem::file_size(path);
    std::printf("Ten hours of the virtual unit: %ld ticks, %zu rows, %.1f MB, recorded in %.0f ms "
                "(ticks and rows)\n\n",
                kTenHoursOfTicks, written, static_cast<double>(bytes) / kBytesPerMegabyte,
                recordMs);

    const std::string text = textOf(path);
    std::vector<double> fromMemory, fromFile, cpuMemory, cpuFile;
    std::size_t rows = 0;
    std::size_t columnBytes = 0;
    bool sound = true;
    const double peakBefore = peakMegabytes();
    for (int i = 0; i < runs; ++i) {
        auto start = Clock::now();
        double cpu = cpuMs();
        const Recording inMemory = readRecording(text);
        fromMemory.push_back(msSince(start));
        cpuMemory.push_back(cpuMs() - cpu);
        start = Clock::now();
        cpu = cpuMs();
        const Recording r = readRecordingFile(path.string());
        fromFile.push_back(msSince(start));
        cpuFile.push_back(cpuMs() - cpu);
        rows = r.rows;
        sound = sound && !r.problem && !inMemory.problem && r.rows == written;
        columnBytes = 0;
        for (const auto& column : r.columns)
            columnBytes += column.capacity() * sizeof(double);
    }
    std::printf("Reading it back, %d runs             median ms    min ms    max ms\n", runs);
    const auto line = [](const char* what, const std::vector<double>& ms) {
        std::printf("  %-35s %9.1f %9.1f %9.1f\n", what, median(ms),
                    *std::min_element(ms.begin(), ms.end()),
                    *std::max_element(ms.begin(), ms.end()));
    };
    line("text in memory (parse only), wall", fromMemory);
    line("                              CPU", cpuMemory);
    line("the file (read and parse), wall", fromFile);
    line("                            CPU", cpuFile);
    const double perRowNs = 1e6 * median(fromMemory) / static_cast<double>(rows);
    std::printf("  %zu rows, %.0f ns a row; %s\n", rows, perRowNs,
                sound ? "every row read" : "FAILED: rows missing or a problem reported");
    std::printf("  the columns: %.1f MB; peak memory of this process %.1f MB after recording, "
                "%.1f MB after reading\n",
                static_cast<double>(columnBytes) / kBytesPerMegabyte, peakBefore, peakMegabytes());
    std::error_code ec;
    std::filesystem::remove(path, ec);
    return sound ? 0 : 1;
}
