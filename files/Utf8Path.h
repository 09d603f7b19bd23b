// File names as the program's strings hold them: UTF-8 on every system. A std::string made
// into a path directly is read in the system's narrow encoding, which on Windows is not UTF-8,
// so a name such as "Zündung" would name another file there.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace zentrola {

// An empty path, which no open or save accepts, when the text is not UTF-8 on a system that
// has to decode it (Windows).
std::filesystem::path pathFromUtf8(std::string_view utf8);
// Empty when the system's name cannot be written as UTF-8 (a broken Windows name).
std::string utf8FromPath(const std::filesystem::path& path);

} // namespace zentrola
