#include "files/AtomicFile.h"

#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>

namespace zentrola {

namespace fs = std::filesystem;

namespace {

std::optional<std::size_t> writeLimit;

constexpr int kTemporaryNameAttempts = 16;

std::FILE* createExclusively(const fs::path& path) {
    // "x": never open a file that someone else created under the same name.
#ifdef _WIN32
    return _wfopen(path.c_str(), L"wbx");
#else
    return std::fopen(path.c_str(), "wbx");
#endif
}

std::string randomSuffix() {
    static std::mt19937 generator{std::random_device{}()};
    static constexpr std::string_view kAlphabet = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::uniform_int_distribution<std::size_t> pick(0, kAlphabet.size() - 1);
    std::string suffix(8, ' ');
    for (char& c : suffix)
        c = kAlphabet[pick(generator)];
    return suffix;
}

// The content, or the part of it the test seam lets through; false when cut short.
bool writeAll(std::FILE* file, std::string_view content) {
    std::size_t allowed = content.size();
    if (writeLimit && *writeLimit < allowed)
        allowed = *writeLimit;
    if (allowed > 0 && std::fwrite(content.data(), 1, allowed, file) != allowed)
        return false;
    return allowed == content.size();
}

fs::path finalTarget(const fs::path& path) {
    std::error_code ec;
    if (fs::is_symlink(fs::symlink_status(path, ec))) {
        const fs::path target = fs::canonical(path, ec);
        if (!ec)
            return target;
    }
    return path;
}

} // namespace

std::optional<std::string> readWholeFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::ostringstream content;
    content << in.rdbuf();
    if (in.bad())
        return std::nullopt;
    return std::move(content).str();
}

bool writeFileAtomically(const fs::path& path, std::string_view content) {
    const fs::path target = finalTarget(path);
    if (!target.has_filename())
        return false;

    fs::path temporary;
    std::FILE* file = nullptr;
    for (int attempt = 0; attempt < kTemporaryNameAttempts && file == nullptr; ++attempt) {
        // Hidden beside the target, so the rename stays within one file system.
        fs::path name = ".";
        name += target.filename();
        name += ".tmp-" + randomSuffix();
        temporary = target.parent_path() / name;
        file = createExclusively(temporary);
    }
    if (file == nullptr)
        return false;

    bool ok = writeAll(file, content);
    ok = std::fflush(file) == 0 && ok;
    ok = std::ferror(file) == 0 && ok;
    ok = std::fclose(file) == 0 && ok;

    std::error_code ec;
    if (ok) {
        // A saved file keeps the permissions the old one had; failing that is no reason to
        // lose the save.
        const fs::file_status old = fs::status(target, ec);
        if (!ec && fs::exists(old))
            fs::permissions(temporary, old.permissions(), ec);
        fs::rename(temporary, target, ec);
        ok = !ec;
    }
    if (!ok)
        fs::remove(temporary, ec);
    return ok;
}

void setWriteLimitForTesting(std::optional<std::size_t> bytes) {
    writeLimit = bytes;
}

} // namespace zentrola
