#include "link/Frame.h"

#include <gtest/gtest.h>

using namespace zentrola;

TEST(Frame, MonitorRequestLayoutAndCheckByte) {
    Frame f = monitorRequest(0);
    EXPECT_EQ(f[0], 0x30);
    EXPECT_EQ(f[50], 0x5C);
    EXPECT_EQ(f[51], 0x93);
    for (std::size_t i = 1; i < 50; ++i)
        EXPECT_EQ(f[i], 0) << i;
    f = monitorRequest(0x01);
    EXPECT_EQ(f[21], 0x01);
    EXPECT_EQ(f[51], 0x92);
    EXPECT_TRUE(frameIntact(f));
}

TEST(Frame, ReadRequestOfPageZero) {
    const Frame f = readRequest(0x40);
    EXPECT_EQ(f[0], 0x40);
    EXPECT_EQ(f[51], 0xBF);
}

TEST(Frame, PageReplyAcceptance) {
    Page payload{};
    payload[3] = 7;
    Frame reply = pageFrame(replyLead(0x42), payload);
    EXPECT_TRUE(acceptPageReply(reply, 0x42));
    // A reply to page 1 while page 2 is awaited is dropped.
    EXPECT_FALSE(acceptPageReply(pageFrame(0x81, payload), 0x02));
    EXPECT_FALSE(acceptPageReply(pageFrame(0xC3, payload), 0x43)); // page 3 does not exist
    reply[10] ^= 1;
    EXPECT_FALSE(acceptPageReply(reply, 0x42));
    EXPECT_FALSE(acceptPageReply(std::span<const std::uint8_t>(reply).first(51), 0x42));
}

TEST(Frame, MonitorFrameAcceptance) {
    Frame f{};
    f[0] = 0xB0;
    seal(f);
    EXPECT_TRUE(acceptMonitorFrame(f));
    f[51] ^= 0x10;
    EXPECT_FALSE(acceptMonitorFrame(f));
    Frame g = readRequest(0xC0);
    EXPECT_FALSE(acceptMonitorFrame(g));
}
