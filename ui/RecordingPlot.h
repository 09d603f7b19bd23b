// The recording viewer's plot: the chosen channels of a recording over time, each on the scale
// of its unit, with zoom (wheel, rubber band), pan (right or middle button drag, shift+wheel)
// and a cursor (a click) that reads a row. Only what a pixel column can show is handed to the
// chart, so a recording of a million rows zooms as fast as one of a hundred.
#pragma once

#include "app/Recording.h"

#include <qcustomplot.h>

#include <array>
#include <optional>
#include <vector>

class QRubberBand;

namespace zentrola {

// The scales of the plot: channels of one unit share one.
enum class Scale : std::uint8_t { Speed, Degrees, Volts, State, Number, Count };
Scale scaleOf(Channel channel);

class RecordingPlot : public QCustomPlot {
    Q_OBJECT
  public:
    explicit RecordingPlot(QWidget* parent = nullptr);

    // The recording stays the caller's; shown whole, without a cursor.
    void setRecording(const Recording* recording);
    void setChannelShown(Channel channel, bool shown);
    bool channelShown(Channel channel) const;
    void setLanguage(int languageIndex);

    // The stretch of time shown, in seconds.
    double from() const { return from_; }
    double to() const { return to_; }
    void showRange(double from, double to);
    // factor below 1 zooms in, around `centre` seconds.
    void zoom(double factor, double centre);
    void zoom(double factor) { zoom(factor, (from_ + to_) / 2); }
    // By a share of the shown stretch; negative goes back in time.
    void pan(double share);
    void showAll();

    // The row under the cursor; none before the first click.
    std::optional<std::size_t> cursorRow() const { return cursor_; }
    void setCursorTime(double timeS);
    void stepCursor(int rows);
    // Where a time lies in the widget, halfway up the plot; and the time at a widget x.
    QPoint positionOf(double timeS) const;
    double timeAt(int x) const;
    // The number of points handed to the chart, for the benchmark.
    std::size_t drawnPoints() const;

  signals:
    void cursorMoved();

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

  private:
    struct Trace {
        QCPGraph* line = nullptr; // broken where values are missing
        bool shown = false;
    };
    void makeTrace(Channel channel);
    // New lines for the stretch shown, and a redraw.
    void rebuild();
    // The lines alone, at the width the plot has now.
    void rebuildLines();
    void updateScales();
    void drawCursor();
    double firstTime() const;
    double lastTime() const;

    const Recording* recording_ = nullptr;
    std::array<Trace, kChannelCount> traces_{};
    std::array<QCPAxis*, static_cast<std::size_t>(Scale::Count)> scales_{};
    QCPItemStraightLine* cursorLine_ = nullptr;
    QRubberBand* band_ = nullptr;
    int language_ = 0;
    double from_ = 0;
    double to_ = 1;
    double builtWidth_ = 0;
    std::optional<std::size_t> cursor_;
    // A press: where, which button, and the stretch shown then (for a pan drag).
    QPoint pressAt_;
    Qt::MouseButton pressed_ = Qt::NoButton;
    double pressFrom_ = 0;
    double pressTo_ = 0;
};

} // namespace zentrola
