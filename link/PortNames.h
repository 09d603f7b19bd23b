// COM numbers to device names. COMn is the n-th device of the port list: ZENTROLA_PORTS when
// set, else on Windows the system's ports by number (COMn is \\.\COMn), elsewhere the system's
// ports with USB adapters first.
#pragma once

#include "core/PortIndex.h"

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zentrola {

// Positions the watchdog's automatic scan steps through: COM1..COM21 in turn, then COM1.
inline constexpr int kScanCyclePositions = 21;

// USB adapters first, then the rest, each sorted by name.
std::vector<std::string> orderPorts(std::vector<std::string> devices);
// Windows' ports by their numbers, \\.\COM1 up to the last position of the scan, whether
// present or not. Only this form opens COM10 and above.
std::vector<std::string> numberedComPorts();
// The colon-separated list of ZENTROLA_PORTS, or nothing when it is not set.
bool portsFromEnvironment(std::vector<std::string>& devices);
// The device of COM n (1-based); empty when the list has no such entry.
std::string deviceForCom(int com, const std::vector<std::string>& devices);
// The short name a label shows: the part after the last slash or backslash.
std::string shortName(std::string_view device);
// "COM= " and the short name, at most 10 characters of it.
std::string comLabel(std::string_view device);
// The COM menu: "Com 1".."Com 20" with the device in brackets when one exists and is not
// the numbered port itself, "Com Auto". A name the system gives the port (names[n-1] for
// COM n, where not empty) is shown in the brackets instead.
std::vector<std::string> comMenuCaptions(const std::vector<std::string>& devices,
                                         const std::vector<std::string>& names = {});
// "COM5" or "com23" as a Windows user writes it becomes \\.\COM5, the form that opens every
// number; anything else is returned as it is.
std::string windowsPortPath(std::string_view device);
// Windows' SERIALCOMM map (device such as \Device\VCP0 to port name such as COM3) as the COM
// menu shows it: names[n-1] is the device's short name for COM n, up to the last COM of the scan.
std::vector<std::string>
serialCommNames(const std::vector<std::pair<std::string, std::string>>& deviceToPort);

} // namespace zentrola
