#include "app/RecordingEvents.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

namespace zentrola {

namespace {

// The states that make an event while they are on.
constexpr std::array<std::pair<Channel, EventKind>, 4> kStateEvents{{
    {Channel::Limiter, EventKind::Limiter},
    {Channel::StartLimiter, EventKind::StartLimiter},
    {Channel::KillSwitch, EventKind::KillSwitch},
    {Channel::MotorOff, EventKind::MotorOff},
}};

bool on(const std::vector<double>& column, std::size_t row) {
    return row < column.size() && column[row] != 0 && !std::isnan(column[row]);
}

bool gapBefore(const std::vector<double>& time, std::size_t row) {
    return row > 0 && time[row] - time[row - 1] > kGapS;
}

void stateEvents(const Recording& r, Channel channel, EventKind kind,
                 std::vector<RecordingEvent>& out) {
    const std::vector<double>& time = r[Channel::Time];
    const std::vector<double>& column = r[channel];
    if (column.empty())
        return;
    std::optional<RecordingEvent> open;
    std::size_t lastOn = 0;
    const auto close = [&] {
        open->endS = time[lastOn];
        out.push_back(*open);
        open.reset();
    };
    for (std::size_t i = 0; i < r.rows; ++i) {
        // No data is known across a gap: a state on at both of its ends is two events.
        if (open && gapBefore(time, i))
            close();
        if (!on(column, i)) {
            if (open && time[i] - time[lastOn] >= kEventMergeS)
                close();
            continue;
        }
        if (!open)
            open = RecordingEvent{kind, i, time[i], time[i], 0};
        lastOn = i;
    }
    if (open)
        close();
}

bool earlier(const RecordingEvent& a, const RecordingEvent& b) {
    return a.startS != b.startS ? a.startS < b.startS : a.kind < b.kind;
}

} // namespace

std::vector<RecordingEvent> findEvents(const Recording& r) {
    std::vector<RecordingEvent> events;
    const std::vector<double>& time = r[Channel::Time];
    if (time.size() < r.rows)
        return events;
    for (const auto& [channel, kind] : kStateEvents)
        stateEvents(r, channel, kind, events);

    const std::vector<double>& curve = r[Channel::Curve];
    const std::vector<double>& mark = r[Channel::Mark];
    for (std::size_t i = 0; i < r.rows; ++i) {
        if (gapBefore(time, i))
            events.push_back({EventKind::LostConnection, i - 1, time[i - 1], time[i], 0});
        if (i > 0 && i < curve.size() && curve[i] != curve[i - 1])
            events.push_back({EventKind::CurveSwitch, i, time[i], time[i], curve[i]});
        if (on(mark, i))
            events.push_back({EventKind::Mark, i, time[i], time[i], mark[i]});
    }
    std::stable_sort(events.begin(), events.end(), earlier);
    return events;
}

void mergeEvents(std::vector<RecordingEvent>& events, const std::vector<RecordingEvent>& more) {
    const auto middle = static_cast<std::ptrdiff_t>(events.size());
    events.insert(events.end(), more.begin(), more.end());
    std::inplace_merge(events.begin(), events.begin() + middle, events.end(), earlier);
}

std::size_t ordinalOf(const std::vector<RecordingEvent>& events, std::size_t index) {
    std::size_t n = 0;
    for (std::size_t i = 0; i < index && i < events.size(); ++i)
        n += events[i].kind == events[index].kind ? 1 : 0;
    return n;
}

std::optional<double> alignmentShift(const Recording& first,
                                     const std::vector<RecordingEvent>& firstEvents,
                                     const Recording& second,
                                     const std::vector<RecordingEvent>& secondEvents,
                                     std::optional<EventKind> kind, std::size_t ordinal) {
    const std::vector<double>& t1 = first[Channel::Time];
    const std::vector<double>& t2 = second[Channel::Time];
    if (t1.empty() || t2.empty())
        return std::nullopt;
    if (!kind)
        return t1.front() - t2.front();
    const auto nth = [&](const std::vector<RecordingEvent>& events) -> const RecordingEvent* {
        std::size_t n = 0;
        for (const RecordingEvent& e : events)
            if (e.kind == *kind && n++ == ordinal)
                return &e;
        return nullptr;
    };
    const RecordingEvent* a = nth(firstEvents);
    const RecordingEvent* b = nth(secondEvents);
    if (!a || !b)
        return std::nullopt;
    return a->startS - b->startS;
}

} // namespace zentrola
