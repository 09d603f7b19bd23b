// The two ways of shaping a curve besides the fields: the graph (scales, hit test, drag,
// what is painted) and the advance shift, through the Configurator with frames handed in.
#include "app/Configurator.h"
#include "link/Frame.h"
#include "link/LoopbackPort.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using namespace zentrola;

namespace {

// Answers nothing: the tests hand in the monitor frames themselves.
struct QuietPeer : LoopbackPeer {
    void receive(std::span<const std::uint8_t>) override {}
    std::vector<std::uint8_t> takeOutput() override { return {}; }
    void tick() override {}
};

struct GraphView : View {
    int draws = 0;
    bool canWarp = true;
    std::vector<GraphPoint> warps;
    void drawGraph(int) override { ++draws; }
    bool movePointer(int x, int y) override {
        warps.push_back({x, y});
        return canWarp;
    }
};

template <class Item> std::vector<Item> itemsOf(const DisplayList& list) {
    std::vector<Item> out;
    for (const GraphItem& item : list)
        if (const Item* i = std::get_if<Item>(&item))
            out.push_back(*i);
    return out;
}

// A Configurator whose unit stays silent; curve A 1000..10000 rpm, curve B up to 8000,
// limiter A 11000 rpm, recorded as one history step.
struct Rig {
    QuietPeer peer;
    LoopbackPort port{peer};
    GraphView view;
    Configurator c{port, view};

    Rig() {
        c.start({});
        view.canWarp = false;
        img()[Offset::PointsA] = 10;
        img()[Offset::PointsB] = 8;
        img()[Offset::LimiterA] = 110;
        settle();
    }
    ParameterImage& img() { return c.image(); }
    // The image as set by hand goes through the after-change routine and is drawn.
    void settle() {
        c.afterChange();
        c.tick();
    }
    void frame(int rpm, bool curveA = true) {
        Frame f{};
        f[FrameByte::Lead] = Lead::MonitorFrame;
        f[MonitorByte::Rpm] = static_cast<std::uint8_t>(rpm & 0xFF);
        f[MonitorByte::Rpm + 1] = static_cast<std::uint8_t>(rpm >> 8);
        f[MonitorByte::Pickup] = rpm != 0 ? 1 : 0;
        f[MonitorByte::CurveA] = curveA ? 1 : 0;
        f[MonitorByte::Version] = kVersion;
        seal(f);
        port.inject(f);
        c.tick();
    }
    // No frame for long enough: the connection is lost.
    void silence() {
        for (int i = 0; i < 20; ++i)
            c.tick();
    }
    const GraphGeometry& g() const { return c.graph().geometry(); }
    const DisplayList& list() const { return c.graph().displayList(); }
    GraphPoint at(int element) { return c.graph().elementPosition(img(), *c.shown(), element); }
    void mouse(GraphMouse kind, GraphPoint p) { c.graphMouse(kind, p.x, p.y); }
    std::vector<std::string> rpmLabels() const {
        std::vector<std::string> out;
        for (const TextItem& t : itemsOf<TextItem>(list()))
            if (t.topLeft.y == g().plotBottom + 2)
                out.push_back(t.text);
        return out;
    }
    std::vector<std::string> degreeLabels() const {
        std::vector<std::string> out;
        for (const TextItem& t : itemsOf<TextItem>(list()))
            if (t.topLeft.x == g().plotLeft - 20)
                out.push_back(t.text);
        return out;
    }
    bool hasLineAt(Rgb colour, int x) const {
        const auto lines = itemsOf<LineItem>(list());
        return std::any_of(lines.begin(), lines.end(), [&](const LineItem& l) {
            return l.colour == colour && l.from.x == x && l.to.x == x;
        });
    }
    void setCurve(Curve curve, const std::vector<int>& rpm, const std::vector<int>& advance) {
        img().at(curve, &CurveOffsets::points) = static_cast<std::uint8_t>(rpm.size());
        for (std::size_t k = 0; k < rpm.size(); ++k) {
            img().rpm(curve, k) = static_cast<std::uint8_t>(rpm[k]);
            img().advance(curve, k) = static_cast<std::uint8_t>(advance[k]);
        }
    }
    std::vector<int> advances(Curve curve) {
        return {img().advance(curve, 0), img().advance(curve, 1), img().advance(curve, 2)};
    }
};

struct Graph : ::testing::Test, Rig {};

using S = std::vector<std::string>;

} // namespace

// ---------------------------------------------------------------- scales and labels

TEST_F(Graph, AxisEndsAndLabels) {
    struct Case {
        int limiterA;
        int advance3; // the fourth point's advance of curve A
        int base;
        int rpmEnd;
        int degreeEnd;
        S rpmLabels;
        S degreeLabels;
    };
    const S everyThousand{"0k", "1k", "2k", "3k",  "4k",  "5k", "6k",
                          "7k", "8k", "9k", "10k", "11k", "12k"};
    const S evenThousands{"0k", "2k", "4k", "6k", "8k", "10k", "12k", "14k"};
    const S tens{"0", "10", "20", "30", "40"};
    const Case cases[] = {
        {110, 10, 10, 12500, 15, everyThousand, {"0", "5", "10", "15"}},
        {120, 10, 10, 15000, 15, evenThousands, {"0", "5", "10", "15"}},
        {117, 10, 10, 15000, 15, evenThousands, {"0", "5", "10", "15"}},
        {110, 40, 20, 12500, 45, everyThousand, tens},
        {110, 38, 20, 12500, 40, everyThousand, tens},
        {110, 30, 33, 12500, 35, everyThousand, {"0", "5", "10", "15", "20", "25", "30", "35"}},
    };
    for (const Case& k : cases) {
        img()[Offset::LimiterA] = static_cast<std::uint8_t>(k.limiterA);
        img().advance(Curve::A, 3) = static_cast<std::uint8_t>(k.advance3);
        img()[Offset::BaseAdvance] = static_cast<std::uint8_t>(k.base);
        settle();
        SCOPED_TRACE(k.limiterA * 100);
        EXPECT_EQ(g().rpmAxisEnd, k.rpmEnd);
        EXPECT_EQ(g().degreeAxisEnd, k.degreeEnd);
        EXPECT_EQ(g().plotWidth, 295);
        EXPECT_EQ(g().plotHeight, 153);
        EXPECT_EQ(rpmLabels(), k.rpmLabels);
        EXPECT_EQ(degreeLabels(), k.degreeLabels);
    }
}

TEST_F(Graph, WidgetSizeMakesTheImage) {
    c.graphResized(660, 346);
    EXPECT_EQ(c.redrawRequest & 2, 2);
    c.tick();
    EXPECT_EQ(g().plotWidth, 625);
    EXPECT_EQ(g().plotBottom, 331);
    EXPECT_EQ(g().rpmAxisEnd, 12500);
    EXPECT_FLOAT_EQ(g().xScale, 625.0f / 12500);
}

// ---------------------------------------------------------------- what is painted

TEST_F(Graph, CurvesBandAndColoursByShownCurve) {
    using namespace GraphColour;
    struct Case {
        std::uint8_t select;
        bool unitOnA; // the frame's curve, for "Monitor"; no frames at all for selection 3
        Rgb other;
        Rgb mainPen;
        Rgb mainFill;
        bool band;
    };
    const Case cases[] = {
        {CurveSelection::A, true, LightBlue, Red, Yellow, true},
        {CurveSelection::B, true, LightRed, Blue, Yellow, true},
        {CurveSelection::Monitor, false, LightRed, Blue, Yellow, true},
        {3, false, LightRed, LightBlue, LightBlue, false}, // "Monitor", no connection
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(static_cast<int>(k.select));
        if (k.select == 3) {
            img()[Offset::CurveSelect] = CurveSelection::Monitor;
            silence();
            ASSERT_FALSE(c.shown().has_value());
        } else {
            img()[Offset::CurveSelect] = k.select;
            frame(1000, k.unitOnA);
        }
        settle();
        const auto polylines = itemsOf<PolylineItem>(list());
        ASSERT_EQ(polylines.size(), 2u);
        EXPECT_EQ(polylines[0].colour, k.other);
        EXPECT_EQ(polylines[1].colour, k.mainPen);
        EXPECT_EQ(polylines[1].width, 2);
        const auto markers = itemsOf<MarkerItem>(list());
        ASSERT_FALSE(markers.empty());
        EXPECT_EQ(markers.front().fill, k.other);
        EXPECT_EQ(markers.back().pen, k.mainPen);
        EXPECT_EQ(markers.back().fill, k.mainFill);
        const auto rects = itemsOf<RectItem>(list());
        const bool band = std::any_of(rects.begin(), rects.end(),
                                      [](const RectItem& r) { return r.colour == Silver; });
        EXPECT_EQ(band, k.band);
    }
}

TEST_F(Graph, PlotBandAndMainCurveWhereTheModelPutsThem) {
    const auto rects = itemsOf<RectItem>(list());
    ASSERT_EQ(rects.size(), 3u);
    EXPECT_EQ(rects[0].rect, (GraphRect{0, 0, 330, 173}));
    EXPECT_TRUE(rects[0].colour.face);
    EXPECT_EQ(rects[1].rect, (GraphRect{25, 5, 320, 158}));
    EXPECT_EQ(rects[1].colour, (Rgb{255, 251, 240}));
    EXPECT_EQ(rects[2].rect, (GraphRect{g().x(11000), 5, 320, 158}));

    // Origin, a step along the base advance, the ten points, then level to the axis end.
    const PolylineItem main = itemsOf<PolylineItem>(list())[1];
    ASSERT_EQ(main.points.size(), 13u);
    EXPECT_EQ(main.points[0], g().pixel(0, 10));
    EXPECT_EQ(main.points[1], g().pixel(1000, 10));
    EXPECT_EQ(main.points[11], g().pixel(10000, 10));
    EXPECT_EQ(main.points[12], g().pixel(12500, 10));
}

TEST_F(Graph, SpeedLineOnlyWhileTheEngineTurns) {
    for (int rpm : {0, 3000, 0}) {
        frame(rpm);
        c.tick();
        const auto lines = itemsOf<LineItem>(list());
        const bool lime = std::any_of(lines.begin(), lines.end(), [](const LineItem& l) {
            return l.colour == GraphColour::Lime;
        });
        EXPECT_EQ(lime, rpm != 0) << rpm;
        if (rpm != 0) {
            EXPECT_TRUE(hasLineAt(GraphColour::Lime, g().x(rpm)));
        }
    }
}

// ---------------------------------------------------------------- hover and hit test

TEST_F(Graph, HoverReachesFivePixelsOnBothAxes) {
    struct Case {
        int dx, dy;
        bool hit;
    };
    const Case cases[] = {{0, 0, true},  {5, 5, true},  {-5, -5, true}, {5, -5, true},
                          {6, 0, false}, {0, 6, false}, {-6, 0, false}, {5, 6, false}};
    const GraphPoint p = at(4);
    for (const Case& k : cases) {
        mouse(GraphMouse::Move, {p.x + k.dx, p.y + k.dy});
        EXPECT_EQ(c.graph().hovered(), k.hit ? 4 : GraphElement::None) << k.dx << "," << k.dy;
    }
}

TEST_F(Graph, NearerPointWinsAndTheLowerIndexOnATie) {
    img().rpm(Curve::A, 0) = 10;
    img().rpm(Curve::A, 1) = 11;
    img().advance(Curve::A, 1) = 10;
    settle();
    const GraphPoint p0 = at(0);
    const GraphPoint p1 = at(1);
    ASSERT_EQ(p1.x - p0.x, 2); // 1000 and 1100 rpm at 12500 rpm over 295 pixels
    ASSERT_EQ(p1.y, p0.y);
    const std::pair<int, int> cases[] = {{p0.x, 0}, {p0.x + 1, 0}, {p0.x + 2, 1}, {p1.x + 4, 1}};
    for (auto [x, expected] : cases) {
        mouse(GraphMouse::Move, {x, p0.y});
        EXPECT_EQ(c.graph().hovered(), expected) << x;
    }
}

TEST_F(Graph, HoverAsksForOneDrawAtTheNextTick) {
    c.tick();
    const int before = view.draws;
    mouse(GraphMouse::Move, at(2));
    mouse(GraphMouse::Move, at(3));
    mouse(GraphMouse::Move, {at(3).x + 1, at(3).y});
    EXPECT_EQ(view.draws, before);
    EXPECT_EQ(c.redrawRequest, 1);
    c.tick();
    c.tick();
    EXPECT_EQ(view.draws, before + 1);
    // The hovered marker carries two outlines in the hover colour.
    const auto outlines = itemsOf<OutlineItem>(list());
    ASSERT_EQ(outlines.size(), 2u);
    EXPECT_EQ(outlines[0].colour, GraphColour::Red);
    EXPECT_EQ(outlines[1].rect, (GraphRect{at(3).x - 5, at(3).y - 5, at(3).x + 5, at(3).y + 5}));

    c.graphLeave();
    EXPECT_EQ(c.graph().hovered(), GraphElement::None);
    c.tick();
    EXPECT_EQ(view.draws, before + 2);
    EXPECT_TRUE(itemsOf<OutlineItem>(list()).empty());
}

TEST_F(Graph, TooltipAndDescriptionInTheWindowsUnits) {
    img().rpm(Curve::A, 2) = 33;
    img().advance(Curve::A, 2) = 13;
    img()[Offset::PointsA] = 3;
    settle();
    mouse(GraphMouse::Move, at(2));
    EXPECT_EQ(c.graphTooltip(","), "3,300 rpm, 13°");
    mouse(GraphMouse::Move, at(GraphElement::Origin));
    EXPECT_EQ(c.graphTooltip(","), "Base advance: 10°");
    mouse(GraphMouse::Move, {at(GraphElement::LimiterLine).x + 3, g().plotTop() + 1});
    EXPECT_EQ(c.graphTooltip(","), "Limiter: 11,000 rpm");
    c.setLanguage(1);
    EXPECT_EQ(c.graphTooltip("."), "Begrenzer: 11.000 U/min");
    c.graphLeave();
    EXPECT_EQ(c.graphTooltip("."), "");
    EXPECT_EQ(c.graphDescription("."), "Kurve A. Grundvorzündung: 10°. 1.000 U/min, 10°; "
                                       "2.000 U/min, 10°; 3.300 U/min, 13°. "
                                       "Begrenzer: 11.000 U/min.");
    img()[Offset::CurveSelect] = CurveSelection::Monitor;
    EXPECT_EQ(c.graphDescription("."), "Keine Kurve angezeigt.");
    EXPECT_EQ(formatRpm(600, ","), "600");
    EXPECT_EQ(formatRpm(25500, "\u202f"), "25\u202f500");
}

// ---------------------------------------------------------------- dragging

TEST_F(Graph, DraggingAPointFollowsTheControlsAndMakesOneHistoryStep) {
    const ParameterImage before = img();
    const GraphPoint start = at(4);
    mouse(GraphMouse::Press, {start.x + 2, start.y - 1});
    EXPECT_EQ(c.graph().dragged(), 4);
    EXPECT_EQ(c.graph().grab(), (GraphPoint{2, -1}));
    EXPECT_EQ(c.graph().hovered(), GraphElement::None);
    for (int deg : {12, 15, 20}) {
        for (int rpm : {5200, 5300, 5600}) {
            mouse(GraphMouse::Move, {g().x(rpm) + 2, g().y(deg) - 1});
            EXPECT_EQ(img().rpm(Curve::A, 4) * 100, rpm);
            EXPECT_EQ(img().advance(Curve::A, 4), deg);
            EXPECT_EQ(c.form().spin[Spin::Rpm + 4], rpm);
            EXPECT_EQ(c.form().spin[Spin::Advance + 4], deg);
            EXPECT_EQ(c.rules().marker, Marker::None);
        }
    }
    c.tick();
    const auto outlines = itemsOf<OutlineItem>(list());
    ASSERT_EQ(outlines.size(), 2u);
    EXPECT_EQ(outlines[0].colour, GraphColour::Lime);
    mouse(GraphMouse::Release, {0, 0});
    EXPECT_FALSE(c.graph().dragging());
    // One step back is the state before the drag, the next the rig's own set-up.
    c.undo();
    EXPECT_EQ(img(), before);
    c.undo();
    EXPECT_FALSE(c.canUndo());
}

TEST_F(Graph, OriginCarriesTheBaseAdvanceInWholeDegreesUpTo60) {
    std::array<std::uint8_t, kCurvePoints> rpmBefore{};
    for (std::size_t k = 0; k < kCurvePoints; ++k)
        rpmBefore[k] = img().rpm(Curve::A, k);
    const GraphPoint o = at(GraphElement::Origin);
    mouse(GraphMouse::Press, {o.x + 1, o.y + 3});
    ASSERT_EQ(c.graph().dragged(), GraphElement::Origin);
    for (int deg : {11, 14, 25, 40}) {
        mouse(GraphMouse::Move, {o.x + 30, g().y(deg) + 3});
        EXPECT_EQ(img()[Offset::BaseAdvance], deg);
        EXPECT_EQ(c.form().spin[Spin::BaseAdvance], deg);
    }
    // Rounded to whole degrees (3.4 pixels a degree now); far above the widget holds at 60.
    ASSERT_EQ(g().degreeAxisEnd, 45);
    mouse(GraphMouse::Move, {o.x, g().plotBottom + 3 - 138}); // 40.6 degrees
    EXPECT_EQ(img()[Offset::BaseAdvance], 41);
    mouse(GraphMouse::Move, {o.x, g().plotBottom + 3 - 135}); // 39.7 degrees
    EXPECT_EQ(img()[Offset::BaseAdvance], 40);
    mouse(GraphMouse::Move, {o.x - 100, -1000});
    EXPECT_EQ(img()[Offset::BaseAdvance], 60);
    for (std::size_t k = 0; k < kCurvePoints; ++k)
        EXPECT_EQ(img().rpm(Curve::A, k), rpmBefore[k]) << k;
}

TEST_F(Graph, PointAbove60AndLeftOfTheAxis) {
    mouse(GraphMouse::Press, at(2));
    const GraphPoint far{g().plotLeft - 40, -1000};
    const DragValues v = c.graph().dragValues(far.x, far.y);
    EXPECT_EQ(v.rpm, 0);
    EXPECT_EQ(v.degrees, 60);
    ParameterImage written = img();
    c.graph().writeDrag(written, Curve::A, v);
    EXPECT_EQ(written.rpm(Curve::A, 2), 0);
    EXPECT_EQ(written.advance(Curve::A, 2), 60);
    // The rules then hold the point at its lowest speed and push the two below it aside.
    mouse(GraphMouse::Move, far);
    EXPECT_EQ(img().rpm(Curve::A, 2), 2 + 6);
    EXPECT_EQ(img().rpm(Curve::A, 1), 7);
    EXPECT_EQ(img().rpm(Curve::A, 0), 6);
    EXPECT_EQ(img().advance(Curve::A, 2), 60);
    EXPECT_EQ(g().degreeAxisEnd, 65);
}

TEST_F(Graph, LimiterLineMovesIn100RpmStepsAndTheBandFollows) {
    const int lx = at(GraphElement::LimiterLine).x;
    mouse(GraphMouse::Press, {lx - 4, g().plotTop() + 2});
    ASSERT_EQ(c.graph().dragged(), GraphElement::LimiterLine);
    EXPECT_EQ(c.graph().grab(), (GraphPoint{-4, 0}));
    c.tick();
    EXPECT_TRUE(hasLineAt(GraphColour::Lime, lx));
    EXPECT_TRUE(hasLineAt(GraphColour::Lime, lx + 1));
    for (int px : {-7, -3, 0, 2, 5}) {
        mouse(GraphMouse::Move, {lx - 4 + px, 40});
        const double exact = (lx + px - g().plotLeft) / static_cast<double>(g().xScale);
        const int rpm = img()[Offset::LimiterA] * 100;
        EXPECT_LE(std::abs(rpm - exact), 50.0) << px;
        c.tick();
        const auto rects = itemsOf<RectItem>(list());
        EXPECT_EQ(rects.back().rect.left, g().x(rpm));
        EXPECT_EQ(rects.back().colour, GraphColour::Silver);
    }
    EXPECT_EQ(c.form().spin[Spin::Limiter], img()[Offset::LimiterA] * 100);
}

TEST_F(Graph, ScaleChangeMovesThePointerAndItsMoveIsSwallowed) {
    view.canWarp = true;
    // Point 9 (10000 rpm) dragged beyond 11700 rpm stretches the axis to 15000.
    const GraphPoint p = at(9);
    mouse(GraphMouse::Press, {p.x, p.y + 2});
    const GraphPoint to{g().x(12000), p.y + 2};
    mouse(GraphMouse::Move, to);
    ASSERT_EQ(g().rpmAxisEnd, 15000);
    ASSERT_EQ(view.warps.size(), 1u);
    EXPECT_EQ(view.warps[0], (GraphPoint{g().x(12000), to.y}));
    EXPECT_TRUE(c.graph().warpPending());
    const ParameterImage after = img();
    mouse(GraphMouse::Move, {to.x + 30, to.y}); // the move the warp caused
    EXPECT_EQ(img(), after);
    EXPECT_FALSE(c.graph().warpPending());
    mouse(GraphMouse::Move, view.warps[0]); // the pointer is on the point's speed again
    EXPECT_EQ(img().rpm(Curve::A, 9), 120);

    // Where the pointer cannot be moved, no move is swallowed.
    view.canWarp = false;
    mouse(GraphMouse::Move, {g().x(11000), to.y}); // back to 12500
    ASSERT_EQ(g().rpmAxisEnd, 12500);
    EXPECT_FALSE(c.graph().warpPending());
    mouse(GraphMouse::Move, {g().x(10500), to.y});
    EXPECT_EQ(img().rpm(Curve::A, 9), 105);
}

TEST_F(Graph, WithoutACurveClicksAreIgnoredButADragStillEnds) {
    img()[Offset::CurveSelect] = CurveSelection::Monitor;
    frame(2000);
    settle();
    ASSERT_EQ(c.shown(), Curve::A);
    const ParameterImage beforeDrag = img();
    mouse(GraphMouse::Press, at(3));
    mouse(GraphMouse::Move, {at(3).x, at(3).y - 20});
    silence(); // no curve is shown now
    ASSERT_FALSE(c.shown().has_value());
    const ParameterImage before = img();
    mouse(GraphMouse::Move, {100, 20});
    EXPECT_EQ(img(), before);
    mouse(GraphMouse::Release, {100, 20});
    EXPECT_FALSE(c.graph().dragging());
    c.undo(); // the drag made its one step
    EXPECT_EQ(img(), beforeDrag);
    c.redo();
    const int request = c.redrawRequest;
    mouse(GraphMouse::Press, {25, 20});
    EXPECT_FALSE(c.graph().dragging());
    EXPECT_EQ(c.redrawRequest, request);
    EXPECT_EQ(img(), before);
}

// ---------------------------------------------------------------- the advance shift

using V = std::vector<int>;

TEST(Shift, ActsOnTheShownCurveAtTheHighlightedRowOrEveryRow) {
    struct Case {
        const char* name;
        std::uint8_t select;
        int rpm;      // the frame's speed; -1: no frame at all (connection lost)
        bool unitOnA; // the frame's curve
        bool all;
        int step;
        V a; // curve A before, the first three rows
        V expectA;
        V expectB; // curve B starts at 4, 4, 4
        int bike = 0;
    };
    const Case cases[] = {
        {"standing minus", 0, 0, true, false, -1, {10, 10, 10}, {10, 10, 10}, {4, 4, 4}},
        {"standing plus", 0, 0, true, false, +1, {10, 10, 10}, {10, 10, 10}, {4, 4, 4}},
        {"1500 rpm: the lower row",
         0,
         1500,
         true,
         false,
         +1,
         {10, 10, 10},
         {11, 10, 10},
         {4, 4, 4}},
        {"2600 rpm", 0, 2600, true, false, -1, {10, 10, 10}, {10, 10, 9}, {4, 4, 4}},
        {"All minus", 0, 0, true, true, -1, {0, 5, 60}, {0, 4, 59}, {4, 4, 4}},
        {"All plus", 0, 0, true, true, +1, {0, 5, 60}, {1, 6, 60}, {4, 4, 4}},
        {"curve B only", 1, 0, true, true, +1, {0, 5, 60}, {0, 5, 60}, {5, 5, 5}},
        {"Monitor, unit on B", 2, 1500, false, false, -1, {0, 5, 60}, {0, 5, 60}, {3, 4, 4}},
        {"Monitor, unit on A", 2, 1500, true, true, +1, {0, 5, 60}, {1, 6, 60}, {4, 4, 4}},
        {"Monitor, no connection", 2, -1, true, true, +1, {0, 5, 60}, {0, 5, 60}, {4, 4, 4}},
        {"bike type 7 caps at base 20",
         0,
         0,
         true,
         true,
         +1,
         {20, 19, 3},
         {20, 20, 4},
         {4, 4, 4},
         7},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        Rig t;
        t.setCurve(Curve::A, {10, 20, 30}, k.a);
        t.setCurve(Curve::B, {10, 20, 30}, {4, 4, 4});
        t.img()[Offset::CurveSelect] = k.select;
        t.img()[Offset::BikeType] = static_cast<std::uint8_t>(k.bike);
        t.img()[Offset::BaseAdvance] = 20;
        t.settle();
        if (k.rpm < 0)
            t.silence();
        else
            t.frame(k.rpm, k.unitOnA);
        t.c.settings().ignAll = k.all;
        const ParameterImage before = t.img();
        if (k.step < 0)
            t.c.advanceMinus();
        else
            t.c.advancePlus();
        EXPECT_EQ(t.advances(Curve::A), k.expectA);
        EXPECT_EQ(t.advances(Curve::B), k.expectB);
        if (t.c.shown()) {
            EXPECT_EQ(t.c.form().spin[Spin::Advance], t.img().advance(*t.c.shown(), 0));
        }
        // One history step for a shift that changed something, none otherwise: the undo
        // then goes back to before the rig's own step.
        const bool changed = t.img() != before;
        t.c.undo();
        EXPECT_EQ(t.img() == before, changed);
    }
}

TEST_F(Graph, ShiftAllReachesTheRowsBeyondTheCurvesPoints) {
    setCurve(Curve::A, {10, 20, 30}, {10, 10, 10});
    img().advance(Curve::A, 14) = 7;
    settle();
    c.settings().ignAll = true;
    c.advanceMinus();
    EXPECT_EQ(img().advance(Curve::A, 14), 6);
    EXPECT_EQ(c.redrawRequest & 2, 2);
}
