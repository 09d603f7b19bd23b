// Why a serial device may not be opened, in words a user can act on: on Linux a device of
// a group the user is not in (dialout, uucp, ...), with the command that fixes it.
#pragma once

#include <QString>

#include <optional>
#include <string>

namespace zentrola {

// The group that owns the device and the user, when the user lacks the right to open it
// for reading and writing and is not in that group; nothing otherwise or elsewhere.
struct PortGroup {
    QString group;
    QString user;
};
std::optional<PortGroup> missingPortGroup(const std::string& device);

} // namespace zentrola
