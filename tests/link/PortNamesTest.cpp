#include "link/PortNames.h"

#include "support/Environment.h"

#include <gtest/gtest.h>

using namespace zentrola;
using zentrola::testing::ScopedEnv;

TEST(PortNames, UsbAdaptersFirstEachSorted) {
    const auto ordered =
        orderPorts({"/dev/ttyS1", "/dev/ttyUSB1", "/dev/ttyS0", "/dev/ttyACM0", "/dev/ttyUSB0"});
    EXPECT_EQ(ordered, (std::vector<std::string>{"/dev/ttyACM0", "/dev/ttyUSB0", "/dev/ttyUSB1",
                                                 "/dev/ttyS0", "/dev/ttyS1"}));
}

TEST(PortNames, EnvironmentListAndComNumbers) {
    std::vector<std::string> devices;
    {
        ScopedEnv ports("ZENTROLA_PORTS", "/dev/pts/3::/tmp/unit");
        ASSERT_TRUE(portsFromEnvironment(devices));
    }
    EXPECT_EQ(devices, (std::vector<std::string>{"/dev/pts/3", "/tmp/unit"}));
    EXPECT_EQ(deviceForCom(2, devices), "/tmp/unit");
    EXPECT_EQ(deviceForCom(3, devices), "");
    EXPECT_EQ(comLabel("/dev/ttyUSB0"), "COM= ttyUSB0");
    EXPECT_EQ(comLabel("/dev/serial/by-id/usb-FTDI_long_name"), "COM= usb-FTDI_l");
    const auto menu = comMenuCaptions(devices);
    ASSERT_EQ(menu.size(), 21u);
    EXPECT_EQ(menu[0], "Com 1 (3)");
    EXPECT_EQ(menu[2], "Com 3");
    EXPECT_EQ(menu[20], "Com Auto");
    EXPECT_FALSE(portsFromEnvironment(devices));

    // Windows' ports: every position of the scan has one, in the form that opens COM10 on.
    const auto numbered = numberedComPorts();
    ASSERT_EQ(numbered.size(), static_cast<std::size_t>(kScanCyclePositions));
    EXPECT_EQ(deviceForCom(1, numbered), "\\\\.\\COM1");
    EXPECT_EQ(deviceForCom(12, numbered), "\\\\.\\COM12");
    EXPECT_EQ(deviceForCom(21, numbered), "\\\\.\\COM21");
    EXPECT_EQ(comLabel(deviceForCom(12, numbered)), "COM= COM12");
    const auto plain = comMenuCaptions(numbered);
    EXPECT_EQ(plain[0], "Com 1");
    EXPECT_EQ(plain[11], "Com 12");
}
