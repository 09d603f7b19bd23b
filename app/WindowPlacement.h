// Where the window opens: the frame's stored position and the stored size, brought onto the
// screens there are now, no larger than the one it lands on. Plain arithmetic, so that the
// rules are tested without a display.
#pragma once

#include <vector>

namespace zentrola {

struct ScreenRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    int right() const { return x + width; } // one past the last column
    int bottom() const { return y + height; }
};

// The window system's frame around the window's inside: title bar and borders.
struct FrameMargins {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// The frame's top-left corner and the inside's size: what the settings file keeps as Left,
// Top, Width and Height.
struct WindowPlace {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const WindowPlace&) const = default;
};

// screens: the available areas (without task bars and docks), the primary one first.
// least: the smallest inside the window can take. The result lies wholly on one screen: the
// one that shows most of the wanted frame, else the nearest; a window larger than that
// screen is made smaller, down to `least` only where the screen leaves room. A place that
// already lies wholly on a screen, no smaller than `least`, comes back unchanged: a window
// started again and again stays where it was.
WindowPlace placeWindow(const WindowPlace& wanted, const FrameMargins& frame,
                        const std::vector<ScreenRect>& screens, int leastWidth, int leastHeight);

// The designed size centred on the primary screen, made smaller where that screen is.
WindowPlace centredWindow(int width, int height, const FrameMargins& frame,
                          const std::vector<ScreenRect>& screens);

} // namespace zentrola
