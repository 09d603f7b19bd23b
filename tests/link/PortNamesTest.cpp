#include "link/PortNames.h"

#include "support/Environment.h"

#include <gtest/gtest.h>

#include <algorithm>

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

TEST(PortNames, WindowsPortsAsAUserWritesThem) {
    struct Case {
        const char* typed;
        const char* opened;
    };
    for (const Case& c : {
             Case{"COM5", "\\\\.\\COM5"},
             Case{"com23", "\\\\.\\COM23"},
             Case{"Com7", "\\\\.\\COM7"},
             Case{"\\\\.\\COM23", "\\\\.\\COM23"}, // already in the full form
             Case{"COM", "COM"},                   // no number: left as typed
             Case{"COM5x", "COM5x"},
             Case{"COM0", "COM0"},
             Case{"/dev/ttyUSB0", "/dev/ttyUSB0"},
         })
        EXPECT_EQ(windowsPortPath(c.typed), c.opened) << c.typed;
    EXPECT_EQ(comLabel(windowsPortPath("com23")), "COM= COM23");
}

TEST(PortNames, TheRegistrysDeviceNamesGoIntoTheComMenu) {
    const auto names = serialCommNames({{"\\Device\\VCP0", "COM3"},
                                        {"\\Device\\Serial0", "COM1"},
                                        {"\\Device\\USBSER000", "COM21"},
                                        {"\\Device\\Far", "COM40"},  // beyond the scan
                                        {"\\Device\\Odd", "LPT1"}}); // not a COM port
    ASSERT_EQ(names.size(), static_cast<std::size_t>(kScanCyclePositions));
    EXPECT_EQ(names[0], "Serial0");
    EXPECT_EQ(names[2], "VCP0");
    EXPECT_EQ(names[20], "USBSER000");
    EXPECT_EQ(std::count(names.begin(), names.end(), std::string()), kScanCyclePositions - 3);

    const auto menu = comMenuCaptions(numberedComPorts(), names);
    EXPECT_EQ(menu[0], "Com 1 (Serial0)");
    EXPECT_EQ(menu[1], "Com 2");
    EXPECT_EQ(menu[2], "Com 3 (VCP0)");
    EXPECT_EQ(menu[20], "Com Auto"); // COM21 has no entry of its own
}
