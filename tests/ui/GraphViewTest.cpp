// The graph widget: its pixels where the model puts the elements, and a drag with the mouse.
#include "WindowFixture.h"

#include <QToolTip>

#include "app/GraphModel.h"
#include "ui/GraphView.h"

#include <QImage>

#include <type_traits>

using namespace zentrola;
using namespace zentrola::uitest;

namespace {

struct GraphViewTest : ::testing::Test {
    Scratch dir;
    Window win;
    GraphView* graph() { return win.get<GraphView>("GrafAdv"); }
    const GraphModel& model() { return win.cfg().graph(); }
    QColor at(const QImage& img, GraphPoint p) { return img.pixelColor(p.x, p.y); }
    // The first item of the list of this type and colour.
    template <class T> const T* find(Rgb colour) {
        for (const GraphItem& item : model().displayList())
            if (const T* it = std::get_if<T>(&item); it && it->colour == colour)
                return it;
        return nullptr;
    }
    QPoint position(int element) {
        const GraphPoint p = model().elementPosition(win.cfg().image(), Curve::A, element);
        return {p.x, p.y};
    }
};

QColor rgb(Rgb c) {
    return QColor(c.r, c.g, c.b);
}

} // namespace

TEST_F(GraphViewTest, PixelsWhereTheModelPutsThem) {
    win.start(dir.path);
    win.ticks(40); // the engine turns: a speed line
    const QImage img = graph()->render();
    const GraphGeometry& g = model().geometry();
    ASSERT_EQ(img.width(), graph()->width());
    EXPECT_EQ(g.imageWidth, graph()->width());
    EXPECT_EQ(g.imageHeight, graph()->height());

    // The plot between two grid lines, away from the curves.
    const int limiterX = g.x(win.cfg().image()[Offset::LimiterA] * 100);
    EXPECT_EQ(img.pixelColor(g.plotLeft + 7, g.plotTop() + 3), QColor(255, 251, 240));
    // Silver right of the limiter.
    EXPECT_EQ(img.pixelColor((limiterX + g.plotRight()) / 2, g.plotTop() + 3),
              QColor(192, 192, 192));

    // The shown curve in red between points 3 and 4, the other in light blue.
    const auto mid = [&](Curve c, std::size_t k) {
        const ParameterImage& im = win.cfg().image();
        return GraphPoint{(g.x(im.rpm(c, k) * 100) + g.x(im.rpm(c, k + 1) * 100)) / 2,
                          g.y(im.advance(c, k))};
    };
    EXPECT_EQ(at(img, mid(Curve::A, 3)), QColor(255, 0, 0));
    EXPECT_EQ(at(img, mid(Curve::B, 3)), rgb(GraphColour::LightBlue));
    // Yellow inside the markers of the shown curve.
    const QPoint p = position(5);
    EXPECT_EQ(img.pixelColor(p), QColor(255, 255, 0));

    // The speed line in lime at the displayed rpm, and the grid in grey, where the list has them.
    const auto* speed = find<LineItem>(GraphColour::Lime);
    ASSERT_TRUE(speed);
    EXPECT_EQ(speed->from.x, g.x(win.cfg().monitor().displayedRpm()));
    EXPECT_EQ(img.pixelColor(speed->from.x, g.plotTop() + 2), QColor(0, 255, 0));
    const auto* grid = find<LineItem>(GraphColour::Grey);
    ASSERT_TRUE(grid);
    EXPECT_EQ(at(img, {(grid->from.x + grid->to.x) / 2, (grid->from.y + grid->to.y) / 2 + 1}),
              QColor(128, 128, 128));
}

TEST_F(GraphViewTest, ALargerWindowGivesALargerGraph) {
    win.start(dir.path);
    const int before = model().geometry().plotWidth;
    win.w->resize(win.w->width() + 300, win.w->height() + 100);
    QApplication::processEvents();
    win.ticks(1);
    EXPECT_EQ(model().geometry().imageWidth, graph()->width());
    EXPECT_GT(model().geometry().plotWidth, before);
}

TEST_F(GraphViewTest, IdleTicksDrawNothing) {
    win.start(dir.path, false);
    win.ticks(2);
    const int draws = graph()->draws();
    win.ticks(10);
    EXPECT_EQ(graph()->draws(), draws);
}

TEST_F(GraphViewTest, DraggingAPointIsOneUndoStep) {
    win.start(dir.path, false);
    win.ticks(2);
    ParameterImage& im = win.cfg().image();
    const QPoint from = position(2);
    QTest::mouseMove(graph(), from);
    QTest::mousePress(graph(), Qt::LeftButton, {}, from);
    // Each step aims at a degree under the scale of the moment: a step may rescale the graph.
    QPoint to = from;
    for (int degrees : {12, 14, 16}) {
        to = QPoint(from.x(), model().geometry().y(degrees));
        QTest::mouseMove(graph(), to);
    }
    // The tip follows the drag, and goes when it ends.
    EXPECT_EQ(QToolTip::text(), "3,000 rpm, 16°");
    QTest::mouseRelease(graph(), Qt::LeftButton, {}, to);
    EXPECT_FALSE(QToolTip::isVisible());
    EXPECT_EQ(im.advance(Curve::A, 2), 16);
    EXPECT_EQ(win.spin(Spin::Advance + 2)->shownText(), "16");
    EXPECT_EQ(im.rpm(Curve::A, 2), 30) << "a straight drag keeps the speed";
    win.w->commandUndo();
    EXPECT_EQ(im.advance(Curve::A, 2), 10) << "the whole drag is one step";
    EXPECT_FALSE(win.cfg().canUndo());
}

TEST_F(GraphViewTest, DraggingTheLimiterLineGoesInHundreds) {
    win.start(dir.path, false);
    win.type(Spin::Limiter, "11000");
    win.ticks(2);
    const QPoint from = position(GraphElement::LimiterLine) + QPoint(0, 40);
    const double perHundred = model().geometry().xScale * 100;
    QTest::mouseMove(graph(), from);
    QTest::mousePress(graph(), Qt::LeftButton, {}, from);
    const QPoint to = from - QPoint(static_cast<int>(10 * perHundred + 0.5), 0);
    QTest::mouseMove(graph(), to);
    QTest::mouseRelease(graph(), Qt::LeftButton, {}, to);
    EXPECT_EQ(win.cfg().image()[Offset::LimiterA], 100);
    EXPECT_EQ(win.spin(Spin::Limiter)->shownText(), "10,000");
}

TEST_F(GraphViewTest, HoverTellsTheValuesAndTheGraphDescribesTheCurve) {
    win.start(dir.path, false);
    win.ticks(2);
    QTest::mouseMove(graph(), position(2));
    EXPECT_EQ(win.cfg().graphTooltip(","), "3,000 rpm, 10°");
    QTest::mouseMove(graph(), position(GraphElement::Origin));
    EXPECT_NE(win.cfg().graphTooltip(",").find("10°"), std::string::npos);
    EXPECT_TRUE(graph()->accessibleDescription().startsWith("Curve A."));
}
