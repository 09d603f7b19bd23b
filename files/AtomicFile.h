// Whole-file reading and saving. Every file this program saves goes through
// writeFileAtomically, so a failed save never leaves a half-written file behind.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace zentrola {

// Every file this program reads is far smaller; a longer one (a device such as /dev/zero
// that never ends) is not one of ours and is not read.
inline constexpr std::size_t kLargestReadFile = 16 * 1024 * 1024;

// The file's bytes; nothing when it cannot be opened, when any read fails (a folder, an I/O
// error) or when it is longer than kLargestReadFile. Every file this program reads is read
// here, so a failing read is always "cannot be opened", never a part of a file.
std::optional<std::string> readWholeFile(const std::filesystem::path& path);

// Writes a temporary file in the same folder, checks every write, flush and close, then
// renames it over `path`. On any failure the temporary file is removed, the old file is left
// byte for byte as it was, and the result is false. An existing file the user may not write
// is a failure too, although the rename could replace it. A symbolic link is written through
// to its target.
bool writeFileAtomically(const std::filesystem::path& path, std::string_view content);

// Test seam: with a limit set, every following write fails once that many bytes of the
// content have gone out, as a full disk would. std::nullopt switches it off.
void setWriteLimitForTesting(std::optional<std::size_t> bytes);
// Test seam: with a limit set, every following read fails once that many bytes of the file
// have come in, as a damaged disk would. std::nullopt switches it off.
void setReadLimitForTesting(std::optional<std::size_t> bytes);

} // namespace zentrola
