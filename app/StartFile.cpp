#include "app/StartFile.h"

namespace zentrola {

bool namesParameterFile(std::string_view arg) {
    constexpr std::string_view kExtension = ".ign";
    if (arg.size() <= kExtension.size() || arg.starts_with("--"))
        return false;
    const std::string_view tail = arg.substr(arg.size() - kExtension.size());
    for (std::size_t i = 0; i < kExtension.size(); ++i)
        if ((tail[i] | 0x20) != kExtension[i])
            return false;
    return true;
}

} // namespace zentrola
