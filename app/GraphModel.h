// The advance curve graph without a toolkit: scales and pixel positions, the hit test, the
// mouse routine with its hovered and dragged element, and what to paint as a display list.
// The graph widget forwards its mouse events and paints the list, nothing more; the image
// work of a drag step (rules, refresh, history) is the Configurator's.
#pragma once

#include "core/Jazyk1.h"
#include "core/ParameterImage.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace zentrola {

// What the pointer is on: a curve point 0..14 or one of these.
namespace GraphElement {
inline constexpr int None = -100;
inline constexpr int Origin = -1; // rpm 0 at the base advance
inline constexpr int LimiterLine = -2;
} // namespace GraphElement

// A colour of the graph: RGB, or the window's current background, whatever that is.
struct Rgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    bool face = false;
    bool operator==(const Rgb&) const = default;
};

namespace GraphColour {
inline constexpr Rgb Face{0, 0, 0, true};
inline constexpr Rgb Plot{255, 251, 240};
inline constexpr Rgb Silver{192, 192, 192};
inline constexpr Rgb Grey{128, 128, 128};
inline constexpr Rgb Black{0, 0, 0};
inline constexpr Rgb Red{255, 0, 0};
inline constexpr Rgb Blue{0, 0, 255};
inline constexpr Rgb Yellow{255, 255, 0};
inline constexpr Rgb Lime{0, 255, 0};
inline constexpr Rgb LightBlue{192, 192, 255};
inline constexpr Rgb LightRed{255, 192, 192};
} // namespace GraphColour

struct GraphPoint {
    int x = 0;
    int y = 0;
    bool operator==(const GraphPoint&) const = default;
};

// The pixels left..right-1 by top..bottom-1, as the canvas's Rectangle covers them: the
// outline is the outermost ring of those pixels.
struct GraphRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool operator==(const GraphRect&) const = default;
};

// Paint items. Lines and polylines are drawn as line-to draws them: the pixel at the last
// point is not painted.
struct RectItem { // fill and a one-pixel outline in the same colour
    GraphRect rect;
    Rgb colour;
};
struct MarkerItem { // a rounded square, pen width 1; corner is the rounding ellipse's size
    GraphRect rect;
    int corner = 3;
    Rgb pen;
    Rgb fill;
};
struct OutlineItem { // one-pixel outline, nothing filled
    GraphRect rect;
    Rgb colour;
};
struct LineItem {
    GraphPoint from;
    GraphPoint to;
    Rgb colour;
    int width = 1;
};
struct PolylineItem {
    std::vector<GraphPoint> points;
    Rgb colour;
    int width = 1;
};
struct TextItem { // the toolkit's default font, top left at the point, opaque background
    GraphPoint topLeft;
    std::string text;
    Rgb colour;
    Rgb background;
};

using GraphItem = std::variant<RectItem, MarkerItem, OutlineItem, LineItem, PolylineItem, TextItem>;
// Items in painting order.
using DisplayList = std::vector<GraphItem>;

// The view fields, as the last rescale left them. Pixels are the graph image's own,
// origin top left, y downwards.
struct GraphGeometry {
    float xScale = 1.0f; // pixels per rpm
    float yScale = 1.0f; // pixels per degree
    int leftMargin = 25;
    int rightMargin = 10;
    int topMargin = 5;
    int bottomMargin = 15;
    int imageLeft = 0;
    int imageTop = 0;
    int imageWidth = 330;
    int imageHeight = 173;
    int plotLeft = 25;
    int plotBottom = 158; // the 0° line
    int plotWidth = 295;
    int plotHeight = 153;
    int rpmAxisEnd = 0;    // rpm at the right edge of the plot
    int degreeAxisEnd = 0; // degrees at its top edge

    int plotRight() const { return plotLeft + plotWidth; }
    int plotTop() const { return plotBottom - plotHeight; }
    // Pixel position of a curve value, truncated toward zero.
    int x(int rpm) const { return static_cast<int>(static_cast<float>(plotLeft) + rpm * xScale); }
    int y(int degrees) const {
        return static_cast<int>(static_cast<float>(plotBottom) - degrees * yScale);
    }
    GraphPoint pixel(int rpm, int degrees) const { return {x(rpm), y(degrees)}; }
};

// Which curve is drawn strong and edited, which pale, which limiter, in which colours.
struct GraphRoles {
    Curve main = Curve::B;
    Curve other = Curve::A;
    int limiterRpm = 0;     // the band and the limiter line; 0 with no curve shown
    int axisLimiterRpm = 0; // the limiter the rpm axis must reach
    Rgb mainPen;
    Rgb mainFill;
    Rgb otherColour;
    Rgb hover;
    Rgb drag;
};
GraphRoles graphRoles(const ParameterImage& image, std::optional<Curve> shown);

// Points of a curve as the graph uses them: the points byte, held to 1..15.
int graphPointCount(const ParameterImage& image, Curve curve);

enum class GraphMouse : std::uint8_t { Move, Press, Release };

// What the front end must do after a mouse event.
struct MouseOutcome {
    bool redraw = false;    // set bit 0 of the redraw request
    bool dragStep = false;  // run a drag step at this pointer position
    bool dragEnded = false; // record one history step for the whole drag
};

// A drag step's values from the pointer: the nearest 100 rpm (halves up) and whole degrees.
struct DragValues {
    int rpm = 0;
    int degrees = 0;
};

inline constexpr int kGraphReach = 5;      // pixels around an element that still hit it
inline constexpr int kMaxDragRpm = 25500;  // a speed byte's largest value
inline constexpr int kMaxDragDegrees = 60; // the advance spinners' largest value

class GraphModel {
  public:
    const GraphGeometry& geometry() const { return geometry_; }
    int hovered() const { return hovered_; }
    int dragged() const { return dragged_; }
    bool dragging() const { return dragged_ != GraphElement::None; }
    GraphPoint grab() const { return grab_; }
    bool warpPending() const { return warp_; }

    // The graph widget's size; the next rescale takes it.
    void setImageSize(int width, int height);
    void rescale(const ParameterImage& image, std::optional<Curve> shown);
    // Rescales when bit 1 of the request is set, then builds the display list.
    const DisplayList& draw(const ParameterImage& image, std::optional<Curve> shown,
                            int displayedRpm, int request);
    const DisplayList& displayList() const { return list_; }

    // The element of the curve under the pointer: the nearest point or the origin within
    // reach (the earlier one on equal distance), else the limiter line within reach.
    int hitTest(const ParameterImage& image, Curve curve, int x, int y) const;
    // Where an element of the curve is drawn (the limiter line: its x, y 0).
    GraphPoint elementPosition(const ParameterImage& image, Curve curve, int element) const;

    MouseOutcome mouse(GraphMouse kind, int x, int y, const ParameterImage& image,
                       std::optional<Curve> shown);
    // The pointer left the widget; true when the hover ended (redraw).
    bool leave();

    // The parts of a drag step; the Configurator runs the rules and the refresh in between.
    DragValues dragValues(int x, int y) const;
    void writeDrag(ParameterImage& image, Curve curve, DragValues v) const;
    // Rescales for the changed image. When a scale changed, returns where the pointer must go
    // to stay on the dragged element under the new scale (image pixels).
    std::optional<GraphPoint> rescaleForDrag(const ParameterImage& image, Curve curve, DragValues v,
                                             int x, int y);
    // The front end moved the pointer: the move event that this causes is swallowed.
    void pointerWarped() { warp_ = true; }

    // The values of the dragged or hovered element in the window's units; empty when none.
    std::string tooltip(const ParameterImage& image, std::optional<Curve> shown,
                        const MessageTable& texts, std::string_view thousands) const;

  private:
    bool outside(int x, int y) const;
    void addCurve(const ParameterImage& image, Curve curve, Rgb pen, Rgb fill,
                  const GraphRoles& roles, bool main);

    GraphGeometry geometry_;
    int width_ = 330;
    int height_ = 173;
    int hovered_ = GraphElement::None;
    int dragged_ = GraphElement::None;
    GraphPoint grab_;
    bool warp_ = false;
    DisplayList list_;
};

// A speed as the window shows it: 3300 with "," gives "3,300".
std::string formatRpm(int rpm, std::string_view thousands);
// The shown curve's points as a sentence, for screen readers.
std::string curveDescription(const ParameterImage& image, std::optional<Curve> shown,
                             const MessageTable& texts, std::string_view thousands);

} // namespace zentrola
