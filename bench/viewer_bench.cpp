// zentrola-viewer-bench: the recording viewer on a recording of the virtual unit ten hours
// long (110,000 rows by default): the time to open and draw it and the memory it took; then on
// a million rows the redraw after a zoom or a pan step, by the min/max pyramid, beside the same
// lines made by walking every row of the stretch (the way before the pyramid) in the same run.
// Also writes such a recording (a mark every 600 rows) for the screenshots and the clients:
//   zentrola-viewer-bench [ROWS [BIG_ROWS]]  measures
//   zentrola-viewer-bench --write FILE ROWS  only writes the recording
#include "ui/RecordingPlot.h"
#include "ui/RecordingViewer.h"

#include "app/Configurator.h"
#include "app/LiveSample.h"
#include "app/Recording.h"
#include "link/LoopbackPort.h"
#include "sim/VirtualUnit.h"

#include <QApplication>
#include <QDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The virtual unit's engine run through the very Configurator of the window, one row a frame.
struct Run : zentrola::View {
    zentrola::Configurator* cfg = nullptr;
    long ticks = 0;
    std::string text = zentrola::recordingCsvHeader();
    std::size_t rows = 0;
    void monitorUpdated() override {
        zentrola::LiveSample sample = zentrola::liveSample(cfg->monitor().lastFrame(), ticks);
        // A mechanic who marks now and then.
        constexpr std::size_t kMarkEvery = 600;
        if (rows % kMarkEvery == kMarkEvery / 2)
            sample.mark = static_cast<int>(rows / kMarkEvery + 1);
        text += zentrola::recordingCsvRow(sample);
        ++rows;
    }
};

bool writeRecording(const std::string& path, std::size_t rows) {
    zentrola::VirtualUnit unit;
    zentrola::LoopbackPort port(unit, "virtual-unit");
    Run run;
    zentrola::Configurator cfg(port, run);
    run.cfg = &cfg;
    zentrola::StartOptions options;
    options.port = "virtual-unit";
    cfg.start(options);
    while (run.rows < rows) {
        cfg.tick();
        ++run.ticks;
    }
    std::ofstream out(path, std::ios::binary);
    out << run.text;
    return static_cast<bool>(out.flush());
}

long residentKb() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * 4;
}

struct Steps {
    std::vector<double> zooms, pans;
    static double median(std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v.empty() ? 0 : v[v.size() / 2];
    }
    static double max(const std::vector<double>& v) {
        return v.empty() ? 0 : *std::max_element(v.begin(), v.end());
    }
};

// Zoom steps in and out, each followed by a pan, each redrawn at once and timed.
Steps zoomAndPan(zentrola::RecordingPlot* plot, int steps) {
    Steps s;
    plot->showAll();
    for (int i = 0; i < steps; ++i) {
        auto t = Clock::now();
        plot->zoom(i < steps / 2 ? 0.5 : 2.0);
        plot->replot(QCustomPlot::rpImmediateRefresh);
        s.zooms.push_back(msSince(t));
        t = Clock::now();
        plot->pan(i % 2 == 0 ? 0.25 : -0.2);
        plot->replot(QCustomPlot::rpImmediateRefresh);
        s.pans.push_back(msSince(t));
    }
    return s;
}

// The lines of the same stretches made the way before the pyramid: every row of the stretch
// walked, for the channels shown.
double walkingMs(const zentrola::RecordingPlot* plot, const zentrola::Recording& r, int steps) {
    std::vector<double> times;
    double from = r[zentrola::Channel::Time].front(), to = r[zentrola::Channel::Time].back();
    const int width = plot->axisRect()->width();
    for (int i = 0; i < steps; ++i) {
        const double span = (to - from) * (i < steps / 2 ? 0.5 : 2.0);
        from = (from + to) / 2 - span / 2, to = from + span;
        const auto t = Clock::now();
        std::size_t points = 0;
        for (zentrola::Channel c : {zentrola::Channel::Rpm, zentrola::Channel::Advance})
            for (const auto& line :
                 zentrola::plotLines(r[zentrola::Channel::Time], r[c], from, to, width, 0))
                points += line.size();
        times.push_back(msSince(t) + 0 * static_cast<double>(points));
    }
    return Steps::median(times);
}

} // namespace

int main(int argc, char* argv[]) {
    // Writing needs no screen.
    if (argc == 4 && std::string(argv[1]) == "--write")
        return writeRecording(argv[2], static_cast<std::size_t>(std::atol(argv[3]))) ? 0 : 1;
    QApplication app(argc, argv);

    const std::size_t rows = argc > 1 ? static_cast<std::size_t>(std::atol(argv[1])) : 110'000;
    const std::string path = QDir::temp().filePath("zentrola-viewer-bench.csv").toStdString();
    if (!writeRecording(path, rows))
        return 1;

    zentrola::ParameterImage image;
    zentrola::RecordingViewer viewer(image, 0);
    viewer.messageHook = [](const QString& text) {
        std::fprintf(stderr, "%s\n", qPrintable(text));
    };
    viewer.show();
    QApplication::processEvents();
    const long before = residentKb();
    const auto start = Clock::now();
    viewer.openFile(QString::fromStdString(path));
    QApplication::processEvents();
    viewer.repaint();
    const double openMs = msSince(start);
    const long after = residentKb();

    zentrola::RecordingPlot* plot = viewer.plot();
    const Steps small = zoomAndPan(plot, 12);
    std::printf("recording viewer, %zu rows (%.1f h of frames), QT_QPA_PLATFORM=%s:\n", rows,
                static_cast<double>(rows) * 6 * zentrola::kTickMilliseconds / 3.6e6,
                qPrintable(QGuiApplication::platformName()));
    std::printf("  open and draw          %7.1f ms (read, events, figures, pyramids, paint)\n",
                openMs);
    std::printf("  zoom step, redrawn     median %5.1f ms   max %5.1f ms\n",
                Steps::median(small.zooms), Steps::max(small.zooms));
    std::printf("  pan step, redrawn      median %5.1f ms   max %5.1f ms\n",
                Steps::median(small.pans), Steps::max(small.pans));
    std::printf("  memory growth          %7.1f MB\n", static_cast<double>(after - before) / 1024);
    std::printf("  points handed to the chart: %zu\n", plot->drawnPoints());
    std::remove(path.c_str());

    // A million rows: the redraw by the pyramid, and the walk over every row beside it.
    const std::size_t bigRows = argc > 2 ? static_cast<std::size_t>(std::atol(argv[2])) : 1'000'000;
    if (bigRows == 0 || !writeRecording(path, bigRows))
        return 0;
    auto t = Clock::now();
    viewer.openFile(QString::fromStdString(path));
    QApplication::processEvents();
    viewer.repaint();
    const double bigOpenMs = msSince(t);
    constexpr int kSteps = 20;
    const Steps big = zoomAndPan(plot, kSteps);
    const double walk = walkingMs(plot, viewer.recording(), kSteps);
    std::printf("recording viewer, %zu rows:\n", bigRows);
    std::printf("  open and draw          %7.1f ms\n", bigOpenMs);
    std::printf("  zoom step, redrawn     median %5.1f ms   max %5.1f ms\n",
                Steps::median(big.zooms), Steps::max(big.zooms));
    std::printf("  pan step, redrawn      median %5.1f ms   max %5.1f ms\n",
                Steps::median(big.pans), Steps::max(big.pans));
    std::printf("  the same lines by walking every row (no drawing): median %5.1f ms\n", walk);
    std::remove(path.c_str());
    return 0;
}
