#include "app/Manual.h"

namespace zentrola {

std::vector<std::filesystem::path> manualCandidates(const std::string& fileName,
                                                    const std::filesystem::path& currentDir,
                                                    const std::filesystem::path& programDir) {
    return {currentDir / fileName, programDir / fileName,
            (programDir / ".." / "share" / "doc" / "zentrola" / fileName).lexically_normal()};
}

std::optional<std::filesystem::path> findManual(const std::string& fileName,
                                                const std::filesystem::path& currentDir,
                                                const std::filesystem::path& programDir) {
    for (const auto& candidate : manualCandidates(fileName, currentDir, programDir)) {
        std::error_code ec;
        if (std::filesystem::is_regular_file(candidate, ec))
            return candidate;
    }
    return std::nullopt;
}

} // namespace zentrola
