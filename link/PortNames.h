// COM numbers to device names. COMn is the n-th device of the port list: ZENTROLA_PORTS when
// set, else on Windows the system's ports by number (COMn is \\.\COMn), elsewhere the system's
// ports with USB adapters first.
#pragma once

#include "core/PortIndex.h"

#include <string>
#include <string_view>
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
// the numbered port itself, "Com Auto".
std::vector<std::string> comMenuCaptions(const std::vector<std::string>& devices);

} // namespace zentrola
