#include "ui/LiveChart.h"

#include "ui/ChartParts.h"
#include "ui/LiveTexts.h"

#include "app/Configurator.h"
#include "app/RecordingAnalysis.h"

#include <QCloseEvent>

#include <algorithm>
#include <cmath>
#include <limits>

namespace zentrola {

namespace {

constexpr double kWindowSeconds = 60;
// Frames come every six ticks; one redraw per frame at most, and never closer than this.
constexpr long kRedrawTicks = 5;
constexpr int kLineWidth = 4;
constexpr int kMarkWidth = 3;
constexpr int kLabelPoints = 13;
constexpr int kReadoutPoints = 22;
constexpr int kSpeedStep = 1000;
constexpr int kLeastSpeedTop = 3000;
constexpr int kDegreeStep = 10;
constexpr int kLeastDegreeTop = 50;
constexpr int kTimeStep = 10;

QCPGraph* line(QCustomPlot* plot, QCPAxis* values, const QColor& colour, int width,
               Qt::PenStyle style) {
    QCPGraph* g = plot->addGraph(plot->xAxis, values);
    QPen pen(colour, width, style);
    pen.setCapStyle(Qt::FlatCap);
    g->setPen(pen);
    return g;
}

} // namespace

LiveChart::LiveChart(QWidget* parent) : QCustomPlot(parent) {
    setObjectName(QStringLiteral("LiveChart"));
    setAccessibleName(accessible::kLiveChart);
    chart::plainLook(this);
    setMinimumSize(360, 240);
    const QColor text = palette().color(QPalette::WindowText);
    const QFont labels = chart::sized(font(), kLabelPoints);

    // The readout over the plot, in a row of its own.
    plotLayout()->insertRow(0);
    readout_ =
        new QCPTextElement(this, QStringLiteral(" "), chart::sized(font(), kReadoutPoints, true));
    readout_->setTextColor(text);
    plotLayout()->addElement(0, 0, readout_);

    xAxis->setRange(-kWindowSeconds, 0);
    chart::styleAxis(xAxis, text, labels);
    chart::fixedTicks(xAxis, kTimeStep);
    chart::styleAxis(yAxis, chart::kSpeedColour, labels);
    chart::fixedTicks(yAxis, kSpeedStep);
    yAxis2->setVisible(true);
    chart::styleAxis(yAxis2, chart::kAdvanceColour, labels);
    chart::fixedTicks(yAxis2, kDegreeStep);
    yAxis2->setRange(0, kLeastDegreeTop);

    limiter_ = line(this, yAxis, chart::kLimiterColour, kMarkWidth, Qt::DashLine);
    shiftLight_ = line(this, yAxis, chart::kShiftColour, kMarkWidth, Qt::DashLine);
    rpm_ = line(this, yAxis, chart::kSpeedColour, kLineWidth, Qt::SolidLine);
    advance_ = line(this, yAxis2, chart::kAdvanceColour, kLineWidth, Qt::SolidLine);

    // The legend in a row under the plot, its entries side by side.
    legend->setVisible(true);
    legend->setFont(labels);
    legend->setBorderPen(Qt::NoPen);
    legend->setFillOrder(QCPLayoutGrid::foColumnsFirst);
    axisRect()->insetLayout()->take(legend);
    plotLayout()->addElement(2, 0, legend);
    plotLayout()->setRowStretchFactor(0, 0.001);
    plotLayout()->setRowStretchFactor(2, 0.001);
    limiter_->removeFromLegend();
    shiftLight_->removeFromLegend();

    updateSpeedAxis();
    setLanguage(0);
}

void LiveChart::setLanguage(int languageIndex) {
    language_ = languageIndex;
    xAxis->setLabel(lt(livetexts::SecondsAgo, language_));
    yAxis->setLabel(lt(livetexts::EngineSpeed, language_));
    yAxis2->setLabel(lt(livetexts::Advance, language_));
    rpm_->setName(lt(livetexts::EngineSpeed, language_));
    advance_->setName(lt(livetexts::Advance, language_));
    limiter_->setName(lt(livetexts::Limiter, language_));
    shiftLight_->setName(lt(livetexts::ShiftLight, language_));
    pending_ = true;
    if (isVisible())
        redraw();
}

void LiveChart::tick() {
    ++ticks_;
    if (pending_ && isVisible() && ticks_ - lastRedraw_ >= kRedrawTicks)
        redraw();
}

void LiveChart::addSample(const LiveSample& sample) {
    samples_.push_back(sample);
    while (samples_.size() > 1 && samples_.back().timeS - samples_.front().timeS > kWindowSeconds)
        samples_.pop_front();
    pending_ = true;
    if (isVisible() && ticks_ - lastRedraw_ >= kRedrawTicks)
        redraw();
}

void LiveChart::setSpeeds(int limiterRpm, int shiftLightRpm) {
    if (limiterRpm == limiterRpm_ && shiftLightRpm == shiftLightRpm_)
        return;
    limiterRpm_ = limiterRpm;
    shiftLightRpm_ = shiftLightRpm;
    for (auto [graph, rpm] :
         {std::pair{limiter_, limiterRpm_}, std::pair{shiftLight_, shiftLightRpm_}}) {
        if (rpm > 0) {
            graph->setData({-kWindowSeconds, 0}, {double(rpm), double(rpm)}, true);
            graph->addToLegend();
        } else {
            graph->data()->clear();
            graph->removeFromLegend();
        }
    }
    updateSpeedAxis();
    pending_ = true;
}

void LiveChart::showEvent(QShowEvent* event) {
    QCustomPlot::showEvent(event);
    if (pending_)
        redraw();
}

void LiveChart::updateSpeedAxis() {
    int top = std::max({limiterRpm_, shiftLightRpm_, kLeastSpeedTop});
    for (const LiveSample& s : samples_)
        top = std::max(top, s.rpm);
    top = static_cast<int>(chart::roundUp(top + kSpeedStep / 2, kSpeedStep));
    if (yAxis->range().upper != top || yAxis->range().lower != 0)
        yAxis->setRange(0, top);
    chart::fixedTicks(yAxis, top > 10 * kSpeedStep ? 2 * kSpeedStep : kSpeedStep);
}

void LiveChart::redraw() {
    pending_ = false;
    lastRedraw_ = ticks_;
    ++redraws_;
    const double now = samples_.empty() ? 0 : samples_.back().timeS;
    QVector<QCPGraphData> speeds;
    speeds.reserve(static_cast<qsizetype>(samples_.size()));
    std::vector<double> times, degrees;
    int topDegrees = kLeastDegreeTop;
    for (const LiveSample& s : samples_) {
        speeds.append(QCPGraphData(s.timeS - now, double(s.rpm)));
        times.push_back(s.timeS - now);
        degrees.push_back(s.advanceDeg ? *s.advanceDeg : std::numeric_limits<double>::quiet_NaN());
        if (s.advanceDeg)
            topDegrees = std::max(topDegrees, *s.advanceDeg);
    }
    rpm_->data()->set(speeds, true);
    // Every sample its own bucket: a minute holds fewer frames than this.
    constexpr int kBuckets = 1200;
    chart::setLines(advance_, plotLines(times, degrees, -kWindowSeconds, 0, kBuckets, 0));
    topDegrees = static_cast<int>(chart::roundUp(topDegrees, kDegreeStep));
    if (yAxis2->range().upper != topDegrees)
        yAxis2->setRange(0, topDegrees);
    updateSpeedAxis();
    const QString text = readout();
    readout_->setText(text.isEmpty() ? QStringLiteral(" ") : text);
    replot(rpQueuedReplot);
}

std::size_t LiveChart::advancePoints() const {
    return chart::pointCount(advance_);
}

QString LiveChart::readout() const {
    if (samples_.empty())
        return {};
    const LiveSample& s = samples_.back();
    return lt(livetexts::Reading, language_)
        .arg(s.rpm)
        .arg(s.advanceDeg ? QString::number(*s.advanceDeg) : QStringLiteral("-"));
}

double LiveChart::limiterLine() const {
    return limiter_->data()->isEmpty() ? 0 : limiter_->data()->at(0)->value;
}

double LiveChart::shiftLightLine() const {
    return shiftLight_->data()->isEmpty() ? 0 : shiftLight_->data()->at(0)->value;
}

void LiveChartDock::closeEvent(QCloseEvent* event) {
    QDockWidget::closeEvent(event);
    if (event->isAccepted())
        emit closedByUser();
}

} // namespace zentrola
