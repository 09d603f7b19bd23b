// Where the manual of a language is looked for: the current folder, the program's own
// folder, then the installed documentation beside it. Only a file that exists is handed to
// the system, which would otherwise report success for a missing one.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace zentrola {

// The places in the order they are tried.
std::vector<std::filesystem::path> manualCandidates(const std::string& fileName,
                                                    const std::filesystem::path& currentDir,
                                                    const std::filesystem::path& programDir);
// The first candidate that is a regular file.
std::optional<std::filesystem::path> findManual(const std::string& fileName,
                                                const std::filesystem::path& currentDir,
                                                const std::filesystem::path& programDir);

} // namespace zentrola
