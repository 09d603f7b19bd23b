// What the live chart and the recording viewer draw alike: the colours of the channels and
// curves, lines that break where values are missing, axes on round numbers, the rpm unit and
// the look of a QCustomPlot that is redrawn often.
#pragma once

#include "app/LiveSample.h"
#include "app/RecordingAnalysis.h"

#include <QColor>
#include <QFont>

#include <utility>
#include <vector>

class QCPAxis;
class QCPGraph;
class QCustomPlot;

namespace zentrola::chart {

inline constexpr int kRpmUnit = 100; // a speed byte counts hundreds

// The palette: a colour per channel, the same in the chart, the viewer and their legends.
inline const QColor kSpeedColour(0, 70, 190);
inline const QColor kAdvanceColour(215, 95, 0);
inline const QColor kLimiterColour(220, 0, 0);
inline const QColor kShiftColour(0, 140, 0);
// The curves as the window's graph colours them.
inline const QColor kCurveAColour(255, 0, 0);
inline const QColor kCurveBColour(0, 0, 255);
QColor colourOf(Channel channel);

// Hands `lines` to the graph as one series, a missing value between two lines, so that the
// line breaks there.
void setLines(QCPGraph* graph, const std::vector<PlotLine>& lines);
// The number of points a graph draws, breaks left out.
std::size_t pointCount(const QCPGraph* graph);

// 1, 2 or 5 times a power of ten, the nearest above `rough`.
double niceStep(double rough);
// `value` rounded up or down to a multiple of `step`.
double roundUp(double value, double step);
double roundDown(double value, double step);
// Ticks every `step` from 0, whatever the range.
void fixedTicks(QCPAxis* axis, double step);
// Labels and title of an axis in one colour and size.
void styleAxis(QCPAxis* axis, const QColor& colour, const QFont& font);

// A plot that is redrawn often: no smoothing (thick lines read well without it and cost a
// third as much), no interactions of its own, labels kept as pictures.
void plainLook(QCustomPlot* plot);

QFont sized(QFont font, int points, bool bold = false);

} // namespace zentrola::chart
