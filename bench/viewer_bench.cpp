// zentrola-viewer-bench: the recording viewer on a recording of the virtual unit ten hours
// long (110,000 rows by default): the time to open and draw it, to redraw after a zoom and a
// pan step, and the memory it took. Also writes such a recording for the screenshots:
//   zentrola-viewer-bench [ROWS]            measures
//   zentrola-viewer-bench --write FILE ROWS only writes the recording
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
        text += zentrola::recordingCsvRow(zentrola::liveSample(cfg->monitor().lastFrame(), ticks));
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
    std::vector<double> zooms, pans;
    for (int i = 0; i < 12; ++i) {
        auto t = Clock::now();
        plot->zoom(i < 6 ? 0.5 : 2.0);
        plot->replot(QCustomPlot::rpImmediateRefresh);
        zooms.push_back(msSince(t));
        t = Clock::now();
        plot->pan(i % 2 == 0 ? 0.25 : -0.2);
        plot->replot(QCustomPlot::rpImmediateRefresh);
        pans.push_back(msSince(t));
    }
    std::sort(zooms.begin(), zooms.end());
    std::sort(pans.begin(), pans.end());
    std::printf("recording viewer, %zu rows (%.1f h of frames), QT_QPA_PLATFORM=%s:\n", rows,
                static_cast<double>(rows) * 6 * zentrola::kTickMilliseconds / 3.6e6,
                qPrintable(QGuiApplication::platformName()));
    std::printf("  open and draw          %7.1f ms\n", openMs);
    std::printf("  zoom step, redrawn     median %5.1f ms   max %5.1f ms\n",
                zooms[zooms.size() / 2], zooms.back());
    std::printf("  pan step, redrawn      median %5.1f ms   max %5.1f ms\n", pans[pans.size() / 2],
                pans.back());
    std::printf("  memory growth          %7.1f MB\n", static_cast<double>(after - before) / 1024);
    std::printf("  points handed to the chart: %zu\n", plot->drawnPoints());
    std::remove(path.c_str());
    return 0;
}
