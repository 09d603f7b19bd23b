#include "ui/ChartParts.h"

#include <qcustomplot.h>

#include <array>
#include <cmath>
#include <limits>

namespace zentrola::chart {

QColor colourOf(Channel c) {
    switch (c) {
    case Channel::Rpm:
        return kSpeedColour;
    case Channel::Advance:
        return kAdvanceColour;
    case Channel::MaxAdvance:
        return {130, 80, 30};
    case Channel::Supply:
        return {130, 0, 160};
    case Channel::Limiter:
        return kLimiterColour;
    case Channel::ShiftLight:
        return kShiftColour;
    default:
        break;
    }
    static const std::array<QColor, 8> others{
        QColor(0, 140, 140), QColor(200, 0, 140), QColor(120, 120, 0), QColor(90, 90, 90),
        QColor(0, 0, 120),   QColor(160, 60, 60), QColor(60, 160, 60), QColor(60, 60, 200)};
    return others[static_cast<std::size_t>(c) % others.size()];
}

void setLines(QCPGraph* graph, const std::vector<PlotLine>& lines) {
    QVector<QCPGraphData> data;
    std::size_t n = 0;
    for (const PlotLine& l : lines)
        n += l.size() + 1;
    data.reserve(static_cast<qsizetype>(n));
    constexpr double kGap = std::numeric_limits<double>::quiet_NaN();
    for (const PlotLine& l : lines) {
        if (!data.isEmpty() && !l.empty())
            data.append(QCPGraphData((data.back().key + l.front().x) / 2, kGap));
        for (const PlotPoint& p : l)
            data.append(QCPGraphData(p.x, p.y));
    }
    graph->data()->set(data, true);
}

std::size_t pointCount(const QCPGraph* graph) {
    std::size_t n = 0;
    for (auto it = graph->data()->constBegin(); it != graph->data()->constEnd(); ++it)
        n += std::isnan(it->value) ? 0 : 1;
    return n;
}

double niceStep(double rough) {
    const double power = std::pow(10.0, std::floor(std::log10(std::max(rough, 1e-6))));
    for (double m : {1.0, 2.0, 5.0})
        if (m * power >= rough)
            return m * power;
    return 10 * power;
}

double roundUp(double value, double step) {
    return std::ceil(value / step) * step;
}

double roundDown(double value, double step) {
    return std::floor(value / step) * step;
}

void fixedTicks(QCPAxis* axis, double step) {
    auto ticker = qSharedPointerDynamicCast<QCPAxisTickerFixed>(axis->ticker());
    if (!ticker) {
        ticker = QSharedPointer<QCPAxisTickerFixed>::create();
        ticker->setScaleStrategy(QCPAxisTickerFixed::ssNone);
        axis->setTicker(ticker);
    }
    if (ticker->tickStep() != step)
        ticker->setTickStep(step);
}

void styleAxis(QCPAxis* axis, const QColor& colour, const QFont& font) {
    axis->setTickLabelFont(font);
    QFont bold = font;
    bold.setBold(true);
    axis->setLabelFont(bold);
    axis->setTickLabelColor(colour);
    axis->setLabelColor(colour);
    // No sub-ticks: a tick every step is enough at a glance.
    axis->setSubTicks(false);
}

void plainLook(QCustomPlot* plot) {
    plot->setNotAntialiasedElements(QCP::aeAll);
    plot->setInteractions({});
    plot->setPlottingHint(QCP::phCacheLabels, true);
}

QFont sized(QFont font, int points, bool bold) {
    font.setPointSize(points);
    font.setBold(bold);
    return font;
}

} // namespace zentrola::chart
