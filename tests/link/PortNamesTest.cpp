#include "link/PortNames.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace zentrola;

TEST(PortNames, UsbAdaptersFirstEachSorted) {
    const auto ordered =
        orderPorts({"/dev/ttyS1", "/dev/ttyUSB1", "/dev/ttyS0", "/dev/ttyACM0", "/dev/ttyUSB0"});
    EXPECT_EQ(ordered, (std::vector<std::string>{"/dev/ttyACM0", "/dev/ttyUSB0", "/dev/ttyUSB1",
                                                 "/dev/ttyS0", "/dev/ttyS1"}));
}

TEST(PortNames, EnvironmentListAndComNumbers) {
    setenv("ZENTROLA_PORTS", "/dev/pts/3::/tmp/unit", 1);
    std::vector<std::string> devices;
    ASSERT_TRUE(portsFromEnvironment(devices));
    unsetenv("ZENTROLA_PORTS");
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
}
