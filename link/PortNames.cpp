#include "link/PortNames.h"

#include <algorithm>
#include <cstdlib>

namespace zentrola {

namespace {
bool isUsbAdapter(std::string_view device) {
    const std::string name = shortName(device);
    for (std::string_view prefix : {"ttyUSB", "ttyACM", "cu.usb"})
        if (name.rfind(prefix, 0) == 0)
            return true;
    return false;
}
constexpr std::size_t kLabelNameLength = 10;
} // namespace

std::vector<std::string> orderPorts(std::vector<std::string> devices) {
    std::stable_sort(devices.begin(), devices.end(),
                     [](const std::string& a, const std::string& b) {
                         const bool ua = isUsbAdapter(a), ub = isUsbAdapter(b);
                         if (ua != ub)
                             return ua;
                         return a < b;
                     });
    return devices;
}

bool portsFromEnvironment(std::vector<std::string>& devices) {
    const char* env = std::getenv("ZENTROLA_PORTS");
    if (env == nullptr)
        return false;
    devices.clear();
    std::string_view rest(env);
    while (!rest.empty()) {
        const auto colon = rest.find(':');
        const std::string_view item = rest.substr(0, colon);
        if (!item.empty())
            devices.emplace_back(item);
        if (colon == std::string_view::npos)
            break;
        rest.remove_prefix(colon + 1);
    }
    return true;
}

std::vector<std::string> numberedComPorts() {
    std::vector<std::string> ports;
    for (int com = 1; com <= kScanCyclePositions; ++com)
        ports.push_back("\\\\.\\COM" + std::to_string(com));
    return ports;
}

std::string deviceForCom(int com, const std::vector<std::string>& devices) {
    if (com < 1 || static_cast<std::size_t>(com) > devices.size())
        return {};
    return devices[static_cast<std::size_t>(com - 1)];
}

std::string shortName(std::string_view device) {
    const auto cut = device.find_last_of("/\\");
    return std::string(cut == std::string_view::npos ? device : device.substr(cut + 1));
}

std::string comLabel(std::string_view device) {
    return "COM= " + shortName(device).substr(0, kLabelNameLength);
}

std::vector<std::string> comMenuCaptions(const std::vector<std::string>& devices) {
    std::vector<std::string> captions;
    for (int com = 1; com <= kComPorts; ++com) {
        std::string caption = "Com " + std::to_string(com);
        if (static_cast<std::size_t>(com) <= devices.size()) {
            // Windows' own COMn says nothing new in brackets.
            const std::string name = shortName(devices[static_cast<std::size_t>(com - 1)]);
            if (name != "COM" + std::to_string(com))
                caption += " (" + name + ")";
        }
        captions.push_back(std::move(caption));
    }
    captions.emplace_back("Com Auto");
    return captions;
}

} // namespace zentrola
