// What happened during a ride, found in its recording: the limiters, the kill switch, motor
// off, a lost connection, a switch of curve, the marks the mechanic set while recording, and
// where the unit did not run its curve. Each one is a stretch of time with the row it starts
// at, so a list can jump to it and a plot can mark it.
#pragma once

#include "app/Recording.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace zentrola {

// A monitor frame comes every 6 ticks of 55 ms; time that jumps by more than two of them
// between rows is a stretch without data.
inline constexpr double kFramePeriodS = 0.33;
inline constexpr double kGapS = 2 * kFramePeriodS;

enum class EventKind : std::uint8_t {
    Limiter,
    StartLimiter,
    KillSwitch,
    MotorOff,
    LostConnection,
    CurveSwitch,
    Mark,
    OffCurve,
    Count
};
inline constexpr std::size_t kEventKindCount = static_cast<std::size_t>(EventKind::Count);

struct RecordingEvent {
    EventKind kind = EventKind::Mark;
    std::size_t row = 0; // where it starts
    double startS = 0;
    double endS = 0; // the same as startS for a moment
    // A mark's number; the curve switched to (0 A, 1 B); the largest miss in degrees off the
    // curve; otherwise 0.
    double value = 0;
    bool operator==(const RecordingEvent&) const = default;
};

// A state that drops out for less than this and comes back continues the same event: a
// limiter that cuts in and out at the top of a run is one limiter event, not fifty.
inline constexpr double kEventMergeS = 1.0;

// Every event of the recording but OffCurve (which needs the curves: CurveCheck), in time
// order.
std::vector<RecordingEvent> findEvents(const Recording& recording);

// Adds `more` to `events`, keeping time order.
void mergeEvents(std::vector<RecordingEvent>& events, const std::vector<RecordingEvent>& more);

// How many seconds to add to the second recording's time so that it lies over the first one:
// their first rows together (no kind), or the `ordinal`-th (0-based) event of `kind` in each.
// None when either lacks it.
std::optional<double> alignmentShift(const Recording& first,
                                     const std::vector<RecordingEvent>& firstEvents,
                                     const Recording& second,
                                     const std::vector<RecordingEvent>& secondEvents,
                                     std::optional<EventKind> kind, std::size_t ordinal);

// Which of `kind`'s events `event` is, counting from 0 in time order.
std::size_t ordinalOf(const std::vector<RecordingEvent>& events, std::size_t index);

} // namespace zentrola
