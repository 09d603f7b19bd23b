#include "link/PortNames.h"

#include <algorithm>
#include <cstdlib>

namespace zentrola {

namespace {
// The number of "COM<n>" in any case, or 0 when the text is something else.
int comNumber(std::string_view text) {
    if (text.size() < 4 || text.size() > 6)
        return 0;
    for (std::size_t i = 0; i < 3; ++i)
        if ((text[i] | 0x20) != "com"[i])
            return 0;
    int n = 0;
    for (const char c : text.substr(3)) {
        if (c < '0' || c > '9')
            return 0;
        n = n * 10 + (c - '0');
    }
    return n;
}
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

std::vector<std::string> comMenuCaptions(const std::vector<std::string>& devices,
                                         const std::vector<std::string>& names) {
    std::vector<std::string> captions;
    for (int com = 1; com <= kComPorts; ++com) {
        std::string caption = "Com " + std::to_string(com);
        const auto at = static_cast<std::size_t>(com - 1);
        if (at < names.size() && !names[at].empty()) {
            caption += " (" + names[at] + ")";
        } else if (static_cast<std::size_t>(com) <= devices.size()) {
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

std::string windowsPortPath(std::string_view device) {
    const int n = comNumber(device);
    if (n < 1)
        return std::string(device);
    return "\\\\.\\COM" + std::to_string(n);
}

std::vector<std::string>
serialCommNames(const std::vector<std::pair<std::string, std::string>>& deviceToPort) {
    std::vector<std::string> names(kScanCyclePositions);
    for (const auto& [device, port] : deviceToPort) {
        const int n = comNumber(port);
        if (n >= 1 && n <= kScanCyclePositions)
            names[static_cast<std::size_t>(n - 1)] = shortName(device);
    }
    return names;
}

} // namespace zentrola
