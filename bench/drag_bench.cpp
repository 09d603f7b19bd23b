// zentrola-drag-bench: one drag step in the real window, offscreen: the point written, the
// rules, every control refreshed, the rescale, and the graph painted, thousands of times.
#include "ui/GraphView.h"
#include "ui/MainWindow.h"

#include "link/LoopbackPort.h"
#include "sim/VirtualUnit.h"

#include <QApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int steps = argc > 1 ? std::atoi(argv[1]) : 5000;
    zentrola::VirtualUnit unit;
    zentrola::LoopbackPort port(unit, "virtual-unit");
    port.setUnplugged(true); // no live data: only the drag is measured
    zentrola::MainWindow window(port);
    window.start({});
    window.show();
    QApplication::processEvents();
    zentrola::Configurator& c = window.configurator();
    auto* graph = window.findChild<zentrola::GraphView*>("GrafAdv");

    constexpr std::size_t kPoint = 6;
    const auto press = c.graph().elementPosition(c.image(), zentrola::Curve::A, kPoint);
    c.graphMouse(zentrola::GraphMouse::Press, press.x, press.y);
    std::vector<double> micros;
    micros.reserve(static_cast<std::size_t>(steps));
    for (int i = 0; i < steps; ++i) {
        // Up and down through every degree the plot shows, across its whole width.
        const auto& g = c.graph().geometry();
        const int degrees = (i / 3) % 60;
        const int x = g.plotLeft + (i * 7) % std::max(1, g.plotWidth);
        const auto start = std::chrono::steady_clock::now();
        c.graphMouse(zentrola::GraphMouse::Move, x, g.y(degrees));
        window.tick();                        // the display list, and the redraw asked for
        const QImage image = graph->render(); // the paint itself
        micros.push_back(
            std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
                .count());
        if (image.isNull())
            return 1;
    }
    c.graphMouse(zentrola::GraphMouse::Release, press.x, press.y);
    std::sort(micros.begin(), micros.end());
    double sum = 0;
    for (double m : micros)
        sum += m;
    std::printf(
        "drag step in the window (write, rules, refresh of every control, rescale, tick, "
        "paint), %d steps:\n  median %.0f us   mean %.0f us   99%% below %.0f us   max %.0f us\n",
        steps, micros[micros.size() / 2], sum / static_cast<double>(micros.size()),
        micros[micros.size() * 99 / 100], micros.back());
    return 0;
}
