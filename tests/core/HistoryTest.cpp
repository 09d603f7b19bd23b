#include "core/History.h"

#include <gtest/gtest.h>

using namespace zentrola;

namespace {
void change(ParameterImage& image, int v) {
    image[Offset::TestRpm] = static_cast<std::uint8_t>(v);
    image[120] = static_cast<std::uint8_t>(v >> 8); // reserved bytes are in the span too
}
} // namespace

TEST(History, RingKeepsTheMostRecent200States) {
    ParameterImage image;
    History h;
    h.start(image);
    EXPECT_FALSE(h.canUndo());
    for (int i = 1; i <= 199; ++i) {
        change(image, i);
        EXPECT_TRUE(h.step(image, false).changed);
    }
    ParameterImage back = image;
    int undos = 0;
    while (h.undo(back))
        ++undos;
    EXPECT_EQ(undos, 199);
    EXPECT_EQ(back, ParameterImage{});

    while (h.redo(back)) {
    }
    EXPECT_EQ(back, image);
    change(image, 200);
    h.step(image, false);
    undos = 0;
    while (h.undo(back))
        ++undos;
    EXPECT_EQ(undos, 199);
    EXPECT_EQ(back[Offset::TestRpm], 1); // the start state is gone
}

TEST(History, StepWithoutChangeKeepsRedoAndNewChangeDropsIt) {
    ParameterImage image;
    History h;
    h.start(image);
    change(image, 1);
    h.step(image, false);
    change(image, 2);
    h.step(image, false);
    ASSERT_TRUE(h.undo(image));
    EXPECT_EQ(image[Offset::TestRpm], 1);
    EXPECT_TRUE(h.canRedo());
    EXPECT_FALSE(h.step(image, false).changed);
    EXPECT_TRUE(h.canRedo());
    change(image, 5);
    EXPECT_TRUE(h.step(image, false).changed);
    EXPECT_FALSE(h.canRedo());
    EXPECT_FALSE(h.redo(image));
    EXPECT_TRUE(h.canUndo());
}

TEST(History, ProgramAfterChange) {
    ParameterImage image;
    History h;
    h.start(image);
    // First step after ticking: only when changed.
    EXPECT_FALSE(h.step(image, true).startProgram);
    // While it stays ticked: always.
    EXPECT_TRUE(h.step(image, true).startProgram);
    // Unticked: never, and ticking again starts over.
    change(image, 1);
    EXPECT_FALSE(h.step(image, false).startProgram);
    change(image, 2);
    EXPECT_TRUE(h.step(image, true).startProgram);
    h.step(image, false);
    EXPECT_FALSE(h.step(image, true).startProgram);
}
