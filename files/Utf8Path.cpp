#include "files/Utf8Path.h"

namespace zentrola {

std::filesystem::path pathFromUtf8(std::string_view utf8) {
    try {
        return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
    } catch (const std::filesystem::filesystem_error&) {
        return {};
    }
}

std::string utf8FromPath(const std::filesystem::path& path) {
    try {
        const std::u8string text = path.u8string();
        return std::string(text.begin(), text.end());
    } catch (const std::filesystem::filesystem_error&) {
        return {};
    }
}

} // namespace zentrola
