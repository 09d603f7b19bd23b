#include "app/WindowPlacement.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace zentrola {

namespace {

// Far-off corners (garbage in the file) would overflow the arithmetic: they count as gone.
constexpr int kFarthest = 1 << 20;

bool near(int v) {
    return v > -kFarthest && v < kFarthest;
}

std::int64_t overlap(const ScreenRect& a, const ScreenRect& b) {
    const std::int64_t w = std::min(a.right(), b.right()) - std::max(a.x, b.x);
    const std::int64_t h = std::min(a.bottom(), b.bottom()) - std::max(a.y, b.y);
    return w > 0 && h > 0 ? w * h : 0;
}

// How far the frame must travel to touch the screen; 0 when they overlap.
std::int64_t distance(const ScreenRect& frame, const ScreenRect& screen) {
    const std::int64_t dx =
        std::max<std::int64_t>({0, screen.x - frame.right(), frame.x - screen.right()});
    const std::int64_t dy =
        std::max<std::int64_t>({0, screen.y - frame.bottom(), frame.y - screen.bottom()});
    return dx * dx + dy * dy;
}

// The size of the inside that lets the frame fit on the screen.
int fitted(int wanted, int least, int room) {
    return std::max(1, std::min(std::max(wanted, least), room));
}

} // namespace

WindowPlace placeWindow(const WindowPlace& wanted, const FrameMargins& frame,
                        const std::vector<ScreenRect>& screens, int leastWidth, int leastHeight) {
    if (screens.empty())
        return wanted;
    // A damaged file must not ask for a window of two thousand million pixels.
    if (!near(wanted.width) || !near(wanted.height))
        return centredWindow(leastWidth, leastHeight, frame, screens);
    if (!near(wanted.left) || !near(wanted.top))
        return centredWindow(std::max(wanted.width, leastWidth),
                             std::max(wanted.height, leastHeight), frame, screens);

    const int frameWidth = frame.left + frame.right;
    const int frameHeight = frame.top + frame.bottom;
    const ScreenRect outer{wanted.left, wanted.top, std::max(0, wanted.width) + frameWidth,
                           std::max(0, wanted.height) + frameHeight};
    // The screen that shows most of the frame; with none, the nearest (a monitor unplugged).
    const ScreenRect* best = &screens.front();
    std::int64_t bestOverlap = -1;
    std::int64_t bestDistance = std::numeric_limits<std::int64_t>::max();
    for (const ScreenRect& s : screens) {
        const std::int64_t o = overlap(outer, s);
        const std::int64_t d = distance(outer, s);
        if (o > bestOverlap || (o == 0 && bestOverlap == 0 && d < bestDistance)) {
            best = &s;
            bestOverlap = o;
            bestDistance = d;
        }
    }
    const ScreenRect& area = *best;

    WindowPlace p;
    p.width = fitted(wanted.width, leastWidth, area.width - frameWidth);
    p.height = fitted(wanted.height, leastHeight, area.height - frameHeight);
    // The whole frame on the screen, the title bar first of all.
    p.left = std::max(area.x, std::min(wanted.left, area.right() - p.width - frameWidth));
    p.top = std::max(area.y, std::min(wanted.top, area.bottom() - p.height - frameHeight));
    return p;
}

WindowPlace centredWindow(int width, int height, const FrameMargins& frame,
                          const std::vector<ScreenRect>& screens) {
    if (screens.empty())
        return {0, 0, width, height};
    const ScreenRect& area = screens.front();
    const int frameWidth = frame.left + frame.right;
    const int frameHeight = frame.top + frame.bottom;
    WindowPlace p;
    p.width = fitted(width, 1, area.width - frameWidth);
    p.height = fitted(height, 1, area.height - frameHeight);
    // Halves rounded toward zero, as the first start has always centred the window.
    p.left = area.x + (area.width - p.width - frameWidth) / 2;
    p.top = area.y + (area.height - p.height - frameHeight) / 2;
    return p;
}

} // namespace zentrola
