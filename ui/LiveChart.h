// The live chart: engine speed and advance in use over the last minute, scrolling as monitor
// frames arrive, with the limiter and gear shift light speeds of the shown curve as lines.
// Drawn for a mechanic a step away: large type, thick lines. It counts ticks itself, since
// nothing here reads a clock, and redraws at most a few times a second.
#pragma once

#include "app/LiveSample.h"

#include <QDockWidget>

#include <qcustomplot.h>

#include <deque>

namespace zentrola {

class LiveChart : public QCustomPlot {
    Q_OBJECT
  public:
    explicit LiveChart(QWidget* parent = nullptr);

    // One timer tick: time goes on, and a redraw held back waits for it.
    void tick();
    long ticks() const { return ticks_; }
    // A monitor frame as a sample, taken at ticks().
    void addSample(const LiveSample& sample);
    // The limiter and gear shift light speeds of the shown curve in rpm; 0 draws no line.
    void setSpeeds(int limiterRpm, int shiftLightRpm);
    void setLanguage(int languageIndex);

    // What the chart draws now, for tests: the speed line, the advance and the readout.
    const QCPGraph* rpmLine() const { return rpm_; }
    const QCPGraph* advanceLine() const { return advance_; }
    std::size_t advancePoints() const;
    QString readout() const;
    double limiterLine() const;
    double shiftLightLine() const;
    int redraws() const { return redraws_; }

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void redraw();
    void updateSpeedAxis();

    std::deque<LiveSample> samples_;
    QCPGraph* rpm_ = nullptr;
    QCPGraph* advance_ = nullptr; // broken where no advance is in use
    QCPGraph* limiter_ = nullptr;
    QCPGraph* shiftLight_ = nullptr;
    QCPTextElement* readout_ = nullptr;
    int limiterRpm_ = 0;
    int shiftLightRpm_ = 0;
    int language_ = 0;
    long ticks_ = 0;
    long lastRedraw_ = -1000;
    bool pending_ = false;
    int redraws_ = 0;
};

// The chart's own window: a dock that floats beside the main window or sits in it. Closing it
// is the same as hiding it by the menu.
class LiveChartDock : public QDockWidget {
    Q_OBJECT
  public:
    using QDockWidget::QDockWidget;
  signals:
    void closedByUser();

  protected:
    void closeEvent(QCloseEvent* event) override;
};

} // namespace zentrola
