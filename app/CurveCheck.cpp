#include "app/CurveCheck.h"

#include "app/GraphModel.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <optional>

namespace zentrola {

namespace {

constexpr double kRpmUnit = 100; // a speed byte counts hundreds

// States in which the advance is not the curve's: the limiters cut sparks, a cut ignition
// fires none, the base advance is the unit's own choice.
constexpr std::array kNotChecked{Channel::Limiter,  Channel::StartLimiter, Channel::KillSwitch,
                                 Channel::MotorOff, Channel::ClutchMaster, Channel::BaseAdvance};

bool set(const Recording& r, Channel c, std::size_t row) {
    const std::vector<double>& column = r[c];
    return row < column.size() && column[row] != 0 && !std::isnan(column[row]);
}

} // namespace

AdvanceBand curveAdvanceAt(const ParameterImage& image, Curve curve, double rpm) {
    const auto n = static_cast<std::size_t>(graphPointCount(image, curve));
    const auto speed = [&](std::size_t i) { return image.rpm(curve, i) * kRpmUnit; };
    const auto adv = [&](std::size_t i) { return static_cast<double>(image.advance(curve, i)); };
    if (rpm < speed(0)) {
        const double base = image[Offset::BaseAdvance];
        return {std::min(base, adv(0)), std::max(base, adv(0))};
    }
    for (std::size_t i = 1; i < n; ++i) {
        if (rpm >= speed(i))
            continue;
        const double span = speed(i) - speed(i - 1);
        // Two points at one speed (a damaged file): either of them.
        if (span <= 0)
            return {std::min(adv(i - 1), adv(i)), std::max(adv(i - 1), adv(i))};
        const double a = adv(i - 1) + (adv(i) - adv(i - 1)) * (rpm - speed(i - 1)) / span;
        return {a, a};
    }
    return {adv(n - 1), adv(n - 1)};
}

std::vector<double> curveMisses(const Recording& r, std::span<const SettingsAt> settings) {
    const double none = std::numeric_limits<double>::quiet_NaN();
    std::vector<double> misses(r.rows, none);
    const std::vector<double>& time = r[Channel::Time];
    const std::vector<double>& rpm = r[Channel::Rpm];
    const std::vector<double>& advance = r[Channel::Advance];
    const std::vector<double>& curve = r[Channel::Curve];
    if (settings.empty() || advance.size() < r.rows || rpm.size() < r.rows ||
        curve.size() < r.rows || time.size() < r.rows)
        return misses;
    std::size_t known = 0; // settings[known] are the latest at the row's time
    for (std::size_t i = 0; i < r.rows; ++i) {
        while (known + 1 < settings.size() && settings[known + 1].fromS <= time[i])
            ++known;
        if (settings[known].fromS > time[i] || std::isnan(advance[i]) || !(rpm[i] > 0))
            continue;
        if (std::any_of(kNotChecked.begin(), kNotChecked.end(),
                        [&](Channel c) { return set(r, c, i); }))
            continue;
        const Curve c = curve[i] == 0 ? Curve::A : Curve::B;
        const AdvanceBand band = curveAdvanceAt(settings[known].image, c, rpm[i]);
        misses[i] = advance[i] > band.high  ? advance[i] - band.high
                    : advance[i] < band.low ? advance[i] - band.low
                                            : 0.0;
    }
    return misses;
}

std::vector<RecordingEvent> offCurveEvents(const Recording& r,
                                           std::span<const SettingsAt> settings) {
    std::vector<RecordingEvent> events;
    const std::vector<double> misses = curveMisses(r, settings);
    const std::vector<double>& time = r[Channel::Time];
    std::optional<RecordingEvent> open;
    for (std::size_t i = 0; i < misses.size(); ++i) {
        const bool off = std::abs(misses[i]) > kOffCurveDegrees; // false for NaN
        if (off && !open)
            open = RecordingEvent{EventKind::OffCurve, i, time[i], time[i], misses[i]};
        if (off) {
            open->endS = time[i];
            if (std::abs(misses[i]) > std::abs(open->value))
                open->value = misses[i];
        } else if (open) {
            events.push_back(*open);
            open.reset();
        }
    }
    if (open)
        events.push_back(*open);
    return events;
}

} // namespace zentrola
