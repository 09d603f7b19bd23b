#include "app/GraphModel.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>

namespace zentrola {

namespace {

constexpr int kRpmUnit = 100;      // a speed byte counts hundreds
constexpr int kRpmAxisStep = 2500; // the rpm axis ends on a multiple of this ...
constexpr int kRpmAxisRoom = 3300; // ... leaving at least 800 rpm beyond the largest speed
constexpr int kDegreeAxisStep = 5; // the degree axis likewise
constexpr int kDegreeAxisRoom = 6;
constexpr int kRpmGridStep = 1000;
constexpr int kDenseRpmAxis = 15000; // from here only even thousands are labelled
constexpr int kDenseDegreeAxis = 40; // from here only every second degree label
constexpr int kGridTick = 3;         // grid lines reach this far beyond the axes
constexpr int kRpmLabelLeft = 7;
constexpr int kRpmLabelDown = 2;
constexpr int kDegreeLabelLeft = 20;
constexpr int kDegreeLabelUp = 4;
constexpr int kMarkerHalf = 3;
constexpr int kMarkerCorner = 3;
constexpr int kInnerOutline = 4;
constexpr int kOuterOutline = 5;
constexpr int kCurvePen = 2;

constexpr int kRescaleBit = 2;
// Items of a full graph: rects, about 60 grid lines and labels, two curves of 16 markers.
constexpr std::size_t kUsualItems = 128;

GraphRect around(GraphPoint p, int half) {
    return {p.x - half, p.y - half, p.x + half, p.y + half};
}

// Whole degrees in the window's units.
std::string degrees(int value) {
    return std::to_string(value) + "°";
}

std::string pointText(int rpm, int advance, const MessageTable& texts, std::string_view thousands) {
    return formatRpm(rpm, thousands) + " " + texts.TextRpmUnit + ", " + degrees(advance);
}

std::string baseAdvanceText(const ParameterImage& image, const MessageTable& texts) {
    return texts.TextBaseAdvance + ": " + degrees(image[Offset::BaseAdvance]);
}

std::string limiterText(const ParameterImage& image, Curve curve, const MessageTable& texts,
                        std::string_view thousands) {
    return texts.TextLimiter + ": " +
           formatRpm(image.at(curve, &CurveOffsets::limiter) * kRpmUnit, thousands) + " " +
           texts.TextRpmUnit;
}

} // namespace

int graphPointCount(const ParameterImage& image, Curve curve) {
    // A count of 0 or beyond the table (from a damaged file) must not index outside it.
    return std::clamp<int>(image.at(curve, &CurveOffsets::points), 1, kCurvePoints);
}

GraphRoles graphRoles(const ParameterImage& image, std::optional<Curve> shown) {
    using namespace GraphColour;
    const int limA = image[Offset::LimiterA] * kRpmUnit;
    const int limB = image[Offset::LimiterB] * kRpmUnit;
    GraphRoles r;
    if (shown == Curve::A) {
        r = {Curve::A, Curve::B, limA, limA, Red, Yellow, LightBlue, Red, Lime};
    } else if (shown == Curve::B) {
        r = {Curve::B, Curve::A, limB, limB, Blue, Yellow, LightRed, Blue, Lime};
    } else {
        r = {Curve::B, Curve::A, 0,   std::max(limA, limB), LightBlue, LightBlue,
             LightRed, Blue,     Lime};
    }
    return r;
}

void GraphModel::setImageSize(int width, int height) {
    width_ = width;
    height_ = height;
}

void GraphModel::rescale(const ParameterImage& image, std::optional<Curve> shown) {
    const GraphRoles roles = graphRoles(image, shown);
    GraphGeometry& g = geometry_;
    g.imageLeft = 0;
    g.imageTop = 0;
    g.imageWidth = width_;
    g.imageHeight = height_;

    int topRpm = roles.axisLimiterRpm;
    int topDegrees = image[Offset::BaseAdvance];
    for (Curve c : {roles.main, roles.other}) {
        const int n = graphPointCount(image, c);
        topRpm = std::max(topRpm, image.rpm(c, static_cast<std::size_t>(n - 1)) * kRpmUnit);
        for (int i = 0; i < n; ++i)
            topDegrees = std::max<int>(topDegrees, image.advance(c, static_cast<std::size_t>(i)));
    }
    g.rpmAxisEnd = (topRpm + kRpmAxisRoom) / kRpmAxisStep * kRpmAxisStep;
    g.degreeAxisEnd = (topDegrees + kDegreeAxisRoom) / kDegreeAxisStep * kDegreeAxisStep;

    g.plotLeft = g.imageLeft + g.leftMargin;
    g.plotBottom = g.imageHeight - g.bottomMargin;
    g.plotWidth = g.imageWidth - g.imageLeft - g.leftMargin - g.rightMargin;
    g.plotHeight = g.imageHeight - g.imageTop - g.topMargin - g.bottomMargin;
    g.xScale = static_cast<float>(g.plotWidth) / static_cast<float>(g.rpmAxisEnd);
    g.yScale = static_cast<float>(g.plotHeight) / static_cast<float>(g.degreeAxisEnd);
}

// ---------------------------------------------------------------- drawing

void GraphModel::addCurve(const ParameterImage& image, Curve curve, Rgb pen, Rgb fill,
                          const GraphRoles& roles, bool main) {
    const GraphGeometry& g = geometry_;
    const int n = graphPointCount(image, curve);
    const int base = image[Offset::BaseAdvance];
    auto point = [&](int i) {
        const auto k = static_cast<std::size_t>(i);
        return g.pixel(image.rpm(curve, k) * kRpmUnit, image.advance(curve, k));
    };

    // From the origin a step: along the base advance to the first point's speed, then up or
    // down to it; straight from point to point; level from the last point to the axis end.
    PolylineItem line{{}, pen, kCurvePen};
    line.points.reserve(static_cast<std::size_t>(n) + 3);
    line.points.push_back(g.pixel(0, base));
    line.points.push_back(g.pixel(image.rpm(curve, 0) * kRpmUnit, base));
    for (int i = 0; i < n; ++i)
        line.points.push_back(point(i));
    line.points.push_back(
        g.pixel(g.rpmAxisEnd, image.advance(curve, static_cast<std::size_t>(n - 1))));
    list_.emplace_back(std::move(line));

    auto marker = [&](int element, GraphPoint p) {
        list_.emplace_back(MarkerItem{around(p, kMarkerHalf), kMarkerCorner, pen, fill});
        if (!main)
            return;
        const bool isDragged = element == dragged_;
        if (isDragged || element == hovered_) {
            const Rgb outline = isDragged ? roles.drag : roles.hover;
            list_.emplace_back(OutlineItem{around(p, kInnerOutline), outline});
            list_.emplace_back(OutlineItem{around(p, kOuterOutline), outline});
        }
    };
    marker(GraphElement::Origin, g.pixel(0, base));
    for (int i = 0; i < n; ++i)
        marker(i, point(i));
}

const DisplayList& GraphModel::draw(const ParameterImage& image, std::optional<Curve> shown,
                                    int displayedRpm, int request) {
    using namespace GraphColour;
    if ((request & kRescaleBit) != 0)
        rescale(image, shown);
    const GraphRoles roles = graphRoles(image, shown);
    const GraphGeometry& g = geometry_;
    const int top = g.plotTop();
    const int right = g.plotRight();
    list_.clear();
    // A new model (and a copy: the fuzz targets copy a started program) grows its list in one
    // step, not in eight.
    list_.reserve(kUsualItems);

    list_.emplace_back(RectItem{{g.imageLeft, g.imageTop, g.imageWidth, g.imageHeight}, Face});
    list_.emplace_back(RectItem{{g.plotLeft, top, right, g.plotBottom}, Plot});
    const int lx = g.x(roles.limiterRpm);
    if (roles.limiterRpm > 0)
        list_.emplace_back(RectItem{{lx, top, right, g.plotBottom}, Silver});

    auto gridX = [&](int w) {
        return g.plotLeft + static_cast<int>(std::floor(w * g.xScale * kRpmGridStep + 0.5));
    };
    auto gridY = [&](int w) {
        return g.plotBottom - static_cast<int>(std::floor(w * g.yScale * kDegreeAxisStep + 0.5));
    };
    const int rpmLines = g.rpmAxisEnd / kRpmGridStep;
    const int degreeLines = g.degreeAxisEnd / kDegreeAxisStep;
    for (int w = 1; w <= rpmLines; ++w)
        list_.emplace_back(LineItem{{gridX(w), g.plotBottom + kGridTick}, {gridX(w), top}, Grey});
    for (int w = 1; w <= degreeLines; ++w)
        list_.emplace_back(LineItem{{g.plotLeft - kGridTick, gridY(w)}, {right, gridY(w)}, Grey});

    for (int w = 0; w <= rpmLines; ++w)
        if (g.rpmAxisEnd < kDenseRpmAxis || w % 2 == 0)
            list_.emplace_back(TextItem{{gridX(w) - kRpmLabelLeft, g.plotBottom + kRpmLabelDown},
                                        std::to_string(w) + "k",
                                        Black,
                                        Face});
    for (int w = 0; w <= degreeLines; ++w)
        if (g.degreeAxisEnd < kDenseDegreeAxis || w % 2 == 0)
            list_.emplace_back(TextItem{{g.plotLeft - kDegreeLabelLeft, gridY(w) - kDegreeLabelUp},
                                        std::to_string(kDegreeAxisStep * w),
                                        Black,
                                        Face});

    // Both axes two pixels wide.
    list_.emplace_back(LineItem{{g.plotLeft, g.plotBottom}, {g.plotLeft, top - 1}, Black});
    list_.emplace_back(LineItem{{g.plotLeft - 1, g.plotBottom}, {g.plotLeft - 1, top - 1}, Black});
    list_.emplace_back(LineItem{{g.plotLeft, g.plotBottom}, {right, g.plotBottom}, Black});
    list_.emplace_back(LineItem{{g.plotLeft, g.plotBottom + 1}, {right, g.plotBottom + 1}, Black});

    addCurve(image, roles.other, roles.otherColour, roles.otherColour, roles, false);
    addCurve(image, roles.main, roles.mainPen, roles.mainFill, roles, true);

    if (roles.limiterRpm > 0) {
        const bool isDragged = dragged_ == GraphElement::LimiterLine;
        if (isDragged || hovered_ == GraphElement::LimiterLine) {
            const Rgb c = isDragged ? roles.drag : roles.hover;
            list_.emplace_back(LineItem{{lx, g.plotBottom}, {lx, top}, c});
            list_.emplace_back(LineItem{{lx + 1, g.plotBottom}, {lx + 1, top}, c});
        }
    }
    if (displayedRpm != 0) {
        const int sx = g.x(displayedRpm);
        list_.emplace_back(LineItem{{sx, g.plotBottom}, {sx, top}, Lime});
    }
    return list_;
}

// ---------------------------------------------------------------- the mouse

GraphPoint GraphModel::elementPosition(const ParameterImage& image, Curve curve,
                                       int element) const {
    const GraphGeometry& g = geometry_;
    if (element == GraphElement::Origin)
        return g.pixel(0, image[Offset::BaseAdvance]);
    if (element == GraphElement::LimiterLine)
        return {g.x(image.at(curve, &CurveOffsets::limiter) * kRpmUnit), 0};
    const auto k = static_cast<std::size_t>(element);
    return g.pixel(image.rpm(curve, k) * kRpmUnit, image.advance(curve, k));
}

int GraphModel::hitTest(const ParameterImage& image, Curve curve, int x, int y) const {
    int best = GraphElement::None;
    int bestDistance = INT_MAX;
    const int n = graphPointCount(image, curve);
    for (int element = GraphElement::Origin; element < n; ++element) {
        const GraphPoint p = elementPosition(image, curve, element);
        const int dx = x - p.x;
        const int dy = y - p.y;
        if (std::abs(dx) > kGraphReach || std::abs(dy) > kGraphReach)
            continue;
        const int distance = static_cast<int>(std::sqrt(static_cast<double>(dx * dx + dy * dy)));
        if (distance < bestDistance) { // strictly nearer: on a tie the earlier one stays
            best = element;
            bestDistance = distance;
        }
    }
    if (best == GraphElement::None &&
        std::abs(x - elementPosition(image, curve, GraphElement::LimiterLine).x) <= kGraphReach)
        best = GraphElement::LimiterLine;
    return best;
}

bool GraphModel::outside(int x, int y) const {
    const GraphGeometry& g = geometry_;
    return x < g.imageLeft || x > g.imageWidth || y < g.imageTop || y > g.imageHeight;
}

MouseOutcome GraphModel::mouse(GraphMouse kind, int x, int y, const ParameterImage& image,
                               std::optional<Curve> shown) {
    MouseOutcome out;
    if (!shown) {
        // The curve went away under a drag (the connection was lost while "Monitor" was
        // chosen): the release still ends the drag, or the next move would drag again.
        if (kind == GraphMouse::Release && dragging()) {
            dragged_ = GraphElement::None;
            out.redraw = true;
            out.dragEnded = true;
        }
        return out;
    }
    if (outside(x, y) && !dragging()) {
        if (hovered_ != GraphElement::None) {
            hovered_ = GraphElement::None;
            out.redraw = true;
        }
        return out;
    }
    if (geometry_.xScale <= 0 || geometry_.yScale <= 0)
        return out; // a widget too small for a plot

    const int hit = hitTest(image, *shown, x, y);
    if (hit != hovered_ && !dragging())
        out.redraw = true;
    hovered_ = dragging() ? GraphElement::None : hit;

    switch (kind) {
    case GraphMouse::Move:
        if (warp_) {
            warp_ = false;
            return out;
        }
        if (!dragging())
            return out;
        out.dragStep = true;
        break;
    case GraphMouse::Press: {
        // A second button pressed during a drag ends that drag with its own history step.
        if (dragging())
            out.dragEnded = true;
        dragged_ = GraphElement::None;
        if (hit == GraphElement::None)
            return out;
        dragged_ = hit;
        const GraphPoint p = elementPosition(image, *shown, hit);
        grab_ = {x - p.x, hit == GraphElement::LimiterLine ? 0 : y - p.y};
        out.redraw = true;
        break;
    }
    case GraphMouse::Release:
        if (dragging()) {
            dragged_ = GraphElement::None;
            out.redraw = true;
            out.dragEnded = true;
        }
        break;
    }
    hovered_ = dragging() ? GraphElement::None : hit;
    return out;
}

bool GraphModel::leave() {
    if (hovered_ == GraphElement::None)
        return false;
    hovered_ = GraphElement::None;
    return true;
}

// ---------------------------------------------------------------- the drag step

DragValues GraphModel::dragValues(int x, int y) const {
    const GraphGeometry& g = geometry_;
    const double hundreds = (x - g.plotLeft - grab_.x) / static_cast<double>(g.xScale) * 0.01;
    const double up = (y - g.plotBottom - grab_.y) / static_cast<double>(g.yScale);
    // Far outside the widget the quotients may exceed an int; clamp before converting.
    const double rpm = std::clamp(std::floor(hundreds + 0.5) * kRpmUnit, 0.0, 1.0 * kMaxDragRpm);
    const double deg = std::clamp(-std::floor(up + 0.5), 0.0, 1.0 * kMaxDragDegrees);
    return {static_cast<int>(rpm), static_cast<int>(deg)};
}

void GraphModel::writeDrag(ParameterImage& image, Curve curve, DragValues v) const {
    const auto hundreds = static_cast<std::uint8_t>(v.rpm / kRpmUnit);
    if (dragged_ == GraphElement::Origin) {
        image[Offset::BaseAdvance] = static_cast<std::uint8_t>(v.degrees);
    } else if (dragged_ == GraphElement::LimiterLine) {
        image.at(curve, &CurveOffsets::limiter) = hundreds;
    } else if (dragged_ >= 0 && dragged_ < static_cast<int>(kCurvePoints)) {
        const auto k = static_cast<std::size_t>(dragged_);
        image.rpm(curve, k) = hundreds;
        image.advance(curve, k) = static_cast<std::uint8_t>(v.degrees);
    }
}

std::optional<GraphPoint> GraphModel::rescaleForDrag(const ParameterImage& image, Curve curve,
                                                     DragValues v, int x, int y) {
    const float oldX = geometry_.xScale;
    const float oldY = geometry_.yScale;
    rescale(image, curve);
    // Both corrections go into one position: when both scales change at once, the pointer
    // must land on the element on both axes, or the next move drags it off sideways.
    GraphPoint to{x, y};
    bool moved = false;
    if (geometry_.xScale != oldX) {
        to.x = geometry_.x(v.rpm) + grab_.x;
        moved = true;
    }
    if (geometry_.yScale != oldY) {
        to.y = geometry_.y(v.degrees) + grab_.y;
        moved = true;
    }
    if (!moved)
        return std::nullopt;
    return to;
}

// ---------------------------------------------------------------- texts

std::string formatRpm(int rpm, std::string_view thousands) {
    std::string digits = std::to_string(rpm);
    std::string out;
    const std::size_t lead = digits.size() % 3 == 0 ? 3 : digits.size() % 3;
    out.append(digits, 0, lead);
    for (std::size_t i = lead; i < digits.size(); i += 3) {
        out += thousands;
        out.append(digits, i, 3);
    }
    return out;
}

std::string GraphModel::tooltip(const ParameterImage& image, std::optional<Curve> shown,
                                const MessageTable& texts, std::string_view thousands) const {
    if (!shown)
        return {};
    const int element = dragging() ? dragged_ : hovered_;
    if (element == GraphElement::None)
        return {};
    if (element == GraphElement::Origin)
        return baseAdvanceText(image, texts);
    if (element == GraphElement::LimiterLine)
        return limiterText(image, *shown, texts, thousands);
    const auto k = static_cast<std::size_t>(element);
    return pointText(image.rpm(*shown, k) * kRpmUnit, image.advance(*shown, k), texts, thousands);
}

std::string curveDescription(const ParameterImage& image, std::optional<Curve> shown,
                             const MessageTable& texts, std::string_view thousands) {
    if (!shown)
        return texts.TextNoCurve + ".";
    std::string s = texts.TextCurve + (*shown == Curve::A ? " A. " : " B. ");
    s += baseAdvanceText(image, texts) + ". ";
    const int n = graphPointCount(image, *shown);
    for (int i = 0; i < n; ++i) {
        const auto k = static_cast<std::size_t>(i);
        if (i > 0)
            s += "; ";
        s += pointText(image.rpm(*shown, k) * kRpmUnit, image.advance(*shown, k), texts, thousands);
    }
    s += ". " + limiterText(image, *shown, texts, thousands) + ".";
    return s;
}

} // namespace zentrola
