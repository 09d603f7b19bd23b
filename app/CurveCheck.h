// Did the unit run its curve? The advance a curve gives at an engine speed, and the rows of a
// recording whose advance in use lies more than a degree off the curve the recording says was
// in the unit, outside the base advance, the limiters and a cut ignition.
#pragma once

#include "app/RecordingEvents.h"
#include "core/ParameterImage.h"

#include <span>
#include <vector>

namespace zentrola {

// The settings known to be in the unit from `fromS` (the recording's time) on.
struct SettingsAt {
    double fromS = 0;
    ParameterImage image;
};

// The advance a curve gives at `rpm`, as a band: straight between two neighbouring points;
// the last point's advance above the last point; below the first point anything from the
// base advance to the first point's advance (the unit holds one of them there, the graph
// draws the step between them at the first point).
struct AdvanceBand {
    double low = 0;
    double high = 0;
};
AdvanceBand curveAdvanceAt(const ParameterImage& image, Curve curve, double rpm);

// More than this off the curve is not the curve: the unit reports whole degrees.
inline constexpr double kOffCurveDegrees = 1.0;

// How far each row's advance lies outside the band of its curve in degrees (signed: above the
// curve positive); NaN where it is not checked. `settings` in time order.
std::vector<double> curveMisses(const Recording& recording, std::span<const SettingsAt> settings);

// The stretches of rows off the curve by more than kOffCurveDegrees, as OffCurve events whose
// value is the largest miss in the stretch (signed).
std::vector<RecordingEvent> offCurveEvents(const Recording& recording,
                                           std::span<const SettingsAt> settings);

} // namespace zentrola
