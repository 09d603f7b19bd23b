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

void LiveChart::tick(double nowS, bool connected) {
    ++ticks_;
    now_ = std::max(now_, nowS);
    if (connected != connected_) {
        connected_ = connected;
        readout_->setTextColor(connected
                                   ? palette().color(QPalette::WindowText)
                                   : palette().color(QPalette::Disabled, QPalette::WindowText));
        pending_ = true;
    }
    // Without frames time still goes on: the trace moves away from the right edge.
    if (!connected_ && !samples_.empty())
        pending_ = true;
    if (pending_ && isVisible() && ticks_ - lastRedraw_ >= kRedrawTicks)
        redraw();
}

void LiveChart::addSample(const LiveSample& sample) {
    samples_.push_back(sample);
    now_ = std::max(now_, sample.timeS);
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
    // A sample a little older than the window still draws the line into its left edge.
    while (samples_.size() > 1 && now_ - samples_[1].timeS > kWindowSeconds)
        samples_.pop_front();
    std::vector<double> times, speeds, degrees;
    times.reserve(samples_.size());
    speeds.reserve(samples_.size());
    degrees.reserve(samples_.size());
    int topDegrees = kLeastDegreeTop;
    int bottomDegrees = 0;
    for (const LiveSample& s : samples_) {
        times.push_back(s.timeS - now_);
        speeds.push_back(s.rpm);
        degrees.push_back(s.advanceDeg ? *s.advanceDeg : std::numeric_limits<double>::quiet_NaN());
        if (s.advanceDeg) {
            topDegrees = std::max(topDegrees, *s.advanceDeg);
            bottomDegrees = std::min(bottomDegrees, *s.advanceDeg);
        }
    }
    // Every sample its own bucket: a minute holds fewer frames than this. Lines break where
    // frames were missing and where no advance was in use.
    constexpr int kBuckets = 1200;
    chart::setLines(rpm_, plotLines(times, speeds, -kWindowSeconds, 0, kBuckets, 0, kGapSeconds));
    chart::setLines(advance_,
                    plotLines(times, degrees, -kWindowSeconds, 0, kBuckets, 0, kGapSeconds));
    // Retarded ignition (below 0 degrees) has room under the zero line.
    topDegrees = static_cast<int>(chart::roundUp(topDegrees, kDegreeStep));
    bottomDegrees = static_cast<int>(chart::roundDown(bottomDegrees, kDegreeStep));
    if (yAxis2->range().upper != topDegrees || yAxis2->range().lower != bottomDegrees)
        yAxis2->setRange(bottomDegrees, topDegrees);
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

QColor LiveChart::readoutColour() const {
    return readout_->textColor();
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
