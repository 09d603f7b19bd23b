// Whole-file reading and saving. Every file this program saves goes through
// writeFileAtomically, so a failed save never leaves a half-written file behind.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace zentrola {

// The file's bytes; nothing when it cannot be opened or read.
std::optional<std::string> readWholeFile(const std::filesystem::path& path);

// Writes a temporary file in the same folder, checks every write, flush and close, then
// renames it over `path`. On any failure the temporary file is removed, the old file is left
// byte for byte as it was, and the result is false. A symbolic link is written through to
// its target.
bool writeFileAtomically(const std::filesystem::path& path, std::string_view content);

// Test seam: with a limit set, every following write fails once that many bytes of the
// content have gone out, as a full disk would. std::nullopt switches it off.
void setWriteLimitForTesting(std::optional<std::size_t> bytes);

} // namespace zentrola
