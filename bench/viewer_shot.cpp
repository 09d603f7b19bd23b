// zentrola-viewer-shot OUT.png: the recording viewer analysing a ride of the virtual unit, for
// the manual. The ride is recorded as the window records it: the engine revs to the limiter,
// the rider switches to curve B, cuts the ignition with the kill switch, sets two marks, the
// cable is pulled for a while, and after three minutes the unit's curve A is changed under it
// (the viewer is told the settings it was programmed with). A second ride, before the change,
// lies over it, aligned at the second mark; two cursors span a pull to the limiter.
#include "ui/RecordingPlot.h"
#include "ui/RecordingViewer.h"
#include "ui/ViewerAnalysis.h"

#include "app/Configurator.h"
#include "app/LiveRecorder.h"
#include "link/LoopbackPort.h"
#include "sim/VirtualUnit.h"

#include <QApplication>
#include <QDir>
#include <QTabWidget>
#include <QTableWidget>

#include <cstdio>
#include <string>

namespace {

using namespace zentrola;

constexpr std::uint8_t kStop = 1, kCurveB = 3; // the inputs' functions

struct Rider : View {
    LiveRecorder* recorder = nullptr;
    Configurator* cfg = nullptr;
    double clock = 0; // seconds: 55 ms a tick
    void monitorUpdated() override { recorder->frame(cfg->monitor().lastFrame(), clock); }
};

// Records `ticks` ticks into `path`; with `changeCurve` the unit's curve A drops by 4 degrees
// from three minutes on. Returns the settings the unit held at the start.
ParameterImage ride(const std::string& path, int ticks, bool changeCurve) {
    VirtualUnit unit;
    unit.eeprom()[Offset::Input1] = kStop;
    unit.eeprom()[Offset::Input2] = kCurveB;
    LoopbackPort port(unit, "virtual-unit");
    LiveRecorder recorder;
    Rider rider;
    Configurator cfg(port, rider);
    rider.recorder = &recorder;
    rider.cfg = &cfg;
    StartOptions options;
    options.port = "virtual-unit";
    cfg.start(options);
    ParameterImage held;
    std::copy(unit.eeprom().begin(), unit.eeprom().end(), held.span().begin());
    recorder.start(path, 0);
    for (int t = 0; t < ticks; ++t) {
        if (t == 700 || t == 2400)
            recorder.mark();
        if (t == 1500)
            unit.setInputs(false, true); // curve B
        if (t == 1900)
            unit.setInputs(false, false);
        if (t == 2700)
            unit.setInputs(true, false); // the kill switch
        if (t == 2760)
            unit.setInputs(false, false);
        if (t == 2000)
            port.setUnplugged(true);
        if (t == 2150)
            port.setUnplugged(false);
        if (changeCurve && t == 3300)
            for (std::size_t k = 0; k < kCurvePoints; ++k)
                unit.eeprom()[kCurveA.advance + k] =
                    static_cast<std::uint8_t>(std::max(0, unit.eeprom()[kCurveA.advance + k] - 4));
        rider.clock += 0.055;
        cfg.tick();
        recorder.tick();
    }
    recorder.stop();
    return held;
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: zentrola-viewer-shot OUT.png\n");
        return 2;
    }
    QApplication app(argc, argv);
    const QString dir = QDir::tempPath();
    const std::string first = QDir(dir).filePath("zentrola-ride-after.csv").toStdString();
    const std::string second = QDir(dir).filePath("zentrola-ride-before.csv").toStdString();
    const ParameterImage held = ride(first, 4200, true);
    ride(second, 4200, false);

    RecordingViewer viewer(held, 0);
    viewer.messageHook = [](const QString& text) {
        std::fprintf(stderr, "%s\n", qPrintable(text));
    };
    viewer.resize(1366, 760);
    viewer.show();
    viewer.openFile(QString::fromStdString(first));
    ViewerAnalysis* analysis = viewer.analysis();
    analysis->setUnitSettings({{0, held}});
    analysis->openSecond(QString::fromStdString(second));
    // The second marks together, then two cursors across a pull to the limiter.
    QTableWidget* events = analysis->eventTable();
    for (int r = 0; r < events->rowCount(); ++r)
        if (events->item(r, 2)->text() == QLatin1String("No. 2"))
            events->setCurrentCell(r, 1);
    analysis->commandAlignEvent();
    RecordingPlot* plot = viewer.plot();
    plot->showRange(150, 240);
    plot->setCursorTime(177.0);
    plot->setSecondCursorTime(187.5);
    analysis->updateNow();
    viewer.tabs()->setCurrentIndex(1);
    QApplication::processEvents();
    const bool statistics = viewer.grab().save(QString::fromUtf8(argv[1]));
    viewer.tabs()->setCurrentIndex(2);
    QApplication::processEvents();
    QString eventsShot = QString::fromUtf8(argv[1]);
    eventsShot.replace(QStringLiteral(".png"), QStringLiteral("-events.png"));
    const bool list = viewer.grab().save(eventsShot);
    std::remove(first.c_str());
    std::remove(second.c_str());
    return statistics && list ? 0 : 1;
}
